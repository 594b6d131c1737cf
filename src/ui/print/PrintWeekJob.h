#pragma once
// Prints the weekly calendar of the open almanary on a printer the user
// chooses: one routine for the main window's Print Week and the preview's
// Print.

#include "model/Calendar.h"
#include "print/PrintJob.h"

class QWidget;

namespace almanary {

class DocumentSession;
struct AppServices;

namespace PrintWeekJob {

// Every page of the seven days from `firstDay` on, landscape. Cancelling
// the print dialog prints nothing and says nothing; pages that did not all
// print are reported with the printer's name and the reason.
PrintJob::Outcome run(QWidget* parent, const DocumentSession& session, const AppServices& services,
                      DateTime firstDay, bool twelveHour);

}  // namespace PrintWeekJob
}  // namespace almanary

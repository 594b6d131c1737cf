#pragma once
// Prints the events a View Events search found, under a heading that says
// what was searched for, on a printer the user chooses.

#include "model/EventList.h"
#include "pages/ResultsPage.h"
#include "print/PrintJob.h"

class QWidget;

namespace almanary {

class DocumentSession;
struct AppServices;

namespace PrintResults {

// Nothing when there are no results. The printer keeps its own
// orientation; times follow the 12-hour clock now in force.
PrintJob::Outcome run(QWidget* parent, const DocumentSession& session, const AppServices& services,
                      const EventList& results, const ResultsHeading& heading);

}  // namespace PrintResults
}  // namespace almanary

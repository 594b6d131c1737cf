#include "print/PrintWeekJob.h"

#include "document/DocumentSession.h"
#include "painting/PagePrinting.h"

namespace almanary::PrintWeekJob {

PrintJob::Outcome run(QWidget* parent, const DocumentSession& session, const AppServices& services,
                      DateTime firstDay, bool twelveHour) {
    return PrintJob::run(parent, session, services, [&](QPagedPaintDevice& printer) {
        return printWeek(printer, session.events(), firstDay, twelveHour);
    });
}

}  // namespace almanary::PrintWeekJob

#include "print/PrintResults.h"

#include "model/DateTimeText.h"
#include "painting/PagePrinting.h"

namespace almanary::PrintResults {

PrintJob::Outcome run(QWidget* parent, const DocumentSession& session, const AppServices& services,
                      const EventList& results, const ResultsHeading& heading) {
    if (results.isEmpty())
        return PrintJob::Outcome::NotPrinted;
    return PrintJob::run(parent, session, services, [&](QPagedPaintDevice& printer) {
        return printResults(printer, results, heading, DateTimeText::getTwelveHourClock());
    });
}

}  // namespace almanary::PrintResults

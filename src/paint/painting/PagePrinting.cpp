#include "painting/PagePrinting.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include "model/DateTimeText.h"
#include "pages/WeekPage.h"
#include "painting/PainterDevice.h"

namespace almanary {
namespace {

// Runs `printPages` (which gives the first page that failed, or 0) on a
// painter over the whole printable area of `target`, and says what failed.
template <typename PrintPages>
std::optional<std::string> printDocument(QPagedPaintDevice& target, PrintPages&& printPages) {
    QPainter painter;
    if (!painter.begin(&target))
        return "the printer or file could not start the document";
    // The painter's origin is the printable area's top-left corner.
    const QSize printable = target.pageLayout().paintRectPixels(target.logicalDpiX()).size();
    PainterDevice device(painter, printable, &target);
    const int failedPage = printPages(device);
    const bool ended = painter.end();
    if (failedPage != 0)
        return "page " + DateTimeText::numberText(failedPage) + " could not be printed";
    if (!ended)
        return std::string("the document could not be finished");
    return std::nullopt;
}

}  // namespace

std::optional<std::string> printWeek(QPagedPaintDevice& target, const EventList& events,
                                     DateTime firstDay, bool twelveHour) {
    target.setPageOrientation(QPageLayout::Landscape);
    return printDocument(target, [&](DrawingDevice& device) {
        WeekPage week(device, events, firstDay, {false, 42, 26});
        week.setTwelveHour(twelveHour);
        return week.printAll();
    });
}

std::optional<std::string> printResults(QPagedPaintDevice& target, const EventList& results,
                                        const ResultsHeading& heading, bool twelveHour) {
    if (results.isEmpty())
        return std::nullopt;  // nothing to print, so no document is started
    return printDocument(target, [&](DrawingDevice& device) {
        return ResultsPage(device, results, heading, twelveHour).printAll();
    });
}

}  // namespace almanary

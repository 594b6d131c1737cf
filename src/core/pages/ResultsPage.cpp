#include "pages/ResultsPage.h"

#include <algorithm>
#include <utility>

#include "model/DateTimeText.h"

namespace almanary {
namespace {

constexpr int kMostBoxes = 8;
constexpr int kFrameReach = 10;  // the frame stands this far outside the text columns
constexpr int kFrame = 5;

// Made in device units and not scaled, as for every printer.
const FontSpec kHeaderFont{"Arial", 50, 700, 35};

}  // namespace

ResultsPage::ResultsPage(DrawingDevice& device, const EventList& results, ResultsHeading heading,
                         bool twelveHour)
    : device_(device),
      results_(results),
      heading_(std::move(heading)),
      twelveHour_(twelveHour),
      measures_(measure()) {}

ResultsPage::Measures ResultsPage::measure() const {
    Measures m;
    const int width = device_.pageWidth();
    m.height = device_.pageHeight();
    const FontSpec previous = device_.selectFont(kHeaderFont);
    m.headerLine = device_.lineHeight();
    device_.selectFont(FontSpec{});
    m.line = device_.lineHeight();
    device_.selectFont(previous);

    m.left = width * 2 / 10;
    m.right = width * 8 / 10;
    m.headerX = m.left / 2;
    m.headerRight = width - m.headerX;
    m.headerY = m.height / 11;
    m.firstBox = m.headerY + 2 * m.headerLine;
    m.footerY = m.height * 95 / 100;
    const int box = m.line * 3 / 2 + m.line * 9 / 2;
    const int fit = box > 0 ? (m.footerY - m.firstBox) / box : kMostBoxes;
    m.boxesPerPage = std::clamp(fit, 1, kMostBoxes);
    return m;
}

int ResultsPage::pageCount() const {
    const int count = results_.count();
    const int perPage = measures_.boxesPerPage;
    return count / perPage + (count % perPage != 0 ? 1 : 0);
}

std::string ResultsPage::headerText() const {
    switch (heading_.kind) {
        case ResultsHeading::Kind::Date:
            return "Date: " + heading_.text;
        case ResultsHeading::Kind::Category:
            return "Category: " + heading_.text;
        case ResultsHeading::Kind::Comment:
            return "Searched Comment for: " + heading_.text;
        case ResultsHeading::Kind::None:
            break;
    }
    return {};
}

void ResultsPage::draw(int page) {
    const Measures& m = measures_;
    const FontSpec previous = device_.selectFont(kHeaderFont);
    device_.drawTextWithin(m.headerX, m.headerY, m.headerRight, headerText());
    device_.selectFont(FontSpec{});

    const int first = (page - 1) * m.boxesPerPage;
    const int end = std::min(results_.count(), first + m.boxesPerPage);
    int y = m.firstBox;
    for (int index = std::max(first, 0); index < end; ++index)
        y = drawBox(results_.at(index), y);
    device_.drawText((m.left + m.right) / 2, m.footerY, DateTimeText::numberText(page));
    device_.selectFont(previous);
}

int ResultsPage::drawBox(const Event& event, int top) {
    const Measures& m = measures_;
    const int middle = (m.left + m.right) / 2;
    device_.drawTextWithin(m.left, top, middle,
                           "Time: " + DateTimeText::dateText(event.date()) + ", " +
                               DateTimeText::timeRangeText(event.hour(), event.minute(),
                                                           event.duration(), twelveHour_));
    device_.drawTextWithin(middle, top, m.right, "Category: " + event.category());
    const int notesTop = top + m.line * 3 / 2;
    const int bottom = notesTop + m.line * 9 / 2;
    device_.drawWrappedText({m.left, notesTop, m.right, bottom}, event.notes());
    device_.frameRect({m.left - kFrameReach, top, m.right + kFrameReach, bottom}, kFrame);
    return bottom;
}

int ResultsPage::printAll() {
    const int pages = pageCount();
    for (int page = 1; page <= pages; ++page) {
        if (!device_.startPage())
            return page;
        draw(page);
        if (!device_.endPage())
            return page;
    }
    return 0;
}

}  // namespace almanary

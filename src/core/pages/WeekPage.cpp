#include "pages/WeekPage.h"

#include <algorithm>
#include <string>

#include "model/DateTimeText.h"

namespace almanary {
namespace {

constexpr int kDays = 7;
constexpr int kMostBoxes = 7;  // a column's boxes on one page
constexpr int kInset = 4;      // the box's texts stand this far inside its frame
constexpr int kFrame = 2;
constexpr int kScaleWidth = 1024;  // the device width scaled heights are given for
constexpr const char* kFace = "Arial";

std::string weekdayOf(DateTime day) {
    return DateTimeText::weekdayName(Calendar::toLocal(day).weekday + 1);
}

}  // namespace

WeekPage::WeekPage(DrawingDevice& device, const EventList& events, DateTime firstDay,
                   FontHeights heights)
    : device_(&device),
      events_(events),
      firstDay_(firstDay),
      heights_(heights),
      measures_(measure(device)) {
    collect();
}

WeekPage::Measures WeekPage::measure(DrawingDevice& device) const {
    Measures m;
    m.width = device.pageWidth();
    m.height = device.pageHeight();
    const auto fontHeight = [&](int height) {
        return heights_.scaled ? height * m.width / kScaleWidth : height;
    };
    m.bold = {kFace, fontHeight(heights_.bold), 700};
    m.normal = {kFace, fontHeight(heights_.normal), 400};
    const FontSpec previous = device.selectFont(m.bold);
    m.boldLine = device.lineHeight();
    device.selectFont(m.normal);
    m.normalLine = device.lineHeight();
    device.selectFont(previous);

    // Whole divisions throughout: a seventeenth is the top margin, an
    // eleventh the column unit, and 36 % and 95 % place the footer.
    m.top = m.height / 17;
    m.left = m.width / 11 / 2;
    m.column = 20 * m.left / 7;
    m.box = 2 * m.top;
    m.firstBox = m.top + 2 * m.boldLine;
    m.footerX = m.width * 36 / 100;
    m.footerY = m.height * 95 / 100;
    const int fit = m.box > 0 ? (m.footerY - m.firstBox) / m.box : kMostBoxes;
    m.boxesPerPage = std::clamp(fit, 1, kMostBoxes);
    return m;
}

void WeekPage::showWeekOf(DateTime firstDay) {
    firstDay_ = firstDay;
    collect();
}

// Day by calendar day, so a change of daylight-saving time neither repeats
// nor skips a date.
void WeekPage::collect() {
    for (int column = 0; column < kDays; ++column)
        days_[static_cast<std::size_t>(column)] =
            events_.eventsOnDay(Calendar::addDays(firstDay_, column));
    pageCount_ = pagesNeeded();
    page_ = 1;
}

int WeekPage::pagesNeeded() const {
    int busiest = 0;
    for (const EventList& day : days_)
        busiest = std::max(busiest, day.count());
    const int perPage = measures_.boxesPerPage;
    return std::max(1, busiest / perPage + (busiest % perPage != 0 ? 1 : 0));
}

int WeekPage::nextPage() {
    page_ = std::min(page_ + 1, pageCount_);
    return page_;
}

int WeekPage::previousPage() {
    page_ = std::max(page_ - 1, 1);
    return page_;
}

void WeekPage::setDevice(DrawingDevice& device) {
    device_ = &device;
    measures_ = measure(device);
    pageCount_ = pagesNeeded();
    page_ = std::min(page_, pageCount_);
}

void WeekPage::draw() {
    const FontSpec previous = device_->selectFont(measures_.bold);
    for (int column = 0; column < kDays; ++column)
        drawColumn(column, Calendar::addDays(firstDay_, column));
    drawFooter();
    device_->selectFont(previous);
}

int WeekPage::printAll() {
    for (int page = 1; page <= pageCount_; ++page) {
        if (!device_->startPage())
            return page;
        page_ = page;
        draw();
        if (!device_->endPage())
            return page;
    }
    return 0;
}

void WeekPage::drawColumn(int column, DateTime day) {
    const Measures& m = measures_;
    const int x = m.left + column * m.column;
    device_->selectFont(m.bold);
    device_->drawTextWithin(x, m.top, x + m.column, weekdayOf(day));
    device_->drawTextWithin(x, m.top + m.boldLine, x + m.column, DateTimeText::dateText(day));

    const EventList& events = days_[static_cast<std::size_t>(column)];
    const int first = (page_ - 1) * m.boxesPerPage;
    const int end = std::min(events.count(), first + m.boxesPerPage);
    int y = m.firstBox;
    for (int index = first; index < end; ++index, y += m.box)
        drawBox(events.at(index), x, y);
}

void WeekPage::drawBox(const Event& event, int x, int y) {
    const Measures& m = measures_;
    const int left = x + kInset;
    const int right = x + m.column - kInset;
    device_->selectFont(m.normal);
    device_->drawTextWithin(left, y, right,
                            "Time: " + DateTimeText::timeRangeText(event.hour(), event.minute(),
                                                                   event.duration(), twelveHour_));
    device_->drawTextWithin(left, y + m.normalLine, right, "Category: " + event.category());
    const int notesTop = y + m.normalLine + m.normalLine * 3 / 2;
    device_->drawWrappedText({left, notesTop, right, y + m.box}, event.notes());
    device_->frameRect({x, y, x + m.column, y + m.box}, kFrame);
}

void WeekPage::drawFooter() {
    const Measures& m = measures_;
    const std::string footer = "For the week of " + weekdayOf(firstDay_) + " " +
                               DateTimeText::dateText(firstDay_) +
                               ", Page: " + DateTimeText::numberText(page_) + " of " +
                               DateTimeText::numberText(pageCount_);
    device_->selectFont(m.bold);
    device_->drawTextWithin(m.footerX, m.footerY, m.width, footer);
}

}  // namespace almanary

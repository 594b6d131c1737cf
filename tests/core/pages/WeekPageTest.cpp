#include "pages/WeekPage.h"

#include "support/RecordingDevice.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"

namespace almanary {
namespace {

using testing::Drawn;
using testing::EventSpec;
using testing::listOf;
using testing::localTime;
using testing::RecordingDevice;
using Kind = Drawn::Kind;
using Texts = std::vector<std::string>;
constexpr int kLeading = RecordingDevice::kLeading;

// `count` events on one day, a quarter of an hour apart, notes "event 1" on.
std::vector<EventSpec> busyDay(int day, int count) {
    static const char* const minutes[] = {"00", "15", "30", "45"};
    std::vector<EventSpec> specs;
    for (int i = 0; i < count; ++i)
        specs.push_back({2001, 4, day, std::to_string(i / 4), minutes[i % 4],
                         "event " + std::to_string(i + 1)});
    return specs;
}

class WeekPageTest : public ::testing::Test {
protected:
    testing::ScopedTimeZone zone_{"UTC"};
};

// The worked measures on a printer page and two screens (heights scale from 1024 wide).
TEST_F(WeekPageTest, GeometryOfThePrinterPageAndTheScreen) {
    struct Measures {
        int bold, normal, top, left, column, box, footerX, footerY, column7;
    };
    const std::tuple<int, int, bool, Measures> cases[] = {
        {3300, 2550, false, {42, 26, 150, 150, 428, 300, 1188, 2422, 2718}},
        {1024, 768, true, {14, 12, 45, 46, 131, 90, 368, 729, 832}},
        {1280, 1024, true, {17, 15, 60, 58, 165, 120, 460, 972, 58 + 6 * 165}},
    };
    const EventList events = listOf({{2001, 5, 6, "9", "00", "Dentist", "60", "Health"},
                                     {2001, 5, 12, "13", "30", "R&D budget", "45", "Work"}});
    for (const auto& [width, height, preview, m] : cases) {
        RecordingDevice device(width, height);
        WeekPage week(device, events, localTime(2001, 5, 6, 10, 30),
                      preview ? WeekPage::FontHeights{true, 14, 12} : WeekPage::FontHeights{});
        week.setTwelveHour(preview);
        week.draw();
        const FontSpec bold{"Arial", m.bold, 700}, normal{"Arial", m.normal, 400};
        const int boldLine = m.bold + kLeading, line = m.normal + kLeading;
        const int first = m.top + 2 * boldLine, end7 = m.column7 + m.column;
        const int x = m.column7 + 4, right = end7 - 4, notes = first + line + line * 3 / 2;
        const auto text = [](int left, int top, int limit, const char* words, FontSpec font) {
            return Drawn{Kind::Text, 0, {left, top, limit, top}, words, font};
        };
        const Drawn expected[] = {
            text(m.left, m.top, m.left + m.column, "Sunday", bold),
            text(m.left, m.top + boldLine, m.left + m.column, "5/6/2001", bold),
            text(m.column7, m.top, end7, "Saturday", bold),
            text(x, first, right, preview ? "Time: 1:30 PM - 2:15" : "Time: 13:30 - 14:15", normal),
            text(x, first + line, right, "Category: Work", normal),
            {Kind::Wrapped, 0, {x, notes, right, first + m.box}, "R&D budget", normal},
            {Kind::Frame, 0, {m.column7, first, end7, first + m.box}, "", normal, 2},
            text(m.footerX, m.footerY, width, "For the week of Sunday 5/6/2001, Page: 1 of 1",
                 bold),
        };
        for (const Drawn& item : expected)
            EXPECT_TRUE(device.drew(item)) << width << ": " << item.text;
        EXPECT_EQ(device.on(0, Kind::Frame).size(), 2u) << width;
        EXPECT_EQ(device.font, FontSpec{}) << "the device's font is put back";
    }
}

// Seven boxes a column a page, fewer where they would pass the footer; later pages
// hold what runs over, the footer counts them, and a failed page stops the print.
TEST_F(WeekPageTest, PagesAndFooters) {
    const std::tuple<int, int, int, std::vector<std::size_t>, Texts> cases[] = {
        // Thursday's events, the page's height, the pages, Thursday's boxes page by page,
        // its notes on the last page.
        {0, 2550, 1, {0}, {}},
        {7,
         2550,
         1,
         {7},
         {"event 1", "event 2", "event 3", "event 4", "event 5", "event 6", "event 7"}},
        {7, 1200, 2, {6, 1}, {"event 7"}},  // T 70, boxes of 140 from 162: six end above 1140
        {15, 2550, 3, {7, 7, 1}, {"event 15"}},
    };
    for (const auto& [busiest, height, pages, boxes, lastNotes] : cases) {
        std::vector<EventSpec> specs = busyDay(12, busiest);
        specs.push_back({2001, 4, 17, "8", "00", "Tuesday"});  // the seventh column
        const EventList events = listOf(specs);
        RecordingDevice roomy(3300, 2550), device(3300, height);
        WeekPage week(roomy, events, localTime(2001, 4, 11), {});
        week.setDevice(device);  // measured anew
        ASSERT_EQ(week.pageCount(), pages);
        ASSERT_EQ(week.printAll(), 0);
        EXPECT_EQ(device.pagesEnded, pages);
        for (int page = 1; page <= pages; ++page) {
            EXPECT_EQ(device.textsOn(page).front(), "Wednesday");
            EXPECT_EQ(device.textsOn(page).back(),
                      "For the week of Wednesday 4/11/2001, Page: " + std::to_string(page) +
                          " of " + std::to_string(pages));
            EXPECT_EQ(device.on(page, Kind::Frame).size(), boxes[page - 1] + (page == 1))
                << busiest << " events, page " << page;
        }
        Texts notes = device.textsOn(pages, Kind::Wrapped);
        std::erase(notes, "Tuesday");
        EXPECT_EQ(notes, lastNotes) << busiest << " events";
    }
    const EventList fifteen = listOf(busyDay(11, 15));
    RecordingDevice failing(3300, 2550);
    failing.failingPage = 2;
    EXPECT_EQ(WeekPage(failing, fifteen, localTime(2001, 4, 11), {}).printAll(), 2);
    EXPECT_TRUE(failing.pagesStarted == 2 && failing.on(2, Kind::Text).empty());
    // The preview steps within the pages; page 2 starts Thursday's column with its eighth box.
    const EventList eight = listOf(busyDay(12, 8));
    RecordingDevice device(3300, 2550);
    WeekPage week(device, eight, localTime(2001, 4, 11), {});
    EXPECT_TRUE(week.nextPage() == 2 && week.nextPage() == 2);
    week.draw();
    const auto frames = device.on(0, Kind::Frame);
    EXPECT_TRUE(frames.size() == 1 && frames[0].box == (PageRect{578, 242, 1006, 542}));
    EXPECT_TRUE(week.previousPage() == 1 && week.previousPage() == 1);
}

// Days are calendar days across a change of summer time, whatever the first day's clock.
TEST_F(WeekPageTest, AWeekOverAChangeOfSummerTime) {
    testing::ScopedTimeZone london("Europe/London");
    const Texts dates = {"3/24/2001", "3/25/2001", "3/26/2001", "3/27/2001",
                         "3/28/2001", "3/29/2001", "3/30/2001"};
    std::vector<EventSpec> specs;
    for (int day = 0; day < 7; ++day)
        specs.push_back({2001, 3, 24 + day, "9", "00", dates[day]});
    const EventList events = listOf(specs);
    RecordingDevice device(1024, 768);
    WeekPage week(device, events, localTime(2001, 3, 24, 23, 30), {true, 14, 12});
    week.draw();
    Texts heads;  // the date line of each head
    for (const Drawn& text : device.on(0, Kind::Text))
        if (text.box.top == 45 + 18)
            heads.push_back(text.text);
    EXPECT_EQ(heads, dates);
    EXPECT_EQ(device.textsOn(0, Kind::Wrapped), dates);
}

}  // namespace
}  // namespace almanary

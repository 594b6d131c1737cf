#include "pages/ResultsPage.h"

#include <gtest/gtest.h>

#include "support/RecordingDevice.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"

namespace almanary {
namespace {

using testing::Drawn;
using testing::EventSpec;
using testing::listOf;
using testing::RecordingDevice;
using Kind = Drawn::Kind;
using Texts = std::vector<std::string>;
using HeadingKind = ResultsHeading::Kind;

const FontSpec kHeaderFont{"Arial", 50, 700, 35};

EventList results(int count) {
    std::vector<EventSpec> specs;
    for (int i = 0; i < count; ++i)
        specs.push_back({2001, 5, 9 + i, "13", "30", "event " + std::to_string(i + 1), "45"});
    return listOf(specs);
}

class ResultsPageTest : public ::testing::Test {
protected:
    testing::ScopedTimeZone zone_{"UTC"};
};

// On a 2550 x 3300 page with a default font 34 high (30 + 4) and a header
// line of 54: the header at (255, 300), boxes of 51 + 153 from 300 + 108,
// text columns from 510 and 1275 to 2040, frames 10 beyond them, the page
// number at (1275, 3135); notes are printed as written.
TEST_F(ResultsPageTest, OnePageDrawnInTheDefaultFont) {
    const EventList found = listOf({{2001, 5, 9, "13", "30", "R&D budget", "45", "Work"},
                                    {2001, 5, 9, "15", "00", "Lunch", "60"}});
    const std::tuple<bool, const char*, const char*> clocks[] = {
        {true, "Time: 5/9/2001, 1:30 PM - 2:15", "Time: 5/9/2001, 3:00 PM - 4:00"},
        {false, "Time: 5/9/2001, 13:30 - 14:15", "Time: 5/9/2001, 15:00 - 16:00"}};
    for (const auto& [twelveHour, time, lunchTime] : clocks) {
        RecordingDevice device(2550, 3300);
        ResultsPage page(device, found, {HeadingKind::Category, "Work"}, twelveHour);
        ASSERT_EQ(page.pageCount(), 1);
        page.draw(1);
        const std::vector<Drawn> texts = device.on(0, Kind::Text);
        ASSERT_EQ(texts.size(), 6u);
        const Drawn expected[] = {
            {Kind::Text, 0, {255, 300, 2295, 300}, "Category: Work", kHeaderFont},
            {Kind::Text, 0, {510, 408, 1275, 408}, time, {}},
            {Kind::Text, 0, {1275, 408, 2040, 408}, "Category: Work", {}},
            {Kind::Text, 0, {510, 612, 1275, 612}, lunchTime, {}},
            {Kind::Text, 0, {1275, 612, 2040, 612}, "Category: ", {}},
            {Kind::Text, 0, {1275, 3135, -1, 3135}, "1", {}},
        };
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(texts[i].box, expected[i].box) << i;
            EXPECT_EQ(texts[i].font, expected[i].font) << i;
            EXPECT_EQ(texts[i].text, expected[i].text) << i;
        }
        const std::vector<Drawn> notes = device.on(0, Kind::Wrapped);
        ASSERT_EQ(notes.size(), 2u);
        EXPECT_EQ(notes[0].text, "R&D budget");
        EXPECT_EQ(notes[0].box, (PageRect{510, 459, 2040, 612}));
        const std::vector<Drawn> frames = device.on(0, Kind::Frame);
        ASSERT_EQ(frames.size(), 2u);
        EXPECT_EQ(frames[1].box, (PageRect{500, 612, 2050, 816}));
        EXPECT_EQ(frames[1].thickness, 5);
    }
}

// The header repeats what was searched for on every page.
TEST_F(ResultsPageTest, TheHeaderNamesTheSearch) {
    const std::tuple<HeadingKind, const char*, const char*> cases[] = {
        {HeadingKind::Date, "5/9/2001", "Date: 5/9/2001"},
        {HeadingKind::Category, "Work", "Category: Work"},
        {HeadingKind::Comment, "lunch", "Searched Comment for: lunch"},
        {HeadingKind::None, "lunch", ""}};
    const EventList found = results(9);
    for (const auto& [kind, text, header] : cases) {
        RecordingDevice device(2550, 3300);
        ASSERT_EQ(ResultsPage(device, found, {kind, text}, false).printAll(), 0);
        for (int page = 1; page <= 2; ++page)
            EXPECT_EQ(device.textsOn(page).front(), header) << page;
    }
}

// Eight boxes a page, fewer where eight would run below the page number;
// a failed page stops the printing.
TEST_F(ResultsPageTest, PagesOfBoxes) {
    struct Case {
        int width, height, count, pages;
        Texts lastPage;  // the notes of the last page
    };
    const Case cases[] = {
        {2550, 3300, 8, 1, {}},
        {2550, 3300, 9, 2, {"event 9"}},
        {3300, 1500, 8, 2, {"event 6", "event 7", "event 8"}},  // boxes of 204 from 244 to 1425
        {2550, 3300, 0, 0, {}},
    };
    for (const Case& c : cases) {
        const EventList found = results(c.count);
        RecordingDevice device(c.width, c.height);
        ResultsPage page(device, found, {}, false);
        ASSERT_EQ(page.pageCount(), c.pages) << c.count;
        ASSERT_EQ(page.printAll(), 0);
        EXPECT_EQ(device.pagesEnded, c.pages);
        for (const Drawn& frame : device.drawn) {
            if (frame.kind == Kind::Frame) {
                EXPECT_LE(frame.box.bottom, c.height * 95 / 100);
            }
        }
        if (c.pages > 1) {
            EXPECT_EQ(device.textsOn(c.pages, Kind::Wrapped), c.lastPage);
            EXPECT_EQ(device.textsOn(c.pages).back(), std::to_string(c.pages));
        }
    }
    const EventList nine = results(9);
    RecordingDevice failing(2550, 3300);
    failing.failingPage = 1;
    EXPECT_EQ(ResultsPage(failing, nine, {}, false).printAll(), 1);
    EXPECT_EQ(failing.pagesStarted, 1);
    EXPECT_TRUE(failing.drawn.empty());
}

}  // namespace
}  // namespace almanary

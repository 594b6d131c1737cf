#include "pages/ResultsPage.h"

#include "support/RecordingDevice.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"

namespace almanary {
namespace {

using testing::Drawn;
using testing::EventSpec;
using testing::RecordingDevice;
using Kind = Drawn::Kind;
using Texts = std::vector<std::string>;
using HeadingKind = ResultsHeading::Kind;

EventList results(int count) {
    std::vector<EventSpec> specs;
    for (int i = 0; i < count; ++i)
        specs.push_back({2001, 5, 9 + i, "13", "30", "event " + std::to_string(i + 1), "45"});
    return testing::listOf(specs);
}

class ResultsPageTest : public ::testing::Test {
protected:
    testing::ScopedTimeZone zone_{"UTC"};
};

// 2550 x 3300, lines of 34 and a header of 54: boxes of 51 + 153 from 408, frames 10 out.
TEST_F(ResultsPageTest, OnePageDrawnInTheDefaultFont) {
    const EventList found = testing::listOf({{2001, 5, 9, "13", "30", "R&D budget", "45", "Work"},
                                             {2001, 5, 9, "15", "00", "Lunch", "60"}});
    RecordingDevice device(2550, 3300);
    ResultsPage page(device, found, {HeadingKind::Category, "Work"}, true);
    ASSERT_EQ(page.pageCount(), 1);
    page.draw(1);
    const auto text = [](int left, int top, int right, const char* words, FontSpec font = {}) {
        return Drawn{Kind::Text, 0, {left, top, right, top}, words, font};
    };
    const Drawn expected[] = {
        text(255, 300, 2295, "Category: Work", {"Arial", 50, 700, 35}),
        text(510, 408, 1275, "Time: 5/9/2001, 1:30 PM - 2:15"),
        text(1275, 408, 2040, "Category: Work"),
        text(510, 612, 1275, "Time: 5/9/2001, 3:00 PM - 4:00"),
        text(1275, 612, 2040, "Category: "),
        text(1275, 3135, -1, "1"),
        {Kind::Wrapped, 0, {510, 459, 2040, 612}, "R&D budget", {}},
        {Kind::Frame, 0, {500, 612, 2050, 816}, "", {}, 5},
    };
    EXPECT_EQ(device.on(0, Kind::Text), std::vector<Drawn>(expected, expected + 6));
    EXPECT_TRUE(device.drew(expected[6]) && device.drew(expected[7]));
    EXPECT_EQ(device.drawn.size(), 10u);  // and one more box with its frame
}

// Eight boxes a page (fewer when short), the search heading on each; a failed page stops.
TEST_F(ResultsPageTest, PagesOfBoxes) {
    const struct {
        int width, height, count, pages;
        ResultsHeading heading;
        std::string header;
        Texts lastPage;  // the notes of the last page
    } cases[] = {
        {2550, 3300, 8, 1, {HeadingKind::Date, "5/9/2001"}, "Date: 5/9/2001", {}},
        {2550, 3300, 9, 2, {HeadingKind::Comment, "x"}, "Searched Comment for: x", {"event 9"}},
        {3300, 1500, 8, 2, {HeadingKind::None, "x"}, "", {"event 6", "event 7", "event 8"}},
        {2550, 3300, 0, 0, {}, "", {}},
    };
    for (const auto& c : cases) {
        const EventList found = results(c.count);
        RecordingDevice device(c.width, c.height);
        ResultsPage page(device, found, c.heading, false);
        ASSERT_EQ(page.pageCount(), c.pages) << c.count;
        ASSERT_EQ(page.printAll(), 0);
        EXPECT_EQ(device.pagesEnded, c.pages);
        for (int p = 1; p <= c.pages; ++p) {
            EXPECT_EQ(device.textsOn(p).front(), c.header);
            EXPECT_EQ(device.textsOn(p).back(), std::to_string(p));
        }
        if (c.pages > 1) {
            EXPECT_EQ(device.textsOn(c.pages, Kind::Wrapped), c.lastPage);
        }
    }
    const EventList nine = results(9);
    RecordingDevice failing(2550, 3300);
    failing.failingPage = 1;
    EXPECT_EQ(ResultsPage(failing, nine, {}, false).printAll(), 1);
    EXPECT_TRUE(failing.pagesStarted == 1 && failing.drawn.empty());
}

}  // namespace
}  // namespace almanary

// The print preview: its page buttons, the day moves, Escape, and printing
// from it.

#include "print/PreviewWindow.h"

#include <gtest/gtest.h>

#include <QTest>
#include <memory>
#include <tuple>

#include "ui/print/PrintHarness.h"

namespace almanary::testing {
namespace {

class PreviewWindowTest : public PrintHarness {
protected:
    std::unique_ptr<PreviewWindow> open(DateTime firstDay) {
        auto preview = std::make_unique<PreviewWindow>(&owner, session, services, firstDay, false);
        preview->show();
        preview->grab();  // painted once at its size, as on screen
        return preview;
    }

    // "page/count" and the page buttons that can be pressed.
    static std::string state(const PreviewWindow& preview) {
        std::string text =
            std::to_string(preview.page()) + "/" + std::to_string(preview.pageCount());
        if (child<QPushButton>(preview, "prevPageButton")->isEnabled())
            text += " prev";
        if (child<QPushButton>(preview, "nextPageButton")->isEnabled())
            text += " next";
        return text;
    }

    QWidget owner;
};

// Seven events to a column: the busiest day sets the pages, and Next Page
// and Prev Page can be pressed exactly while there is a page that way.
TEST_F(PreviewWindowTest, ThePageButtonsFollowThePagesOfTheBusiestDay) {
    const std::pair<int, std::vector<std::string>> cases[] = {
        {0, {"1/1"}},
        {7, {"1/1"}},
        {8, {"1/2 next", "2/2 prev"}},
        {15, {"1/3 next", "2/3 prev next", "3/3 prev"}},
    };
    for (const auto& [events, forward] : cases) {
        fill({{3, 5, events}, {3, 6, 3}});
        const auto preview = open(localTime(2024, 3, 3));
        std::vector<std::string> seen{state(*preview)};
        for (std::size_t i = 1; i <= forward.size(); ++i) {
            press(*preview, "nextPageButton");
            seen.push_back(state(*preview));
        }
        std::vector<std::string> expected = forward;
        expected.push_back(forward.back());  // a disabled Next Page changes nothing
        EXPECT_EQ(seen, expected) << events << " events";
        for (std::size_t i = 1; i < forward.size(); ++i)
            press(*preview, "prevPageButton");
        EXPECT_EQ(state(*preview), forward.front()) << events << " events";
    }
}

// Prev Day and Next Day move the week by calendar days, also over the
// clock changes (27 October 2024 has 25 hours in London), at 00:00 and back
// on page 1. Escape closes the preview; it is not a Prev Page.
TEST_F(PreviewWindowTest, TheDayButtonsMoveTheWeekByCalendarDaysAndEscapeCloses) {
    fill({{4, 2, 8}, {10, 29, 8}});
    const std::tuple<CalendarDate, const char*, CalendarDate> cases[] = {
        {{2024, 3, 31}, "prevDayButton", {2024, 3, 30}},  // a Sunday shows from Saturday
        {{2024, 3, 30}, "nextDayButton", {2024, 3, 31}},
        {{2024, 10, 27}, "nextDayButton", {2024, 10, 28}},
        {{2024, 10, 28}, "prevDayButton", {2024, 10, 27}},
    };
    for (const auto& [from, button, to] : cases) {
        const auto preview = open(localTime(from.year, from.month, from.day, 0));
        press(*preview, "nextPageButton");
        ASSERT_EQ(state(*preview), "2/2 prev") << button;
        press(*preview, button);
        EXPECT_EQ(preview->firstDay(), localTime(to.year, to.month, to.day, 0)) << to.day;
        EXPECT_EQ(state(*preview), "1/2 next") << button;

        press(*preview, "nextPageButton");
        QTest::keyClick(preview.get(), Qt::Key_Escape);
        EXPECT_FALSE(preview->isVisible());
        EXPECT_EQ(preview->page(), 2);
    }
}

// Print prints every page of the week shown and leaves the preview open on
// its page.
TEST_F(PreviewWindowTest, PrintPrintsTheWholeWeekShownAndStaysOnThePage) {
    fill({{3, 5, 8}});
    const auto preview = open(localTime(2024, 3, 3));
    press(*preview, "nextPageButton");
    press(*preview, "nextDayButton");
    press(*preview, "nextPageButton");
    printers.choose(dir.file("week.pdf"));
    press(*preview, "printButton");
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(state(*preview), "2/2 prev");
    const std::string text = pdfText(dir.file("week.pdf"));
    EXPECT_EQ(pageCountOf(text), 2);
    EXPECT_EQ(occurrences(text, "For the week of Monday 3/4/2024, Page: 1 of 2"), 1) << text;
    EXPECT_EQ(occurrences(text, "For the week of Monday 3/4/2024, Page: 2 of 2"), 1) << text;
}

}  // namespace
}  // namespace almanary::testing

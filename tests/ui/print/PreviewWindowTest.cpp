// The print preview: page buttons, day moves, Escape, printing.

#include "print/PreviewWindow.h"

#include <gtest/gtest.h>

#include <QTest>
#include <memory>
#include <tuple>

#include "support/PdfText.h"
#include "support/SessionHarness.h"

namespace almanary::testing {
namespace {

class PreviewWindowTest : public SessionHarness {
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

// Next Page and Prev Page can be pressed exactly while there is a page that way.
TEST_F(PreviewWindowTest, ThePageButtonsFollowThePages) {
    addDay(3, 5, 15, "");
    addDay(3, 6, 3, "");
    const auto preview = open(localTime(2024, 3, 3));
    std::vector<std::string> seen{state(*preview)};
    for (const char* button : {"nextPageButton", "nextPageButton", "nextPageButton",
                               "prevPageButton", "prevPageButton", "prevPageButton"}) {
        press(*preview, button);
        seen.push_back(state(*preview));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"1/3 next", "2/3 prev next", "3/3 prev", "3/3 prev",
                                              "2/3 prev next", "1/3 next", "1/3 next"}));
}

// Day buttons move by calendar days, to page 1; Escape closes, and is no Prev Page.
TEST_F(PreviewWindowTest, TheDayButtonsMoveTheWeekByCalendarDaysAndEscapeCloses) {
    addDay(10, 29, 8, "");
    const std::tuple<int, const char*, int> cases[] = {
        {27, "nextDayButton", 28},
        {28, "prevDayButton", 27},
    };
    for (const auto& [from, button, to] : cases) {
        const auto preview = open(localTime(2024, 10, from, 0));
        press(*preview, "nextPageButton");
        ASSERT_EQ(state(*preview), "2/2 prev") << button;
        press(*preview, button);
        EXPECT_EQ(preview->firstDay(), localTime(2024, 10, to, 0)) << button;
        EXPECT_EQ(state(*preview), "1/2 next") << button;
        press(*preview, "nextPageButton");
        QTest::keyClick(preview.get(), Qt::Key_Escape);
        EXPECT_FALSE(preview->isVisible());
        EXPECT_EQ(preview->page(), 2);
    }
}

// Print prints every page of the week shown; the preview stays on its page.
TEST_F(PreviewWindowTest, PrintPrintsTheWholeWeekShownAndStaysOnThePage) {
    addDay(3, 5, 8, "3/5 #");
    const auto preview = open(localTime(2024, 3, 3));
    press(*preview, "nextPageButton");
    press(*preview, "nextDayButton");
    press(*preview, "nextPageButton");
    printers.choose(dir.file("week.pdf"));
    press(*preview, "printButton");
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(state(*preview), "2/2 prev");
    const std::string text = pdfText(dir.file("week.pdf"));
    EXPECT_EQ(occurrences(text, "\f"), 2);  // two pages
    EXPECT_EQ(occurrences(text, "For the week of Monday 3/4/2024, Page: 1 of 2"), 1) << text;
    EXPECT_EQ(occurrences(text, "For the week of Monday 3/4/2024, Page: 2 of 2"), 1) << text;
}

}  // namespace
}  // namespace almanary::testing

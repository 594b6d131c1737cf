// The print preview: page buttons, day moves, printing, Escape.

#include "print/PreviewWindow.h"

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

    // The first day's date and hour, "page/count" and the page buttons that can be pressed.
    static std::string state(const PreviewWindow& preview) {
        const LocalFields first = Calendar::toLocal(preview.firstDay());
        std::string text = std::to_string(first.day) + " " + std::to_string(first.hour) + "h " +
                           std::to_string(preview.page()) + "/" +
                           std::to_string(preview.pageCount());
        for (const std::string way : {"prev", "next"})
            if (child(preview, (way + "PageButton").c_str())->isEnabled())
                text += " " + way;
        return text;
    }

    QWidget owner;
};

// Page and day buttons (over summer time's end), Print of the whole week shown, Escape.
TEST_F(PreviewWindowTest, PagesDaysPrintAndEscape) {
    addDay(10, 29, 15, "");
    const auto preview = open(localTime(2024, 10, 27));
    printers.choose(dir.file("week.pdf"));
    std::vector<std::string> seen{state(*preview)};
    const char *next = "nextPageButton", *prev = "prevPageButton";
    for (const char* button : {next, next, next, prev, prev, prev, next, "nextDayButton", next,
                               "printButton", "prevDayButton", next}) {
        press(*preview, button);
        seen.push_back(state(*preview));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "27 0h 1/3 next", "27 0h 2/3 prev next", "27 0h 3/3 prev", "27 0h 3/3 prev",
                        "27 0h 2/3 prev next", "27 0h 1/3 next", "27 0h 1/3 next",
                        "27 0h 2/3 prev next", "28 0h 1/3 next", "28 0h 2/3 prev next",
                        "28 0h 2/3 prev next", "27 0h 1/3 next", "27 0h 2/3 prev next"}));
    const std::string text = pdfText(dir.file("week.pdf"));
    EXPECT_EQ(occurrences(text, "\f"), 3);
    for (const char* page : {"1 of 3", "2 of 3", "3 of 3"})
        EXPECT_EQ(
            occurrences(text, "For the week of Monday 10/28/2024, Page: " + std::string(page)), 1)
            << text;
    EXPECT_TRUE(preview->isVisible());
    QTest::keyClick(preview.get(), Qt::Key_Escape);
    EXPECT_FALSE(preview->isVisible());
    EXPECT_EQ(preview->page(), 2);
}

}  // namespace
}  // namespace almanary::testing

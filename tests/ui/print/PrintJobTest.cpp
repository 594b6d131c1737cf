// Printing a week on the printer chosen, at the program's resolution, or saying why not.

#include "print/PrintWeekJob.h"

#include "support/PdfText.h"
#include "support/SessionHarness.h"

namespace almanary::testing {
namespace {

using Outcome = PrintJob::Outcome;

class PrintJobTest : public SessionHarness {
protected:
    Outcome printWeek(bool twelveHour = false) {
        return PrintWeekJob::run(nullptr, session, services, localTime(2024, 3, 3, 9, 45),
                                 twelveHour);
    }
};

// A PDF printer that cannot start its second page.
class SecondPageFails : public QPrinter {
public:
    bool newPage() override { return false; }
};

// The clock asked for; nothing on Cancel or a replaced document; a failing printer reported.
TEST_F(PrintJobTest, AWeekPrintsOnThePrinterChosenOrSaysWhyNot) {
    addDay(3, 5, 8, "3/5 #");
    const std::string week = dir.file("week.pdf"), twelve = dir.file("twelve.pdf");
    printers.choose(week);
    EXPECT_EQ(printWeek(), Outcome::Printed);
    const std::string text = pdfText(week);
    for (const char* part :
         {"For the week of Sunday 3/3/2024, Page: 2 of 2", "Time: 9:00 - 9:30", "3/5 #8"})
        EXPECT_EQ(occurrences(text, part), 1) << part << " in\n" << text;
    // The footer's 42 dots at 300 dots an inch: a 10-point line.
    EXPECT_NEAR(wordHeight(week, "For"), 10, 1.5);
    printers.choose(twelve);
    EXPECT_EQ(printWeek(true), Outcome::Printed);
    EXPECT_EQ(occurrences(pdfText(twelve), "Time: 9:00 AM - 9:30"), 1);
    printers.choose("");
    EXPECT_EQ(printWeek(), Outcome::NotPrinted);
    EXPECT_EQ(prompter.ids, Ids{});

    printers.choose<SecondPageFails>(week);
    EXPECT_EQ(printWeek(), Outcome::Failed);
    ASSERT_EQ(prompter.ids, Ids{PrintFailed});
    EXPECT_EQ(prompter.args[0].at(0), week);
    prompter.clearShown();
    std::filesystem::remove(week);
    printers.choose(week);
    printers.meanwhile = [this] { addDay(3, 6, 1, ""); };
    EXPECT_EQ(printWeek(), Outcome::NotPrinted);
    EXPECT_FALSE(std::filesystem::exists(week));
    EXPECT_EQ(prompter.ids, Ids{});
}

}  // namespace
}  // namespace almanary::testing

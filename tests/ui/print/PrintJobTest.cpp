// Printing a week on the printer chosen, at the program's resolution, or saying why not.

#include "print/PrintWeekJob.h"

#include <gtest/gtest.h>

#include <filesystem>

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

TEST_F(PrintJobTest, AWeekPrintsOnThePrinterChosen) {
    addDay(3, 5, 8, "3/5 #");
    const struct {
        std::string file;  // empty: the print dialog is cancelled
        bool twelveHour;
        std::vector<std::string> printed;  // texts each found once in the PDF
    } cases[] = {
        {"week.pdf",
         false,
         {"For the week of Sunday 3/3/2024, Page: 1 of 2",
          "For the week of Sunday 3/3/2024, Page: 2 of 2", "Time: 9:00 - 9:30", "3/5 #8"}},
        {"twelve.pdf", true, {"Time: 9:00 AM - 9:30"}},
        {"", false, {}},
    };
    for (const auto& c : cases) {
        const std::string path = c.file.empty() ? std::string() : dir.file(c.file);
        printers.choose(path);
        EXPECT_EQ(printWeek(c.twelveHour), path.empty() ? Outcome::NotPrinted : Outcome::Printed);
        const std::string text = path.empty() ? std::string() : pdfText(path);
        for (const std::string& expected : c.printed) {
            EXPECT_EQ(occurrences(text, expected), 1) << expected << " in\n" << text;
        }
    }
    EXPECT_EQ(prompter.ids, Ids{});
    // The footer's 42 dots at 300 dots an inch: a 10-point line.
    EXPECT_NEAR(wordHeight(dir.file("week.pdf"), "For"), 10, 1.5);
}

// A PDF printer that cannot start its second page.
class SecondPageFails : public QPrinter {
public:
    bool newPage() override { return false; }
};

// A printer failing part-way is reported; a document replaced meanwhile is not printed.
TEST_F(PrintJobTest, APrinterFailingPartWayIsReportedAndAGoneDocumentIsNotPrinted) {
    const std::string path = dir.file("week.pdf");
    addDay(3, 5, 8, "3/5 #");
    printers.choose<SecondPageFails>(path);
    EXPECT_EQ(printWeek(), Outcome::Failed);
    ASSERT_EQ(prompter.ids, Ids{MessageId::PrintFailed});
    EXPECT_EQ(prompter.args[0].at(0), path);

    prompter.clearShown();
    std::filesystem::remove(path);
    printers.choose(path);
    printers.meanwhile = [this] { addDay(3, 6, 1, ""); };
    EXPECT_EQ(printWeek(), Outcome::NotPrinted);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(prompter.ids, Ids{});
}

}  // namespace
}  // namespace almanary::testing

// Printing a week: on the printer chosen, at the program's resolution,
// nothing after a cancel, a message when the pages did not all print,
// nothing for a document that has gone.

#include "print/PrintWeekJob.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "ui/print/PrintHarness.h"

namespace almanary::testing {
namespace {

using Outcome = PrintJob::Outcome;

class PrintJobTest : public PrintHarness {
protected:
    Outcome printWeekOf(const AppServices& with, bool twelveHour = false) {
        return PrintWeekJob::run(nullptr, session, with, localTime(2024, 3, 3, 9, 45), twelveHour);
    }
};

TEST_F(PrintJobTest, AWeekPrintsOnThePrinterChosenOrSaysWhyNot) {
    fill({{3, 5, 8}});
    struct Case {
        std::string file;  // under the test's folder; empty: the print dialog is cancelled
        bool twelveHour;
        Outcome outcome;
        std::vector<std::string> printed;  // texts each found once in the PDF
    };
    const Case cases[] = {
        {"week.pdf",
         false,
         Outcome::Printed,
         {"For the week of Sunday 3/3/2024, Page: 1 of 2",
          "For the week of Sunday 3/3/2024, Page: 2 of 2", "Time: 8:00 - 8:30", "3/5 #8"}},
        {"twelve.pdf", true, Outcome::Printed, {"Time: 8:00 AM - 8:30"}},
        {"", false, Outcome::NotPrinted, {}},
        {"no such folder/week.pdf", false, Outcome::Failed, {}},
    };
    for (const Case& c : cases) {
        prompter.clearShown();
        const std::string path = c.file.empty() ? std::string() : dir.file(c.file);
        printers.choose(path);
        EXPECT_EQ(printWeekOf(services, c.twelveHour), c.outcome) << c.file;
        EXPECT_EQ(!path.empty() && std::filesystem::exists(path), c.outcome == Outcome::Printed);
        if (c.outcome == Outcome::Failed) {
            ASSERT_EQ(prompter.ids, Ids{MessageId::PrintFailed});
            EXPECT_EQ(prompter.args[0].at(0), path);
            EXPECT_FALSE(prompter.args[0].at(1).empty());
        } else {
            EXPECT_EQ(prompter.ids, Ids{}) << c.file;
        }
        const std::string text = c.printed.empty() ? std::string() : pdfText(path);
        for (const std::string& expected : c.printed) {
            EXPECT_EQ(occurrences(text, expected), 1) << expected << " in\n" << text;
        }
    }
    // The footer's 42 dots at 300 dots an inch: a 10-point line.
    EXPECT_NEAR(wordHeight(dir.file("week.pdf"), "For"), 10, 1.5);
}

// A PDF printer that cannot start its second page.
class SecondPageFails : public QPrinter {
public:
    bool newPage() override { return false; }
};

// Makes a PDF printer of that kind on the file.
template <typename Printer = QPrinter>
std::function<std::unique_ptr<QPrinter>()> pdfPrinterOn(const std::string& path) {
    return [path]() -> std::unique_ptr<QPrinter> {
        auto printer = std::make_unique<Printer>();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(path));
        return printer;
    };
}

// Hands out a printer made by the test, after doing what the test says
// while the print dialog would be up.
class ScriptedChooser : public PrinterChooser {
public:
    ScriptedChooser(std::function<std::unique_ptr<QPrinter>()> make,
                    std::function<void()> meanwhile)
        : make_(std::move(make)), meanwhile_(std::move(meanwhile)) {}
    std::unique_ptr<QPrinter> choosePrinter(QWidget*) override {
        meanwhile_();
        return make_();
    }

private:
    std::function<std::unique_ptr<QPrinter>()> make_;
    std::function<void()> meanwhile_;
};

// A printer that fails after the first page is reported, never taken for
// a print; a document replaced while the print dialog is up (a load, a
// reload asked by another copy) is not printed at all.
TEST_F(PrintJobTest, APrinterFailingPartWayIsReportedAndAGoneDocumentIsNotPrinted) {
    const std::string path = dir.file("week.pdf");
    fill({{3, 5, 8}});
    ScriptedChooser failing(pdfPrinterOn<SecondPageFails>(path), [] {});
    EXPECT_EQ(printWeekOf({prompter, files, colours, failing, sound, clock, {}, {}, {}}),
              Outcome::Failed);
    ASSERT_EQ(prompter.ids, Ids{MessageId::PrintFailed});
    EXPECT_EQ(prompter.args[0].at(0), path);

    prompter.clearShown();
    std::filesystem::remove(path);
    ScriptedChooser replacing(pdfPrinterOn(path), [this] { fill({{3, 6, 1}}); });
    EXPECT_EQ(printWeekOf({prompter, files, colours, replacing, sound, clock, {}, {}, {}}),
              Outcome::NotPrinted);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(prompter.ids, Ids{});
}

}  // namespace
}  // namespace almanary::testing

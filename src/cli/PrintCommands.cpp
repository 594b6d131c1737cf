// The print commands of almanary-cli: print-week and print-list, each
// writing a PDF through the painting library, as the windows print.
#include <filesystem>
#include <functional>
#include <optional>

#include "CliDocument.h"
#include "CommandOptions.h"
#include "app/MessageTable.h"
#include "model/DateTimeText.h"
#include "painting/PaintingApplication.h"
#include "painting/PdfPrinting.h"

namespace almanary::cli {
namespace {

struct PdfOptions : FileOptions {
    std::string pdf;
    std::string paper = "letter";
};

struct PrintWeekOptions : PdfOptions {
    CalendarDate from;
    ClockOptions clock;
};

struct PrintListOptions : PdfOptions {
    EventChoice choice;
};

void addPdfOptions(CLI::App& command, PdfOptions& options) {
    const auto named = [](const std::string& text) {
        return text.empty() ? std::string("the PDF's name is empty") : std::string();
    };
    command.add_option("--pdf", options.pdf, "The PDF file to write")
        ->required()
        ->type_name("OUT.pdf")
        ->check(named);
    command.add_option("--paper", options.paper, "The paper size (default letter)")
        ->type_name("letter|a4")
        ->check(CLI::IsMember({"letter", "a4"}).description(""));
}

const char* const kPdfNote =
    "The PDF has 300 dots an inch and no margins. OUT.pdf is replaced only\n"
    "when every page printed; a PDF that cannot be written leaves no file.";

// Writing the PDF over the almanary it prints would lose the almanary.
bool isTheAlmanary(const PdfOptions& options) {
    std::error_code error;
    return std::filesystem::equivalent(options.file, options.pdf, error);
}

int refuse(const PdfOptions& options, const std::string& reason, CliContext& context) {
    context.err << MessageTable::format(MessageId::PrintFailed, {options.pdf, reason}) << '\n';
    return kRefused;
}

// Writes the PDF by `print` on the paper asked for, with the Qt
// application the painting needs.
int writePdf(const PdfOptions& options, CliContext& context,
             const std::function<std::optional<std::string>(PdfPaper)>& print) {
    const PaintingApplication application;
    const auto reason = print(options.paper == "a4" ? PdfPaper::A4 : PdfPaper::Letter);
    if (reason) {
        context.err << MessageTable::format(MessageId::PrintFailed, {options.pdf, *reason}) << '\n';
        return kFileUnusable;
    }
    context.out << "Wrote " << options.pdf << '\n';
    return kDone;
}

int runPrintWeek(const PrintWeekOptions& options, CliContext& context) {
    if (isTheAlmanary(options))
        return refuse(options, "that is the almanary itself", context);
    const auto firstDay = Calendar::noonOf(options.from);
    if (!firstDay) {
        context.err << MessageTable::format(MessageId::DateOutOfRange) << '\n';
        return kRefused;
    }
    int status = kDone;
    const auto document = CliDocument::open(options.file, options.password, context, status);
    if (!document)
        return status;
    const bool twelveHour = options.clock.twelveHourFor(document->settings);
    return writePdf(options, context, [&](PdfPaper paper) {
        return printWeekPdf(options.pdf, paper, document->events, *firstDay, twelveHour);
    });
}

// The header that names the search of the events found.
ResultsHeading headingOf(const EventChoice& choice, const EventList& found) {
    using Kind = ResultsHeading::Kind;
    if (choice.category)
        return {Kind::Category, *choice.category};
    if (choice.search)
        return {Kind::Comment, *choice.search};
    return {Kind::Date,
            found.isEmpty() ? std::string() : DateTimeText::dateText(found.at(0).date())};
}

int runPrintList(const PrintListOptions& options, CliContext& context) {
    if (isTheAlmanary(options))
        return refuse(options, "that is the almanary itself", context);
    // Chosen while reading, so a huge file is never held whole.
    int status = kDone;
    const auto document = CliDocument::open(options.file, options.password, context, status,
                                            options.choice.query()->filter());
    if (!document)
        return status;
    const EventList& results = document->events;
    const ResultsHeading heading = headingOf(options.choice, results);
    if (results.isEmpty())
        return refuse(options, "no events were found", context);
    const bool twelveHour = document->settings.twelveHourClock;
    return writePdf(options, context, [&](PdfPaper paper) {
        return printResultsPdf(options.pdf, paper, results, heading, twelveHour);
    });
}

}  // namespace

void definePrintWeekCommand(CLI::App& app, CommandWork& work) {
    CLI::App* command =
        app.add_subcommand("print-week", "Print the weekly calendar of seven days to a PDF");
    const auto options = optionsFor(*command, work, runPrintWeek);
    addFileOptions(*command, *options, "The almanary to print");
    addReadOption(*command, "--from", options->from, kDateForm, "The first of the seven days")
        ->required();
    addPdfOptions(*command, *options);
    addClockOptions(*command, options->clock);
    command->footer(helpFooter({kPdfNote, kPasswordNote}));
}

void definePrintListCommand(CLI::App& app, CommandWork& work) {
    CLI::App* command = app.add_subcommand(
        "print-list", "Print the events of a day, a category or a search to a PDF");
    const auto options = optionsFor(*command, work, runPrintList);
    addFileOptions(*command, *options, "The almanary to print from");
    CLI::Option_group* search = command->add_option_group("Search", "What to print, one of");
    excludeEachOther({
        addReadOption(*search, "--day", options->choice.day, kDateForm, "The events of this day"),
        search->add_option("--category", options->choice.category, "The events of this category")
            ->type_name("NAME"),
        search->add_option("--search", options->choice.search, "The events whose notes hold TEXT")
            ->type_name("TEXT"),
    });
    search->require_option(1);
    addPdfOptions(*command, *options);
    command->footer(helpFooter({kPdfNote, kPasswordNote}));
}

}  // namespace almanary::cli

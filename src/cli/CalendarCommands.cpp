// The iCalendar commands of almanary-cli: import and export.

#include "CliDocument.h"
#include "CommandOptions.h"
#include "EventLines.h"
#include "ical/ICalendarExport.h"
#include "ical/ICalendarImport.h"
#include "model/AtomicFile.h"
#include "model/FileReading.h"

namespace almanary::cli {
namespace {

struct Period {
    std::optional<CalendarDate> from, to;
};

struct ImportCommandOptions : FileOptions {
    std::string calendar;
    std::optional<std::string> category;
    Period period;
    bool dryRun = false;
};

struct ExportCommandOptions : FileOptions {
    std::string out;
    std::optional<std::string> category;
    Period period;
    bool force = false;
};

// The period, category and time of a call, as the import and export take them.
template <typename Asked, typename Options>
Asked askedOf(const Options& options, const CliContext& context) {
    Asked asked;
    asked.now = context.now;
    asked.from = options.period.from;
    asked.to = options.period.to;
    asked.category = options.category;
    return asked;
}

void addPeriodOptions(CLI::App& command, Period& period, const char* what) {
    addReadOption(command, "--from", period.from, kDateForm, std::string("The first day ") + what);
    addReadOption(command, "--to", period.to, kDateForm, std::string("The last day ") + what);
}

bool checkPeriod(const Period& period, CliContext& context) {
    if (period.from && period.to &&
        Calendar::dayNumber(*period.to) < Calendar::dayNumber(*period.from)) {
        context.err << "--to must not be before --from.\n";
        return false;
    }
    return true;
}

void printReport(const ImportReport& report, ReportTense tense, CliContext& context) {
    for (const std::string& line : reportLines(report, tense))
        context.out << line << '\n';
    for (const Event& event : report.startTaken)
        context.out << "  " << textLine(event, false) << '\n';
}

int runImport(const ImportCommandOptions& options, CliContext& context) {
    if (!checkPeriod(options.period, context))
        return kWrongUsage;
    const FileContents calendar = FileReading::readWholeFile(options.calendar, kCalendarByteLimit);
    if (!calendar.ok()) {
        context.err << options.calendar << " could not be read: " << calendar.reason << ".\n";
        return kFileUnusable;
    }
    int status = kDone;
    auto opened = CliDocument::openLocked(options.file, options.password, context, status);
    if (!opened)
        return status;
    AlmanaryDocument* document = &opened->document;
    const auto asked = askedOf<ImportOptions>(options, context);
    const ImportResult result = importICalendar(calendar.bytes, *document, asked);
    if (result.problem) {
        context.err << options.calendar << ", " << problemText(*result.problem)
                    << ".  Nothing was imported.\n";
        return kFileUnusable;
    }
    printReport(result.report, options.dryRun ? ReportTense::DryRun : ReportTense::Done, context);
    if (options.dryRun || !document->events.isModified())
        return kDone;
    return CliDocument::save(*document, options.file, context) ? kDone : kFileUnusable;
}

int runExport(const ExportCommandOptions& options, CliContext& context) {
    if (!checkPeriod(options.period, context))
        return kWrongUsage;
    if (CliDocument::keepsExisting(options.out, options.force, context))
        return kRefused;
    int status = kDone;
    const auto document = CliDocument::open(options.file, options.password, context, status);
    if (!document)
        return status;
    const auto asked = askedOf<ExportOptions>(options, context);
    const ExportResult exported = exportICalendar(document->events, asked);
    if (const auto failure = AtomicFile::write(options.out, exported.text)) {
        context.err << options.out << " could not be written: " << *failure << ".\n";
        return kFileUnusable;
    }
    context.out << "Exported " << exported.count << (exported.count == 1 ? " event" : " events")
                << " to " << options.out << ".\n";
    return kDone;
}

}  // namespace

void defineImportCommand(CLI::App& app, CommandWork& work) {
    CLI::App* command = app.add_subcommand("import", "Add the events of an iCalendar (.ics) file");
    const auto options = optionsFor(*command, work, runImport);
    addFileOptions(*command, *options, "The almanary to add the events to");
    addFileArgument(*command, options->calendar, "The iCalendar file to read", "CAL.ics");
    command->add_option("--category", options->category, "Put every event in this category")
        ->type_name("NAME");
    addPeriodOptions(*command, options->period, "to import (repeats are expanded over it)");
    addFlag(*command, "--dry-run", options->dryRun, "Report what would be added; change nothing");
    command->footer(helpFooter(
        {"Each event starts at its local time, down to the quarter hour, and lasts the\n"
         "shortest offered duration that covers it (at most 300 minutes; a longer event\n"
         "keeps its end in its notes). Events already there (same start and notes) are\n"
         "skipped; a start taken by another event keeps that event. Without --from and\n"
         "--to, repeated events are expanded from a year ago to two years ahead.",
         kPasswordNote}));
}

void defineExportCommand(CLI::App& app, CommandWork& work) {
    CLI::App* command = app.add_subcommand("export", "Write the events as an iCalendar file");
    const auto options = optionsFor(*command, work, runExport);
    addFileOptions(*command, *options, "The almanary to export");
    addFileArgument(*command, options->out, "The iCalendar file to write", "OUT.ics");
    command->add_option("--category", options->category, "Only the events of this category")
        ->type_name("NAME");
    addPeriodOptions(*command, options->period, "to export");
    addFlag(*command, "--force", options->force, "Replace OUT.ics when it exists");
    command->footer(helpFooter({kPasswordNote}));
}

}  // namespace almanary::cli

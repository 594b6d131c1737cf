#include "document/CalendarTransfer.h"

#include <filesystem>

#include "document/DocumentSession.h"
#include "ical/ICalendarExport.h"
#include "model/AtomicFile.h"
#include "model/DateTimeText.h"
#include "model/FileReading.h"
#include "platform/AppServices.h"
#include "platform/Clock.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"

namespace almanary {
namespace {

// A report shows this many of the events left out; the rest are counted.
constexpr std::size_t kListedLeftOut = 10;

std::string eventLine(const Event& event) {
    const std::string& notes = event.notes();
    return DateTimeText::dateText(event.date()) + " " + std::string(event.hour()) + ":" +
           std::string(event.minute()) + "  " + notes.substr(0, notes.find('\n'));
}

std::string reportText(const ImportReport& report) {
    std::string text;
    for (const std::string& line : reportLines(report, ReportTense::Done))
        text += line + "\n";
    for (std::size_t i = 0; i < report.startTaken.size() && i < kListedLeftOut; ++i)
        text += "    " + eventLine(report.startTaken[i]) + "\n";
    if (report.startTaken.size() > kListedLeftOut)
        text += "    and " + std::to_string(report.startTaken.size() - kListedLeftOut) + " more\n";
    text.pop_back();
    return text;
}

}  // namespace

CalendarTransfer::CalendarTransfer(QWidget* parent, DocumentSession& session,
                                   const AppServices& services)
    : parent_(parent), session_(session), services_(services) {}

void CalendarTransfer::importFile() {
    const auto path = services_.files.chooseToOpen(parent_, FileKind::Calendar, std::string());
    if (!path)
        return;
    const FileContents calendar = FileReading::readWholeFile(*path, kCalendarByteLimit);
    if (!calendar.ok()) {
        services_.prompter.show(parent_, MessageId::CalendarNotImported, {*path, calendar.reason});
        return;
    }
    ImportOptions options;
    options.now = services_.clock.now();
    const ImportResult result = session_.importCalendar(calendar.bytes, options);
    if (result.problem) {
        services_.prompter.show(parent_, MessageId::CalendarNotImported,
                                {*path, problemText(*result.problem)});
        return;
    }
    services_.prompter.show(parent_, MessageId::CalendarImported,
                            {*path, reportText(result.report)});
}

void CalendarTransfer::exportFile() {
    const auto path = services_.files.chooseToSave(parent_, FileKind::Calendar, std::string());
    if (!path)
        return;
    std::error_code error;
    if (std::filesystem::exists(*path, error) &&
        services_.prompter.show(parent_, MessageId::OverwriteCalendar, {*path}) !=
            MessageAnswer::Yes)
        return;
    ExportOptions options;
    options.now = services_.clock.now();
    const ExportResult exported = exportICalendar(session_.events(), options);
    if (const auto failure = AtomicFile::write(*path, exported.text))
        services_.prompter.show(parent_, MessageId::CalendarNotExported, {*path, *failure});
}

}  // namespace almanary

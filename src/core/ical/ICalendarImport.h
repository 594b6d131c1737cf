#pragma once
// Brings the events of an iCalendar file into an almanary: each occurrence
// becomes an event on the almanary's own terms (a quarter-hour start, an
// offered duration and reminder lead, notes from the summary, location and
// description, a category by the category rules). What is already there is
// skipped, and a start that is taken keeps its event.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ical/CalendarReader.h"
#include "model/AlmanaryFile.h"

namespace almanary {

// Larger than any calendar a person keeps (a million events is about 200 MB).
constexpr std::size_t kCalendarByteLimit = std::size_t(512) << 20;

struct ImportOptions {
    DateTime now = 0;  // the default window is a year back to two years ahead of it
    // Only events on these days when given; repeated events are expanded
    // over them.
    std::optional<CalendarDate> from, to;
    std::optional<std::string> category;  // every event goes into it
};

struct ImportReport {
    int added = 0;
    int alreadyThere = 0;           // an event equal in start and notes was there
    std::vector<Event> startTaken;  // left out: another event has that start
    std::vector<std::string> categoriesAdded;
    int notStorable = 0;  // before 1970 or after 2106
};

struct ImportResult {
    std::optional<ICalendarProblem> problem;  // then the document is unchanged
    ImportReport report;
};

ImportResult importICalendar(std::string_view text, AlmanaryDocument& document,
                             const ImportOptions& options);

// The report in sentences: what was added (or would be, for a dry run),
// what was there already, the categories added and the counts left out.
// The events left out for a taken start are the caller's to list.
enum class ReportTense { Done, DryRun };
std::vector<std::string> reportLines(const ImportReport& report, ReportTense tense);

// "line 11: DTSTART ... is not a date or time", or the text alone when it
// concerns the file as a whole.
std::string problemText(const ICalendarProblem& problem);

}  // namespace almanary

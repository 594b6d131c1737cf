#pragma once
// Reads iCalendar text (RFC 5545) with libical into the occurrences of its
// events: recurrences expanded over a window, exceptions left out, moved
// instances in place of the ones they replace, and every start an absolute
// moment. Damaged or foreign text is reported with the line it is on.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Calendar.h"

namespace almanary {

struct ICalendarProblem {
    int line = 0;  // 1-based; 0 when it is the text as a whole
    std::string what;
};

struct CalendarOccurrence {
    int line = 0;        // where the event's BEGIN:VEVENT stands
    DateTime start = 0;  // an all-day event: 0:00 local time of its date
    bool allDay = false;
    bool recurring = false;  // one of the instances of a repeated event
    std::int64_t lengthSeconds = 0;
    std::string summary, location, description;
    std::string category;                 // the first of CATEGORIES
    std::optional<int> alarmLeadMinutes;  // the earliest alarm before the start
};

struct CalendarRead {
    std::vector<CalendarOccurrence> occurrences;  // in the order of the file
    std::optional<ICalendarProblem> problem;
};

// Repeated events are expanded over `from`..`to` (moments, both included).
CalendarRead readICalendar(std::string_view text, DateTime from, DateTime to);

}  // namespace almanary

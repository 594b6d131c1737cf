#pragma once
// Reading the values people type on the command line: dates, start times
// and choices from the event dialog's lists.

#include <optional>
#include <string>
#include <string_view>

#include "model/Calendar.h"

namespace almanary::cli {

// A start as typed; EventEntry::checkStart says whether it is one.
struct StartTime {
    std::string hourText;
    std::string minuteText;
};

// "YYYY-MM-DD" as a real calendar date.
std::optional<CalendarDate> parseDate(std::string_view text);

// An hour and a minute around a colon ("H:MM"), taken as they are written;
// the rules of a start are checked by the command, which says what is wrong.
std::optional<StartTime> parseStartTime(std::string_view text);

// "YYYY-MM-DD H:MM" as a local date-time: an hour as DateTimeText::readHour
// reads it, a minute from 00 to 59.
std::optional<DateTime> parseLocalDateTime(std::string_view text);

// True when the date lies between the local dates of the first and the last
// storable moment; a day in that range without a noon is one the local
// clocks skip.
bool withinStorableDays(const CalendarDate& date);

// "a, b, c" for messages that list the allowed values.
template <typename Choices>
std::string joinChoices(const Choices& choices) {
    std::string out;
    for (const auto& c : choices) {
        if (!out.empty())
            out += ", ";
        out += c;
    }
    return out;
}

}  // namespace almanary::cli

#pragma once
// Reading the values people type on the command line: dates, start times
// and choices from the event dialog's lists.

#include <optional>
#include <string>
#include <string_view>

#include "model/Calendar.h"

namespace almanary::cli {

struct StartTime {
    std::string hourText;    // "0" to "23", as the event dialog stores it
    std::string minuteText;  // "00", "15", "30" or "45"
};

// "YYYY-MM-DD" as a real calendar date.
std::optional<CalendarDate> parseDate(std::string_view text);

// "H:MM" or "HH:MM"; the hour and minute are checked against the event
// dialog's choices separately, so this accepts any digits in those places.
std::optional<StartTime> parseStartTime(std::string_view text);

// "YYYY-MM-DD H:MM" as a local date-time.
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

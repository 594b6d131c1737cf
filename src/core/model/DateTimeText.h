#pragma once
// Every text form of dates, times, time spans and weekdays that Almanary
// shows or prints: English names, month/day/year, no locale lookup.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/Calendar.h"

namespace almanary::DateTimeText {

// Reads a number the way every stored text is read: leading white space,
// one optional sign, then decimal digits up to the first other character.
// No digits reads as 0; values beyond 32 bits saturate.
std::int32_t readNumber(std::string_view text);

// An hour as people type it: one or two decimal digits ("9", "09") for 0
// to 23. A sign, a blank or anything else is no hour.
std::optional<int> readHour(std::string_view text);

std::string numberText(std::int64_t value);
std::string weekdayName(int dayNumber);  // 1 = "Sunday" .. 7 = "Saturday", else "Bad Day"
std::string dateText(DateTime value);    // local m/d/yyyy
std::string clockText(int hour, int minute, bool suffixWanted);
std::string timeRangeText(std::string_view hourText, std::string_view minuteText,
                          std::string_view durationText, bool twelveHour);
std::string startTimeText(std::string_view hourText, std::string_view minuteText);

// The process-wide 12-hour clock flag; mirrors the open document's setting.
void setTwelveHourClock(bool on);
bool getTwelveHourClock();

}  // namespace almanary::DateTimeText

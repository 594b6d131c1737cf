#include "CliInput.h"

#include <charconv>

#include "model/DateTimeText.h"

namespace almanary::cli {
namespace {

// A run of exactly `digits` decimal digits (1 or 2 for "min..max").
std::optional<int> digits(std::string_view text, std::size_t minDigits, std::size_t maxDigits) {
    if (text.size() < minDigits || text.size() > maxDigits)
        return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<CalendarDate> parseDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const auto year = digits(text.substr(0, 4), 4, 4);
    const auto month = digits(text.substr(5, 2), 2, 2);
    const auto day = digits(text.substr(8, 2), 2, 2);
    if (!year || !month || !day)
        return std::nullopt;
    if (*day < 1 || *day > Calendar::daysInMonth(*year, *month))
        return std::nullopt;
    return CalendarDate{*year, *month, *day};
}

std::optional<StartTime> parseStartTime(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    return StartTime{std::string(text.substr(0, colon)), std::string(text.substr(colon + 1))};
}

std::optional<DateTime> parseLocalDateTime(std::string_view text) {
    const auto space = text.find(' ');
    if (space == std::string_view::npos)
        return std::nullopt;
    const auto date = parseDate(text.substr(0, space));
    const auto time = parseStartTime(text.substr(space + 1));
    if (!date || !time)
        return std::nullopt;
    const auto hour = DateTimeText::readHour(time->hourText);
    const auto minute = digits(time->minuteText, 2, 2);
    if (!hour || !minute || *minute > 59)
        return std::nullopt;
    return Calendar::fromLocal(date->year, date->month, date->day, *hour, *minute);
}

bool withinStorableDays(const CalendarDate& date) {
    const std::int64_t day = Calendar::dayNumber(date);
    return Calendar::dayNumber(Calendar::localDate(kFirstStorableDateTime)) <= day &&
           day <= Calendar::dayNumber(Calendar::localDate(kLastStorableDateTime));
}

}  // namespace almanary::cli

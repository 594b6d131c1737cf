#include "CliInput.h"

#include <charconv>

#include "model/DateTimeText.h"

namespace almanary::cli {
namespace {

// A run of exactly `digits` decimal digits (1 or 2 for "min..max").
std::optional<int> Digits(std::string_view text, std::size_t minDigits, std::size_t maxDigits) {
    if (text.size() < minDigits || text.size() > maxDigits)
        return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<CalendarDate> ParseDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const auto year = Digits(text.substr(0, 4), 4, 4);
    const auto month = Digits(text.substr(5, 2), 2, 2);
    const auto day = Digits(text.substr(8, 2), 2, 2);
    if (!year || !month || !day)
        return std::nullopt;
    if (*day < 1 || *day > Calendar::DaysInMonth(*year, *month))
        return std::nullopt;
    return CalendarDate{*year, *month, *day};
}

std::optional<StartTime> ParseStartTime(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const auto hour = Digits(text.substr(0, colon), 1, 2);
    const std::string_view minute = text.substr(colon + 1);
    if (!hour || !Digits(minute, 2, 2))
        return std::nullopt;
    return StartTime{DateTimeText::NumberText(*hour), std::string(minute)};
}

std::optional<DateTime> ParseLocalDateTime(std::string_view text) {
    const auto space = text.find(' ');
    if (space == std::string_view::npos)
        return std::nullopt;
    const auto date = ParseDate(text.substr(0, space));
    const auto time = ParseStartTime(text.substr(space + 1));
    if (!date || !time)
        return std::nullopt;
    const int minute = DateTimeText::ReadNumber(time->minuteText);
    if (minute > 59)
        return std::nullopt;
    return Calendar::FromLocal(date->year, date->month, date->day,
                               DateTimeText::ReadNumber(time->hourText), minute);
}

std::optional<DateTime> StorableDay(const CalendarDate& date) {
    const auto value = Calendar::FromLocal(date.year, date.month, date.day);
    if (!value || !Calendar::IsStorable(*value))
        return std::nullopt;
    return value;
}

}  // namespace almanary::cli

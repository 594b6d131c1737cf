#include "app/AutosaveMinutes.h"

#include <charconv>
#include <string>

namespace almanary {

namespace {

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view kBlanks = " \t";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

Notice outOfRange() {
    return {MessageId::EnterIntegerBetween,
            {std::to_string(AutosaveMinutes::kFewest), std::to_string(AutosaveMinutes::kMost)}};
}

}  // namespace

AutosaveMinutes::Reading AutosaveMinutes::read(std::string_view text) {
    std::string_view number = trimmed(text);
    // from_chars takes a minus sign but not a plus.
    if (number.size() > 1 && number.front() == '+' && number[1] != '-')
        number.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || end != number.data() + number.size() ||
        error == std::errc::invalid_argument)
        return {std::nullopt, Notice{MessageId::EnterInteger, {}}};
    // A whole number too large to hold is still a number, just out of range.
    if (error == std::errc::result_out_of_range)
        return {std::nullopt, outOfRange()};
    if (value < kFewest || value > kMost)
        return {value, outOfRange()};
    return {value, std::nullopt};
}

}  // namespace almanary

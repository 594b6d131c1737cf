#pragma once
// The fixed choices the event dialog offers for an event's start, length
// and reminder lead; everything that enters events checks against them.

#include <array>
#include <string_view>

namespace almanary::EventChoices {

inline constexpr std::array<std::string_view, 4> kMinutes = {"00", "15", "30", "45"};

inline constexpr std::array<std::string_view, 14> kDurations = {
    "0", "15", "30", "45", "60", "75", "90", "120", "150", "180", "210", "240", "270", "300"};

inline constexpr std::array<std::string_view, 12> kReminderLeads = {
    "0", "5", "10", "15", "20", "30", "45", "60", "75", "90", "120", "180"};

inline constexpr int kHourCount = 24;  // "0" to "23", no leading zero

template <std::size_t N>
constexpr bool contains(const std::array<std::string_view, N>& choices, std::string_view text) {
    for (std::string_view c : choices) {
        if (c == text)
            return true;
    }
    return false;
}

}  // namespace almanary::EventChoices

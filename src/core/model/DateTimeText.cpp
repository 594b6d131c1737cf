#include "model/DateTimeText.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <limits>

namespace almanary::DateTimeText {
namespace {

std::atomic<bool> twelveHourClock{false};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The clock form of any hour and minute; 64 bits wide because an end time
// computed from absurd stored texts does not fit 32 bits.
std::string clock(std::int64_t hour, std::int64_t minute, bool suffixWanted) {
    bool pm = false;
    if (hour > 12) {
        hour -= 12;
        pm = true;
    }
    if (hour == 12)
        pm = true;
    std::string text = numberText(hour) + ":" + (minute == 0 ? "00" : numberText(minute));
    if (suffixWanted)
        text += pm ? " PM" : " AM";
    return text;
}

struct EndTime {
    std::int64_t hour;
    std::int64_t minute;
};

// Start plus duration. Only whole hours carry over from the minutes, and only
// one day is taken off an hour past 23.
EndTime endOf(std::int64_t hour, std::int64_t minute, std::int64_t duration) {
    EndTime end{hour, minute + duration};
    if (end.minute >= 60) {
        end.hour += end.minute / 60;
        end.minute %= 60;
    }
    if (end.hour > 23)
        end.hour -= 24;
    return end;
}

}  // namespace

std::int32_t readNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate towards the limit of the sign so the extreme values saturate
    // instead of overflowing.
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    const std::int64_t limit = negative ? kMax + 1 : kMax;
    std::int64_t magnitude = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit)
            magnitude = limit;
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::optional<int> readHour(std::string_view text) {
    if (text.empty() || text.size() > 2 || !std::ranges::all_of(text, isDigit))
        return std::nullopt;
    const int hour = readNumber(text);
    if (hour > 23)
        return std::nullopt;
    return hour;
}

std::string numberText(std::int64_t value) {
    return std::to_string(value);
}

std::string weekdayName(int dayNumber) {
    static constexpr std::array<const char*, 7> kNames = {
        "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    if (dayNumber < 1 || dayNumber > 7)
        return "Bad Day";
    return kNames[static_cast<std::size_t>(dayNumber - 1)];
}

std::string dateText(DateTime value) {
    const LocalFields local = Calendar::toLocal(value);
    return numberText(local.month) + "/" + numberText(local.day) + "/" + numberText(local.year);
}

std::string clockText(int hour, int minute, bool suffixWanted) {
    return clock(hour, minute, suffixWanted);
}

std::string timeRangeText(std::string_view hourText, std::string_view minuteText,
                          std::string_view durationText, bool twelveHour) {
    const std::int64_t hour = readNumber(hourText);
    const std::int64_t minute = readNumber(minuteText);
    const EndTime end = endOf(hour, minute, readNumber(durationText));
    if (twelveHour)
        return clock(hour, minute, true) + " - " + clock(end.hour, end.minute, false);

    // The start keeps its stored texts; only a bare "0" hour is widened.
    std::string text = hourText == "0" ? std::string("00") : std::string(hourText);
    text += ":";
    text += minuteText;
    text += " - " + numberText(end.hour) + ":" + (end.minute == 0 ? "00" : numberText(end.minute));
    return text;
}

std::string startTimeText(std::string_view hourText, std::string_view minuteText) {
    std::string text(hourText);
    text += ":";
    text += minuteText;
    return text;
}

void setTwelveHourClock(bool on) {
    twelveHourClock.store(on, std::memory_order_relaxed);
}

bool getTwelveHourClock() {
    return twelveHourClock.load(std::memory_order_relaxed);
}

}  // namespace almanary::DateTimeText

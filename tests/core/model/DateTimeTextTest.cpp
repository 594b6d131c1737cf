#include "model/DateTimeText.h"

#include <gtest/gtest.h>

namespace almanary {
namespace {

namespace Text = DateTimeText;

// The 24-hour start keeps its stored texts, widening only a bare "0" hour.
TEST(DateTimeTextTest, NumbersWeekdaysAndTimeRanges) {
    const std::pair<std::string, std::int32_t> numbers[] = {
        {"\t\n 09", 9},
        {"+-5", 0},
        {"12ab", 12},
        {"2147483648", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-99999999999999999999999", INT32_MIN}};
    for (const auto& [text, number] : numbers)
        EXPECT_EQ(Text::readNumber(text), number) << '"' << text << '"';
    EXPECT_EQ(
        Text::weekdayName(1) + Text::weekdayName(7) + Text::weekdayName(0) + Text::weekdayName(8),
        "SundaySaturdayBad DayBad Day");
    const char* const ranges[][5] = {{"9", "00", "60", "9:00 - 10:00", "9:00 AM - 10:00"},
                                     {"13", "30", "45", "13:30 - 14:15", "1:30 PM - 2:15"},
                                     {"0", "15", "30", "00:15 - 0:45", "0:15 AM - 0:45"},
                                     {"12", "00", "0", "12:00 - 12:00", "12:00 PM - 12:00"},
                                     {"23", "45", "15", "23:45 - 0:00", "11:45 PM - 0:00"},
                                     {"23", "30", "1500", "23:30 - 24:30", "11:30 PM - 12:30"},
                                     {" 9", "15x", "45", " 9:15x - 10:00", "9:15 AM - 10:00"}};
    for (const auto& [hour, minute, duration, twentyFour, twelve] : ranges) {
        EXPECT_EQ(Text::timeRangeText(hour, minute, duration, false), twentyFour);
        EXPECT_EQ(Text::timeRangeText(hour, minute, duration, true), twelve);
    }
}

}  // namespace
}  // namespace almanary

#include "model/DateTimeText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

#include "support/ScopedTimeZone.h"

namespace almanary {
namespace {

using testing::ScopedTimeZone;
namespace Text = DateTimeText;

TEST(ReadNumberTest, ReadsLikeStoredTextsAndSaturates) {
    const struct {
        std::string text;
        std::int32_t number;
    } cases[] = {{"23", 23},
                 {"\t\n 09", 9},
                 {"+5", 5},
                 {"-3", -3},
                 {"", 0},
                 {"+-5", 0},
                 {"12ab", 12},
                 {"0x1F", 0},
                 {std::string("4\0002", 3), 4},
                 {"2147483648", INT32_MAX},
                 {"-2147483648", INT32_MIN},
                 {"-99999999999999999999999", INT32_MIN},
                 {"000000000000000000000042", 42}};
    for (const auto& c : cases)
        EXPECT_EQ(Text::readNumber(c.text), c.number) << '"' << c.text << '"';
}

TEST(DateTextTest, WeekdaysAndLocalMonthDayYear) {
    EXPECT_EQ(Text::weekdayName(1), "Sunday");
    EXPECT_EQ(Text::weekdayName(7), "Saturday");
    for (const int day : {0, 8, INT32_MIN})
        EXPECT_EQ(Text::weekdayName(day), "Bad Day") << day;
    {
        const ScopedTimeZone zone("UTC");
        EXPECT_EQ(Text::dateText(*Calendar::fromLocal(2001, 5, 9, 23, 59, 59)), "5/9/2001");
        EXPECT_EQ(Text::dateText(kLastStorableDateTime), "2/7/2106");
    }
    const ScopedTimeZone zone("America/New_York");
    EXPECT_EQ(Text::dateText(kFirstStorableDateTime), "12/31/1969");
}

// The twelve-hour start of timeRangeText below goes through the same mapping.
TEST(ClockTextTest, HourMapping) {
    EXPECT_EQ(Text::clockText(12, 0, true), "12:00 PM");
    EXPECT_EQ(Text::clockText(24, 0, true), "12:00 PM");
    EXPECT_EQ(Text::clockText(25, 0, true), "13:00 PM");
    EXPECT_EQ(Text::clockText(14, 15, false), "2:15");
    EXPECT_EQ(Text::clockText(-1, 0, true), "-1:00 AM");
}

TEST(TimeRangeTextTest, WorkedExamplesStoredTextsAndOddValues) {
    const struct {
        const char *hour, *minute, *duration, *twentyFour, *twelve;
    } cases[] = {{"9", "00", "60", "9:00 - 10:00", "9:00 AM - 10:00"},
                 {"13", "30", "45", "13:30 - 14:15", "1:30 PM - 2:15"},
                 {"0", "15", "30", "00:15 - 0:45", "0:15 AM - 0:45"},
                 {"11", "45", "30", "11:45 - 12:15", "11:45 AM - 12:15"},
                 {"23", "45", "15", "23:45 - 0:00", "11:45 PM - 0:00"},
                 // The start keeps the stored texts; the end minute has no leading zero.
                 {"9", "5", "60", "9:5 - 10:5", "9:5 AM - 10:5"},
                 {" 9", "15x", "45", " 9:15x - 10:00", "9:15 AM - 10:00"},
                 {"00", "15", "30", "00:15 - 0:45", "0:15 AM - 0:45"},       // only "0" is widened
                 {"23", "30", "1500", "23:30 - 24:30", "11:30 PM - 12:30"},  // one day taken off
                 {"", "", "", ": - 0:00", "0:00 AM - 0:00"},
                 {"10", "00", "-30", "10:00 - 10:-30", "10:00 AM - 10:-30"},
                 {"2147483647", "2147483647", "2147483647", "2147483647:2147483647 - 2219066411:14",
                  "2147483635:2147483647 PM - 2219066399:14"},
                 {"-2147483648", "-2147483648", "-2147483648",
                  "-2147483648:-2147483648 - -2147483648:-4294967296",
                  "-2147483648:-2147483648 AM - -2147483648:-4294967296"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.hour) + ", " + c.minute + ", " + c.duration);
        EXPECT_EQ(Text::timeRangeText(c.hour, c.minute, c.duration, false), c.twentyFour);
        EXPECT_EQ(Text::timeRangeText(c.hour, c.minute, c.duration, true), c.twelve);
    }
}

}  // namespace
}  // namespace almanary

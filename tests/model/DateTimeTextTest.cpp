#include "model/DateTimeText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/ScopedTimeZone.h"

namespace almanary {
namespace {

using testing::ScopedTimeZone;
namespace Text = DateTimeText;

TEST(ReadNumberTest, ReadsLikeStoredTexts) {
    struct Case {
        std::string text;
        std::int32_t expected;
    };
    const Case cases[] = {{"0", 0},
                          {"23", 23},
                          {" 09", 9},
                          {"\t\n 7", 7},
                          {"+5", 5},
                          {"-3", -3},
                          {"x", 0},
                          {"", 0},
                          {"   ", 0},
                          {"-", 0},
                          {"+-5", 0},
                          {"- 5", 0},
                          {"12ab", 12},
                          {"1 2", 1},
                          {"3.9", 3},
                          {"0x1F", 0},
                          {"2147483647", 2147483647},
                          {"2147483648", 2147483647},
                          {"99999999999999999999999", 2147483647},
                          {"-2147483648", INT32_MIN},
                          {"-2147483649", INT32_MIN},
                          {"-99999999999999999999999", INT32_MIN},
                          {"000000000000000000000042", 42},
                          {std::string("4\0"
                                       "2",
                                       3),
                           4}};
    for (const Case& c : cases)
        EXPECT_EQ(Text::ReadNumber(c.text), c.expected) << '"' << c.text << '"';
}

TEST(NumberTextTest, PlainDecimal) {
    EXPECT_EQ(Text::NumberText(7), "7");
    EXPECT_EQ(Text::NumberText(2001), "2001");
    EXPECT_EQ(Text::NumberText(0), "0");
    EXPECT_EQ(Text::NumberText(-45), "-45");
    EXPECT_EQ(Text::NumberText(1234567), "1234567");
    EXPECT_EQ(Text::NumberText(INT64_MIN), "-9223372036854775808");
}

TEST(WeekdayNameTest, OneToSevenFromSunday) {
    const char* const names[] = {"Bad Day",  "Sunday", "Monday",   "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday", "Bad Day"};
    for (int day = 0; day <= 8; ++day)
        EXPECT_EQ(Text::WeekdayName(day), names[day]) << day;
    EXPECT_EQ(Text::WeekdayName(-1), "Bad Day");
    EXPECT_EQ(Text::WeekdayName(INT32_MIN), "Bad Day");
    EXPECT_EQ(Text::WeekdayName(INT32_MAX), "Bad Day");
}

TEST(DateTextTest, MonthDayYearWithoutLeadingZeros) {
    const ScopedTimeZone zone("UTC");
    struct Case {
        int year, month, day;
        const char* expected;
    };
    const Case cases[] = {{2001, 5, 9, "5/9/2001"},   {2002, 1, 5, "1/5/2002"},
                          {2001, 1, 1, "1/1/2001"},   {2024, 12, 31, "12/31/2024"},
                          {2024, 2, 29, "2/29/2024"}, {1970, 1, 1, "1/1/1970"},
                          {2106, 2, 7, "2/7/2106"}};
    for (const Case& c : cases) {
        const auto value = Calendar::FromLocal(c.year, c.month, c.day, 23, 59, 59);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(Text::DateText(*value), c.expected);
    }
}

TEST(DateTextTest, ShowsTheLocalDate) {
    const DateTime firstStorable = kFirstStorableDateTime;
    {
        const ScopedTimeZone zone("America/New_York");
        EXPECT_EQ(Text::DateText(firstStorable), "12/31/1969");
    }
    {
        const ScopedTimeZone zone("Asia/Tokyo");
        EXPECT_EQ(Text::DateText(firstStorable), "1/1/1970");
        EXPECT_EQ(Text::DateText(kLastStorableDateTime), "2/7/2106");
    }
}

TEST(ClockTextTest, HourMapping) {
    struct Case {
        int hour, minute;
        bool suffix;
        const char* expected;
    };
    const Case cases[] = {
        {0, 0, true, "0:00 AM"},   {0, 30, true, "0:30 AM"},   {1, 15, true, "1:15 AM"},
        {9, 0, true, "9:00 AM"},   {11, 45, true, "11:45 AM"}, {12, 0, true, "12:00 PM"},
        {12, 30, false, "12:30"},  {13, 30, true, "1:30 PM"},  {23, 45, true, "11:45 PM"},
        {24, 0, true, "12:00 PM"}, {9, 5, true, "9:5 AM"},     {14, 15, false, "2:15"},
        {0, 0, false, "0:00"},     {25, 0, true, "13:00 PM"},  {-1, 0, true, "-1:00 AM"}};
    for (const Case& c : cases) {
        EXPECT_EQ(Text::ClockText(c.hour, c.minute, c.suffix), c.expected)
            << c.hour << ":" << c.minute << (c.suffix ? " with suffix" : "");
    }
}

struct RangeCase {
    const char* hour;
    const char* minute;
    const char* duration;
    const char* twentyFour;
    const char* twelve;
};

void ExpectRanges(const RangeCase& c) {
    SCOPED_TRACE(std::string(c.hour) + ", " + c.minute + ", " + c.duration);
    EXPECT_EQ(Text::TimeRangeText(c.hour, c.minute, c.duration, false), c.twentyFour);
    EXPECT_EQ(Text::TimeRangeText(c.hour, c.minute, c.duration, true), c.twelve);
}

TEST(TimeRangeTextTest, WorkedExamples) {
    const RangeCase cases[] = {{"9", "00", "60", "9:00 - 10:00", "9:00 AM - 10:00"},
                               {"13", "30", "45", "13:30 - 14:15", "1:30 PM - 2:15"},
                               {"0", "15", "30", "00:15 - 0:45", "0:15 AM - 0:45"},
                               {"11", "45", "30", "11:45 - 12:15", "11:45 AM - 12:15"},
                               {"23", "45", "15", "23:45 - 0:00", "11:45 PM - 0:00"},
                               {"23", "30", "300", "23:30 - 4:30", "11:30 PM - 4:30"},
                               {"9", "00", "0", "9:00 - 9:00", "9:00 AM - 9:00"}};
    for (const RangeCase& c : cases)
        ExpectRanges(c);
}

TEST(TimeRangeTextTest, StoredTextsAndOddValues) {
    const RangeCase cases[] = {// Minutes never get a leading zero; a zero end minute is "00".
                               {"9", "5", "60", "9:5 - 10:5", "9:5 AM - 10:5"},
                               // The start keeps the stored minute text.
                               {"9", "0", "60", "9:0 - 10:00", "9:00 AM - 10:00"},
                               // Only one day is taken off.
                               {"23", "30", "1500", "23:30 - 24:30", "11:30 PM - 12:30"},
                               {"23", "30", "60", "23:30 - 0:30", "11:30 PM - 0:30"},
                               // Only the exact text "0" is widened.
                               {"00", "15", "30", "00:15 - 0:45", "0:15 AM - 0:45"},
                               {"0", "0", "0", "00:0 - 0:00", "0:00 AM - 0:00"},
                               {"12", "00", "59", "12:00 - 12:59", "12:00 PM - 12:59"},
                               // Texts that are no numbers read as 0.
                               {"9", "30", "", "9:30 - 9:30", "9:30 AM - 9:30"},
                               {"9", "30", "abc", "9:30 - 9:30", "9:30 AM - 9:30"},
                               {"", "", "", ": - 0:00", "0:00 AM - 0:00"},
                               {" 9", "15x", "45", " 9:15x - 10:00", "9:15 AM - 10:00"},
                               {"10", "00", "-30", "10:00 - 10:-30", "10:00 AM - 10:-30"}};
    for (const RangeCase& c : cases)
        ExpectRanges(c);
}

TEST(TimeRangeTextTest, AbsurdNumbersDoNotOverflow) {
    const RangeCase cases[] = {
        {"2147483647", "0", "0", "2147483647:0 - 2147483623:00",
         "2147483635:00 PM - 2147483611:00"},
        {"23", "59", "2147483647", "23:59 - 35791394:6", "11:59 PM - 35791382:6"},
        {"2147483647", "2147483647", "2147483647", "2147483647:2147483647 - 2219066411:14",
         "2147483635:2147483647 PM - 2219066399:14"},
        {"99999999999", "0", "99999999999", "99999999999:0 - 2183275017:7",
         "2147483635:00 PM - 2183275005:7"},
        {"-2147483648", "-2147483648", "-2147483648",
         "-2147483648:-2147483648 - -2147483648:-4294967296",
         "-2147483648:-2147483648 AM - -2147483648:-4294967296"}};
    for (const RangeCase& c : cases)
        ExpectRanges(c);
}

TEST(StartTimeTextTest, JoinsTheStoredTexts) {
    EXPECT_EQ(Text::StartTimeText("9", "00"), "9:00");
    EXPECT_EQ(Text::StartTimeText("0", "30"), "0:30");
    EXPECT_EQ(Text::StartTimeText("0", "0"), "0:0");
    EXPECT_EQ(Text::StartTimeText("23", "45"), "23:45");
    EXPECT_EQ(Text::StartTimeText(" 7", "x"), " 7:x");
}

TEST(TwelveHourClockTest, KeepsTheLastSetting) {
    const bool before = Text::GetTwelveHourClock();
    Text::SetTwelveHourClock(true);
    EXPECT_TRUE(Text::GetTwelveHourClock());
    Text::SetTwelveHourClock(true);
    EXPECT_TRUE(Text::GetTwelveHourClock());
    Text::SetTwelveHourClock(false);
    EXPECT_FALSE(Text::GetTwelveHourClock());
    Text::SetTwelveHourClock(before);
}

}  // namespace
}  // namespace almanary

// Repeated events whose expansion would run without end: refused by the line of their rule,
// or read at once, and a COUNT still counted from DTSTART.
#include <gtest/gtest.h>

#include "ical/CalendarReader.h"
#include "support/ScopedTimeZone.h"
#include "support/TestFiles.h"

namespace almanary {
namespace {

std::string calendarWith(const std::string& start, const std::string& repeats) {
    return "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:" + start + "\r\n" + repeats +
           "SUMMARY:x\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

class CalendarReaderTest : public ::testing::Test {
protected:
    CalendarRead read(const std::string& text) const { return readICalendar(text, from, to); }

    testing::ScopedTimeZone zone{"Europe/Berlin"};
    const DateTime from = *Calendar::fromLocal(2025, 12, 1);
    const DateTime to = *Calendar::fromLocal(2028, 12, 1);
};

TEST_F(CalendarReaderTest, RunawayRepeatsAreRefusedByTheirLine) {
    const struct {
        std::string text;
        int line;  // 0: read, with no occurrence
        std::string what;
    } cases[] = {
        {testing::readFile(std::string(ALMANARY_FIXTURES_DIR) + "/ical/repeats-every-second.ics"),
         4, "RRULE repeats the event too often"},
        {calendarWith("20260101T000000Z", "RRULE:FREQ=MINUTELY\r\n"), 4, "too often"},
        // Fifteen-minute steps from 1970 to the window, before COUNT ends them.
        {calendarWith("19700101T000000Z", "RRULE:FREQ=MINUTELY;INTERVAL=15;COUNT=2000000000\r\n"),
         4, "too long a time"},
        {calendarWith("20260101T000000Z", "RRULE:FREQ=DAILY\r\nEXRULE:FREQ=WEEKLY\r\n"), 5,
         "EXRULE"},
        // Days that never come: libical would search hour by hour up to the year 2582.
        {calendarWith("20260101T000000Z", "RRULE:FREQ=HOURLY;BYMONTH=2;BYMONTHDAY=30\r\n"), 0, ""},
        {calendarWith("20260101T000000Z", "RRULE:FREQ=HOURLY;COUNT=5;BYMONTH=2;BYMONTHDAY=30\r\n"),
         0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const CalendarRead result = read(c.text);
        if (c.line == 0) {
            EXPECT_FALSE(result.problem) << result.problem->what;
            EXPECT_TRUE(result.occurrences.empty());
            continue;
        }
        ASSERT_TRUE(result.problem);
        EXPECT_EQ(result.problem->line, c.line);
        EXPECT_NE(result.problem->what.find(c.what), std::string::npos) << result.problem->what;
        EXPECT_TRUE(result.occurrences.empty());
    }
}

TEST_F(CalendarReaderTest, ACountBeforeTheWindowIsCountedFromTheStart) {
    // 400 days from 1 January 2025: those from 1 December to 4 February meet the window.
    const CalendarRead result =
        read(calendarWith("20250101T090000", "RRULE:FREQ=DAILY;COUNT=400\r\n"));
    ASSERT_FALSE(result.problem) << result.problem->what;
    ASSERT_EQ(result.occurrences.size(), 66u);
    EXPECT_EQ(result.occurrences.front().start, *Calendar::fromLocal(2025, 12, 1, 9));
    EXPECT_EQ(result.occurrences.back().start, *Calendar::fromLocal(2026, 2, 4, 9));
}

}  // namespace
}  // namespace almanary

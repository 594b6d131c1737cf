#include "model/Event.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/ScopedTimeZone.h"

namespace almanary {
namespace {

using testing::ScopedTimeZone;

DateTime Local(int year, int month, int day, int hour = 0, int minute = 0) {
    const std::optional<DateTime> value = Calendar::FromLocal(year, month, day, hour, minute);
    EXPECT_TRUE(value.has_value());
    return value.value_or(0);
}

Event At(DateTime date, std::string hour, std::string minute, std::string duration = "0") {
    Event event;
    event.setHour(std::move(hour));
    event.setMinute(std::move(minute));
    event.setDuration(std::move(duration));
    event.setDate(date);
    return event;
}

TEST(EventTest, KeyComesFromLocalDateAndHourMinuteTexts) {
    ScopedTimeZone zone("EST5EDT,M3.2.0,M11.1.0");
    // 2024-03-01 03:17 UTC is still 29 February in New York; the time of day
    // inside the date plays no part.
    Event event = At(Local(2024, 2, 29, 22, 17), "9", "30");
    EXPECT_EQ(event.key(), (StartKey{2024, 2, 29, 9, 30}));

    // Hour and minute alone do not move the key: the date is set last.
    event.setHour("11");
    event.setMinute("45");
    EXPECT_EQ(event.key(), (StartKey{2024, 2, 29, 9, 30}));
    const std::int64_t before = event.StartMinute();
    event.setDate(event.date());
    EXPECT_EQ(event.key(), (StartKey{2024, 2, 29, 11, 45}));
    EXPECT_EQ(event.StartMinute(), before + 2 * 60 + 15);

    const struct {
        const char* hour;
        int expected;
    } cases[] = {{"9", 9}, {"09", 9}, {"  9", 9}, {"9am", 9}, {"", 0}, {"x", 0}, {"-3", -3}};
    for (const auto& c : cases)
        EXPECT_EQ(At(Local(2024, 5, 1), c.hour, "0").key().hour, c.expected) << c.hour;

    // Never dated: the all-zero key, and a start before every real one.
    const Event fresh;
    EXPECT_EQ(fresh.key(), StartKey{});
    EXPECT_EQ(fresh.StartMinute(), Calendar::MinuteOf(Calendar::DayNumber(0, 0, 0), 0, 0));
    EXPECT_LT(fresh.StartMinute(), At(Local(1970, 1, 1), "0", "0").StartMinute());
}

TEST(EventTest, MinuteScaleCountsRealDays) {
    ScopedTimeZone zone("UTC0");
    const auto start = [](int y, int m, int d, const char* hour, const char* minute) {
        return At(Local(y, m, d), hour, minute).StartMinute();
    };
    EXPECT_EQ(start(1970, 1, 1, "0", "0"), 0);
    EXPECT_EQ(start(1970, 1, 2, "10", "30"), 1440 + 630);
    EXPECT_EQ(start(2024, 3, 1, "12", "0") - start(2024, 2, 29, "12", "0"), 1440);
    EXPECT_EQ(start(2023, 3, 1, "12", "0") - start(2023, 2, 28, "12", "0"), 1440);
    EXPECT_EQ(start(2025, 1, 1, "0", "0") - start(2024, 12, 31, "23", "45"), 15);
    EXPECT_EQ(start(2000, 3, 1, "0", "0") - start(2000, 2, 28, "0", "0"), 2 * 1440);
    EXPECT_EQ(start(2100, 3, 1, "0", "0") - start(2100, 2, 28, "0", "0"), 1440);
}

TEST(EventTest, AbsurdNumbersDoNotOverflow) {
    ScopedTimeZone zone("UTC0");
    const std::int64_t day = At(Local(2024, 1, 1), "0", "0").StartMinute();
    const Event big = At(Local(2024, 1, 1), "2147483647", "99999999999", "2147483647");
    EXPECT_EQ(big.key().minute, INT_MAX);  // saturated
    EXPECT_EQ(big.StartMinute(), day + std::int64_t{INT_MAX} * 60 + INT_MAX);
    EXPECT_EQ(big.EndMinute(), big.StartMinute() + INT_MAX);

    const Event small = At(Local(2024, 1, 1), "-2147483648", "0", "-99999999999");
    EXPECT_EQ(small.durationMinutes(), INT_MIN);
    EXPECT_EQ(small.StartMinute(), day + std::int64_t{INT_MIN} * 60);
    EXPECT_EQ(small.EndMinute(), small.StartMinute() + INT_MIN);
}

TEST(EventTest, SameStartAndSameContent) {
    ScopedTimeZone zone("UTC0");
    Event base = At(Local(2024, 6, 3, 8), "9", "30", "60");
    base.setNotes("Dentist");
    base.setCategory("Health");
    base.setRemind(true);
    base.setRemindMinutes(15);

    const struct {
        const char* what;
        std::function<void(Event&)> change;
        bool sameStart;
        bool sameContent;
    } cases[] = {
        {"time of day in date", [](Event& e) { e.setDate(e.date() + 3600); }, true, true},
        {"open mark", [](Event& e) { e.MarkOpen(); }, true, true},
        {"hour 09",
         [](Event& e) {
             e.setHour("09");
             e.setDate(e.date());
         },
         true, true},
        {"day", [](Event& e) { e.setDate(e.date() + 86400); }, false, false},
        {"minute",
         [](Event& e) {
             e.setMinute("45");
             e.setDate(e.date());
         },
         false, false},
        {"duration text", [](Event& e) { e.setDuration("060"); }, true, false},
        {"notes", [](Event& e) { e.setNotes("dentist"); }, true, false},
        {"category", [](Event& e) { e.setCategory("health"); }, true, false},
        {"remind", [](Event& e) { e.setRemind(false); }, true, false},
        {"remind minutes", [](Event& e) { e.setRemindMinutes(30); }, true, false},
    };
    for (const auto& c : cases) {
        Event other = base;
        c.change(other);
        EXPECT_EQ(base.SameStart(other), c.sameStart) << c.what;
        EXPECT_EQ(base.SameContent(other), c.sameContent) << c.what;
    }
}

TEST(EventTest, OpenMarkIsSetOnceAndCopied) {
    Event event;
    EXPECT_TRUE(event.MarkOpen());
    EXPECT_FALSE(event.MarkOpen());
    const Event copy = event;
    event.ClearOpen();
    EXPECT_FALSE(event.open());
    EXPECT_TRUE(copy.open());
}

// Texts of every length the clock fields may hold: short ones are kept
// inside the event, longer ones (hand-made or damaged files) elsewhere.
const std::vector<std::string>& ClockTexts() {
    static const std::vector<std::string> texts = {"",
                                                   "0",
                                                   "23",
                                                   "1234567",
                                                   "12345678",
                                                   std::string("1\0"
                                                               "2",
                                                               3),
                                                   "\xff\xfe",
                                                   " 45 minutes or so ",
                                                   std::string(300, '9')};
    return texts;
}

void ExpectClockTexts(const Event& event, const std::string& text) {
    EXPECT_EQ(event.hour(), text);
    EXPECT_EQ(event.minute(), text);
    EXPECT_EQ(event.duration(), text);
}

Event WithClockTexts(const std::string& text) {
    Event event;
    event.setHour(text);
    event.setMinute(text);
    event.setDuration(text);
    return event;
}

TEST(EventTest, ClockTextsComeBackByteForByte) {
    for (const std::string& text : ClockTexts()) {
        SCOPED_TRACE(text.size());
        Event event = WithClockTexts(text);
        ExpectClockTexts(event, text);
        {
            Event copy = event;
            ExpectClockTexts(copy, text);
            const Event moved = std::move(copy);
            ExpectClockTexts(moved, text);
        }
        ExpectClockTexts(event, text);  // the copies took nothing with them

        // Set from its own texts: the old text must outlive the reading.
        event.setHour(event.hour());
        event.setMinute(event.minute());
        event.setDuration(event.duration());
        ExpectClockTexts(event, text);
    }
}

TEST(EventTest, ClockTextsSurviveAssignmentBetweenLengths) {
    for (const std::string& from : ClockTexts()) {
        for (const std::string& to : ClockTexts()) {
            SCOPED_TRACE(std::to_string(from.size()) + " over " + std::to_string(to.size()));
            Event target = WithClockTexts(to);
            const Event source = WithClockTexts(from);
            target = source;
            ExpectClockTexts(target, from);
            ExpectClockTexts(source, from);

            Event donor = WithClockTexts(to);
            target = std::move(donor);
            ExpectClockTexts(target, to);
        }
    }
}

TEST(EventTest, DurationMinutesFollowTheDurationText) {
    const struct {
        std::string text;
        std::int32_t minutes;
    } cases[] = {{"90", 90},
                 {"1234567", 1234567},
                 {"12345678", 12345678},
                 {"0000000090", 90},
                 {"", 0},
                 {std::string(300, '9'), INT_MAX},
                 {"15 minutes", 15}};
    for (const auto& c : cases) {
        Event event;
        event.setDuration(c.text);
        EXPECT_EQ(event.durationMinutes(), c.minutes) << c.text;
        const Event copy = event;
        EXPECT_EQ(copy.durationMinutes(), c.minutes) << c.text;
    }
}

}  // namespace
}  // namespace almanary

#include "model/Event.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"

namespace almanary {
namespace {

using testing::localTime;
using testing::ScopedTimeZone;

Event at(DateTime date, std::string_view hour, std::string_view minute,
         std::string_view duration = "0") {
    Event event;
    event.setHour(hour);
    event.setMinute(minute);
    event.setDuration(duration);
    event.setDate(date);
    return event;
}

TEST(EventTest, KeyComesFromTheLocalDateAndTheHourMinuteTexts) {
    ScopedTimeZone zone("EST5EDT,M3.2.0,M11.1.0");
    // 2024-03-01 03:17 UTC is still 29 February in New York.
    Event event = at(localTime(2024, 2, 29, 22, 17), " 9", "30");
    EXPECT_EQ(event.key(), (StartKey{2024, 2, 29, 9, 30}));
    const std::int64_t before = event.startMinute();
    event.setHour("11");  // the key follows only when the date is set
    EXPECT_EQ(event.key(), (StartKey{2024, 2, 29, 9, 30}));
    event.setDate(event.date());
    EXPECT_EQ(event.startMinute(), before + 2 * 60);
    // Never dated: the all-zero key, and a start before every real one.
    EXPECT_EQ(Event().key(), StartKey{});
    EXPECT_LT(Event().startMinute(), at(localTime(1970, 1, 1), "0", "0").startMinute());
}

TEST(EventTest, AbsurdClockTextsNeverOverflowTheMinuteScale) {
    ScopedTimeZone zone("UTC0");
    const std::int64_t day = at(localTime(2024, 1, 1), "0", "0").startMinute();
    const Event big = at(localTime(2024, 1, 1), "2147483647", "99999999999", "2147483647");
    EXPECT_EQ(big.startMinute(), day + std::int64_t{INT_MAX} * 60 + INT_MAX);
    EXPECT_EQ(big.endMinute(), big.startMinute() + INT_MAX);
    const Event small = at(localTime(2024, 1, 1), "-2147483648", "0", "-99999999999");
    EXPECT_EQ(small.endMinute(), day + std::int64_t{INT_MIN} * 61);
}

TEST(EventTest, SameStartAndSameContent) {
    ScopedTimeZone zone("UTC0");
    Event base = at(localTime(2024, 6, 3, 8), "9", "30", "60");
    base.setNotes("Dentist");
    base.setRemind(true);
    const struct {
        const char* what;
        std::function<void(Event&)> change;
        bool sameStart, sameContent;
    } cases[] = {
        {"time of day in date", [](Event& e) { e.setDate(e.date() + 3600); }, true, true},
        {"open mark", [](Event& e) { e.markOpen(); }, true, true},
        {"hour 09", [](Event& e) { e.setHour("09"), e.setDate(e.date()); }, true, true},
        {"day", [](Event& e) { e.setDate(e.date() + 86400); }, false, false},
        {"duration text", [](Event& e) { e.setDuration("060"); }, true, false},
        {"notes", [](Event& e) { e.setNotes("dentist"); }, true, false},
        {"category", [](Event& e) { e.setCategory("Health"); }, true, false},
        {"remind", [](Event& e) { e.setRemind(false); }, true, false},
        {"remind minutes", [](Event& e) { e.setRemindMinutes(30); }, true, false},
    };
    for (const auto& c : cases) {
        Event other = base;
        c.change(other);
        EXPECT_EQ(base.sameStart(other), c.sameStart) << c.what;
        EXPECT_EQ(base.sameContent(other), c.sameContent) << c.what;
    }
}

// Short clock texts live inside the event, longer ones (hand-made or
// damaged files) on the heap; every one comes back byte for byte through
// copies, moves, assignment over any other length and setting from itself.
TEST(EventTest, ClockTextsComeBackByteForByte) {
    const std::vector<std::string> texts = {"", "1234567", "12345678", std::string("1\0002", 3),
                                            std::string(300, '9')};
    for (const std::string& from : texts) {
        for (const std::string& to : texts) {
            SCOPED_TRACE(std::to_string(from.size()) + " over " + std::to_string(to.size()));
            const Event source = at(0, from, "0", from);
            Event target = at(0, to, "0", to);
            target = source;
            Event moved = std::move(target);
            target = at(0, to, "0", to);
            target = std::move(moved);
            target.setHour(target.hour());
            target.setDuration(target.duration());
            EXPECT_TRUE(target.hour() == from && target.duration() == from);
            EXPECT_TRUE(source.hour() == from && source.duration() == from);
        }
    }
}

}  // namespace
}  // namespace almanary

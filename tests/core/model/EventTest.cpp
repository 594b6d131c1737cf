#include "model/Event.h"

#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"

namespace almanary::testing {
namespace {

TEST(EventTest, SameStartAndSameContent) {
    const ScopedTimeZone zone("UTC");
    Event base = makeEvent({2024, 6, 3, "9", "30", "Dentist", "60"});
    base.setRemind(true);
    const std::tuple<const char*, std::function<void(Event&)>, bool, bool> cases[] = {
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
    for (const auto& [what, change, sameStart, sameContent] : cases) {
        Event other = base;
        change(other);
        EXPECT_EQ(base.sameStart(other), sameStart) << what;
        EXPECT_EQ(base.sameContent(other), sameContent) << what;
    }
}

// Clock texts, inline or on the heap, survive copies, moves and setting from themselves.
TEST(EventTest, ClockTextsComeBackByteForByte) {
    const auto timed = [](const std::string& text) {
        Event event;
        event.setHour(text), event.setDuration(text);
        return event;
    };
    const std::string texts[] = {"", "1234567", "12345678", std::string("1\0002", 3),
                                 std::string(300, '9')};
    for (const std::string& from : texts) {
        for (const std::string& to : texts) {
            const Event source = timed(from);
            Event target = timed(to);
            target = source;
            Event moved = std::move(target);
            target = timed(to);
            target = std::move(moved);
            target.setHour(target.hour());
            target.setDuration(target.duration());
            EXPECT_TRUE(target.hour() == from && target.duration() == from) << to.size();
            EXPECT_TRUE(source.hour() == from && source.duration() == from) << to.size();
        }
    }
}

}  // namespace
}  // namespace almanary::testing

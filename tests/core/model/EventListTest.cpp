#include "model/EventList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"

namespace almanary {
namespace {

using testing::EventSpec;
using testing::localTime;
using testing::makeEvent;
using testing::Notes;
using testing::notesOf;
using testing::ScopedTimeZone;

EventList listOf(const std::vector<EventSpec>& shapes) {
    EventList list;
    for (const EventSpec& shape : shapes)
        EXPECT_TRUE(list.insert(makeEvent(shape)));
    return list;
}

Event reminded(const EventSpec& shape, int lead) {
    Event event = makeEvent(shape);
    event.setRemind(true), event.setRemindMinutes(lead);
    return event;
}

class EventListUtc : public ::testing::Test {
protected:
    ScopedTimeZone zone_{"UTC0"};
};

TEST_F(EventListUtc, EqualKeysKeepArrivalOrderAndTheFirstIsFoundAndRemoved) {
    // The later event comes first, so each equal key is placed by search.
    EventList list = listOf({{2024, 5, 2, "9", "15", "later"},
                             {2024, 5, 2, "9", "0", "A"},
                             {2024, 5, 2, "09", "00", "B"},  // the same key
                             {2024, 5, 1, "23", "45", "earlier"},
                             {2024, 5, 2, "9", "0", "C"}});
    ASSERT_TRUE(list.insert(Event()));  // never dated: the all-zero key goes first
    EXPECT_EQ(notesOf(list), (Notes{"", "earlier", "A", "B", "C", "later"}));
    const StartKey nine = list.at(2).key();
    EXPECT_EQ(list.find(nine), &list.at(2));  // the first of the equal keys
    EXPECT_EQ(list.find(makeEvent({2024, 5, 2, "9", "5", ""}).key()), nullptr);

    list.setModified(false);
    EXPECT_TRUE(list.markOpen(nine));
    EXPECT_FALSE(list.markOpen(nine));  // already open
    list.clearOpen(nine);
    EXPECT_FALSE(list.removeByKey(makeEvent({2024, 5, 2, "10", "0", ""}).key()));
    EXPECT_FALSE(list.isModified());  // marks and failed removals leave it alone
    EXPECT_TRUE(list.removeByKey(nine));
    EXPECT_TRUE(list.isModified());
    EXPECT_EQ(notesOf(list), (Notes{"", "earlier", "B", "C", "later"}));
}

TEST_F(EventListUtc, EventsOnDayAndCategories) {
    EventList list = listOf({{2024, 2, 28, "23", "45", "before", "0", "Work"},
                             {2024, 2, 29, "-5", "0", "odd low", "0", "work"},
                             {2024, 2, 29, "23", "45", "late", "0", "Work"},
                             {2024, 2, 29, "99", "0", "odd high", "0", "Work "},
                             {2024, 3, 1, "0", "0", "after"}});
    EXPECT_EQ(notesOf(list.eventsOnDay(localTime(2024, 2, 29, 17, 3))),
              (Notes{"odd low", "late", "odd high"}));
    EXPECT_TRUE(list.eventsOnDay(localTime(2024, 3, 2)).isEmpty());

    EXPECT_EQ(notesOf(list.eventsInCategory("Work")), (Notes{"before", "late"}));
    EXPECT_TRUE(list.usesCategory("work"));
    EXPECT_FALSE(list.usesCategory("Home"));
    list.setModified(false);
    list.renameCategory("Work", "Job");
    EXPECT_TRUE(list.isModified());
    EXPECT_EQ(notesOf(list.eventsInCategory("Job")), (Notes{"before", "late"}));
    EXPECT_EQ(notesOf(list.eventsInCategory("Work ")), (Notes{"odd high"}));
}

// 2024-03-30 23:30 UTC is already Sunday 00:30 local; 21:30 UTC on Sunday is
// 23:30 summer time.
TEST(EventListTest, TheLocalClockDecidesTheDayAndDueReminders) {
    ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EventList list = listOf({{2024, 3, 30, "23", "0", "sat"}, {2024, 3, 31, "1", "0", "sun"}});
    EXPECT_EQ(notesOf(list.eventsOnDay(1711841400)), Notes{"sun"});
    EXPECT_EQ(notesOf(list.eventsOnDay(1711920600)), Notes{"sun"});
    list.insert(reminded({2024, 3, 31, "23", "45", "call"}, 15));
    EXPECT_TRUE(list.dueReminders(1711920600 - 1).isEmpty());
    EXPECT_FALSE(list.dueReminders(1711920600).isEmpty());
}

TEST_F(EventListUtc, SearchNotesFoldsAsciiLettersOnly) {
    const EventList list = listOf({{2024, 1, 1, "9", "0", "Team MEETING at noon"},
                                   {2024, 1, 2, "9", "0", "Meet\ning"},
                                   {2024, 1, 3, "9", "0", "caf\xc3\xa9 [draft] aaab"}});
    const struct {
        std::string text;
        Notes expected;
    } cases[] = {
        {"mEeT", {"Team MEETING at noon", "Meet\ning"}},
        {"NOON", {"Team MEETING at noon"}},     // at the very end
        {"noon!", {}},                          // one byte past the end
        {"AAB", {"caf\xc3\xa9 [draft] aaab"}},  // after a partial match
        {"CAF\xc3\x89", {}},                    // no folding beyond A to Z
        {" {draft", {}},                        // '{' is not a folded '['
    };
    for (const auto& c : cases)
        EXPECT_EQ(notesOf(list.searchNotes(c.text)), c.expected) << c.text;
}

TEST_F(EventListUtc, DueRemindersCompareStartWithNowPlusLead) {
    EventList list;
    list.insert(reminded({2024, 6, 3, "9", "0", "nine, 15 ahead"}, 15));
    Event open = reminded({2024, 6, 3, "9", "0", "open"}, 15);
    open.markOpen();
    list.insert(open);
    list.insert(makeEvent({2024, 6, 1, "9", "0", "no reminder"}));
    list.insert(reminded({2024, 6, 4, "9", "0", "a day ahead"}, 1440));
    list.insert(reminded({2024, 3, 1, "12", "0", "1 March"}, 0));
    const struct {
        DateTime now;
        Notes due;
    } cases[] = {
        {localTime(2024, 2, 29, 12, 0), {}},  // a whole day early, across the leap day
        {localTime(2024, 6, 3, 8, 44, 59), {"1 March"}},
        {localTime(2024, 6, 3, 8, 45), {"1 March", "nine, 15 ahead"}},
        {localTime(2024, 6, 3, 9, 0, 59), {"1 March", "nine, 15 ahead", "a day ahead"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(notesOf(list.dueReminders(c.now)), c.due) << c.now;
}

TEST_F(EventListUtc, ConflictsShareAtLeastOneMinute) {
    const EventList list = listOf({{2024, 6, 3, "10", "0", "ten for 30", "30"},
                                   {2024, 2, 29, "12", "0", "leap noon", "0"},
                                   {2024, 12, 31, "23", "45", "new year's eve", "30"},
                                   {2024, 9, 1, "10", "0", "backwards", "-60"}});
    const struct {
        EventSpec candidate;
        Notes expected;
    } cases[] = {
        {{2024, 6, 3, "10", "30", "", "15"}, {"ten for 30"}},  // starts as the other ends
        {{2024, 6, 3, "10", "31", "", "0"}, {}},
        {{2024, 6, 3, "9", "30", "", "30"}, {"ten for 30"}},  // ends as the other starts
        {{2024, 6, 3, "9", "30", "", "29"}, {}},
        {{2024, 2, 29, "12", "0", "", "0"}, {"leap noon"}},  // zero length, same minute
        {{2024, 3, 1, "12", "0", "", "0"}, {}},              // a real day later
        {{2025, 1, 1, "0", "0", "", "0"}, {"new year's eve"}},
        {{2025, 1, 1, "0", "16", "", "0"}, {}},
        // A backwards span [10:00, 09:00]: only the literal conditions hold.
        {{2024, 9, 1, "9", "30", "", "0"}, {"backwards"}},
        {{2024, 9, 1, "8", "0", "", "0"}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(notesOf(list.conflicts(makeEvent(c.candidate), nullptr)), c.expected)
            << c.candidate.day << " " << c.candidate.hour << ":" << c.candidate.minute;
}

// The list as a plain vector in key order, equal keys in arrival order,
// with the queries worked out the slow way (in UTC, where the minute scale
// counts from 1970).
struct Model {
    std::vector<Event> events;

    // The notes of the events that match.
    template <typename Match>
    Notes where(Match&& match) const {
        Notes kept;
        for (const Event& e : events)
            if (match(e))
                kept.push_back(e.notes());
        return kept;
    }
    void insert(const Event& event) {  // after every event with a key not later
        events.insert(std::upper_bound(events.begin(), events.end(), event,
                                       [](auto& a, auto& b) { return a.key() < b.key(); }),
                      event);
    }
    bool isDue(const Event& e, DateTime now) const {
        return e.remind() && !e.open() && e.startMinute() - e.remindMinutes() <= now / 60;
    }
    Notes conflicts(const Event& c, const Event* excluded) const {
        const std::int64_t s = c.startMinute(), f = c.endMinute();
        return where([&](const Event& e) {
            const std::int64_t es = e.startMinute(), ef = e.endMinute();
            return (excluded == nullptr || !e.sameStart(*excluded)) &&
                   ((es <= s && s <= ef) || (es <= f && f <= ef) || (s <= es && ef <= f));
        });
    }
    std::vector<Event>::iterator first(const StartKey& key) {
        return std::find_if(events.begin(), events.end(),
                            [&](const Event& e) { return e.key() == key; });
    }
};

TEST_F(EventListUtc, RandomChangesMatchTheModel) {
    std::mt19937 random(20240229);
    const auto pick = [&random](const auto& values) { return values[random() % values.size()]; };
    const std::vector<std::string> hours = {"0", "9", "09", "23", "-1", "30"};
    const std::vector<std::string> durations = {"0", "15", "90", "-60", "1440", "123456789"};
    const std::vector<int> leads = {-30, 0, 15, 1440, 100000};
    int serial = 0;
    const auto fresh = [&] {  // 28 Feb to 1 Mar: few distinct keys, so equal keys are common
        const CalendarDate d =
            Calendar::dateOfDayNumber(Calendar::dayNumber(2024, 2, 28) + random() % 3);
        Event event = makeEvent({d.year, d.month, d.day, pick(hours), random() % 2 ? "0" : "30",
                                 std::to_string(serial++), pick(durations)});
        event.setRemind(random() % 2 == 0);
        event.setRemindMinutes(pick(leads));
        return event;
    };
    EventList list, other;
    Model model, otherModel;
    for (int step = 0; step < 3000; ++step) {
        const int action = static_cast<int>(random() % 16);
        const int size = list.count();
        const int index = size == 0 ? -1 : static_cast<int>(random() % size);
        const StartKey key = index >= 0 && random() % 4 ? list.at(index).key() : fresh().key();
        const auto first = model.first(key);
        SCOPED_TRACE("step " + std::to_string(step) + ", action " + std::to_string(action));
        if (action < 8 || index < 0) {
            const Event event = fresh();
            ASSERT_TRUE(list.insert(event));
            model.insert(event);
        } else if (action == 8) {  // the pool that holds the event may move
            model.insert(list.at(index));
            ASSERT_TRUE(list.insert(list.at(index)));
        } else if (action == 9) {
            const Event* found = list.find(key);
            ASSERT_EQ(found == nullptr, first == model.events.end());
            if (found != nullptr) {
                ASSERT_EQ(found->notes(), first->notes());
            }
        } else if (action == 10) {
            ASSERT_EQ(list.removeByKey(key), first != model.events.end());
            if (first != model.events.end())
                model.events.erase(first);
        } else if (action == 11) {
            ASSERT_EQ(list.markOpen(key), first != model.events.end() && first->markOpen());
        } else if (action == 12) {
            list.clearOpen(key);
            if (first != model.events.end())
                first->clearOpen();
        } else if (action == 13) {
            other = list;  // a copy is compacted: its slots are renumbered
            otherModel = model;
            list = EventList(other);
        } else if (action == 14) {
            std::swap(list, other);
            std::swap(model, otherModel);
        } else if (random() % 4 == 0) {  // a query result, built by appending, becomes the list
            const DateTime at =
                localTime(2024, 2, 28) + static_cast<DateTime>(random() % 3) * 86400;
            list = list.dueReminders(at);
            std::erase_if(model.events, [&](const Event& e) { return !model.isDue(e, at); });
        }
        ASSERT_EQ(notesOf(list), model.where([](const Event&) { return true; }));
        const DateTime now = localTime(2024, 2, 27) + static_cast<DateTime>(random() % (5 * 86400));
        ASSERT_EQ(notesOf(list.dueReminders(now)),
                  model.where([&](const Event& e) { return model.isDue(e, now); }));
        const Event candidate = fresh();
        const bool inRange = index >= 0 && index < list.count();
        const Event* excluded = inRange && random() % 2 ? &list.at(index) : nullptr;
        ASSERT_EQ(notesOf(list.conflicts(candidate, excluded)),
                  model.conflicts(candidate, excluded));
    }
}

}  // namespace
}  // namespace almanary

#include "model/SortedEventList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "model/EventList.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"

namespace almanary {
namespace {

using testing::localTime;
using testing::makeEvent;
using testing::Notes;
using testing::notesOf;

// The mechanics are driven through EventList, whose queries read the
// compact timings kept beside the events.
class SortedEventListTest : public ::testing::Test {
protected:
    testing::ScopedTimeZone zone_{"UTC0"};
};

TEST_F(SortedEventListTest, EqualKeysKeepArrivalOrderAndTheFirstIsFoundAndRemoved) {
    // The later event comes first, so each equal key is placed by search.
    EventList list = testing::listOf({{2024, 5, 2, "9", "15", "later"},
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
    EXPECT_FALSE(list.removeByKey(makeEvent({2024, 5, 2, "10", "0", ""}).key()));
    EXPECT_FALSE(list.isModified());  // a failed removal leaves it alone
    EXPECT_TRUE(list.removeByKey(nine));
    EXPECT_TRUE(list.isModified());
    EXPECT_EQ(notesOf(list), (Notes{"", "earlier", "B", "C", "later"}));
}

// Random inserts (of its own events too), removals, marks, copies, swaps and
// query results taken as the list, against a plain vector in key order.
// After each step the queries must agree with a list freshly built from the
// vector, so no reused or copied slot keeps a stale timing.
TEST_F(SortedEventListTest, RandomChangesMatchAPlainVector) {
    std::mt19937 random(20240229);
    const auto pick = [&random](const auto& values) { return values[random() % values.size()]; };
    const std::vector<std::string> hours = {"0", "9", "09", "23", "-1", "30"};
    const std::vector<std::string> durations = {"0", "15", "90", "-60", "1440", "123456789"};
    int serial = 0;
    const auto fresh = [&] {  // 28 Feb to 1 Mar: few distinct keys, so equal keys are common
        const CalendarDate d =
            Calendar::dateOfDayNumber(Calendar::dayNumber(2024, 2, 28) + random() % 3);
        Event event = makeEvent({d.year, d.month, d.day, pick(hours), random() % 2 ? "0" : "30",
                                 std::to_string(serial++), pick(durations)});
        event.setRemind(random() % 2 == 0);
        event.setRemindMinutes(pick(std::vector<int>{-30, 0, 15, 1440, 100000}));
        return event;
    };
    const auto built = [](const std::vector<Event>& events) {
        EventList list;
        for (const Event& event : events)
            list.insert(event);
        return list;
    };
    EventList list, other;
    std::vector<Event> model, otherModel;
    for (int step = 0; step < 3000; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const int action = static_cast<int>(random() % 16);
        const int index = list.isEmpty() ? -1 : static_cast<int>(random() % list.count());
        const StartKey key = index >= 0 && random() % 4 ? list.at(index).key() : fresh().key();
        const auto first = std::ranges::find(model, key, &Event::key);
        const bool found = first != model.end();
        if (action < 9 || index < 0) {
            const Event event = action == 8 && index >= 0 ? list.at(index) : fresh();
            model.insert(std::ranges::upper_bound(model, event.key(), {}, &Event::key), event);
            // An event of the list itself: the pool that holds it may move.
            ASSERT_TRUE(action == 8 && index >= 0 ? list.insert(list.at(index))
                                                  : list.insert(event));
        } else if (action == 9) {
            const Event* at = list.find(key);
            ASSERT_EQ(at == nullptr ? "none" : at->notes(), found ? first->notes() : "none");
        } else if (action == 10) {
            ASSERT_EQ(list.removeByKey(key), found);
            if (found)
                model.erase(first);
        } else if (action == 11) {
            ASSERT_EQ(list.markOpen(key), found && first->markOpen());
        } else if (action == 12) {
            list.clearOpen(key);
            if (found)
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
            std::erase_if(model,
                          [&](const Event& e) { return !built({e}).dueReminders(at).count(); });
        }
        const EventList expected = built(model);
        ASSERT_EQ(notesOf(list), notesOf(expected));
        const DateTime now = localTime(2024, 2, 27) + static_cast<DateTime>(random() % (5 * 86400));
        ASSERT_EQ(notesOf(list.dueReminders(now)), notesOf(expected.dueReminders(now)));
        const Event candidate = fresh();
        ASSERT_EQ(notesOf(list.conflicts(candidate, nullptr)),
                  notesOf(expected.conflicts(candidate, nullptr)));
    }
}

}  // namespace
}  // namespace almanary

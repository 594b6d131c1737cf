#include "model/SortedEventList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "model/EventList.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"

namespace almanary::testing {
namespace {

EventList built(const std::vector<Event>& events) {
    EventList list;
    for (const Event& event : events)
        list.insert(event);
    return list;
}

// Against a plain vector in key order; queries show no slot keeps a stale timing.
TEST(SortedEventListTest, RandomChangesMatchAPlainVector) {
    const ScopedTimeZone zone("UTC0");
    std::mt19937 random(20240229);
    const char* hours[] = {"0", "9", "09", "23", "-1", "30"};  // few keys: many equal ones
    int serial = 0;
    const auto fresh = [&] {
        Event event = makeEvent({2024, 2, 27 + static_cast<int>(random() % 3), hours[random() % 6],
                                 random() % 2 ? "0" : "30", std::to_string(serial++),
                                 std::to_string(static_cast<int>(random() % 2000) - 100)});
        event.setRemind(random() % 2 == 0);
        event.setRemindMinutes(static_cast<int>(random() % 3000) - 30);
        return event;
    };
    EventList list;
    std::vector<Event> model;
    for (int step = 0; step < 2000; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const int action = static_cast<int>(random() % 6);
        const int index = list.isEmpty() ? -1 : static_cast<int>(random() % list.count());
        list.setModified(false);
        if (action < 3 || index < 0) {
            const bool own = action == 2 && index >= 0;  // the pool that holds it may move
            const Event event = own ? list.at(index) : fresh();
            model.insert(std::ranges::upper_bound(model, event.key(), {}, &Event::key), event);
            ASSERT_TRUE(own ? list.insert(list.at(index)) : list.insert(event));
            ASSERT_TRUE(list.isModified());
        } else if (action < 5) {
            const StartKey key = random() % 4 ? list.at(index).key() : fresh().key();
            const auto first = std::ranges::find(model, key, &Event::key);
            const bool found = first != model.end();
            ASSERT_TRUE(list.removeByKey(key) == found && list.isModified() == found);
            if (first != model.end())
                model.erase(first);
        } else {
            const EventList copy = list;  // a copy is compacted: its slots are renumbered
            list = copy;
        }
        if (step % 5 != 0)
            continue;  // checked against a list built afresh every fifth step
        const EventList expected = built(model);
        ASSERT_EQ(notesOf(list), notesOf(expected));
        const DateTime now = localTime(2024, 2, 26) + static_cast<DateTime>(random() % 432000);
        ASSERT_EQ(notesOf(list.dueReminders(now)), notesOf(expected.dueReminders(now)));
        const Event candidate = fresh();
        ASSERT_EQ(notesOf(list.conflicts(candidate, nullptr)),
                  notesOf(expected.conflicts(candidate, nullptr)));
    }
}

}  // namespace
}  // namespace almanary::testing

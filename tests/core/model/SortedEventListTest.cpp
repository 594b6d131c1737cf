#include "model/SortedEventList.h"

#include <algorithm>
#include <random>

#include "model/EventList.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"

namespace almanary::testing {
namespace {

// Random changes against a sorted vector (equal keys in arrival order): positions, finds and
// the modified flag every step; due reminders against a list built afresh, so no slot keeps a
// stale timing.
TEST(SortedEventListTest, RandomChangesMatchASortedVector) {
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
    // The first event of the model with the key, or its end.
    const auto firstWith = [&](const StartKey& key) {
        const auto at = std::ranges::lower_bound(model, key, {}, &Event::key);
        return at != model.end() && at->key() == key ? at : model.end();
    };
    for (int step = 0; step < 2000; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const int index = list.isEmpty() ? -1 : static_cast<int>(random() % list.count());
        const StartKey key = index >= 0 && random() % 4 ? list.at(index).key() : fresh().key();
        bool modified = random() % 2 == 0;
        list.setModified(modified);
        const int action = static_cast<int>(random() % 7);
        if (action < 3) {  // a new event copied or moved in, or one of its own copied
            const bool own = action == 2 && index >= 0;  // the pool holding it may move
            Event event = own ? model[static_cast<std::size_t>(index)] : fresh();
            model.insert(std::ranges::upper_bound(model, event.key(), {}, &Event::key), event);
            ASSERT_TRUE(own      ? list.insert(list.at(index))
                        : action ? list.insert(std::move(event))
                                 : list.insert(event));
            modified = true;
        } else if (action < 6) {
            const auto first = firstWith(key);
            ASSERT_EQ(list.removeByKey(key), first != model.end());
            modified = modified || first != model.end();
            if (first != model.end())
                model.erase(first);
        } else {  // a copy is compacted: its slots are renumbered
            EventList copy(list);
            list = std::move(copy);
        }
        ASSERT_EQ(list.isModified(), modified);
        ASSERT_EQ(list.count(), static_cast<int>(model.size()));
        for (std::size_t i = 0; i < model.size(); ++i)
            ASSERT_EQ(list.at(static_cast<int>(i)).notes(), model[i].notes()) << i;
        const Event* found = list.find(key);
        ASSERT_EQ(found ? found->notes() : "none",
                  firstWith(key) != model.end() ? firstWith(key)->notes() : "none");
        if (step % 5 != 0)
            continue;
        const CalendarDate day{2024, 2, 27 + static_cast<int>(random() % 3)};
        EventList expected;
        Notes onDay;
        for (const Event& event : model) {
            expected.insert(event);
            if (event.key().day == day.day)
                onDay.push_back(event.notes());
        }
        ASSERT_EQ(notesOf(list.eventsOnDay(day)), onDay);
        const DateTime now = localTime(2024, 2, 26) + static_cast<DateTime>(random() % 432000);
        ASSERT_EQ(notesOf(list.dueReminders(now)), notesOf(expected.dueReminders(now)));
    }
}

}  // namespace
}  // namespace almanary::testing

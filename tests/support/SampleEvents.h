#pragma once
// Local times, events from a few fields, and the notes of a list in order.

#include <gtest/gtest.h>

#include "model/Calendar.h"
#include "model/EventList.h"

namespace almanary::testing {

// The value of a local time in the current zone; the fields must be real.
inline DateTime localTime(int year, int month, int day, int hour = 0, int minute = 0,
                          int second = 0) {
    const auto value = Calendar::fromLocal(year, month, day, hour, minute, second);
    EXPECT_TRUE(value.has_value()) << year << "-" << month << "-" << day;
    return value.value_or(0);
}

struct EventSpec {
    int year, month, day;
    std::string hour, minute, notes;
    std::string duration = "0";
    std::string category = "";
};

// At noon of the day; the date is set last, so the key follows hour and minute.
inline Event makeEvent(const EventSpec& shape) {
    Event event;
    event.setNotes(shape.notes);
    event.setCategory(shape.category);
    event.setHour(shape.hour);
    event.setMinute(shape.minute);
    event.setDuration(shape.duration);
    event.setDate(localTime(shape.year, shape.month, shape.day, 12));
    return event;
}

inline EventList listOf(const std::vector<EventSpec>& shapes) {
    EventList list;
    for (const EventSpec& shape : shapes)
        EXPECT_TRUE(list.insert(makeEvent(shape)));
    return list;
}

using Notes = std::vector<std::string>;

inline Notes notesOf(const SortedEventList& list) {
    Notes notes;
    list.forEach([&](const Event& event) { notes.push_back(event.notes()); });
    return notes;
}

}  // namespace almanary::testing

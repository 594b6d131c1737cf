#include "model/EventListIo.h"

#include <cstdio>
#include <new>
#include <string>
#include <utility>

#include "model/Archive.h"
#include "model/EventList.h"

namespace almanary {

namespace {

// "the event on 2001-03-04 at 9:30", from the key the event was sorted by.
std::string describeStart(const Event& event) {
    const StartKey& key = event.key();
    char text[96];
    std::snprintf(text, sizeof text, "the event on %04d-%02d-%02d at %d:%02d", key.year, key.month,
                  key.day, key.hour, key.minute);
    return text;
}

std::string noMemoryFor(std::uint32_t count) {
    return "there is not enough memory for its " + std::to_string(count) + " events";
}

}  // namespace

void writeEvent(ArchiveWriter& out, const Event& event) {
    if (!Calendar::isStorable(event.date())) {
        out.fail(describeStart(event) + " has a date outside the years 1970 to 2106");
    }
    out.writeDateTime(event.date());
    out.writeText(event.hour());
    out.writeText(event.minute());
    out.writeText(event.duration());
    out.writeText(event.notes());
    out.writeText(event.category());
    out.writeBool(event.remind());
    out.writeI32(event.remindMinutes());
}

bool readEvent(ArchiveReader& in, Event& event, std::uint64_t number) {
    in.setRecord("event", number);
    DateTime date = 0;
    std::string hour;
    std::string minute;
    std::string duration;
    std::string notes;
    std::string category;
    bool remind = false;
    std::int32_t remindMinutes = 0;
    const bool read = in.readDateTime(date, "date") && in.readText(hour, "hour") &&
                      in.readText(minute, "minute") && in.readText(duration, "duration") &&
                      in.readText(notes, "notes") && in.readText(category, "category") &&
                      in.readBool(remind, "reminder flag") &&
                      in.readI32(remindMinutes, "reminder lead");
    in.clearRecord();
    if (!read)
        return false;
    event.setHour(std::move(hour));
    event.setMinute(std::move(minute));
    event.setDuration(std::move(duration));
    event.setNotes(std::move(notes));
    event.setCategory(std::move(category));
    event.setRemind(remind);
    event.setRemindMinutes(remindMinutes);
    event.setDate(date);  // last: recomputes the key from the date, hour and minute
    return true;
}

void EventList::write(ArchiveWriter& out) {
    out.writeU32(static_cast<std::uint32_t>(count()));
    forEach([&out](const Event& event) { writeEvent(out, event); });
    if (out.ok())
        setModified(false);
}

bool EventList::read(ArchiveReader& in, const KeepEvent& keep) {
    std::uint32_t count = 0;
    if (!in.readU32(count, "event count") ||
        !in.checkCount(count, kSmallestEventRecord, "events")) {
        return false;
    }
    try {
        // The records are read into a list of their own, so a damaged file
        // leaves this one as it was. A file saved by the program holds its
        // events in key order, so every insert appends.
        EventList fresh;
        if (!keep && !fresh.reserve(count)) {  // bounded by the bytes there are
            in.fail(noMemoryFor(count));
            return false;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            Event event;
            if (!readEvent(in, event, std::uint64_t{i} + 1))
                return false;
            if ((!keep || keep(event)) && !fresh.insert(std::move(event))) {
                in.fail(noMemoryFor(count));
                return false;
            }
        }
        fresh.setModified(false);
        *this = std::move(fresh);
        return true;
    } catch (const std::bad_alloc&) {
        in.fail(noMemoryFor(count));
        return false;
    }
}

}  // namespace almanary

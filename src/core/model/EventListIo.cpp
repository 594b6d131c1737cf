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

Event EventRecord::toEvent() const {
    Event event = timedEvent();
    event.setNotes(std::string(notes));
    event.setCategory(std::string(category));
    return event;
}

EventTiming EventRecord::timing() const {
    return EventTiming::of(timedEvent());
}

Event EventRecord::timedEvent() const {
    Event event;
    event.setHour(hour);
    event.setMinute(minute);
    event.setDuration(duration);
    event.setRemind(remind);
    event.setRemindMinutes(remindMinutes);
    event.setDate(date);  // last: recomputes the key from the date, hour and minute
    return event;
}

bool readEventRecord(ArchiveReader& in, EventRecord& record, std::array<std::string, 5>& wide,
                     std::uint64_t number) {
    in.setRecord("event", number);
    const bool read = in.readDateTime(record.date, "date") &&
                      in.readTextView(record.hour, wide[0], "hour") &&
                      in.readTextView(record.minute, wide[1], "minute") &&
                      in.readTextView(record.duration, wide[2], "duration") &&
                      in.readTextView(record.notes, wide[3], "notes") &&
                      in.readTextView(record.category, wide[4], "category") &&
                      in.readBool(record.remind, "reminder flag") &&
                      in.readI32(record.remindMinutes, "reminder lead");
    in.clearRecord();
    return read;
}

void EventList::write(ArchiveWriter& out) {
    out.writeU32(static_cast<std::uint32_t>(count()));
    forEach([&out](const Event& event) { writeEvent(out, event); });
    if (out.ok())
        setModified(false);
}

bool EventList::read(ArchiveStream& stream, const RecordFilter& keep, std::uint32_t* records) {
    std::uint32_t count = 0;
    if (!stream.readItem([&](ArchiveReader& in) { return in.readU32(count, "event count"); }) ||
        !stream.reader().checkCount(count, kSmallestEventRecord, "events")) {
        return false;
    }
    try {
        // The records are read into a list of their own, so a damaged file
        // leaves this one as it was. A file saved by the program holds its
        // events in key order, so every insert appends.
        EventList fresh;
        if (!keep && !fresh.reserve(count)) {  // bounded by the bytes there are
            stream.reader().fail(noMemoryFor(count));
            return false;
        }
        EventRecord record;
        std::array<std::string, 5> wide;
        for (std::uint32_t i = 0; i < count; ++i) {
            const auto readRecord = [&](ArchiveReader& in) {
                return readEventRecord(in, record, wide, std::uint64_t{i} + 1);
            };
            if (!stream.readItem(readRecord))
                return false;
            if ((!keep || keep(record)) && !fresh.insert(record.toEvent())) {
                stream.reader().fail(noMemoryFor(count));
                return false;
            }
        }
        fresh.setModified(false);
        *this = std::move(fresh);
        if (records != nullptr)
            *records = count;
        return true;
    } catch (const std::bad_alloc&) {
        stream.reader().fail(noMemoryFor(count));
        return false;
    }
}

}  // namespace almanary

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
std::string DescribeStart(const Event& event) {
    const StartKey& key = event.key();
    char text[96];
    std::snprintf(text, sizeof text, "the event on %04d-%02d-%02d at %d:%02d", key.year, key.month,
                  key.day, key.hour, key.minute);
    return text;
}

std::string NoMemoryFor(std::uint32_t count) {
    return "there is not enough memory for its " + std::to_string(count) + " events";
}

}  // namespace

void WriteEvent(ArchiveWriter& out, const Event& event) {
    if (!Calendar::IsStorable(event.date())) {
        out.Fail(DescribeStart(event) + " has a date outside the years 1970 to 2106");
    }
    out.WriteDateTime(event.date());
    out.WriteText(event.hour());
    out.WriteText(event.minute());
    out.WriteText(event.duration());
    out.WriteText(event.notes());
    out.WriteText(event.category());
    out.WriteBool(event.remind());
    out.WriteI32(event.remindMinutes());
}

bool ReadEvent(ArchiveReader& in, Event& event, std::uint64_t number) {
    in.SetRecord("event", number);
    DateTime date = 0;
    std::string hour;
    std::string minute;
    std::string duration;
    std::string notes;
    std::string category;
    bool remind = false;
    std::int32_t remindMinutes = 0;
    const bool read = in.ReadDateTime(date, "date") && in.ReadText(hour, "hour") &&
                      in.ReadText(minute, "minute") && in.ReadText(duration, "duration") &&
                      in.ReadText(notes, "notes") && in.ReadText(category, "category") &&
                      in.ReadBool(remind, "reminder flag") &&
                      in.ReadI32(remindMinutes, "reminder lead");
    in.ClearRecord();
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

void EventList::Write(ArchiveWriter& out) {
    out.WriteU32(static_cast<std::uint32_t>(Count()));
    ForEach([&out](const Event& event) { WriteEvent(out, event); });
    if (out.ok())
        SetModified(false);
}

std::optional<EventQuery> EventList::Read(ArchiveReader& in, DateTime now) {
    std::uint32_t count = 0;
    if (!in.ReadU32(count, "event count") ||
        !in.CheckCount(count, kSmallestEventRecord, "events")) {
        return std::nullopt;
    }
    try {
        // The records are read into a list of their own, so a damaged file
        // leaves this one as it was. A file saved by the program holds its
        // events in key order, so every insert appends.
        EventList fresh;
        if (!fresh.Reserve(count)) {  // bounded by the bytes there are
            in.Fail(NoMemoryFor(count));
            return std::nullopt;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            Event event;
            if (!ReadEvent(in, event, std::uint64_t{i} + 1))
                return std::nullopt;
            if (!fresh.Insert(std::move(event))) {
                in.Fail(NoMemoryFor(count));
                return std::nullopt;
            }
        }
        fresh.SetModified(false);
        *this = std::move(fresh);
        return DueReminders(now);
    } catch (const std::bad_alloc&) {
        in.Fail(NoMemoryFor(count));
        return std::nullopt;
    }
}

}  // namespace almanary

#pragma once
// One event record of an almanary file: date, hour, minute, duration,
// notes, category, reminder flag and lead. EventList::write and read, which
// the file loader uses, are built on these and live beside them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "model/Calendar.h"
#include "model/EventTiming.h"

namespace almanary {

class ArchiveReader;
class ArchiveWriter;
class Event;

// The shortest possible record: a date, five empty texts, two numbers.
inline constexpr std::size_t kSmallestEventRecord = 17;

// A record as it lies in the bytes read: its texts view those bytes, so a
// reader can test it before building an event of it.
struct EventRecord {
    DateTime date = 0;
    std::string_view hour;
    std::string_view minute;
    std::string_view duration;
    std::string_view notes;
    std::string_view category;
    bool remind = false;
    std::int32_t remindMinutes = 0;

    // The event it describes.
    Event toEvent() const;
    // Where that event lies on the minute scale.
    EventTiming timing() const;

private:
    // The event without its notes and category, which its timing ignores.
    Event timedEvent() const;
};

// Decides, record by record while reading, which events a read keeps.
using RecordFilter = std::function<bool(const EventRecord&)>;

void writeEvent(ArchiveWriter& out, const Event& event);

// Reads one record. Its texts view the reader's bytes, or `wide` for a text
// stored in the wide form (converted to UTF-8 there), so the record is valid
// until the next read. `number` (from 1) names the record in errors; on
// failure the reader holds the reason.
bool readEventRecord(ArchiveReader& in, EventRecord& record, std::array<std::string, 5>& wide,
                     std::uint64_t number);

}  // namespace almanary

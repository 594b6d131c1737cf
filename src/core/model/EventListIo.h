#pragma once
// One event record of an almanary file: date, hour, minute, duration,
// notes, category, reminder flag and lead. EventList::write and read, which
// the file loader uses, are built on these and live beside them.

#include <cstddef>
#include <cstdint>

namespace almanary {

class ArchiveReader;
class ArchiveWriter;
class Event;

// The shortest possible record: a date, five empty texts, two numbers.
inline constexpr std::size_t kSmallestEventRecord = 17;

void writeEvent(ArchiveWriter& out, const Event& event);

// Reads one record into `event`, setting hour and minute before the date so
// the key comes out right. `number` (from 1) names the record in errors.
// On failure the reader holds the reason and `event` is partly filled.
bool readEvent(ArchiveReader& in, Event& event, std::uint64_t number);

}  // namespace almanary

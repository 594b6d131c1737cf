#pragma once
// The rules every new or changed event passes, in the event dialog and on
// the command line alike: notes are required, one event per start, and the
// events that overlap or touch it are offered for review.

#include <string_view>

#include "model/EventList.h"

namespace almanary::EventEntry {

enum class Refusal { None, NotesRequired, StartTaken };

enum class StartRefusal { None, Hour, Minute };

// Whether a start typed by the user is one the event dialog offers: an hour
// as DateTimeText::readHour reads it and a minute of "00", "15", "30" or
// "45". Anything else, such as "-1" or "+9", is refused.
StartRefusal checkStart(std::string_view hourText, std::string_view minuteText);

// Why `events` cannot take `candidate` in place of `replaced` (null for a
// new event). An event keeping the start of the one it replaces does not
// take that start from itself.
Refusal check(const EventList& events, const Event& candidate, const Event* replaced);

// The events that overlap or touch the candidate, leaving out `replaced`.
EventList conflicts(const EventList& events, const Event& candidate, const Event* replaced);

enum class Stored { Yes, StartTaken, NoMemory };

// Puts the candidate in place of `replaced`, or adds it. The start is
// checked again (the list may have changed since `check`); when it is
// taken, or memory runs out, the list is as it was.
Stored store(EventList& events, const Event& candidate, const Event* replaced);

}  // namespace almanary::EventEntry

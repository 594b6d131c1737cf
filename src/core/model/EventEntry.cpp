#include "model/EventEntry.h"

namespace almanary::EventEntry {
namespace {

bool startTaken(const EventList& events, const Event& candidate, const Event* replaced) {
    const bool keepsStart = replaced != nullptr && candidate.sameStart(*replaced);
    return !keepsStart && events.find(candidate.key()) != nullptr;
}

}  // namespace

Refusal check(const EventList& events, const Event& candidate, const Event* replaced) {
    if (candidate.notes().empty())
        return Refusal::NotesRequired;
    if (startTaken(events, candidate, replaced))
        return Refusal::StartTaken;
    return Refusal::None;
}

EventList conflicts(const EventList& events, const Event& candidate, const Event* replaced) {
    return events.conflicts(candidate, replaced);
}

Stored store(EventList& events, const Event& candidate, const Event* replaced) {
    if (startTaken(events, candidate, replaced))
        return Stored::StartTaken;
    if (replaced != nullptr)
        events.removeByKey(replaced->key());
    if (events.insert(candidate))
        return Stored::Yes;
    if (replaced != nullptr)
        events.insert(*replaced);  // the old event rather than none
    return Stored::NoMemory;
}

}  // namespace almanary::EventEntry

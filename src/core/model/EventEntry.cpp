#include "model/EventEntry.h"

#include "model/DateTimeText.h"
#include "model/EventChoices.h"

namespace almanary::EventEntry {
namespace {

bool startTaken(const EventList& events, const Event& candidate, const Event* replaced) {
    const bool keepsStart = replaced != nullptr && candidate.sameStart(*replaced);
    return !keepsStart && events.find(candidate.key()) != nullptr;
}

}  // namespace

StartRefusal checkStart(std::string_view hourText, std::string_view minuteText) {
    if (!DateTimeText::readHour(hourText))
        return StartRefusal::Hour;
    if (!EventChoices::contains(EventChoices::kMinutes, minuteText))
        return StartRefusal::Minute;
    return StartRefusal::None;
}

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

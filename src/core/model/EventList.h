#pragma once
// The document's events in start order, and every query the program asks
// of them: events of a day, of a category, by note text, due reminders and
// time conflicts. Results are new lists of copies in list order.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "model/Calendar.h"
#include "model/SortedEventList.h"

namespace almanary {

class ArchiveReader;
class ArchiveWriter;
struct EventQuery;

class EventList : public SortedEventList {
public:
    EventList() = default;
    EventList(const EventList&) = default;
    EventList& operator=(const EventList&) = default;
    EventList(EventList&&) noexcept = default;
    EventList& operator=(EventList&&) noexcept = default;
    ~EventList() override;

    EventQuery eventsOnDay(DateTime value) const;
    EventQuery eventsOnDay(const CalendarDate& date) const;
    // Byte-for-byte category match. With stopAtFirst the walk ends at the
    // first match and the result list stays empty (the in-use test).
    EventQuery eventsInCategory(std::string_view category, bool stopAtFirst) const;
    // Every event of the old category takes the new one; always sets modified.
    bool renameCategory(std::string_view oldName, std::string_view newName);
    // Notes containing the text, letters A to Z compared without case; an
    // empty text matches every event.
    EventQuery searchNotes(std::string_view text) const;
    // Events with a reminder, not open, whose start minus the lead has come
    // at the local time `now` (seconds ignored).
    EventQuery dueReminders(DateTime now) const;
    // Events whose closed span [start, end] shares a minute with the
    // candidate's; every event at the excluded event's start is skipped.
    EventList conflicts(const Event& candidate, const Event* excluded) const;

    bool markOpen(const StartKey& key);
    bool clearOpen(const StartKey& key);

    // The event count and records; clears modified.
    void write(ArchiveWriter& out);
    // Replaces the list with the count and records read; clears modified and
    // returns the due reminders at `now`. When the stream is damaged the
    // reader holds the reason, nothing is returned and the list is unchanged.
    std::optional<EventQuery> read(ArchiveReader& in, DateTime now);

private:
    // Copies of the events that match, in list order. The matches are noted
    // first, so the result is sized once and filled by appending.
    template <typename Match>
    EventQuery copiesWhere(Match&& match) const;
    // Copies of the events whose timing passes `timed` and which then pass
    // `check`, in list order; `check` sees only the events `timed` let by.
    template <typename Timed, typename Check>
    EventQuery copiesWhereTimed(Timed&& timed, Check&& check) const;
    static EventQuery queryOf(const std::vector<const Event*>& events);
};

// The result of a query: the matching events and whether any matched.
struct EventQuery {
    EventList events;
    bool found = false;
};

}  // namespace almanary

#pragma once
// The document's events in start order, and every query the program asks
// of them: events of a day, of a category, by note text, due reminders and
// time conflicts. Results are new lists of copies in list order.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "model/Calendar.h"
#include "model/EventListIo.h"
#include "model/SortedEventList.h"

namespace almanary {

class ArchiveStream;
class ArchiveWriter;

class EventList : public SortedEventList {
public:
    EventList() = default;
    EventList(const EventList&) = default;
    EventList& operator=(const EventList&) = default;
    EventList(EventList&&) noexcept = default;
    EventList& operator=(EventList&&) noexcept = default;
    ~EventList();

    EventList eventsOnDay(DateTime value) const;
    EventList eventsOnDay(const CalendarDate& date) const;
    // Byte-for-byte category match.
    EventList eventsInCategory(std::string_view category) const;
    // True when an event has exactly that category (the in-use test).
    bool usesCategory(std::string_view category) const;
    // Every event of the old category takes the new one; always sets modified.
    void renameCategory(std::string_view oldName, std::string_view newName);
    // Notes containing the text without regard to letter case, as Unicode
    // folds it (UnicodeText); an empty text matches every event.
    EventList searchNotes(std::string_view text) const;
    // Events with a reminder, not open, whose start minus the lead has come
    // at the local time `now` (seconds ignored).
    EventList dueReminders(DateTime now) const;
    // Events whose closed span [start, end] shares a minute with the
    // candidate's; every event at the excluded event's start is skipped.
    EventList conflicts(const Event& candidate, const Event* excluded) const;

    // The open mark of the event at that start: markOpen is true when it
    // set a clear mark, false when the mark was set or there is no event.
    bool markOpen(const StartKey& key);
    void clearOpen(const StartKey& key);

    // The event count and records; clears modified.
    void write(ArchiveWriter& out);
    // Replaces the list with the count and records read, building only the
    // events whose records `keep` accepts (all when it is empty), so a
    // filtered read never holds the events it drops; clears modified. When
    // the stream is damaged its reader holds the reason, false is returned
    // and the list is unchanged. `records` (when given) learns how many
    // records the stream holds, kept or not.
    bool read(ArchiveStream& stream, const RecordFilter& keep = {},
              std::uint32_t* records = nullptr);

private:
    // Copies of the events that match, in list order. The matches are noted
    // first, so the result is sized once and filled by appending.
    template <typename Match>
    EventList copiesWhere(Match&& match) const;
    // Copies of the events whose timing passes `timed` and which then pass
    // `check`, in list order; `check` sees only the events `timed` let by.
    template <typename Timed, typename Check>
    EventList copiesWhereTimed(Timed&& timed, Check&& check) const;
    static EventList listOf(const std::vector<const Event*>& events);
};

}  // namespace almanary

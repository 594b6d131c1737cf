#include "model/EventList.h"

#include <climits>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "model/Calendar.h"

namespace almanary {
namespace {

// Letter case is folded for A to Z only, never through the locale, so notes
// in any 8-bit encoding compare the same everywhere.
constexpr unsigned char FoldAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

constexpr bool IsLowerAscii(unsigned char c) {
    return c >= 'a' && c <= 'z';
}

// Finds a needle already folded to lower case inside a haystack, folding the
// haystack on the fly. Candidate starts are found with memchr (one byte or
// the two cases of a letter), so no copy of the haystack is made.
class FoldedSearcher {
public:
    explicit FoldedSearcher(std::string_view text) {
        needle_.reserve(text.size());
        for (char c : text)
            needle_.push_back(static_cast<char>(FoldAscii(static_cast<unsigned char>(c))));
    }

    bool FoundIn(std::string_view haystack) const {
        const std::size_t length = needle_.size();
        if (length == 0)
            return true;
        if (haystack.size() < length)
            return false;
        const auto first = static_cast<unsigned char>(needle_[0]);
        const bool letter = IsLowerAscii(first);
        const char* const begin = haystack.data();
        const char* const last = begin + (haystack.size() - length);  // last possible start
        const char* lower = Next(begin, last, first);
        const char* upper = letter ? Next(begin, last, first - ('a' - 'A')) : nullptr;
        while (lower != nullptr || upper != nullptr) {
            const bool takeLower = upper == nullptr || (lower != nullptr && lower < upper);
            const char* at = takeLower ? lower : upper;
            if (RestMatches(at))
                return true;
            if (takeLower) {
                lower = Next(at + 1, last, first);
            } else {
                upper = Next(at + 1, last, first - ('a' - 'A'));
            }
        }
        return false;
    }

private:
    // The first occurrence of byte `c` in [from, last], or null.
    static const char* Next(const char* from, const char* last, int c) {
        if (from > last)
            return nullptr;
        return static_cast<const char*>(
            std::memchr(from, c, static_cast<std::size_t>(last - from) + 1));
    }

    bool RestMatches(const char* at) const {
        for (std::size_t i = 1; i < needle_.size(); ++i) {
            if (FoldAscii(static_cast<unsigned char>(at[i])) !=
                static_cast<unsigned char>(needle_[i]))
                return false;
        }
        return true;
    }

    std::string needle_;
};

}  // namespace

EventList::~EventList() = default;

template <typename Match>
EventQuery EventList::CopiesWhere(Match&& match) const {
    std::vector<const Event*> hits;
    ForEach([&](const Event& event) {
        if (match(event))
            hits.push_back(&event);
    });
    return QueryOf(hits);
}

template <typename Timed, typename Check>
EventQuery EventList::CopiesWhereTimed(Timed&& timed, Check&& check) const {
    // Counted first from the timings alone: the result is sized once, and
    // each event is read only while it is copied.
    const auto count = static_cast<std::size_t>(Count());
    std::size_t candidates = 0;
    for (std::size_t index = 0; index < count; ++index)
        candidates += timed(TimingAt(index)) ? 1 : 0;
    EventQuery query;
    query.events.Reserve(candidates);
    for (std::size_t index = 0; index < count; ++index) {
        if (timed(TimingAt(index))) {
            const Event& event = EventAt(index);
            if (check(event))
                query.events.AppendInOrder(event);
        }
    }
    query.found = !query.events.IsEmpty();
    return query;
}

EventQuery EventList::QueryOf(const std::vector<const Event*>& events) {
    EventQuery query;
    query.found = !events.empty();
    query.events.Reserve(events.size());
    for (const Event* event : events)
        query.events.AppendInOrder(*event);
    return query;
}

EventQuery EventList::EventsOnDay(DateTime value) const {
    return EventsOnDay(Calendar::LocalDate(value));
}

EventQuery EventList::EventsOnDay(const CalendarDate& date) const {
    // Every event of a day lies between the smallest and the largest key
    // that date can have, whatever its hour and minute texts hold.
    const std::size_t from = LowerBound({date.year, date.month, date.day, INT32_MIN, INT32_MIN});
    const std::size_t to = UpperBound({date.year, date.month, date.day, INT32_MAX, INT32_MAX});
    std::vector<const Event*> hits;
    hits.reserve(to > from ? to - from : 0);
    for (std::size_t index = from; index < to; ++index)
        hits.push_back(NodeAt(static_cast<int>(index) + 1));
    return QueryOf(hits);
}

EventQuery EventList::EventsInCategory(std::string_view category, bool stopAtFirst) const {
    const auto inCategory = [&](const Event& event) { return event.category() == category; };
    if (!stopAtFirst)
        return CopiesWhere(inCategory);
    EventQuery query;
    const int count = Count();
    for (int position = 1; position <= count && !query.found; ++position)
        query.found = inCategory(*NodeAt(position));
    return query;
}

bool EventList::RenameCategory(std::string_view oldName, std::string_view newName) {
    ForEachMutable([&](Event& event) {
        if (event.category() == oldName)
            event.setCategory(std::string(newName));
    });
    SetModified(true);
    return true;
}

EventQuery EventList::SearchNotes(std::string_view text) const {
    const FoldedSearcher searcher(text);
    return CopiesWhere([&](const Event& event) { return searcher.FoundIn(event.notes()); });
}

EventQuery EventList::DueReminders(DateTime now) const {
    const LocalFields local = Calendar::ToLocal(now);
    const std::int64_t nowMinute =
        Calendar::MinuteOf(Calendar::DayNumber(local.date()), local.hour, local.minute);
    return CopiesWhereTimed([nowMinute](const Timing& t) { return t.remindAt <= nowMinute; },
                            [](const Event& event) { return !event.open(); });
}

EventList EventList::Conflicts(const Event& candidate, const Event* excluded) const {
    // A plain walk: hour texts outside 0..23 and negative durations mean key
    // order says nothing certain about where spans lie on the minute scale.
    const std::int64_t start = candidate.StartMinute();
    const std::int64_t finish = candidate.EndMinute();
    const auto touches = [&](const Timing& t) {
        return (t.start <= start && start <= t.end) || (t.start <= finish && finish <= t.end) ||
               (start <= t.start && t.end <= finish);
    };
    const auto notExcluded = [excluded](const Event& event) {
        return excluded == nullptr || event.key() != excluded->key();
    };
    return CopiesWhereTimed(touches, notExcluded).events;
}

bool EventList::MarkOpen(const StartKey& key) {
    const FindResult found = Find(key, true);
    if (!found.found)
        return false;
    return MutableNodeAt(found.position)->MarkOpen();
}

bool EventList::ClearOpen(const StartKey& key) {
    const FindResult found = Find(key, true);
    if (found.found)
        MutableNodeAt(found.position)->ClearOpen();
    return true;
}

}  // namespace almanary

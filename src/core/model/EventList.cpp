#include "model/EventList.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "model/AsciiText.h"
#include "model/Calendar.h"
#include "model/UnicodeText.h"

namespace almanary {
namespace {

constexpr bool isLowerAscii(unsigned char c) {
    return c >= 'a' && c <= 'z';
}

// Finds a needle folded to lower case inside a haystack, folding the
// haystack on the fly (AsciiText: A to Z only). Candidate starts are found
// with memchr (one byte or the two cases of a letter), so no copy of the
// haystack is made.
class AsciiSearcher {
public:
    explicit AsciiSearcher(std::string_view text) {
        needle_.reserve(text.size());
        std::ranges::transform(text, std::back_inserter(needle_), AsciiText::foldCase);
    }

    bool foundIn(std::string_view haystack) const {
        const std::size_t length = needle_.size();
        if (length == 0)
            return true;
        if (haystack.size() < length)
            return false;
        const auto first = static_cast<unsigned char>(needle_[0]);
        const bool letter = isLowerAscii(first);
        const char* const begin = haystack.data();
        const char* const last = begin + (haystack.size() - length);  // last possible start
        const char* lower = next(begin, last, first);
        const char* upper = letter ? next(begin, last, first - ('a' - 'A')) : nullptr;
        while (lower != nullptr || upper != nullptr) {
            const bool takeLower = upper == nullptr || (lower != nullptr && lower < upper);
            const char* at = takeLower ? lower : upper;
            if (restMatches(at))
                return true;
            if (takeLower) {
                lower = next(at + 1, last, first);
            } else {
                upper = next(at + 1, last, first - ('a' - 'A'));
            }
        }
        return false;
    }

private:
    // The first occurrence of byte `c` in [from, last], or null.
    static const char* next(const char* from, const char* last, int c) {
        if (from > last)
            return nullptr;
        return static_cast<const char*>(
            std::memchr(from, c, static_cast<std::size_t>(last - from) + 1));
    }

    bool restMatches(const char* at) const {
        const std::string_view rest = std::string_view(needle_).substr(1);
        return std::ranges::equal(rest, std::string_view(at + 1, rest.size()), {}, {},
                                  AsciiText::foldCase);
    }

    std::string needle_;
};

// Finds a text in notes without regard to letter case, as Unicode folds it.
// A note of pure ASCII is searched with AsciiSearcher for the folded text,
// which then must be ASCII too to be found; any other note of valid UTF-8 is
// folded with ICU; a note that is not valid UTF-8, or any note when the text
// is not, is searched for the text as typed with ASCII folding.
class NotesSearcher {
public:
    explicit NotesSearcher(std::string_view text)
        : folded_(UnicodeText::foldCase(text)), asTyped_(text) {
        if (folded_ && UnicodeText::isAscii(*folded_))
            foldedAscii_.emplace(*folded_);
    }

    bool foundIn(std::string_view notes) const {
        if (!folded_)
            return asTyped_.foundIn(notes);
        if (UnicodeText::isAscii(notes))
            return foldedAscii_ && foldedAscii_->foundIn(notes);
        if (const auto foldedNotes = UnicodeText::foldCase(notes))
            return foldedNotes->find(*folded_) != std::string::npos;
        return asTyped_.foundIn(notes);
    }

private:
    std::optional<std::string> folded_;  // nothing when the text is not UTF-8
    std::optional<AsciiSearcher> foldedAscii_;
    AsciiSearcher asTyped_;
};

}  // namespace

EventList::~EventList() = default;

template <typename Match>
EventList EventList::copiesWhere(Match&& match) const {
    std::vector<const Event*> hits;
    forEach([&](const Event& event) {
        if (match(event))
            hits.push_back(&event);
    });
    return listOf(hits);
}

template <typename Timed, typename Check>
EventList EventList::copiesWhereTimed(Timed&& timed, Check&& check) const {
    // Counted first from the timings alone: the result is sized once, and
    // each event is read only while it is copied.
    const auto total = static_cast<std::size_t>(count());
    std::size_t candidates = 0;
    for (std::size_t index = 0; index < total; ++index)
        candidates += timed(timingAt(index)) ? 1 : 0;
    EventList result;
    result.reserve(candidates);
    for (std::size_t index = 0; index < total; ++index) {
        if (timed(timingAt(index))) {
            const Event& event = eventAt(index);
            if (check(event))
                result.appendInOrder(event);
        }
    }
    return result;
}

EventList EventList::listOf(const std::vector<const Event*>& events) {
    EventList result;
    result.reserve(events.size());
    for (const Event* event : events)
        result.appendInOrder(*event);
    return result;
}

EventList EventList::eventsOnDay(DateTime value) const {
    return eventsOnDay(Calendar::localDate(value));
}

EventList EventList::eventsOnDay(const CalendarDate& date) const {
    // Every event of a day lies between the smallest and the largest key
    // that date can have, whatever its hour and minute texts hold.
    const std::size_t from = lowerBound({date.year, date.month, date.day, INT32_MIN, INT32_MIN});
    const std::size_t to = upperBound({date.year, date.month, date.day, INT32_MAX, INT32_MAX});
    std::vector<const Event*> hits;
    hits.reserve(to > from ? to - from : 0);
    for (std::size_t index = from; index < to; ++index)
        hits.push_back(&eventAt(index));
    return listOf(hits);
}

EventList EventList::eventsInCategory(std::string_view category) const {
    return copiesWhere([&](const Event& event) { return event.category() == category; });
}

bool EventList::usesCategory(std::string_view category) const {
    for (int index = 0; index < count(); ++index) {
        if (at(index).category() == category)
            return true;
    }
    return false;
}

void EventList::renameCategory(std::string_view oldName, std::string_view newName) {
    forEachMutable([&](Event& event) {
        if (event.category() == oldName)
            event.setCategory(std::string(newName));
    });
    setModified(true);
}

EventList EventList::searchNotes(std::string_view text) const {
    const NotesSearcher searcher(text);
    return copiesWhere([&](const Event& event) { return searcher.foundIn(event.notes()); });
}

EventList EventList::dueReminders(DateTime now) const {
    const LocalFields local = Calendar::toLocal(now);
    const std::int64_t nowMinute =
        Calendar::minuteOf(Calendar::dayNumber(local.date()), local.hour, local.minute);
    return copiesWhereTimed([nowMinute](const Timing& t) { return t.remindAt <= nowMinute; },
                            [](const Event& event) { return !event.open(); });
}

EventList EventList::conflicts(const Event& candidate, const Event* excluded) const {
    // A plain walk: hour texts outside 0..23 and negative durations mean key
    // order says nothing certain about where spans lie on the minute scale.
    const std::int64_t start = candidate.startMinute();
    const std::int64_t finish = candidate.endMinute();
    const auto touches = [&](const Timing& t) {
        return (t.start <= start && start <= t.end) || (t.start <= finish && finish <= t.end) ||
               (start <= t.start && t.end <= finish);
    };
    const auto notExcluded = [excluded](const Event& event) {
        return excluded == nullptr || event.key() != excluded->key();
    };
    return copiesWhereTimed(touches, notExcluded);
}

bool EventList::markOpen(const StartKey& key) {
    Event* event = mutableFind(key);
    return event != nullptr && event->markOpen();
}

void EventList::clearOpen(const StartKey& key) {
    if (Event* event = mutableFind(key))
        event->clearOpen();
}

}  // namespace almanary

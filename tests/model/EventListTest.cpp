#include "model/EventList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/ScopedTimeZone.h"

namespace almanary {
namespace {

using testing::ScopedTimeZone;

DateTime Local(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    const std::optional<DateTime> value =
        Calendar::FromLocal(year, month, day, hour, minute, second);
    EXPECT_TRUE(value.has_value());
    return value.value_or(0);
}

struct Spec {
    int year, month, day;
    std::string hour, minute;
    std::string notes;
    std::string duration = "0";
    std::string category = "";
};

Event Make(const Spec& spec) {
    Event event;
    event.setNotes(spec.notes);
    event.setCategory(spec.category);
    event.setHour(spec.hour);
    event.setMinute(spec.minute);
    event.setDuration(spec.duration);
    event.setDate(Local(spec.year, spec.month, spec.day, 12));
    return event;
}

EventList ListOf(const std::vector<Spec>& specs) {
    EventList list;
    for (const Spec& spec : specs)
        EXPECT_TRUE(list.Insert(Make(spec)));
    return list;
}

// The notes of every event, in list order: events are told apart by them.
std::vector<std::string> NotesOf(const SortedEventList& list) {
    std::vector<std::string> notes;
    list.ForEach([&](const Event& event) { notes.push_back(event.notes()); });
    return notes;
}

using Notes = std::vector<std::string>;

class EventListUtc : public ::testing::Test {
protected:
    ScopedTimeZone zone_{"UTC0"};
};

// ---- list mechanics ----

TEST_F(EventListUtc, InsertKeepsKeyOrderAndEqualKeysInArrivalOrder) {
    EventList list;
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_FALSE(list.IsModified());
    ASSERT_TRUE(list.Insert(Make({2024, 5, 2, "9", "0", "A"})));
    EXPECT_EQ(list.Find(Make({2024, 5, 2, "9", "0", ""}).key(), true).position, 1);
    EXPECT_TRUE(list.IsModified());

    ASSERT_TRUE(list.Insert(Make({2024, 5, 2, "09", "00", "B"})));  // 9 and 09: same key
    ASSERT_TRUE(list.Insert(Make({2024, 5, 1, "23", "45", "earlier"})));
    ASSERT_TRUE(list.Insert(Make({2024, 5, 2, "9", "0", "C"})));  // third of three equal keys
    ASSERT_TRUE(list.Insert(Make({2024, 5, 2, "9", "15", "later"})));
    list.Insert(Event());  // never dated: the all-zero key goes first
    EXPECT_EQ(NotesOf(list), (Notes{"", "earlier", "A", "B", "C", "later"}));
    EXPECT_EQ(list.Count(), 6);
    EXPECT_FALSE(list.IsEmpty());
}

TEST_F(EventListUtc, FindExactAndInexact) {
    const EventList list = ListOf({{2024, 1, 1, "9", "0", "a"},
                                   {2024, 1, 1, "10", "0", "b1"},
                                   {2024, 1, 1, "10", "0", "b2"},
                                   {2024, 1, 2, "8", "0", "c"}});
    const auto key = [](int day, const char* hour) {
        return Make({2024, 1, day, hour, "0", ""}).key();
    };
    const struct {
        StartKey key;
        bool exact;
        int position;
        bool found;
    } cases[] = {
        {key(1, "9"), true, 1, true},   {key(1, "10"), true, 2, true},
        {key(2, "8"), true, 4, true},   {key(1, "11"), true, 5, false},
        {key(1, "8"), false, 1, true},  {key(1, "9"), false, 2, true},
        {key(1, "10"), false, 4, true}, {key(1, "11"), false, 4, true},
        {key(2, "8"), false, 5, false}, {key(3, "0"), false, 5, false},
    };
    for (const auto& c : cases) {
        const FindResult result = list.Find(c.key, c.exact);
        EXPECT_EQ(result.position, c.position) << c.key.day << " " << c.key.hour << " " << c.exact;
        EXPECT_EQ(result.found, c.found) << c.key.day << " " << c.key.hour << " " << c.exact;
    }
    const EventList empty;
    EXPECT_EQ(empty.Find(key(1, "9"), false).position, 1);
    EXPECT_FALSE(empty.Find(key(1, "9"), false).found);
    EXPECT_EQ(empty.Find(key(1, "9"), true).position, 1);
}

TEST_F(EventListUtc, RemovalTakesTheFirstOfEqualKeysAndSetsModified) {
    EventList list = ListOf(
        {{2024, 1, 1, "9", "0", "a1"}, {2024, 1, 1, "9", "0", "a2"}, {2024, 1, 1, "10", "0", "b"}});
    for (int position : {-1, 0, 4}) {
        EXPECT_FALSE(list.GetAt(position).has_value()) << position;
        EXPECT_EQ(list.NodeAt(position), nullptr) << position;
        EXPECT_FALSE(list.RemoveAt(position)) << position;
    }
    EXPECT_EQ(list.GetAt(3)->notes(), "b");

    list.SetModified(false);
    EXPECT_TRUE(list.RemoveByKey(list.NodeAt(1)->key()));
    EXPECT_TRUE(list.IsModified());
    EXPECT_EQ(NotesOf(list), (Notes{"a2", "b"}));
    EXPECT_FALSE(list.RemoveByKey(Make({2024, 1, 1, "11", "0", ""}).key()));
    EXPECT_TRUE(list.RemoveAt(2));
    // Freed slots are reused and the order still holds.
    ASSERT_TRUE(list.Insert(Make({2025, 1, 1, "0", "0", "last"})));
    ASSERT_TRUE(list.Insert(Make({2023, 1, 1, "0", "0", "first"})));
    EXPECT_EQ(NotesOf(list), (Notes{"first", "a2", "last"}));

    list.SetModified(false);
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_TRUE(list.IsModified());

    // Nothing to remove leaves the flag as it was.
    for (bool modified : {false, true}) {
        list.SetModified(modified);
        EXPECT_FALSE(list.RemoveAt(1));
        EXPECT_FALSE(list.RemoveByKey(StartKey{}));
        list.Clear();
        EXPECT_EQ(list.IsModified(), modified);
    }
}

TEST_F(EventListUtc, CopiesAreDeepAndMovesLeaveAnEmptyList) {
    EventList source = ListOf({{2024, 1, 3, "9", "0", "c"},
                               {2024, 1, 1, "9", "0", "a"},
                               {2024, 1, 2, "9", "0", "b"},
                               {2024, 1, 4, "9", "0", "d"}});
    ASSERT_TRUE(source.RemoveAt(2));  // leaves a hole in the pool
    EventList copy = source;
    EXPECT_EQ(NotesOf(copy), (Notes{"a", "c", "d"}));

    ASSERT_TRUE(source.RemoveAt(1));
    ASSERT_TRUE(source.MarkOpen(source.NodeAt(1)->key()));
    ASSERT_TRUE(source.RenameCategory("", "renamed"));
    ASSERT_TRUE(copy.Insert(Make({2024, 1, 2, "9", "0", "b"})));
    EXPECT_EQ(NotesOf(copy), (Notes{"a", "b", "c", "d"}));
    EXPECT_FALSE(copy.NodeAt(3)->open());
    EXPECT_EQ(copy.NodeAt(3)->category(), "");
    EXPECT_EQ(NotesOf(source), (Notes{"c", "d"}));

    source = copy;
    EXPECT_EQ(NotesOf(source), (Notes{"a", "b", "c", "d"}));
    const EventList moved = std::move(copy);
    EXPECT_EQ(NotesOf(moved), (Notes{"a", "b", "c", "d"}));
    EXPECT_TRUE(copy.IsEmpty());  // NOLINT(bugprone-use-after-move): a moved-from list is empty
    ASSERT_TRUE(copy.Insert(Make({2024, 1, 9, "9", "0", "z"})));
    EXPECT_EQ(NotesOf(copy), (Notes{"z"}));
}

TEST_F(EventListUtc, InsertingAnEventOfTheSameListIsSafe) {
    EventList list = ListOf({{2024, 1, 1, "9", "0", "x"}});
    // Each insert may move the pool that holds the event being copied.
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(list.Insert(*list.NodeAt(1 + i % list.Count())));
    EXPECT_EQ(list.Count(), 101);
    EXPECT_EQ(list.NodeAt(101)->notes(), "x");
}

// A list whose element allocation fails once armed.
class FailingList : public SortedEventList {
public:
    bool fail = false;

protected:
    std::optional<Slot> NewElement() override {
        if (fail)
            return std::nullopt;
        return SortedEventList::NewElement();
    }
};

TEST_F(EventListUtc, FailedElementLeavesTheListUnchanged) {
    FailingList list;
    ASSERT_TRUE(list.Insert(Make({2024, 1, 2, "9", "0", "b"})));
    list.SetModified(false);
    list.fail = true;
    EXPECT_FALSE(list.Insert(Make({2024, 1, 1, "9", "0", "a"})));
    EXPECT_FALSE(list.Insert(Make({2024, 1, 3, "9", "0", "c"})));
    EXPECT_EQ(NotesOf(list), (Notes{"b"}));
    EXPECT_FALSE(list.IsModified());
    list.fail = false;
    EXPECT_TRUE(list.Insert(Make({2024, 1, 1, "9", "0", "a"})));
    EXPECT_EQ(NotesOf(list), (Notes{"a", "b"}));
}

TEST_F(EventListUtc, RandomOperationsMatchAStableOrderedModel) {
    // Few distinct keys, so equal keys are common.
    std::mt19937 random(20240229);
    std::vector<Event> shapes;
    for (const auto& [month, day] : {std::pair{2, 28}, std::pair{2, 29}, std::pair{3, 1}}) {
        for (const char* hour : {"0", "9", "09", "23", "-1", "30"})
            shapes.push_back(Make({2024, month, day, hour, "0", ""}));
    }
    EventList list;
    std::multimap<StartKey, std::string> model;  // insert goes after equal keys
    int serial = 0;
    for (int step = 0; step < 3000; ++step) {
        const int action = static_cast<int>(random() % 10);
        if (action < 6 || model.empty()) {
            Event event = shapes[random() % shapes.size()];
            event.setNotes(std::to_string(serial++));
            ASSERT_TRUE(list.Insert(event));
            model.emplace(event.key(), event.notes());
        } else if (action < 8) {
            const int position = static_cast<int>(random() % model.size()) + 1;
            ASSERT_TRUE(list.RemoveAt(position));
            model.erase(std::next(model.begin(), position - 1));
        } else {
            const StartKey key = shapes[random() % shapes.size()].key();
            const auto it = model.find(key);  // the first of equal keys
            ASSERT_EQ(list.RemoveByKey(key), it != model.end());
            if (it != model.end())
                model.erase(it);
        }
        ASSERT_EQ(list.Count(), static_cast<int>(model.size()));
        if (step % 50 == 0 || step > 2900) {
            Notes expected;
            for (const auto& [key, notes] : model)
                expected.push_back(notes);
            ASSERT_EQ(NotesOf(list), expected) << "step " << step;
            const StartKey probe = shapes[random() % shapes.size()].key();
            const auto upper = model.upper_bound(probe);
            const FindResult inexact = list.Find(probe, false);
            EXPECT_EQ(inexact.position, std::distance(model.begin(), upper) + 1);
            EXPECT_EQ(inexact.found, upper != model.end());
        }
    }
}

// ---- queries ----

TEST_F(EventListUtc, EventsOnDayTakesTheWholeDayWhateverTheHourText) {
    const EventList list = ListOf({{2024, 2, 28, "23", "45", "before"},
                                   {2024, 2, 29, "-5", "0", "odd low"},
                                   {2024, 2, 29, "0", "0", "midnight"},
                                   {2024, 2, 29, "23", "45", "late"},
                                   {2024, 2, 29, "99", "0", "odd high"},
                                   {2024, 3, 1, "0", "0", "after"}});
    const EventQuery day = list.EventsOnDay(Local(2024, 2, 29, 17, 3));
    EXPECT_TRUE(day.found);
    EXPECT_EQ(NotesOf(day.events), (Notes{"odd low", "midnight", "late", "odd high"}));
    EXPECT_EQ(NotesOf(list.EventsOnDay(CalendarDate{2024, 3, 1}).events), (Notes{"after"}));

    const EventQuery none = list.EventsOnDay(Local(2024, 3, 2));
    EXPECT_FALSE(none.found);
    EXPECT_TRUE(none.events.IsEmpty());
    EXPECT_FALSE(EventList().EventsOnDay(Local(2024, 3, 2)).found);
}

TEST(EventListTest, EventsOnDayUsesTheLocalDateAcrossDaylightSaving) {
    ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    const EventList list = ListOf({{2024, 3, 30, "23", "0", "sat"},
                                   {2024, 3, 31, "1", "0", "sun early"},
                                   {2024, 3, 31, "23", "30", "sun late"},
                                   {2024, 4, 1, "0", "0", "mon"}});
    // 2024-03-31 21:30 UTC is 23:30 on Sunday in Berlin (summer time), and
    // 2024-03-30 23:30 UTC is already Sunday 00:30 local.
    EXPECT_EQ(NotesOf(list.EventsOnDay(1711920600).events), (Notes{"sun early", "sun late"}));
    EXPECT_EQ(NotesOf(list.EventsOnDay(1711841400).events), (Notes{"sun early", "sun late"}));
}

TEST_F(EventListUtc, CategoryQueriesAndRename) {
    EventList list = ListOf({{2024, 1, 1, "9", "0", "a", "0", "Work"},
                             {2024, 1, 2, "9", "0", "b", "0", "work"},
                             {2024, 1, 3, "9", "0", "c", "0", "Work"},
                             {2024, 1, 4, "9", "0", "d", "0", "Work "}});
    const EventQuery work = list.EventsInCategory("Work", false);
    EXPECT_TRUE(work.found);
    EXPECT_EQ(NotesOf(work.events), (Notes{"a", "c"}));

    const EventQuery inUse = list.EventsInCategory("work", true);
    EXPECT_TRUE(inUse.found);
    EXPECT_TRUE(inUse.events.IsEmpty());
    EXPECT_FALSE(list.EventsInCategory("Home", true).found);
    EXPECT_FALSE(list.EventsInCategory("Home", false).found);

    list.SetModified(false);
    EXPECT_TRUE(list.RenameCategory("Home", "House"));  // no event uses it
    EXPECT_TRUE(list.IsModified());
    EXPECT_TRUE(list.RenameCategory("Work", "Job"));
    EXPECT_EQ(NotesOf(list.EventsInCategory("Job", false).events), (Notes{"a", "c"}));
    EXPECT_EQ(NotesOf(list.EventsInCategory("work", false).events), (Notes{"b"}));
    EXPECT_EQ(NotesOf(list.EventsInCategory("Work ", false).events), (Notes{"d"}));
    EXPECT_FALSE(list.EventsInCategory("Work", false).found);
}

TEST_F(EventListUtc, SearchNotesFoldsAsciiLettersOnly) {
    const EventList list = ListOf({{2024, 1, 1, "9", "0", "Team MEETING at noon"},
                                   {2024, 1, 2, "9", "0", "meeting"},
                                   {2024, 1, 3, "9", "0", "Meet\ning notes"},
                                   {2024, 1, 4, "9", "0", "caf\xc3\xa9 [draft]"},
                                   {2024, 1, 5, "9", "0", "Mom: aaab, Meeting"},
                                   {2024, 1, 6, "9", "0", ""}});
    const struct {
        std::string text;
        Notes expected;
    } cases[] = {
        {"",
         {"Team MEETING at noon", "meeting", "Meet\ning notes", "caf\xc3\xa9 [draft]",
          "Mom: aaab, Meeting", ""}},
        {"MEETING", {"Team MEETING at noon", "meeting", "Mom: aaab, Meeting"}},
        {"mEeT", {"Team MEETING at noon", "meeting", "Meet\ning notes", "Mom: aaab, Meeting"}},
        {"G", {"Team MEETING at noon", "meeting", "Meet\ning notes", "Mom: aaab, Meeting"}},
        {"NOON", {"Team MEETING at noon"}},        // at the very end
        {"noon!", {}},                             // one byte past the end
        {std::string("noon\0", 5), {}},            // not even the end of the buffer
        {"AAB", {"Mom: aaab, Meeting"}},           // after a partial match
        {"CAF\xc3\xa9", {"caf\xc3\xa9 [draft]"}},  // non-ASCII bytes as they are
        {"CAF\xc3\x89", {}},                       // no folding beyond A to Z
        {"[DRAFT]", {"caf\xc3\xa9 [draft]"}},
        {"{draft}", {}},  // '{' is not a folded '['
        {"\n", {"Meet\ning notes"}},
        {"meeting at noon and more", {}},
    };
    for (const auto& c : cases) {
        const EventQuery result = list.SearchNotes(c.text);
        EXPECT_EQ(NotesOf(result.events), c.expected) << c.text;
        EXPECT_EQ(result.found, !c.expected.empty()) << c.text;
    }
    EXPECT_EQ(list.NodeAt(1)->notes(), "Team MEETING at noon");  // the events stay unchanged
    EXPECT_FALSE(EventList().SearchNotes("").found);
}

TEST_F(EventListUtc, DueRemindersCompareStartWithNowPlusLead) {
    const auto reminded = [](Spec spec, int lead, bool open = false) {
        Event event = Make(spec);
        event.setRemind(true);
        event.setRemindMinutes(lead);
        if (open)
            event.MarkOpen();
        return event;
    };
    EventList list;
    list.Insert(reminded({2024, 6, 3, "9", "0", "nine, 15 ahead"}, 15));
    list.Insert(reminded({2024, 6, 3, "9", "1", "nine-one, no lead"}, 0));
    list.Insert(reminded({2024, 6, 3, "9", "0", "open"}, 15, true));
    list.Insert(reminded({2024, 6, 1, "9", "0", "long past, open"}, 0, true));
    list.Insert(reminded({2024, 6, 1, "9", "0", "long past"}, 0));
    list.Insert(Make({2024, 6, 1, "9", "0", "no reminder"}));
    list.Insert(reminded({2024, 6, 4, "9", "0", "a day ahead"}, 1440));
    list.Insert(reminded({2024, 6, 3, "8", "0", "negative lead"}, -30));

    const struct {
        DateTime now;
        Notes due;
    } cases[] = {
        {Local(2024, 6, 3, 8, 29, 59), {"long past"}},
        {Local(2024, 6, 3, 8, 30), {"long past", "negative lead"}},
        {Local(2024, 6, 3, 8, 44, 59), {"long past", "negative lead"}},
        {Local(2024, 6, 3, 8, 45, 0), {"long past", "nine, 15 ahead", "negative lead"}},
        {Local(2024, 6, 3, 9, 0, 59),
         {"long past", "nine, 15 ahead", "negative lead", "a day ahead"}},
        {Local(2024, 6, 3, 9, 1, 0),
         {"long past", "nine, 15 ahead", "nine-one, no lead", "negative lead", "a day ahead"}},
    };
    for (const auto& c : cases) {
        const EventQuery due = list.DueReminders(c.now);
        std::vector<std::string> got = NotesOf(due.events);
        std::vector<std::string> want = c.due;
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want) << c.now;
        EXPECT_TRUE(due.found);
    }
    EXPECT_FALSE(EventList().DueReminders(Local(2030, 1, 1)).found);
}

TEST_F(EventListUtc, DueRemindersCountLeapDays) {
    EventList list;
    Event first = Make({2024, 3, 1, "12", "0", "first of March"});
    first.setRemind(true);
    list.Insert(first);
    EXPECT_FALSE(list.DueReminders(Local(2024, 2, 29, 12, 0)).found);
    EXPECT_FALSE(list.DueReminders(Local(2024, 3, 1, 11, 59, 59)).found);
    EXPECT_TRUE(list.DueReminders(Local(2024, 3, 1, 12, 0)).found);
}

TEST(EventListTest, DueRemindersUseLocalClockTime) {
    // Eastern time, summer: local 09:00 is 13:00 UTC.
    ScopedTimeZone zone("EST5EDT,M3.2.0,M11.1.0");
    EventList list;
    Event event = Make({2024, 7, 1, "9", "0", "call"});
    event.setRemind(true);
    event.setRemindMinutes(15);
    list.Insert(event);
    const DateTime nineUtc = 1719824400;  // 2024-07-01 09:00 UTC = 05:00 local
    EXPECT_FALSE(list.DueReminders(nineUtc).found);
    EXPECT_FALSE(list.DueReminders(nineUtc + 3 * 3600 + 44 * 60 + 59).found);
    EXPECT_TRUE(list.DueReminders(nineUtc + 3 * 3600 + 45 * 60).found);
}

TEST_F(EventListUtc, ConflictsShareAtLeastOneMinute) {
    const EventList list = ListOf({{2024, 6, 3, "10", "0", "ten for 30", "30"},
                                   {2024, 2, 29, "12", "0", "leap noon", "0"},
                                   {2024, 12, 31, "23", "45", "new year's eve", "30"},
                                   {2024, 8, 1, "8", "0", "all day", "600"},
                                   {2024, 9, 1, "10", "0", "backwards", "-60"}});
    const struct {
        Spec candidate;
        Notes expected;
    } cases[] = {
        {{2024, 6, 3, "10", "30", "", "0"}, {"ten for 30"}},  // runs up against
        {{2024, 6, 3, "10", "31", "", "0"}, {}},
        {{2024, 6, 3, "9", "30", "", "30"}, {"ten for 30"}},  // ends as the other starts
        {{2024, 6, 3, "9", "30", "", "29"}, {}},
        {{2024, 6, 3, "9", "0", "", "120"}, {"ten for 30"}},  // contains it
        {{2024, 6, 3, "10", "10", "", "5"}, {"ten for 30"}},  // inside it
        {{2024, 2, 29, "12", "0", "", "0"}, {"leap noon"}},   // zero length, same minute
        {{2024, 3, 1, "12", "0", "", "0"}, {}},               // a real day later
        {{2025, 1, 1, "0", "0", "", "0"}, {"new year's eve"}},
        {{2025, 1, 1, "0", "16", "", "0"}, {}},
        {{2024, 8, 1, "12", "0", "", "15"}, {"all day"}},
        // A backwards span [10:00, 09:00]: only the literal conditions hold.
        {{2024, 9, 1, "9", "30", "", "0"}, {"backwards"}},
        {{2024, 9, 1, "9", "0", "", "90"}, {"backwards"}},
        {{2024, 9, 1, "10", "0", "", "0"}, {"backwards"}},
        {{2024, 9, 1, "8", "0", "", "0"}, {}},
        {{2024, 9, 1, "10", "30", "", "0"}, {}},
        {{2024, 6, 3, "10", "45", "", "-15"}, {"ten for 30"}},  // backwards, ends at its end
        {{2024, 6, 3, "10", "46", "", "-15"}, {}},
    };
    for (const auto& c : cases) {
        const EventList conflicts = list.Conflicts(Make(c.candidate), nullptr);
        EXPECT_EQ(NotesOf(conflicts), c.expected)
            << c.candidate.month << "/" << c.candidate.day << " " << c.candidate.hour << ":"
            << c.candidate.minute << "+" << c.candidate.duration;
    }
}

TEST_F(EventListUtc, ConflictsSkipEveryEventAtTheExcludedStart) {
    const EventList list = ListOf({{2024, 6, 3, "9", "45", "before", "15"},
                                   {2024, 6, 3, "10", "0", "edited", "30"},
                                   {2024, 6, 3, "10", "0", "twin", "30"},
                                   {2024, 6, 3, "10", "15", "after", "0"}});
    const Event edited = *list.NodeAt(2);
    Event changed = edited;
    changed.setDuration("15");
    EXPECT_EQ(NotesOf(list.Conflicts(changed, &edited)), (Notes{"before", "after"}));
    EXPECT_EQ(NotesOf(list.Conflicts(changed, nullptr)),
              (Notes{"before", "edited", "twin", "after"}));
    const Event elsewhere = Make({2024, 6, 3, "9", "45", "", "0"});
    EXPECT_EQ(NotesOf(list.Conflicts(changed, &elsewhere)), (Notes{"edited", "twin", "after"}));
}

TEST_F(EventListUtc, OpenMarksChangeDueRemindersAtOnce) {
    EventList list;
    for (const char* notes : {"first", "second"}) {
        Event event = Make({2024, 1, 1, "9", "0", notes});
        event.setRemind(true);
        ASSERT_TRUE(list.Insert(event));
    }
    const DateTime now = Local(2024, 1, 1, 9, 0);
    const StartKey key = list.NodeAt(1)->key();
    ASSERT_TRUE(list.MarkOpen(key));
    EXPECT_EQ(NotesOf(list.DueReminders(now).events), (Notes{"second"}));
    ASSERT_TRUE(list.ClearOpen(key));
    EXPECT_EQ(NotesOf(list.DueReminders(now).events), (Notes{"first", "second"}));
    // Marked while the list is a copy: each list keeps its own marks.
    EventList copy = list;
    ASSERT_TRUE(copy.MarkOpen(key));
    EXPECT_EQ(NotesOf(copy.DueReminders(now).events), (Notes{"second"}));
    EXPECT_EQ(NotesOf(list.DueReminders(now).events), (Notes{"first", "second"}));
}

// Due reminders worked out the slow way from the events themselves; with
// the time zone at UTC the minute scale is whole minutes since 1970.
Notes DueByHand(const EventList& list, DateTime now) {
    Notes due;
    list.ForEach([&](const Event& event) {
        if (event.remind() && !event.open() &&
            event.StartMinute() - event.remindMinutes() <= now / 60)
            due.push_back(event.notes());
    });
    return due;
}

// Conflicts worked out the slow way: closed spans sharing a minute.
Notes ConflictsByHand(const EventList& list, const Event& candidate, const Event* excluded) {
    const std::int64_t start = candidate.StartMinute();
    const std::int64_t finish = candidate.EndMinute();
    Notes conflicts;
    list.ForEach([&](const Event& event) {
        if (excluded != nullptr && event.SameStart(*excluded))
            return;
        const std::int64_t s = event.StartMinute();
        const std::int64_t f = event.EndMinute();
        if ((s <= start && start <= f) || (s <= finish && finish <= f) ||
            (start <= s && f <= finish))
            conflicts.push_back(event.notes());
    });
    return conflicts;
}

TEST_F(EventListUtc, TimingQueriesFollowEveryChangeToTheList) {
    // Queries answer from a compact copy of each event's timing; any change
    // to the list that left it behind shows up as a difference from the
    // answers worked out from the events.
    std::mt19937 random(20261206);
    const auto pick = [&random](const auto& values) { return values[random() % values.size()]; };
    const std::vector<std::string> hours = {"0", "9", "09", "23", "-1", "30"};
    const std::vector<std::string> minutes = {"0", "30", "59", "75"};
    const std::vector<std::string> durations = {"0", "15", "90", "-60", "1440", "123456789"};
    const std::vector<int> leads = {-30, 0, 15, 1440, 100000};
    int serial = 0;
    const auto fresh = [&] {
        Event event = Make({2024, 6, 1 + static_cast<int>(random() % 4), pick(hours), pick(minutes),
                            std::to_string(serial++), pick(durations)});
        event.setRemind(random() % 2 == 0);
        event.setRemindMinutes(pick(leads));
        return event;
    };
    const auto someKey = [&](const EventList& list) {
        if (list.IsEmpty())
            return fresh().key();
        return list.NodeAt(static_cast<int>(random() % list.Count()) + 1)->key();
    };

    EventList list;
    EventList other;  // a second list to copy and move between
    for (int step = 0; step < 2000; ++step) {
        const int action = static_cast<int>(random() % 16);
        SCOPED_TRACE("step " + std::to_string(step) + ", action " + std::to_string(action));
        if (action < 5) {
            ASSERT_TRUE(list.Insert(fresh()));
        } else if (action == 5) {
            const Event event = fresh();
            ASSERT_TRUE(list.Insert(event));
        } else if (action == 6 && !list.IsEmpty()) {
            ASSERT_TRUE(list.Insert(*list.NodeAt(static_cast<int>(random() % list.Count()) + 1)));
        } else if (action == 7 && !list.IsEmpty()) {
            ASSERT_TRUE(list.RemoveAt(static_cast<int>(random() % list.Count()) + 1));
        } else if (action == 8) {
            list.RemoveByKey(someKey(list));
        } else if (action == 9) {
            list.MarkOpen(someKey(list));
        } else if (action == 10) {
            list.ClearOpen(someKey(list));
        } else if (action == 11) {
            other = list;  // copies are compacted: slots are renumbered
            list = random() % 2 == 0 ? EventList(other) : std::move(other);
        } else if (action == 12) {
            std::swap(list, other);
        } else if (action == 13) {
            // A query result, built by appending, becomes the list.
            list = list.DueReminders(Local(2024, 6, 1 + static_cast<int>(random() % 5))).events;
        } else if (action == 14 && random() % 4 == 0) {
            list.Clear();
        } else {
            list.RenameCategory("", "renamed");
        }

        const DateTime now = Local(2024, 5, 31) + static_cast<DateTime>(random() % (6 * 86400));
        EXPECT_EQ(NotesOf(list.DueReminders(now).events), DueByHand(list, now)) << now;
        const Event candidate = fresh();
        EXPECT_EQ(NotesOf(list.Conflicts(candidate, nullptr)),
                  ConflictsByHand(list, candidate, nullptr));
        if (!list.IsEmpty()) {
            const Event* excluded = list.NodeAt(static_cast<int>(random() % list.Count()) + 1);
            EXPECT_EQ(NotesOf(list.Conflicts(candidate, excluded)),
                      ConflictsByHand(list, candidate, excluded));
        }
        if (::testing::Test::HasFailure())
            return;
    }
}

TEST_F(EventListUtc, OpenMarksByKeyLeaveModifiedAlone) {
    EventList list = ListOf({{2024, 1, 1, "9", "0", "a1"}, {2024, 1, 1, "9", "0", "a2"}});
    list.SetModified(false);
    const StartKey key = list.NodeAt(1)->key();
    EXPECT_TRUE(list.MarkOpen(key));
    EXPECT_TRUE(list.NodeAt(1)->open());
    EXPECT_FALSE(list.NodeAt(2)->open());
    EXPECT_FALSE(list.MarkOpen(key));  // the first is already open
    EXPECT_FALSE(list.MarkOpen(StartKey{}));
    EXPECT_TRUE(list.ClearOpen(key));
    EXPECT_FALSE(list.NodeAt(1)->open());
    EXPECT_TRUE(list.ClearOpen(StartKey{}));
    EXPECT_FALSE(list.IsModified());
}

}  // namespace
}  // namespace almanary

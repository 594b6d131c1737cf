#include "model/EventList.h"

#include <gtest/gtest.h>

#include <string>

#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"

namespace almanary {
namespace {

using testing::EventSpec;
using testing::listOf;
using testing::localTime;
using testing::makeEvent;
using testing::Notes;
using testing::notesOf;
using testing::ScopedTimeZone;

Event reminded(const EventSpec& shape, int lead) {
    Event event = makeEvent(shape);
    event.setRemind(true), event.setRemindMinutes(lead);
    return event;
}

class EventListUtc : public ::testing::Test {
protected:
    ScopedTimeZone zone_{"UTC0"};
};

TEST_F(EventListUtc, EventsOnDayAndCategories) {
    EventList list = listOf({{2024, 2, 28, "23", "45", "before", "0", "Work"},
                             {2024, 2, 29, "-5", "0", "odd low", "0", "work"},
                             {2024, 2, 29, "23", "45", "late", "0", "Work"},
                             {2024, 2, 29, "99", "0", "odd high", "0", "Work "},
                             {2024, 3, 1, "0", "0", "after"}});
    EXPECT_EQ(notesOf(list.eventsOnDay(localTime(2024, 2, 29, 17, 3))),
              (Notes{"odd low", "late", "odd high"}));
    EXPECT_TRUE(list.eventsOnDay(localTime(2024, 3, 2)).isEmpty());

    EXPECT_EQ(notesOf(list.eventsInCategory("Work")), (Notes{"before", "late"}));
    EXPECT_TRUE(list.usesCategory("work"));
    EXPECT_FALSE(list.usesCategory("Home"));
    list.setModified(false);
    list.renameCategory("Work", "Job");
    EXPECT_TRUE(list.isModified());
    EXPECT_EQ(notesOf(list.eventsInCategory("Job")), (Notes{"before", "late"}));
    EXPECT_EQ(notesOf(list.eventsInCategory("Work ")), (Notes{"odd high"}));
}

// 2024-03-30 23:30 UTC is already Sunday 00:30 local; 21:30 UTC on Sunday is
// 23:30 summer time.
TEST(EventListTest, TheLocalClockDecidesTheDayAndDueReminders) {
    ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EventList list = listOf({{2024, 3, 30, "23", "0", "sat"}, {2024, 3, 31, "1", "0", "sun"}});
    EXPECT_EQ(notesOf(list.eventsOnDay(1711841400)), Notes{"sun"});
    EXPECT_EQ(notesOf(list.eventsOnDay(1711920600)), Notes{"sun"});
    list.insert(reminded({2024, 3, 31, "23", "45", "call"}, 15));
    EXPECT_TRUE(list.dueReminders(1711920600 - 1).isEmpty());
    EXPECT_FALSE(list.dueReminders(1711920600).isEmpty());
}

TEST_F(EventListUtc, SearchNotesFoldsLetterCase) {
    const EventList list = listOf({{2024, 1, 1, "9", "0", "Team MEETING at noon"},
                                   {2024, 1, 2, "9", "0", "Meet\ning"},
                                   {2024, 1, 3, "9", "0", "caf\xc3\xa9 [draft] aaab"}});
    const struct {
        std::string text;
        Notes expected;
    } cases[] = {
        {"mEeT", {"Team MEETING at noon", "Meet\ning"}},
        {"NOON", {"Team MEETING at noon"}},             // at the very end
        {"noon!", {}},                                  // one byte past the end
        {"AAB", {"caf\xc3\xa9 [draft] aaab"}},          // after a partial match
        {"CAF\xc3\x89", {"caf\xc3\xa9 [draft] aaab"}},  // folded as Unicode
        {" {draft", {}},                                // '{' is not a folded '['
    };
    for (const auto& c : cases)
        EXPECT_EQ(notesOf(list.searchNotes(c.text)), c.expected) << c.text;
}

TEST_F(EventListUtc, DueRemindersCompareStartWithNowPlusLead) {
    EventList list;
    list.insert(reminded({2024, 6, 3, "9", "0", "nine, 15 ahead"}, 15));
    Event open = reminded({2024, 6, 3, "9", "0", "open"}, 15);
    open.markOpen();
    list.insert(open);
    list.insert(makeEvent({2024, 6, 1, "9", "0", "no reminder"}));
    list.insert(reminded({2024, 6, 4, "9", "0", "a day ahead"}, 1440));
    list.insert(reminded({2024, 3, 1, "12", "0", "1 March"}, 0));
    const struct {
        DateTime now;
        Notes due;
    } cases[] = {
        {localTime(2024, 2, 29, 12, 0), {}},  // a whole day early, across the leap day
        {localTime(2024, 6, 3, 8, 44, 59), {"1 March"}},
        {localTime(2024, 6, 3, 8, 45), {"1 March", "nine, 15 ahead"}},
        {localTime(2024, 6, 3, 9, 0, 59), {"1 March", "nine, 15 ahead", "a day ahead"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(notesOf(list.dueReminders(c.now)), c.due) << c.now;
    // An event marked open (on screen) holds its reminder back; a mark is
    // no change to the document.
    const StartKey nine = makeEvent({2024, 6, 3, "9", "0", ""}).key();
    list.setModified(false);
    EXPECT_TRUE(list.markOpen(nine));
    EXPECT_FALSE(list.markOpen(nine));  // already open
    EXPECT_EQ(notesOf(list.dueReminders(cases[3].now)), (Notes{"1 March", "a day ahead"}));
    list.clearOpen(nine);
    EXPECT_EQ(notesOf(list.dueReminders(cases[3].now)), cases[3].due);
    EXPECT_FALSE(list.isModified());
}

TEST_F(EventListUtc, ConflictsShareAtLeastOneMinute) {
    const EventList list = listOf({{2024, 6, 3, "10", "0", "ten for 30", "30"},
                                   {2024, 2, 29, "12", "0", "leap noon", "0"},
                                   {2024, 12, 31, "23", "45", "new year's eve", "30"},
                                   {2024, 9, 1, "10", "0", "backwards", "-60"}});
    const struct {
        EventSpec candidate;
        Notes expected;
    } cases[] = {
        {{2024, 6, 3, "10", "30", "", "15"}, {"ten for 30"}},  // starts as the other ends
        {{2024, 6, 3, "10", "31", "", "0"}, {}},
        {{2024, 6, 3, "9", "30", "", "30"}, {"ten for 30"}},  // ends as the other starts
        {{2024, 6, 3, "9", "30", "", "29"}, {}},
        {{2024, 2, 29, "12", "0", "", "0"}, {"leap noon"}},  // zero length, same minute
        {{2024, 3, 1, "12", "0", "", "0"}, {}},              // a real day later
        {{2025, 1, 1, "0", "0", "", "0"}, {"new year's eve"}},
        {{2025, 1, 1, "0", "16", "", "0"}, {}},
        // A backwards span [10:00, 09:00]: only the literal conditions hold.
        {{2024, 9, 1, "9", "30", "", "0"}, {"backwards"}},
        {{2024, 9, 1, "8", "0", "", "0"}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(notesOf(list.conflicts(makeEvent(c.candidate), nullptr)), c.expected)
            << c.candidate.day << " " << c.candidate.hour << ":" << c.candidate.minute;
    // The event being edited (list.at(1), ten for 30) is no conflict of its own.
    EXPECT_TRUE(list.conflicts(makeEvent(cases[0].candidate), &list.at(1)).isEmpty());
}

}  // namespace
}  // namespace almanary

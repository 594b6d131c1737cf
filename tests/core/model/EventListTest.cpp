#include "model/EventList.h"

#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"

namespace almanary::testing {
namespace {

// Summer time begins at 2:00 on 31 March 2024, so local days differ from UTC ones.
class EventListTest : public ::testing::Test {
protected:
    ScopedTimeZone zone_{"CET-1CEST,M3.5.0,M10.5.0/3"};
};

// A day holds its date's events whatever the hours; searches fold case (Latin-1 only A to Z).
TEST_F(EventListTest, DaysCategoriesAndNoteSearches) {
    const std::string summer = "Summer ÉTÉ", old = "Old \xc9T\xc9";
    EventList list = listOf({{2024, 3, 30, "23", "45", "Team MEETING at noon", "0", "Work"},
                             {2024, 3, 31, "-5", "0", "Meet\ning", "0", "work"},
                             {2024, 3, 31, "23", "45", summer, "0", "Work"},
                             {2024, 3, 31, "99", "0", "odd high", "0", "Work "},
                             {2024, 4, 1, "0", "0", "MAIN STRASSE"},
                             {2024, 4, 2, "0", "0", "Straße 5"},
                             {2024, 4, 3, "0", "0", old}});
    EXPECT_EQ(notesOf(list.eventsOnDay(localTime(2024, 3, 31, 0, 30))),
              (Notes{"Meet\ning", summer, "odd high"}));
    const std::pair<std::string, Notes> searches[] = {
        {"mEeT", {"Team MEETING at noon", "Meet\ning"}},
        {"NOON", {"Team MEETING at noon"}},  // at the very end
        {"noon!", {}},
        {"été", {summer}},
        {"sse", {"MAIN STRASSE", "Straße 5"}},    // an ASCII text finds "ß"
        {"straß", {"MAIN STRASSE", "Straße 5"}},  // and the other way round
        {"OLD", {old}},
        {"old \xe9t\xe9", {}},
        {"oLD \xc9T\xc9", {old}},  // an 8-bit text as typed
    };
    for (const auto& [text, expected] : searches)
        EXPECT_EQ(notesOf(list.searchNotes(text)), expected) << text;
    const Notes work{"Team MEETING at noon", summer};
    EXPECT_EQ(notesOf(list.eventsInCategory("Work")), work);
    EXPECT_TRUE(list.usesCategory("work") && !list.usesCategory("WORK"));
    list.renameCategory("Work", "Job");
    EXPECT_EQ(notesOf(list.eventsInCategory("Job")), work);
    EXPECT_EQ(notesOf(list.eventsInCategory("Work ")), Notes{"odd high"});
}

// An open event holds its reminder back (no change); touching spans conflict.
TEST_F(EventListTest, DueRemindersAndConflicts) {
    EventList list = listOf({{2024, 6, 3, "8", "0", "no reminder"},
                             {2024, 6, 3, "10", "0", "ten", "30"},
                             {2024, 9, 1, "10", "0", "backwards", "-60"}});
    for (const auto& [day, lead, notes] :
         {std::tuple{3, 15, "nine"}, std::tuple{4, 1440, "a day ahead"}}) {
        Event event = makeEvent({2024, 6, day, "9", "0", notes});
        event.setRemind(true), event.setRemindMinutes(lead);
        list.insert(event);
    }
    EXPECT_TRUE(list.dueReminders(localTime(2024, 6, 3, 8, 44, 59)).isEmpty());
    EXPECT_EQ(notesOf(list.dueReminders(localTime(2024, 6, 3, 8, 45))), Notes{"nine"});
    const DateTime later = localTime(2024, 6, 3, 9, 0, 59);
    EXPECT_EQ(notesOf(list.dueReminders(later)), (Notes{"nine", "a day ahead"}));
    list.setModified(false);
    EXPECT_TRUE(list.markOpen(list.at(1).key()) && !list.markOpen(list.at(1).key()));
    EXPECT_EQ(notesOf(list.dueReminders(later)), Notes{"a day ahead"});
    list.clearOpen(list.at(1).key());
    EXPECT_EQ(notesOf(list.dueReminders(later)), (Notes{"nine", "a day ahead"}));
    EXPECT_FALSE(list.isModified());
    const std::pair<EventSpec, Notes> candidates[] = {
        {{2024, 6, 3, "10", "30", "", "15"}, {"ten"}},     {{2024, 6, 3, "10", "31", "", "0"}, {}},
        {{2024, 6, 3, "9", "30", "", "30"}, {"ten"}},      {{2024, 6, 3, "9", "30", "", "29"}, {}},
        {{2024, 9, 1, "9", "30", "", "0"}, {"backwards"}}, {{2024, 9, 1, "8", "0", "", "0"}, {}}};
    for (const auto& [candidate, expected] : candidates)
        EXPECT_EQ(notesOf(list.conflicts(makeEvent(candidate), nullptr)), expected)
            << candidate.hour << ":" << candidate.minute;
}

}  // namespace
}  // namespace almanary::testing

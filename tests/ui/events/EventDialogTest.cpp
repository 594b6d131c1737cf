// The event dialog: the default time, entering with its three checks,
// editing, Clear and Cancel, reminder mode and the Enter-key table.

#include "events/EventDialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateEdit>
#include <QPointer>
#include <memory>
#include <string>

#include "events/ViewEventsDialog.h"
#include "model/CategoryList.h"
#include "model/DateTimeText.h"
#include "model/EventList.h"
#include "support/DialogDriving.h"
#include "support/FakeClock.h"
#include "support/FakePrompter.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"

namespace almanary::testing {
namespace {

class EventDialogTest : public ::testing::Test {
protected:
    EventDialogTest() {
        DateTimeText::SetTwelveHourClock(false);
        clock.Set(LocalTime(2024, 3, 4, 14, 7));  // the default start is 14:15
    }

    // A shown dialog: enter mode without an event, edit mode with one.
    std::unique_ptr<EventDialog> Shown(std::optional<Event> edited = std::nullopt) {
        auto dialog = std::make_unique<EventDialog>(nullptr, events, categories, prompter, clock,
                                                    std::move(edited));
        dialog->show();
        return dialog;
    }

    void Store(const EventSpec& shape) {
        events.Insert(MakeEvent(shape));
        events.SetModified(false);
    }
    const Event& At(int position) { return *events.NodeAt(position); }

    ScopedTimeZone zone{"Europe/London"};
    FakePrompter prompter;
    FakeClock clock;
    EventList events;
    CategoryList categories{std::vector<std::string>{"work"}};
    QObject modalContext;  // ends pending WhenModal actions
};

TEST_F(EventDialogTest, ProposesTheNextQuarterHour) {
    // Now on a day of March 2024, and the start proposed on the same or next day.
    const struct {
        const char* zone;
        int day, hour, minute;
        const char* start;
        int startDay;
    } cases[] = {
        {"Europe/London", 4, 14, 7, "14:15", 4},
        {"Europe/London", 4, 9, 15, "9:15", 4},
        {"Europe/London", 4, 9, 16, "9:30", 4},
        {"Europe/London", 4, 9, 46, "10:00", 4},
        {"Europe/London", 4, 23, 52, "0:00", 5},
        // The night before clocks go forward: a day of 23 hours follows.
        {"Europe/London", 30, 23, 52, "0:00", 31},
        {"America/New_York", 9, 23, 50, "0:00", 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.zone << " " << c.hour << ":" << c.minute);
        ScopedTimeZone local(c.zone);
        clock.Set(LocalTime(2024, 3, c.day, c.hour, c.minute));
        auto dialog = Shown();
        EXPECT_EQ(Selected(*dialog, "hourCombo") + ":" + Selected(*dialog, "minuteCombo"), c.start);
        EXPECT_EQ(Child<QDateEdit>(*dialog, "dateEdit")->date(), QDate(2024, 3, c.startDay));
    }
}

TEST_F(EventDialogTest, EnterRefusesEmptyNotesThenStoresTheFieldsAndClearsForTheNext) {
    auto dialog = Shown();
    Press(*dialog, "enterButton");
    EXPECT_EQ(prompter.ids(), Ids({MessageId::kNotesRequired}));
    EXPECT_EQ(events.Count(), 0);

    SetNotes(*dialog, "Lunch");
    Pick(*dialog, "durationCombo", "90");
    Pick(*dialog, "categoryCombo", "work");
    Child<QCheckBox>(*dialog, "remindCheck")->setChecked(true);
    Press(*dialog, "enterButton");
    ASSERT_EQ(events.Count(), 1);
    EXPECT_EQ((Notes{At(1).notes(), std::string(At(1).duration()), At(1).category()}),
              (Notes{"Lunch", "90", "work"}));
    EXPECT_TRUE(At(1).remind() && events.IsModified());
    // Ready for the next event at the same date and time.
    EXPECT_EQ(NotesIn(*dialog), "");
    EXPECT_EQ(Selected(*dialog, "durationCombo"), "0");
    EXPECT_EQ(Selected(*dialog, "hourCombo"), "14");
    EXPECT_FALSE(dialog->inputChanged());
}

TEST_F(EventDialogTest, ATakenStartAsksAndYesEditsTheEventThereInstead) {
    Store({2024, 3, 4, "14", "15", "Existing", "30"});
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        prompter.ClearShown();
        auto dialog = Shown();
        SetNotes(*dialog, "Mine");
        prompter.Answer(yes ? MessageAnswer::Yes : MessageAnswer::No);
        bool edited = false;
        if (yes) {
            WhenModal<EventDialog>(modalContext, [&](EventDialog& nested) {
                edited = true;
                EXPECT_TRUE(nested.editMode());
                EXPECT_TRUE(At(1).open());
                EXPECT_EQ(NotesIn(nested), "Existing");
                nested.reject();
            });
        }
        Press(*dialog, "enterButton");
        ASSERT_EQ(prompter.ids(), Ids({MessageId::kStartTakenEdit}));
        EXPECT_EQ(prompter.shown()[0].args, std::vector<std::string>{"14:15"});
        EXPECT_EQ(edited, yes);
        EXPECT_EQ(NotesOf(events), Notes({"Existing"}));
        EXPECT_FALSE(At(1).open());
        EXPECT_EQ(NotesIn(*dialog), "Mine");
    }
}

TEST_F(EventDialogTest, OverlapsAreOfferedAndTheEventIsEnteredEitherWay) {
    Store({2024, 3, 4, "13", "30", "Touches", "45"});  // ends at 14:15
    auto dialog = Shown();
    SetNotes(*dialog, "Declined");
    prompter.Answer(MessageAnswer::No);
    Press(*dialog, "enterButton");
    EXPECT_EQ(prompter.ids(), Ids({MessageId::kConflictsFound}));
    EXPECT_EQ(NotesOf(events), Notes({"Touches", "Declined"}));

    Pick(*dialog, "minuteCombo", "45");
    Pick(*dialog, "hourCombo", "13");
    SetNotes(*dialog, "Reviewed");
    prompter.Answer(MessageAnswer::Yes);
    bool reviewed = false;
    WhenModal<ViewEventsDialog>(modalContext, [&](ViewEventsDialog& view) {
        reviewed = true;
        EXPECT_TRUE(view.conflictMode());
        EXPECT_EQ(NotesOf(view.results()), Notes({"Touches"}));
        view.reject();
    });
    Press(*dialog, "enterButton");
    EXPECT_TRUE(reviewed);
    EXPECT_EQ(NotesOf(events), Notes({"Touches", "Reviewed", "Declined"}));
}

// Enter in edit mode without changes leaves the list unmodified; with new
// notes it replaces the event, asking nothing about its own start. Either way
// the open mark goes and a category deleted meanwhile stays.
TEST_F(EventDialogTest, EditModeEnterReplacesOnlyAChangedEvent) {
    Store({2024, 3, 4, "9", "00", "Old notes", "30", "Gone"});
    for (const char* notes : {"Old notes", "New notes"}) {
        SCOPED_TRACE(notes);
        auto dialog = Shown(*events.GetAt(1));
        EXPECT_TRUE(At(1).open());
        EXPECT_EQ(Selected(*dialog, "categoryCombo"), "Gone");
        SetNotes(*dialog, notes);
        Press(*dialog, "enterButton");
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_TRUE(prompter.ids().empty());
        ASSERT_EQ(events.Count(), 1);
        EXPECT_EQ(At(1).notes(), notes);
        EXPECT_EQ(At(1).category(), "Gone");
        EXPECT_FALSE(At(1).open());
        EXPECT_EQ(events.IsModified(), std::string(notes) == "New notes");
    }
}

TEST_F(EventDialogTest, AnEditorOfAnEventOpenElsewhereClosesAtOnce) {
    Store({2024, 3, 4, "9", "00", "Busy", "30"});
    ASSERT_TRUE(events.MarkOpen(At(1).key()));
    WhenModal<EventDialog>(modalContext, [](EventDialog& shown) {
        ADD_FAILURE() << "the editor was shown";
        shown.reject();
    });
    EventDialog editor(nullptr, events, categories, prompter, clock, *events.GetAt(1));
    EXPECT_EQ(editor.exec(), EventDialog::kClosedAtOnce);
    EXPECT_TRUE(At(1).open());
}

// Clear in enter mode and Escape in edit mode ask only about changed input.
TEST_F(EventDialogTest, ClearAndCancelAskBeforeDiscardingChangedInput) {
    Store({2024, 3, 4, "9", "00", "Kept", "30"});
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancel" : "clear");
        prompter.ClearShown();
        auto dialog = cancel ? Shown(*events.GetAt(1)) : Shown();
        const auto act = [&] {
            cancel ? QTest::keyClick(dialog.get(), Qt::Key_Escape) : Press(*dialog, "clearButton");
        };
        if (!cancel) {
            act();  // nothing changed: no question
            EXPECT_TRUE(prompter.ids().empty());
        }
        SetNotes(*dialog, "Draft");
        prompter.Answer(MessageAnswer::No);
        act();
        EXPECT_EQ(NotesIn(*dialog), "Draft");
        EXPECT_TRUE(dialog->isVisible());
        prompter.Answer(MessageAnswer::Yes);
        act();
        EXPECT_EQ(prompter.ids(), Ids({MessageId::kDiscardInput, MessageId::kDiscardInput}));
        EXPECT_EQ(dialog->isVisible(), !cancel);
        EXPECT_EQ(NotesIn(*dialog), "");
        EXPECT_FALSE(dialog->inputChanged());
        EXPECT_FALSE(At(1).open());
        EXPECT_EQ(NotesOf(events), Notes({"Kept"}));
    }
}

TEST_F(EventDialogTest, ReminderModeDeleteRemovesTheEventWithoutAQuestion) {
    Store({2024, 3, 4, "9", "00", "Due", "30"});
    Store({2024, 3, 4, "11", "00", "Also due", "30"});
    for (const bool escape : {false, true}) {
        auto* popUp =
            new EventDialog(nullptr, events, categories, prompter, clock, *events.GetAt(1));
        const QPointer<EventDialog> alive(popUp);
        popUp->setTitle(EventDialog::kReminderTitle);
        popUp->markModeless();
        popUp->show();
        SetNotes(*popUp, "Edited but deleted");
        escape ? QTest::keyClick(popUp, Qt::Key_Escape) : Press(*popUp, "exitButton");
        Settle();
        EXPECT_TRUE(alive.isNull());
    }
    EXPECT_TRUE(prompter.ids().empty());
    EXPECT_EQ(events.Count(), 0);
}

TEST_F(EventDialogTest, EnterKeyActsOnTheFocusedControl) {
    const struct {
        const char* focus;
        int events;         // in the list afterwards
        const char* notes;  // left in the notes box
        bool ended;
    } cases[] = {
        {"clearButton", 0, "", false},  // cleared at once, without a question
        {"exitButton", 0, "", true},   {"notesEdit", 0, "Draft\n", false},
        {"hourCombo", 1, "", false},   {"enterButton", 1, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.focus);
        auto dialog = Shown();
        if (c.ended)
            prompter.Answer(MessageAnswer::Yes);
        SetNotes(*dialog, "Draft");
        auto* focus = Child(*dialog, c.focus);
        focus->setFocus();
        if (auto* notes = qobject_cast<QPlainTextEdit*>(focus))
            notes->moveCursor(QTextCursor::End);
        QTest::keyClick(focus, Qt::Key_Return);
        EXPECT_EQ(events.Count(), c.events);
        EXPECT_EQ(NotesIn(*dialog), c.notes);
        EXPECT_EQ(dialog->isVisible(), !c.ended);
        events.Clear();
    }
}

}  // namespace
}  // namespace almanary::testing

// The event dialog: the default time, entering with its three checks,
// editing, Clear and Cancel, and the Enter-key table.

#include "events/EventDialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateEdit>
#include <memory>
#include <string>

#include "events/ViewEventsDialog.h"
#include "support/SessionHarness.h"

namespace almanary::testing {
namespace {

class EventDialogTest : public SessionHarness {
protected:
    EventDialogTest() {
        reset({"work"});
        clock.set(localTime(2024, 3, 4, 14, 7));  // the default start is 14:15
    }

    // A shown dialog: enter mode without an event, edit mode with one.
    std::unique_ptr<EventDialog> shown(std::optional<Event> edited = std::nullopt) {
        auto dialog = edited ? std::make_unique<EventDialog>(nullptr, session, services, review,
                                                             EventDialog::Mode::Edit, *edited)
                             : std::make_unique<EventDialog>(nullptr, session, services, review);
        dialog->show();
        return dialog;
    }

    ConflictReview review = &ViewEventsDialog::reviewConflicts;
};

TEST_F(EventDialogTest, ProposesTheNextQuarterHour) {
    const struct {
        int day, hour, minute;  // now, in March 2024
        const char* start;
        int startDay;
    } cases[] = {
        {4, 9, 15, "9:15", 4},  {4, 9, 16, "9:30", 4},    {4, 9, 46, "10:00", 4},
        {4, 23, 52, "0:00", 5}, {30, 23, 52, "0:00", 31},  // the next day has 23 hours
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.day << " " << c.hour << ":" << c.minute);
        clock.set(localTime(2024, 3, c.day, c.hour, c.minute));
        auto dialog = shown();
        EXPECT_EQ(selected(*dialog, "hourCombo") + ":" + selected(*dialog, "minuteCombo"), c.start);
        EXPECT_EQ(child<QDateEdit>(*dialog, "dateEdit")->date(), QDate(2024, 3, c.startDay));
    }
}

TEST_F(EventDialogTest, EnterRefusesEmptyNotesThenStoresTheFieldsAndClearsForTheNext) {
    auto dialog = shown();
    press(*dialog, "enterButton");
    EXPECT_EQ(prompter.ids(), Ids({MessageId::NotesRequired}));
    EXPECT_EQ(events().count(), 0);

    setNotes(*dialog, "Lunch");
    pick(*dialog, "durationCombo", "90");
    pick(*dialog, "categoryCombo", "work");
    child<QCheckBox>(*dialog, "remindCheck")->setChecked(true);
    press(*dialog, "enterButton");
    ASSERT_EQ(events().count(), 1);
    const Event& stored = events().at(0);
    EXPECT_EQ((Notes{stored.notes(), std::string(stored.duration()), stored.category()}),
              (Notes{"Lunch", "90", "work"}));
    EXPECT_TRUE(stored.remind() && events().isModified());
    // Ready for the next event at the same date and time.
    EXPECT_EQ(notesIn(*dialog), "");
    EXPECT_EQ(selected(*dialog, "durationCombo"), "0");
    EXPECT_EQ(selected(*dialog, "hourCombo"), "14");
    EXPECT_FALSE(dialog->inputChanged());
}

TEST_F(EventDialogTest, ATakenStartAsksAndYesEditsTheEventThereInstead) {
    store({2024, 3, 4, "14", "15", "Existing", "30"});
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        prompter.clearShown();
        auto dialog = shown();
        setNotes(*dialog, "Mine");
        prompter.answer(yes ? MessageAnswer::Yes : MessageAnswer::No);
        bool edited = false;
        if (yes) {
            whenModal<EventDialog>(modalContext, [&](EventDialog& nested) {
                edited = true;
                EXPECT_EQ(nested.mode(), EventDialog::Mode::Edit);
                EXPECT_TRUE(events().at(0).open());
                EXPECT_EQ(notesIn(nested), "Existing");
                nested.reject();
            });
        }
        press(*dialog, "enterButton");
        ASSERT_EQ(prompter.ids(), Ids({MessageId::StartTakenEdit}));
        EXPECT_EQ(prompter.shown()[0].args, std::vector<std::string>{"14:15"});
        EXPECT_EQ(edited, yes);
        EXPECT_EQ(notesOf(events()), Notes({"Existing"}));
        EXPECT_FALSE(events().at(0).open());
        EXPECT_EQ(notesIn(*dialog), "Mine");
    }
}

TEST_F(EventDialogTest, OverlapsAreOfferedAndTheEventIsEnteredEitherWay) {
    store({2024, 3, 4, "13", "30", "Touches", "45"});  // ends at 14:15
    auto dialog = shown();
    setNotes(*dialog, "Declined");
    prompter.answer(MessageAnswer::No);
    press(*dialog, "enterButton");
    EXPECT_EQ(prompter.ids(), Ids({MessageId::ConflictsFound}));
    EXPECT_EQ(notesOf(events()), Notes({"Touches", "Declined"}));

    pick(*dialog, "minuteCombo", "45");
    pick(*dialog, "hourCombo", "13");
    setNotes(*dialog, "Reviewed");
    prompter.answer(MessageAnswer::Yes);
    bool reviewed = false;
    whenModal<ViewEventsDialog>(modalContext, [&](ViewEventsDialog& view) {
        reviewed = true;
        EXPECT_TRUE(view.conflictMode());
        EXPECT_EQ(notesOf(view.results()), Notes({"Touches"}));
        view.reject();
    });
    press(*dialog, "enterButton");
    EXPECT_TRUE(reviewed);
    EXPECT_EQ(notesOf(events()), Notes({"Touches", "Reviewed", "Declined"}));
}

// Enter in edit mode without changes leaves the list unmodified; with new
// notes it replaces the event, asking nothing about its own start. Either way
// the open mark goes and a category deleted meanwhile stays.
TEST_F(EventDialogTest, EditModeEnterReplacesOnlyAChangedEvent) {
    store({2024, 3, 4, "9", "00", "Old notes", "30", "Gone"});
    for (const char* notes : {"Old notes", "New notes"}) {
        SCOPED_TRACE(notes);
        auto dialog = shown(events().at(0));
        EXPECT_TRUE(events().at(0).open());
        EXPECT_EQ(selected(*dialog, "categoryCombo"), "Gone");
        setNotes(*dialog, notes);
        press(*dialog, "enterButton");
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_TRUE(prompter.ids().empty());
        ASSERT_EQ(events().count(), 1);
        EXPECT_EQ(events().at(0).notes(), notes);
        EXPECT_EQ(events().at(0).category(), "Gone");
        EXPECT_FALSE(events().at(0).open());
        EXPECT_EQ(events().isModified(), std::string(notes) == "New notes");
    }
}

TEST_F(EventDialogTest, AnEditorOfAnEventOpenElsewhereClosesAtOnce) {
    store({2024, 3, 4, "9", "00", "Busy", "30"});
    ASSERT_TRUE(session.markOpen(events().at(0).key()));
    whenModal<EventDialog>(modalContext, [](EventDialog& shown) {
        ADD_FAILURE() << "the editor was shown";
        shown.reject();
    });
    EventDialog editor(nullptr, session, services, review, EventDialog::Mode::Edit, events().at(0));
    EXPECT_EQ(editor.exec(), EventDialog::kClosedAtOnce);
    EXPECT_TRUE(events().at(0).open());
}

// Clear in enter mode and Escape in edit mode ask only about changed input.
TEST_F(EventDialogTest, ClearAndCancelAskBeforeDiscardingChangedInput) {
    store({2024, 3, 4, "9", "00", "Kept", "30"});
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancel" : "clear");
        prompter.clearShown();
        auto dialog = cancel ? shown(events().at(0)) : shown();
        const auto act = [&] {
            cancel ? QTest::keyClick(dialog.get(), Qt::Key_Escape) : press(*dialog, "clearButton");
        };
        if (!cancel) {
            act();  // nothing changed: no question
            EXPECT_TRUE(prompter.ids().empty());
        }
        setNotes(*dialog, "Draft");
        prompter.answer(MessageAnswer::No);
        act();
        EXPECT_EQ(notesIn(*dialog), "Draft");
        EXPECT_TRUE(dialog->isVisible());
        prompter.answer(MessageAnswer::Yes);
        act();
        EXPECT_EQ(prompter.ids(), Ids({MessageId::DiscardInput, MessageId::DiscardInput}));
        EXPECT_EQ(dialog->isVisible(), !cancel);
        EXPECT_EQ(notesIn(*dialog), "");
        EXPECT_FALSE(dialog->inputChanged());
        EXPECT_FALSE(events().at(0).open());
        EXPECT_EQ(notesOf(events()), Notes({"Kept"}));
    }
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
        auto dialog = shown();
        if (c.ended)
            prompter.answer(MessageAnswer::Yes);
        setNotes(*dialog, "Draft");
        auto* focus = child(*dialog, c.focus);
        focus->setFocus();
        if (auto* notes = qobject_cast<QPlainTextEdit*>(focus))
            notes->moveCursor(QTextCursor::End);
        QTest::keyClick(focus, Qt::Key_Return);
        EXPECT_EQ(events().count(), c.events);
        EXPECT_EQ(notesIn(*dialog), c.notes);
        EXPECT_EQ(dialog->isVisible(), !c.ended);
        reset({"work"});
    }
}

}  // namespace
}  // namespace almanary::testing

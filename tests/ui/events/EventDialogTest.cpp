// The event dialog: Enter's checks, editing, Clear, Cancel and the Enter key.

#include "events/EventDialog.h"

#include <QCheckBox>

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

TEST_F(EventDialogTest, EnterRefusesEmptyNotesThenStoresTheFieldsAndClearsForTheNext) {
    auto dialog = shown();
    press(*dialog, "enterButton");
    EXPECT_EQ(prompter.ids, Ids{NotesRequired});
    setNotes(*dialog, "Lunch à deux");  // stored as UTF-8
    pick(*dialog, "durationCombo", "90");
    pick(*dialog, "categoryCombo", "work");
    child<QCheckBox>(*dialog, "remindCheck")->setChecked(true);
    press(*dialog, "enterButton");
    ASSERT_EQ(events().count(), 1);
    const Event& e = events().at(0);
    EXPECT_EQ((Notes{e.notes(), std::string(e.duration()), e.category()}),
              (Notes{"Lunch à deux", "90", "work"}));
    EXPECT_TRUE(e.remind() && events().isModified());
    // Ready for the next event at the same date and time.
    EXPECT_EQ(notesIn(*dialog), "");
    EXPECT_EQ(child<QComboBox>(*dialog, "durationCombo")->currentText(), "0");
    EXPECT_FALSE(dialog->inputChanged());
}

// A taken start asks; Yes edits the event there; the input stays either way.
TEST_F(EventDialogTest, ATakenStartAsksAndYesEditsTheEventThereInstead) {
    store({2024, 3, 4, "14", "15", "Existing", "30"});
    for (const bool yes : {false, true}) {
        prompter.clearShown();
        auto dialog = shown();
        setNotes(*dialog, "Mine");
        prompter.answer(yes ? Yes : No);
        QString edited;
        if (yes) {
            whenModal<EventDialog>(modalContext, [&](EventDialog& nested) {
                edited = notesIn(nested);
                EXPECT_TRUE(events().at(0).open());
                nested.reject();
            });
        }
        press(*dialog, "enterButton");
        ASSERT_EQ(prompter.ids, Ids{StartTakenEdit});
        EXPECT_EQ(prompter.args[0], std::vector<std::string>{"14:15"});
        EXPECT_EQ(edited, yes ? "Existing" : "");
        EXPECT_EQ(notesOf(events()), Notes{"Existing"});
        EXPECT_FALSE(events().at(0).open());
        EXPECT_EQ(notesIn(*dialog), "Mine");
    }
}

TEST_F(EventDialogTest, OverlapsAreOfferedAndTheEventIsEnteredEitherWay) {
    store({2024, 3, 4, "13", "30", "Touches", "45"});  // ends at 14:15
    auto dialog = shown();
    setNotes(*dialog, "Declined");
    prompter.answer(No);
    press(*dialog, "enterButton");
    EXPECT_EQ(prompter.ids, Ids{ConflictsFound});

    pick(*dialog, "hourCombo", "13");
    pick(*dialog, "minuteCombo", "45");
    setNotes(*dialog, "Reviewed");
    prompter.answer(Yes);
    Notes reviewed;
    whenModal<ViewEventsDialog>(modalContext, [&](ViewEventsDialog& view) {
        reviewed = notesOf(view.results());
        view.reject();
    });
    press(*dialog, "enterButton");
    EXPECT_EQ(reviewed, Notes{"Touches"});
    EXPECT_EQ(notesOf(events()), (Notes{"Touches", "Reviewed", "Declined"}));
}

// Edit mode: Enter replaces the event only when changed, keeping a category the list lacks.
TEST_F(EventDialogTest, EditModeReplacesTheEventOnlyWhenChanged) {
    store({2024, 3, 4, "9", "00", "Old notes", "30", "Gone"});
    for (const std::string notes : {"Old notes", "New notes"}) {
        auto dialog = shown(events().at(0));
        setNotes(*dialog, notes.c_str());
        press(*dialog, "enterButton");
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_EQ(notesOf(events()), Notes{notes});
        EXPECT_EQ(events().at(0).category(), "Gone");
        EXPECT_EQ(events().isModified(), notes == "New notes");
    }
}

// Clear and Escape ask before discarding notes; Enter acts on the focused control.
TEST_F(EventDialogTest, ClearEscapeAndTheEnterKeyOnEachControl) {
    // Key, control (none: editing "Kept"), typed, answer; events, notes left, still up.
    const std::tuple<Qt::Key, const char*, const char*, std::optional<MessageAnswer>, int,
                     const char*, bool>
        cases[] = {
            {Qt::Key_Space, "clearButton", "", std::nullopt, 1, "", true},
            {Qt::Key_Space, "clearButton", "Draft", No, 1, "Draft", true},
            {Qt::Key_Space, "clearButton", "Draft", Yes, 1, "", true},
            {Qt::Key_Escape, nullptr, "Draft", No, 1, "Draft", true},
            {Qt::Key_Escape, nullptr, "Draft", Yes, 1, "", false},
            {Qt::Key_Return, "clearButton", "Draft", std::nullopt, 1, "", true},
            {Qt::Key_Return, "exitButton", "Draft", Yes, 1, "", false},
            {Qt::Key_Return, "notesEdit", "Draft", std::nullopt, 1, "Draft\n", true},
            {Qt::Key_Return, "hourCombo", "Draft", std::nullopt, 2, "", true},
            {Qt::Key_Return, "enterButton", "Draft", std::nullopt, 2, "", true},
        };
    for (const auto& [key, control, typed, answer, stored, notes, up] : cases) {
        SCOPED_TRACE(::testing::Message() << key << " " << (control ? control : "") << typed);
        reset({"work"});
        store({2024, 3, 4, "9", "00", "Kept", "30"});
        auto dialog = control ? shown() : shown(events().at(0));
        if (*typed)
            setNotes(*dialog, typed);
        if (answer)
            prompter.answer(*answer);
        QWidget* focus = control ? child(*dialog, control) : dialog.get();
        focus->setFocus();
        if (auto* edit = qobject_cast<QPlainTextEdit*>(focus))
            edit->moveCursor(QTextCursor::End);
        QTest::keyClick(focus, key);
        EXPECT_EQ(prompter.takeIds(), answer ? Ids{DiscardInput} : Ids{});
        EXPECT_EQ(events().count(), stored);
        EXPECT_EQ(notesIn(*dialog), notes);
        EXPECT_EQ(dialog->isVisible(), up);
        EXPECT_EQ(events().at(0).open(), !control && up);
    }
}

}  // namespace
}  // namespace almanary::testing

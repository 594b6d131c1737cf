// The event dialog: default times, the lists, entering with its three
// checks, editing, reminder pop-ups, Clear and Cancel, the Enter-key table
// and the registry.

#include "events/EventDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/MessageTable.h"
#include "events/ViewEventsDialog.h"
#include "model/CategoryList.h"
#include "model/DateTimeText.h"
#include "model/EventChoices.h"
#include "model/EventList.h"
#include "support/FakeClock.h"
#include "support/FakePrompter.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"

namespace almanary::testing {
namespace {

using Ids = std::vector<int>;

class EventDialogTest : public ::testing::Test {
protected:
    EventDialogTest() {
        DateTimeText::SetTwelveHourClock(false);
        clock.Set(LocalTime(2024, 3, 4, 14, 7));
    }

    // A shown dialog; enter mode without an event.
    std::unique_ptr<EventDialog> Shown(std::optional<Event> edited = std::nullopt) {
        auto dialog = std::make_unique<EventDialog>(nullptr, events, categories, prompter, clock,
                                                    std::move(edited));
        dialog->show();
        return dialog;
    }

    // A reminder pop-up, as the alert raises it; it deletes itself.
    QPointer<EventDialog> PopUp(const Event& event) {
        auto* dialog = new EventDialog(nullptr, events, categories, prompter, clock, event);
        dialog->setTitle(EventDialog::kReminderTitle);
        dialog->markModeless();
        dialog->show();
        return dialog;
    }

    // Lets queued closes and deferred deletes happen.
    static void Settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Acts on the modal dialog a flow is about to open, once it is up.
    template <typename Dialog>
    void WhenModal(std::function<void(Dialog&)> act) {
        QTimer::singleShot(0, &modalContext, [act] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                ADD_FAILURE() << "no modal dialog of the expected kind";
                if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                    other->reject();
                return;
            }
            act(*dialog);
        });
    }

    template <typename W>
    static W* Child(QWidget& dialog, const char* name) {
        auto* widget = dialog.findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static QComboBox* List(QWidget& d, const char* name) { return Child<QComboBox>(d, name); }
    static void Pick(QWidget& d, const char* list, const char* text) {
        QComboBox* combo = List(d, list);
        combo->setCurrentIndex(combo->findText(text));
    }
    static void Type(QWidget& d, const char* notes) {
        Child<QPlainTextEdit>(d, "notesEdit")->setPlainText(notes);
    }
    static void Press(QWidget& d, const char* button) {
        QTest::mouseClick(Child<QPushButton>(d, button), Qt::LeftButton);
    }
    static QString Selected(QWidget& d, const char* list) { return List(d, list)->currentText(); }

    // An event in the list, marked as the tests store them.
    void Store(const EventSpec& spec) {
        events.Insert(MakeEvent(spec));
        events.SetModified(false);
    }
    const Event& At(int position) { return *events.NodeAt(position); }

    ScopedTimeZone zone{"Europe/London"};
    FakePrompter prompter;
    FakeClock clock;
    EventList events;
    CategoryList categories{{"work", "Birthday", "zoo", "<early"}};
    QObject modalContext;  // ends pending WhenModal actions
};

// ---- opening ----

TEST_F(EventDialogTest, ProposesTheNextQuarterHourAsDefaultTime) {
    struct Case {
        const char* zone;
        int day, hour, minute;  // now, in March 2024
        const char* hourText;
        const char* minuteText;
        QDate date;
    };
    const Case cases[] = {
        {"Europe/London", 4, 14, 7, "14", "15", {2024, 3, 4}},
        {"Europe/London", 4, 9, 0, "9", "15", {2024, 3, 4}},
        {"Europe/London", 4, 9, 15, "9", "15", {2024, 3, 4}},
        {"Europe/London", 4, 9, 16, "9", "30", {2024, 3, 4}},
        {"Europe/London", 4, 9, 46, "10", "00", {2024, 3, 4}},
        {"Europe/London", 4, 23, 52, "0", "00", {2024, 3, 5}},
        // The night before clocks go forward: a day of 23 hours follows.
        {"Europe/London", 30, 23, 52, "0", "00", {2024, 3, 31}},
        {"America/New_York", 9, 23, 50, "0", "00", {2024, 3, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.zone << " " << c.hour << ":" << c.minute);
        ScopedTimeZone local(c.zone);
        clock.Set(LocalTime(2024, 3, c.day, c.hour, c.minute));
        auto dialog = Shown();
        EXPECT_EQ(Selected(*dialog, "hourCombo"), c.hourText);
        EXPECT_EQ(Selected(*dialog, "minuteCombo"), c.minuteText);
        EXPECT_EQ(Child<QDateEdit>(*dialog, "dateEdit")->date(), c.date);
        Type(*dialog, "Dentist");
        Press(*dialog, "enterButton");
        ASSERT_EQ(events.Count(), 1);
        const StartKey key = At(1).key();
        EXPECT_EQ(QDate(key.year, key.month, key.day), c.date);
        EXPECT_EQ(key.hour, std::stoi(c.hourText));
        events.Clear();
    }
}

TEST_F(EventDialogTest, OpensWithCaptionsListsAndClearedFields) {
    auto dialog = Shown();
    EXPECT_EQ(dialog->windowTitle(), "Enter Event");
    EXPECT_EQ(Child<QPushButton>(*dialog, "enterButton")->text(), "&Enter");
    EXPECT_EQ(Child<QPushButton>(*dialog, "clearButton")->text(), "&Clear");
    EXPECT_EQ(Child<QPushButton>(*dialog, "exitButton")->text(), "E&xit");
    QComboBox* hours = List(*dialog, "hourCombo");
    ASSERT_EQ(hours->count(), 24);
    EXPECT_EQ(hours->itemText(0), "0");
    EXPECT_EQ(hours->itemText(23), "23");
    EXPECT_EQ(List(*dialog, "durationCombo")->count(), int(EventChoices::kDurations.size()));
    QStringList names;
    for (int i = 0; i < List(*dialog, "categoryCombo")->count(); ++i)
        names << List(*dialog, "categoryCombo")->itemText(i);
    EXPECT_EQ(names, QStringList({"<early", "<No Category>", "Birthday", "work", "zoo"}));
    EXPECT_EQ(Selected(*dialog, "categoryCombo"), "<No Category>");
    EXPECT_EQ(Selected(*dialog, "durationCombo"), "0");
    EXPECT_EQ(Selected(*dialog, "reminderCombo"), "0");
    EXPECT_FALSE(dialog->inputChanged());
    EXPECT_TRUE(Child<QDateEdit>(*dialog, "dateEdit")->calendarPopup());
}

TEST_F(EventDialogTest, PickedDatesStayWithinWhatAFileCanHold) {
    struct Case {
        const char* zone;
        int hour, minute;  // now, so the default time lies near a day's edge
    };
    for (const Case& c : {Case{"Europe/Berlin", 0, 10}, Case{"America/Los_Angeles", 23, 10},
                          Case{"Europe/London", 12, 0}}) {
        SCOPED_TRACE(c.zone);
        ScopedTimeZone local(c.zone);
        clock.Set(LocalTime(2024, 3, 4, c.hour, c.minute));
        auto dialog = Shown();
        auto* picker = Child<QDateEdit>(*dialog, "dateEdit");
        for (const QDate& edge : {picker->minimumDate(), picker->maximumDate()}) {
            picker->setDate(edge);
            Type(*dialog, "Edge");
            Press(*dialog, "enterButton");
            ASSERT_EQ(events.Count(), 1);
            EXPECT_TRUE(Calendar::IsStorable(At(1).date()));
            EXPECT_EQ(QDate(At(1).key().year, At(1).key().month, At(1).key().day), edge);
            events.Clear();
        }
    }
    auto dialog = Shown();
    auto* picker = Child<QDateEdit>(*dialog, "dateEdit");
    EXPECT_EQ(picker->minimumDate(), QDate(1970, 1, 1));
    EXPECT_EQ(picker->maximumDate(), QDate(2106, 2, 7));
    picker->setDate(QDate(1969, 12, 31));
    EXPECT_EQ(picker->date(), QDate(1970, 1, 1));
}

// ---- entering ----

TEST_F(EventDialogTest, EnterChecksNotesAndStartAndKeepsDateAndTime) {
    auto dialog = Shown();
    Press(*dialog, "enterButton");
    EXPECT_EQ(prompter.ids(), Ids({MessageId::kNotesRequired}));
    EXPECT_EQ(events.Count(), 0);

    Type(*dialog, "Lunch");
    Pick(*dialog, "durationCombo", "90");
    Pick(*dialog, "categoryCombo", "work");
    Pick(*dialog, "reminderCombo", "15");
    Child<QCheckBox>(*dialog, "remindCheck")->setChecked(true);
    Press(*dialog, "enterButton");
    ASSERT_EQ(events.Count(), 1);
    EXPECT_EQ(At(1).notes(), "Lunch");
    EXPECT_EQ(At(1).duration(), "90");
    EXPECT_EQ(At(1).category(), "work");
    EXPECT_TRUE(At(1).remind());
    EXPECT_EQ(At(1).remindMinutes(), 15);
    EXPECT_TRUE(events.IsModified());
    // Ready for the next event at the same date and time.
    EXPECT_EQ(Child<QPlainTextEdit>(*dialog, "notesEdit")->toPlainText(), "");
    EXPECT_EQ(Selected(*dialog, "categoryCombo"), "<No Category>");
    EXPECT_EQ(Selected(*dialog, "hourCombo"), "14");
    EXPECT_EQ(Selected(*dialog, "minuteCombo"), "15");
    EXPECT_FALSE(Child<QCheckBox>(*dialog, "remindCheck")->isChecked());
    EXPECT_FALSE(dialog->inputChanged());

    prompter.ClearShown();
    Type(*dialog, "Second");
    prompter.Answer(MessageAnswer::No);
    Press(*dialog, "enterButton");
    ASSERT_EQ(prompter.ids(), Ids({MessageId::kStartTakenEdit}));
    EXPECT_EQ(prompter.shown()[0].args, std::vector<std::string>{"14:15"});
    EXPECT_EQ(events.Count(), 1);
    EXPECT_EQ(Child<QPlainTextEdit>(*dialog, "notesEdit")->toPlainText(), "Second");
}

TEST_F(EventDialogTest, SameStartYesEditsTheEventThereInstead) {
    Store({2024, 3, 4, "14", "15", "Existing", "30"});
    auto dialog = Shown();
    Type(*dialog, "Mine");
    prompter.Answer(MessageAnswer::Yes);
    bool edited = false;
    WhenModal<EventDialog>([&](EventDialog& nested) {
        edited = true;
        EXPECT_EQ(nested.windowTitle(), "Edit Event");
        EXPECT_TRUE(At(1).open());
        EXPECT_EQ(Child<QPlainTextEdit>(nested, "notesEdit")->toPlainText(), "Existing");
        EXPECT_FALSE(Child<QPushButton>(nested, "clearButton")->isVisible());
        nested.reject();
    });
    Press(*dialog, "enterButton");
    EXPECT_TRUE(edited);
    EXPECT_EQ(NotesOf(events), Notes({"Existing"}));
    EXPECT_FALSE(At(1).open());
    EXPECT_EQ(Child<QPlainTextEdit>(*dialog, "notesEdit")->toPlainText(), "Mine");
}

TEST_F(EventDialogTest, OverlapsAreOfferedAndTheEventIsEnteredEitherWay) {
    Store({2024, 3, 4, "13", "30", "Touches", "45"});  // ends at 14:15
    Store({2024, 3, 4, "15", "00", "Later", "60"});
    auto dialog = Shown();
    Type(*dialog, "Declined");
    prompter.Answer(MessageAnswer::No);
    Press(*dialog, "enterButton");
    EXPECT_EQ(prompter.ids(), Ids({MessageId::kConflictsFound}));
    EXPECT_EQ(NotesOf(events), Notes({"Touches", "Declined", "Later"}));

    Pick(*dialog, "hourCombo", "13");
    Pick(*dialog, "minuteCombo", "45");
    Pick(*dialog, "durationCombo", "30");  // up to the start of "Declined"
    Type(*dialog, "Reviewed");
    prompter.Answer(MessageAnswer::Yes);
    bool reviewed = false;
    WhenModal<ViewEventsDialog>([&](ViewEventsDialog& view) {
        reviewed = true;
        EXPECT_TRUE(view.conflictMode());
        EXPECT_EQ(NotesOf(view.results()), Notes({"Touches", "Declined"}));
        view.reject();
    });
    Press(*dialog, "enterButton");
    EXPECT_TRUE(reviewed);
    EXPECT_EQ(NotesOf(events), Notes({"Touches", "Reviewed", "Declined", "Later"}));
}

TEST_F(EventDialogTest, CancelledWhileReviewingEntersNothing) {
    Store({2024, 3, 4, "14", "00", "Overlapped", "60"});
    auto dialog = Shown();
    Type(*dialog, "Pending");
    prompter.Answer(MessageAnswer::Yes);  // see the conflicts
    prompter.Answer(MessageAnswer::Yes);  // discard the input
    WhenModal<ViewEventsDialog>([](ViewEventsDialog& view) {
        EventDialog::cancelAll();
        view.reject();
    });
    Press(*dialog, "enterButton");
    EXPECT_EQ(prompter.ids(), Ids({MessageId::kConflictsFound, MessageId::kDiscardInput}));
    EXPECT_EQ(NotesOf(events), Notes({"Overlapped"}));
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

// ---- editing ----

TEST_F(EventDialogTest, UnchangedEditLeavesTheListAloneAfterTheOverlapQuestion) {
    Store({2024, 3, 4, "9", "00", "Edited", "60"});
    Store({2024, 3, 4, "10", "00", "Touching", "30"});
    EventDialog dialog(nullptr, events, categories, prompter, clock, *events.GetAt(1));
    prompter.Answer(MessageAnswer::No);
    WhenModal<EventDialog>([&](EventDialog& shown) {
        EXPECT_TRUE(At(1).open());
        Press(shown, "enterButton");
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(prompter.ids(), Ids({MessageId::kConflictsFound}));
    EXPECT_FALSE(events.IsModified());
    EXPECT_FALSE(At(1).open());
}

TEST_F(EventDialogTest, EditKeepsStoredValuesTheListsDoNotOffer) {
    // A deleted category, a minute and a length written by another program.
    Store({2024, 3, 4, "9", "5", "Old notes", "100", "Gone"});
    EventDialog dialog(nullptr, events, categories, prompter, clock, *events.GetAt(1));
    WhenModal<EventDialog>([&](EventDialog& shown) {
        EXPECT_EQ(Selected(shown, "categoryCombo"), "Gone");
        EXPECT_EQ(Selected(shown, "minuteCombo"), "5");
        Type(shown, "New notes");
        Press(shown, "enterButton");
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(prompter.ids().empty());  // no same-start question about itself
    ASSERT_EQ(events.Count(), 1);
    EXPECT_EQ(At(1).notes(), "New notes");
    EXPECT_EQ(At(1).category(), "Gone");
    EXPECT_EQ(At(1).minute(), "5");
    EXPECT_EQ(At(1).duration(), "100");
    EXPECT_FALSE(At(1).open());
    EXPECT_TRUE(events.IsModified());
    EXPECT_FALSE(categories.Contains("Gone"));
}

TEST_F(EventDialogTest, EditorOfAnEventOpenElsewhereOrGoneClosesAtOnce) {
    Store({2024, 3, 4, "9", "00", "Busy", "30"});
    const Event copy = *events.GetAt(1);
    ASSERT_TRUE(events.MarkOpen(copy.key()));
    for (const bool gone : {false, true}) {
        SCOPED_TRACE(gone ? "gone" : "open elsewhere");
        if (gone)
            events.RemoveByKey(copy.key());
        WhenModal<EventDialog>([](EventDialog& shown) {
            ADD_FAILURE() << "the editor was shown";
            shown.reject();
        });
        EventDialog editor(nullptr, events, categories, prompter, clock, copy);
        EXPECT_EQ(editor.exec(), EventDialog::kClosedAtOnce);
    }
}

TEST_F(EventDialogTest, CancelAsksAboutChangedInputAndClearsTheMark) {
    Store({2024, 3, 4, "9", "00", "Kept", "30"});
    auto dialog = Shown(*events.GetAt(1));
    Type(*dialog, "Changed");
    prompter.Answer(MessageAnswer::No);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(At(1).open());
    prompter.Answer(MessageAnswer::Yes);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_EQ(prompter.ids(), Ids({MessageId::kDiscardInput, MessageId::kDiscardInput}));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(At(1).open());
    EXPECT_EQ(NotesOf(events), Notes({"Kept"}));
}

// ---- reminder pop-ups ----

TEST_F(EventDialogTest, PopUpDeleteRemovesTheEventWithoutAQuestion) {
    Store({2024, 3, 4, "9", "00", "Due", "30"});
    Store({2024, 3, 4, "11", "00", "Also due", "30"});
    const std::function<void(EventDialog&)> deletes[] = {
        [](EventDialog& d) { Press(d, "exitButton"); },
        [](EventDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); },
    };
    for (const auto& remove : deletes) {
        QPointer<EventDialog> popUp = PopUp(*events.GetAt(1));
        ASSERT_TRUE(popUp);
        EXPECT_EQ(popUp->windowTitle(), "Event Reminder");
        EXPECT_EQ(Child<QPushButton>(*popUp, "exitButton")->text(), "&Delete");
        EXPECT_TRUE(Child<QPushButton>(*popUp, "exitButton")->isVisible());
        Type(*popUp, "Edited but deleted");
        remove(*popUp);
        Settle();
        EXPECT_TRUE(popUp.isNull());
    }
    EXPECT_TRUE(prompter.ids().empty());
    EXPECT_EQ(events.Count(), 0);
}

TEST_F(EventDialogTest, PopUpOnAnOpenEventGoesAndUnchangedEnterLetsItComeBack) {
    Store({2024, 3, 4, "9", "00", "Due", "30"});
    QPointer<EventDialog> first = PopUp(*events.GetAt(1));
    QPointer<EventDialog> second = PopUp(*events.GetAt(1));
    Settle();
    EXPECT_TRUE(first);
    EXPECT_TRUE(second.isNull());
    EXPECT_TRUE(At(1).open());

    Press(*first, "enterButton");
    Settle();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(NotesOf(events), Notes({"Due"}));
    EXPECT_FALSE(At(1).open());
    EXPECT_FALSE(events.IsModified());
}

// ---- Clear and the Enter key ----

TEST_F(EventDialogTest, ClearAsksOnlyAfterChanges) {
    auto dialog = Shown();
    Press(*dialog, "clearButton");  // nothing changed: no question
    Type(*dialog, "Draft");
    Pick(*dialog, "durationCombo", "60");
    prompter.Answer(MessageAnswer::No);
    Press(*dialog, "clearButton");
    EXPECT_EQ(Child<QPlainTextEdit>(*dialog, "notesEdit")->toPlainText(), "Draft");
    clock.Set(LocalTime(2024, 3, 4, 16, 40));
    prompter.Answer(MessageAnswer::Yes);
    Press(*dialog, "clearButton");
    EXPECT_EQ(prompter.ids(), Ids({MessageId::kDiscardInput, MessageId::kDiscardInput}));
    EXPECT_EQ(Child<QPlainTextEdit>(*dialog, "notesEdit")->toPlainText(), "");
    EXPECT_EQ(Selected(*dialog, "durationCombo"), "0");
    EXPECT_EQ(Selected(*dialog, "hourCombo"), "16");
    EXPECT_EQ(Selected(*dialog, "minuteCombo"), "45");
    EXPECT_FALSE(dialog->inputChanged());
}

TEST_F(EventDialogTest, EnterKeyActsOnTheFocusedControl) {
    struct Case {
        const char* focus;
        int events;         // in the list afterwards
        const char* notes;  // left in the notes box
        bool ended;
    };
    const Case cases[] = {
        {"clearButton", 0, "", false},  // cleared at once, without a question
        {"exitButton", 0, "Draft", true}, {"notesEdit", 0, "Draft\n", false},
        {"hourCombo", 1, "", false},      {"dateEdit", 1, "", false},
        {"enterButton", 1, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.focus);
        auto dialog = Shown();
        if (std::string_view(c.focus) == "exitButton")
            prompter.Answer(MessageAnswer::Yes);
        Type(*dialog, "Draft");
        auto* focus = Child<QWidget>(*dialog, c.focus);
        focus->setFocus();
        if (auto* notes = qobject_cast<QPlainTextEdit*>(focus))
            notes->moveCursor(QTextCursor::End);
        QTest::keyClick(focus, Qt::Key_Return);
        EXPECT_EQ(events.Count(), c.events);
        EXPECT_EQ(Child<QPlainTextEdit>(*dialog, "notesEdit")->toPlainText(),
                  c.ended ? "" : c.notes);
        EXPECT_EQ(dialog->isVisible(), !c.ended);
        events.Clear();
    }
}

// ---- the registry ----

TEST_F(EventDialogTest, CancelAllCancelsEachDialogOnce) {
    Store({2024, 3, 4, "9", "00", "First due", "30"});
    Store({2024, 3, 4, "10", "00", "Second due", "30"});
    auto entering = Shown();
    QPointer<EventDialog> first = PopUp(*events.GetAt(1));
    QPointer<EventDialog> second = PopUp(*events.GetAt(2));
    EXPECT_EQ(EventDialog::registry(), QList<EventDialog*>({entering.get(), first, second}));
    Type(*entering, "Unsaved");
    prompter.Answer(MessageAnswer::Yes);
    // A window that goes away while another asks its question is skipped.
    prompter.OnShow([&](const FakePrompter::Shown&) { delete second.data(); });
    EventDialog::cancelAll();
    Settle();
    EXPECT_EQ(prompter.ids(), Ids({MessageId::kDiscardInput}));
    EXPECT_FALSE(entering->isVisible());
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(NotesOf(events), Notes({"Second due"}));
    EXPECT_EQ(EventDialog::registry(), QList<EventDialog*>({entering.get()}));
}

}  // namespace
}  // namespace almanary::testing

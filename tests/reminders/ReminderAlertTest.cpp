// The reminder check of the main window and the pop-ups it raises: when an
// event falls due, the sound, one window per event for as long as it is
// open, what the window's buttons do to the reminder, and reminders raised
// by a load.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <fstream>

#include "app/MainWindowHarness.h"
#include "events/CategoriesDialog.h"
#include "events/EventDialog.h"

namespace almanary::testing {
namespace {

class ReminderAlertTest : public MainWindowHarness {
protected:
    // An event on 4 March 2024 with a reminder `lead` minutes ahead.
    static Event Reminded(const std::string& hour, const std::string& minute,
                          const std::string& notes, int lead = 15) {
        Event event = MakeEvent({2024, 3, 4, hour, minute, notes, "30"});
        event.setRemind(true);
        event.setRemindMinutes(lead);
        return event;
    }

    // A window whose document holds these events and plays a sound file
    // that exists, unless told otherwise.
    MainWindow& WindowWith(const std::vector<Event>& events) {
        MainWindow& w = Window();
        for (const Event& event : events)
            w.document.events.Insert(event);
        w.document.events.SetModified(false);
        std::ofstream(dir.file("ding.wav")) << "RIFF";
        w.document.settings.playSound = true;
        w.document.settings.soundFile = dir.file("ding.wav");
        return w;
    }

    // One run of timer 1 at the given time of 4 March 2024.
    void CheckAt(int hour, int minute, int second = 0) {
        clock.Set(LocalTime(2024, 3, 4, hour, minute, second));
        Window().OnReminderTimer();
    }

    // The reminder windows on screen, in the order they opened.
    static std::vector<EventDialog*> Popups() {
        // Windows that closed go once the event loop lets them.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::vector<EventDialog*> out;
        for (EventDialog* dialog : EventDialog::registry()) {
            if (dialog->reminderMode() && dialog->isVisible())
                out.push_back(dialog);
        }
        return out;
    }

    static std::string NotesIn(EventDialog* popup) {
        return popup->findChild<QPlainTextEdit*>("notesEdit")->toPlainText().toStdString();
    }

    static void Press(EventDialog* popup, const char* button) {
        popup->findChild<QPushButton*>(button)->click();
    }

    const Event* Stored(const std::string& notes) {
        const Event* found = nullptr;
        Window().document.events.ForEach([&](const Event& e) {
            if (e.notes() == notes)
                found = &e;
        });
        return found;
    }
};

TEST_F(ReminderAlertTest, AReminderOpensAtItsLeadWithOneSoundAndOnlyOnce) {
    MainWindow& w = WindowWith({Reminded("9", "0", "Dentist")});

    CheckAt(8, 44, 59);
    EXPECT_TRUE(Popups().empty());
    EXPECT_FALSE(w.documentChanged);

    CheckAt(8, 45, 0);
    ASSERT_EQ(Popups().size(), 1u);
    EventDialog* popup = Popups()[0];
    EXPECT_EQ(popup->windowTitle(), "Event Reminder");
    EXPECT_EQ(popup->findChild<QPushButton*>("exitButton")->text(), "&Delete");
    EXPECT_EQ(NotesIn(popup), "Dentist");
    EXPECT_EQ(popup->background(), &w.background);
    EXPECT_FALSE(popup->isModal());
    EXPECT_EQ(sound.played(), std::vector<std::string>{dir.file("ding.wav")});
    EXPECT_TRUE(w.documentChanged) << "a raised reminder counts as a change";
    EXPECT_TRUE(Stored("Dentist")->open());

    // However many checks pass, the open window is the only one.
    for (int second = 5; second < 60; second += 5)
        CheckAt(8, 45, second);
    CheckAt(9, 30);
    EXPECT_EQ(Popups(), std::vector<EventDialog*>{popup});
    EXPECT_EQ(sound.played().size(), 1u);
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(ReminderAlertTest, EventsDueTogetherOpenInStartOrderEachWithItsSound) {
    WindowWith({Reminded("10", "0", "Later", 60), Reminded("9", "15", "Earlier", 30)});

    CheckAt(9, 0);

    const std::vector<EventDialog*> popups = Popups();
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(NotesIn(popups[0]), "Earlier");
    EXPECT_EQ(NotesIn(popups[1]), "Later");
    // Each sound replaces the one before: the player is asked twice.
    EXPECT_EQ(sound.played().size(), 2u);
}

TEST_F(ReminderAlertTest, EnterWithoutChangesLetsTheReminderComeBackAtTheNextCheck) {
    MainWindow& w = WindowWith({Reminded("9", "0", "Dentist")});
    CheckAt(8, 50);
    ASSERT_EQ(Popups().size(), 1u);

    Press(Popups()[0], "enterButton");

    EXPECT_TRUE(Popups().empty());
    EXPECT_FALSE(Stored("Dentist")->open());
    EXPECT_FALSE(w.document.events.IsModified());
    CheckAt(8, 50, 5);
    ASSERT_EQ(Popups().size(), 1u);
    EXPECT_EQ(NotesIn(Popups()[0]), "Dentist");
    EXPECT_EQ(sound.played().size(), 2u);
}

TEST_F(ReminderAlertTest, ClearingRemindAndEnteringEndsTheReminders) {
    MainWindow& w = WindowWith({Reminded("9", "0", "Dentist")});
    CheckAt(8, 50);
    ASSERT_EQ(Popups().size(), 1u);

    Popups()[0]->findChild<QCheckBox*>("remindCheck")->click();
    Press(Popups()[0], "enterButton");

    EXPECT_TRUE(Popups().empty());
    ASSERT_NE(Stored("Dentist"), nullptr);
    EXPECT_FALSE(Stored("Dentist")->remind());
    EXPECT_TRUE(w.document.events.IsModified());
    for (int minute = 51; minute < 60; ++minute)
        CheckAt(8, minute);
    EXPECT_TRUE(Popups().empty());
}

TEST_F(ReminderAlertTest, DeleteOnThePopupRemovesTheEventWithoutAQuestion) {
    MainWindow& w = WindowWith({Reminded("9", "0", "Dentist"), Reminded("11", "0", "Lunch")});
    CheckAt(8, 50);
    ASSERT_EQ(Popups().size(), 1u);

    Press(Popups()[0], "exitButton");

    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_TRUE(Popups().empty());
    EXPECT_EQ(NotesOf(w.document.events), Notes{"Lunch"});
    CheckAt(8, 55);
    EXPECT_TRUE(Popups().empty());
}

TEST_F(ReminderAlertTest, AnEventOpenInAnEditWindowWaitsUntilThatWindowCloses) {
    MainWindow& w = WindowWith({Reminded("9", "0", "Dentist")});
    EventDialog editor(&w, w.document.events, w.document.categories, prompter, clock,
                       *Stored("Dentist"));
    editor.setTitle(QString::fromLatin1(EventDialog::kEditTitle));
    editor.show();
    ASSERT_TRUE(Stored("Dentist")->open());

    CheckAt(8, 50);
    EXPECT_TRUE(Popups().empty());
    EXPECT_FALSE(w.documentChanged);

    editor.Cancel();
    CheckAt(8, 50, 5);
    EXPECT_EQ(Popups().size(), 1u);
}

TEST_F(ReminderAlertTest, ALoadRaisesEveryPastReminderAtOnceAndLeavesTheDocumentUnchanged) {
    AlmanaryDocument document;
    for (const Event& event : {Reminded("9", "0", "Dentist"), Reminded("14", "0", "School"),
                               MakeEvent({2024, 3, 4, "10", "0", "No reminder"})})
        document.events.Insert(event);
    document.settings.playSound = true;
    document.settings.soundFile = dir.file("no-such-sound.wav");
    const std::string path = WriteAlmanary("past.alm", document);
    clock.Set(LocalTime(2024, 3, 5, 8));

    MainWindow& w = Window();
    ASSERT_TRUE(w.LoadDocument(path));

    const std::vector<EventDialog*> popups = Popups();
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(NotesIn(popups[0]), "Dentist");
    EXPECT_EQ(NotesIn(popups[1]), "School");
    EXPECT_FALSE(w.documentChanged);
    EXPECT_FALSE(w.HasUnsavedChanges());
    // A sound that is not there is simply not heard.
    EXPECT_EQ(sound.requested().size(), 2u);
    EXPECT_TRUE(sound.played().empty());
    EXPECT_TRUE(prompter.shown().empty());

    // A second load closes them before raising its own.
    ASSERT_TRUE(w.LoadDocument(path));
    EXPECT_EQ(Popups().size(), 2u);
}

TEST_F(ReminderAlertTest, TheSoundFollowsTheDocumentsSettings) {
    MainWindow& w = WindowWith({Reminded("9", "0", "Quiet"), Reminded("9", "30", "Missing")});
    w.document.settings.playSound = false;
    CheckAt(8, 45);
    EXPECT_EQ(Popups().size(), 1u);
    EXPECT_TRUE(sound.requested().empty());

    w.document.settings.playSound = true;
    w.document.settings.soundFile = dir.file("gone.wav");
    CheckAt(9, 15);
    EXPECT_EQ(Popups().size(), 2u) << "the window opens without its sound";
    EXPECT_EQ(sound.requested(), std::vector<std::string>{dir.file("gone.wav")});
    EXPECT_TRUE(sound.played().empty());
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(ReminderAlertTest, TwoEventsAtOneStartRaiseOneWindowAndStayQuietAfterwards) {
    // Only a damaged file holds two events at one start; they share one
    // open mark, so only the first can be shown at a time.
    MainWindow& w = WindowWith({Reminded("9", "0", "First"), Reminded("9", "0", "Second")});
    CheckAt(8, 45);
    ASSERT_EQ(Popups().size(), 1u);
    EXPECT_EQ(NotesIn(Popups()[0]), "First");

    w.documentChanged = false;
    for (int second = 5; second < 60; second += 5)
        CheckAt(8, 45, second);
    EXPECT_EQ(Popups().size(), 1u);
    EXPECT_EQ(sound.requested().size(), 1u) << "no sound without a window";
    EXPECT_FALSE(w.documentChanged);
}

TEST_F(ReminderAlertTest, AHiddenMainWindowStaysHidden) {
    MainWindow& w = WindowWith({Reminded("9", "0", "Dentist")});
    w.show();
    w.hide();
    CheckAt(8, 45);
    ASSERT_EQ(Popups().size(), 1u);
    EXPECT_TRUE(Popups()[0]->isVisible());
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(w.trayIcon()->isVisible());
}

// Records whether Qt blocks an event window for a modal one.
class BlockWatch : public QObject {
public:
    bool blocked = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowBlocked && qobject_cast<EventDialog*>(watched))
            blocked = true;
        return QObject::eventFilter(watched, event);
    }
};

TEST_F(ReminderAlertTest, APopupStaysUsableBesideADialogOfTheMainWindow) {
    MainWindow& w = WindowWith({Reminded("9", "0", "Dentist")});
    w.show();
    BlockWatch watch;
    qApp->installEventFilter(&watch);
    std::size_t raised = 0;
    WhenModal<CategoriesDialog>([&](CategoriesDialog& categories) {
        CheckAt(8, 45);
        raised = Popups().size();
        categories.reject();
    });

    w.RunCommand(MainCommand::Categories);

    qApp->removeEventFilter(&watch);
    EXPECT_EQ(raised, 1u);
    EXPECT_FALSE(watch.blocked);
}

}  // namespace
}  // namespace almanary::testing

// The reminder check of the main window and the pop-ups it raises: when an
// event falls due, the sound, one window per event while it is open, what
// the window's controls do, and reminders raised by a load.

#include "reminders/ReminderAlert.h"

#include <gtest/gtest.h>

#include <QCheckBox>

#include "events/CategoriesDialog.h"
#include "events/EventDialog.h"
#include "support/MainWindowHarness.h"

namespace almanary::testing {
namespace {

class ReminderAlertTest : public MainWindowHarness {
protected:
    // An event on 4 March 2024 with a reminder `lead` minutes ahead.
    static Event reminded(const std::string& hour, const std::string& notes, int lead = 15) {
        Event event = makeEvent({2024, 3, 4, hour, "0", notes, "30"});
        event.setRemind(true);
        event.setRemindMinutes(lead);
        return event;
    }

    // A document with these events and a reminder sound.
    static AlmanaryDocument withEvents(const std::vector<Event>& events) {
        AlmanaryDocument document;
        for (const Event& event : events)
            document.events.insert(event);
        document.settings.playSound = true;
        document.settings.soundFile = "ding.wav";
        return document;
    }

    MainWindow& windowWith(const std::vector<Event>& events) {
        session().replace(withEvents(events), {});
        return window();
    }

    // One run of the reminder timer at the given time of 4 March 2024.
    void checkAt(int hour, int minute, int second = 0) {
        clock.set(localTime(2024, 3, 4, hour, minute, second));
        window().onReminderTimer();
    }

    // The reminder windows on screen, in the order they opened.
    std::vector<EventDialog*> popupWindows() {
        settle();
        std::vector<EventDialog*> out;
        for (QDialog* window : session().windows(WindowRole::EventWindow)) {
            auto* dialog = qobject_cast<EventDialog*>(window);
            if (dialog->mode() == EventDialog::Mode::Reminder && dialog->isVisible())
                out.push_back(dialog);
        }
        return out;
    }
    Notes popups() {
        Notes out;
        for (EventDialog* dialog : popupWindows())
            out.push_back(notesIn(*dialog).toStdString());
        return out;
    }
};

// Events due at the same check open in start order, each once.
TEST_F(ReminderAlertTest, RemindersOpenAtTheirLeadWithOneSoundEachAndOnlyOnce) {
    windowWith({reminded("10", "Later", 75), reminded("9", "Dentist")});
    checkAt(8, 44, 59);
    EXPECT_TRUE(popups().empty());
    EXPECT_FALSE(session().hasUnsavedChanges());

    checkAt(8, 45, 0);
    EXPECT_EQ(popups(), (Notes{"Dentist", "Later"}));
    EXPECT_EQ(sound.played, std::vector<std::string>(2, "ding.wav"));
    EXPECT_TRUE(session().hasUnsavedChanges()) << "a raised reminder counts as a change";

    for (int second = 5; second < 60; second += 5)
        checkAt(8, 45, second);
    checkAt(9, 30);
    EXPECT_EQ(popups(), (Notes{"Dentist", "Later"}));
    EXPECT_EQ(sound.played.size(), 2u);
}

// Two events at one start (as a damaged file may hold) share one open mark:
// the second is neither raised beside the first nor chimes at every check.
TEST_F(ReminderAlertTest, AnEventWhoseStartIsOpenElsewhereRaisesNothing) {
    windowWith({reminded("9", "First"), reminded("9", "Twin")});
    checkAt(8, 45);
    EXPECT_EQ(popups(), Notes{"First"});
    session().markUnchanged();
    checkAt(8, 45, 5);
    EXPECT_EQ(popups(), Notes{"First"});
    EXPECT_EQ(sound.played.size(), 1u);
    EXPECT_FALSE(session().hasUnsavedChanges());
}

// Enter without changes lets the reminder come back at the next check;
// Enter with Remind cleared ends it; Delete and Escape remove the event
// without a question, whatever was typed.
TEST_F(ReminderAlertTest, ThePopupsControlsKeepEndOrDeleteTheReminder) {
    enum Act { Enter, ClearRemind, Delete, Escape };
    for (const Act act : {Enter, ClearRemind, Delete, Escape}) {
        SCOPED_TRACE(act);
        window_.reset();
        windowWith({reminded("9", "Dentist"), reminded("11", "Later")});
        checkAt(8, 50);
        ASSERT_EQ(popups(), Notes{"Dentist"});
        EventDialog& popup = *popupWindows().front();
        setNotes(popup, act < Delete ? "Dentist" : "Edited");
        if (act == ClearRemind)
            child<QCheckBox>(popup, "remindCheck")->click();
        if (act == Escape)
            QTest::keyClick(&popup, Qt::Key_Escape);
        else
            press(popup, act == Delete ? "exitButton" : "enterButton");
        EXPECT_TRUE(popups().empty());
        const EventList& events = session().document().events;
        EXPECT_EQ(notesOf(events), act < Delete ? (Notes{"Dentist", "Later"}) : Notes{"Later"});
        EXPECT_EQ(events.isModified(), act != Enter);
        EXPECT_FALSE(events.at(0).open());
        EXPECT_TRUE(prompter.shown().empty());

        checkAt(8, 50, 5);
        EXPECT_EQ(popups(), act == Enter ? Notes{"Dentist"} : Notes{});
    }
}

// Records whether Qt blocks an event window for a modal one.
struct BlockWatch : QObject {
    bool blocked = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
        blocked |= event->type() == QEvent::WindowBlocked && qobject_cast<EventDialog*>(watched);
        return false;
    }
};

TEST_F(ReminderAlertTest, APopupIsNotBlockedByADialogOfTheMainWindow) {
    MainWindow& w = windowWith({reminded("9", "Dentist")});
    w.show();
    BlockWatch watch;
    qApp->installEventFilter(&watch);
    Notes raised;
    whenModal<CategoriesDialog>(modalContext, [&](CategoriesDialog& categories) {
        checkAt(8, 45);
        raised = popups();
        categories.reject();
    });
    w.runCommand(MainCommand::Categories);
    qApp->removeEventFilter(&watch);
    EXPECT_EQ(raised, Notes{"Dentist"});
    EXPECT_FALSE(watch.blocked);
}

// Reminders that fell due before the load open at once, each with its sound,
// without counting as a change.
TEST_F(ReminderAlertTest, ALoadRaisesPastRemindersAtOnceWithoutMarkingAChange) {
    const std::string path =
        writeAlmanary("past.alm", withEvents({reminded("9", "Dentist"), reminded("14", "School"),
                                              makeEvent({2024, 3, 4, "10", "0", "No reminder"})}));
    clock.set(localTime(2024, 3, 5, 8));
    ASSERT_TRUE(window().loadDocument(path));
    EXPECT_EQ(popups(), (Notes{"Dentist", "School"}));
    EXPECT_FALSE(session().hasUnsavedChanges());
    EXPECT_EQ(sound.played.size(), 2u);
    EXPECT_TRUE(prompter.shown().empty());
}

}  // namespace
}  // namespace almanary::testing

// Reminder pop-ups: when they open, the sound, one per event, their controls.

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

    // One run of the reminder timer at the given time of 4 March 2024.
    void checkAt(int hour, int minute, int second = 0) {
        clock.set(localTime(2024, 3, 4, hour, minute, second));
        window().onReminderTimer();
    }

    // The notes of the reminder windows on screen, in the order they opened.
    Notes popups() {
        Notes out;
        for (QDialog* window : session().windows(WindowRole::EventWindow)) {
            if (window->isVisible())
                out.push_back(notesIn(*window).toStdString());
        }
        return out;
    }
};

// Events due at the same check open in start order, each once. Twin shares
// Dentist's start (as a damaged file may hold) and so its open mark: it is
// neither raised beside Dentist nor chimes at every check. A load raises at
// once what fell due before it, as no change.
TEST_F(ReminderAlertTest, RemindersOpenWhenDueOrOnLoadWithOneSoundEachAndOnlyOnce) {
    session().replace(
        withEvents({reminded("10", "Later", 75), reminded("9", "Dentist"), reminded("9", "Twin")}),
        {});
    checkAt(8, 44, 59);
    EXPECT_TRUE(popups().empty());
    EXPECT_FALSE(session().hasUnsavedChanges());

    checkAt(8, 45, 0);
    EXPECT_EQ(popups(), (Notes{"Dentist", "Later"}));
    EXPECT_EQ(sound.played, std::vector<std::string>(2, "ding.wav"));
    EXPECT_TRUE(session().hasUnsavedChanges()) << "a raised reminder counts as a change";

    session().markUnchanged();
    for (int second = 5; second < 60; second += 5)
        checkAt(8, 45, second);
    checkAt(9, 30);
    EXPECT_EQ(popups(), (Notes{"Dentist", "Later"}));
    EXPECT_EQ(sound.played.size(), 2u);
    EXPECT_FALSE(session().hasUnsavedChanges());

    const std::string path =
        writeAlmanary("past.alm", withEvents({reminded("9", "Dentist"), reminded("14", "School"),
                                              makeEvent({2024, 3, 4, "10", "0", "No reminder"})}));
    clock.set(localTime(2024, 3, 5, 8));
    ASSERT_TRUE(window().loadDocument(path));
    EXPECT_EQ(popups(), (Notes{"Dentist", "School"}));
    EXPECT_FALSE(session().hasUnsavedChanges());
    EXPECT_EQ(sound.played.size(), 4u);
    EXPECT_TRUE(prompter.ids.empty());
}

// Enter without changes lets the reminder come back at the next check;
// Enter with Remind cleared ends it; Delete and Escape remove the event
// without a question, whatever was typed.
TEST_F(ReminderAlertTest, ThePopupsControlsKeepEndOrDeleteTheReminder) {
    enum Act { Enter, ClearRemind, Delete, Escape };
    for (const Act act : {Enter, ClearRemind, Delete, Escape}) {
        SCOPED_TRACE(act);
        window_.reset();
        session().replace(withEvents({reminded("9", "Dentist"), reminded("11", "Later")}), {});
        checkAt(8, 50);
        ASSERT_EQ(popups(), Notes{"Dentist"});
        QDialog& popup = *session().windows(WindowRole::EventWindow).front();
        if (act == ClearRemind)
            child<QCheckBox>(popup, "remindCheck")->click();
        if (act >= Delete)
            setNotes(popup, "Edited");
        if (act == Escape)
            QTest::keyClick(&popup, Qt::Key_Escape);
        else
            press(popup, act == Delete ? "exitButton" : "enterButton");
        EXPECT_TRUE(popups().empty());
        const EventList& events = session().document().events;
        EXPECT_EQ(notesOf(events), act < Delete ? (Notes{"Dentist", "Later"}) : Notes{"Later"});
        EXPECT_EQ(events.isModified(), act != Enter);
        EXPECT_FALSE(events.at(0).open());
        EXPECT_TRUE(prompter.ids.empty());

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
    session().replace(withEvents({reminded("9", "Dentist")}), {});
    window().show();
    BlockWatch watch;
    qApp->installEventFilter(&watch);
    Notes raised;
    whenModal<CategoriesDialog>(modalContext, [&](CategoriesDialog& categories) {
        checkAt(8, 45);
        raised = popups();
        categories.reject();
    });
    window().runCommand(MainCommand::Categories);
    qApp->removeEventFilter(&watch);
    EXPECT_EQ(raised, Notes{"Dentist"});
    EXPECT_FALSE(watch.blocked);
}

}  // namespace
}  // namespace almanary::testing

// The reminder check of the main window and the pop-ups it raises: when an
// event falls due, the sound, one window per event while it is open, what
// the window's Enter does, and reminders raised by a load.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <fstream>

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

    // A window whose document holds these events and plays a sound file.
    MainWindow& windowWith(const std::vector<Event>& events) {
        AlmanaryDocument document;
        for (const Event& event : events)
            document.events.insert(event);
        document.settings.playSound = true;
        document.settings.soundFile = dir.file("ding.wav");
        std::ofstream(dir.file("ding.wav")) << "RIFF";
        MainWindow& w = window();
        w.session().replace(std::move(document), {});
        return w;
    }

    // One run of the reminder timer at the given time of 4 March 2024.
    void checkAt(int hour, int minute, int second = 0) {
        clock.set(localTime(2024, 3, 4, hour, minute, second));
        window().onReminderTimer();
    }

    // The reminder windows on screen, in the order they opened, and their notes.
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

// Events due at the same check open in start order.
TEST_F(ReminderAlertTest, RemindersOpenAtTheirLeadWithOneSoundEachAndOnlyOnce) {
    MainWindow& w = windowWith({reminded("10", "Later", 75), reminded("9", "Dentist")});
    checkAt(8, 44, 59);
    EXPECT_TRUE(popups().empty());
    EXPECT_FALSE(w.session().hasUnsavedChanges());

    checkAt(8, 45, 0);
    EXPECT_EQ(popups(), (Notes{"Dentist", "Later"}));
    EXPECT_EQ(sound.played(), std::vector<std::string>(2, dir.file("ding.wav")));
    EXPECT_TRUE(w.session().hasUnsavedChanges()) << "a raised reminder counts as a change";

    // However many checks pass, the open windows are the only ones.
    for (int second = 5; second < 60; second += 5)
        checkAt(8, 45, second);
    checkAt(9, 30);
    EXPECT_EQ(popups(), (Notes{"Dentist", "Later"}));
    EXPECT_EQ(sound.played().size(), 2u);
}

// Two events at one start (as a damaged file may hold) share one open mark:
// the second is not raised beside the first, and does not chime at every
// check.
TEST_F(ReminderAlertTest, AnEventWhoseStartIsOpenElsewhereRaisesNothing) {
    MainWindow& w = windowWith({reminded("9", "First"), reminded("9", "Twin")});
    checkAt(8, 45);
    EXPECT_EQ(popups(), Notes{"First"});
    w.session().markUnchanged();
    checkAt(8, 45, 5);
    EXPECT_EQ(popups(), Notes{"First"});
    EXPECT_EQ(sound.requested().size(), 1u);
    EXPECT_FALSE(w.session().hasUnsavedChanges());
}

// Enter without changes lets the reminder come back at the next check;
// Enter with Remind cleared ends it.
TEST_F(ReminderAlertTest, EnterOnThePopupKeepsOrEndsTheReminder) {
    for (const bool clearRemind : {false, true}) {
        SCOPED_TRACE(clearRemind ? "remind cleared" : "unchanged");
        window_.reset();
        MainWindow& w = windowWith({reminded("9", "Dentist")});
        checkAt(8, 50);
        ASSERT_EQ(popups(), Notes{"Dentist"});
        EventDialog& popup = *popupWindows().front();
        if (clearRemind)
            child<QCheckBox>(popup, "remindCheck")->click();
        press(popup, "enterButton");
        EXPECT_TRUE(popups().empty());
        EXPECT_EQ(w.session().document().events.isModified(), clearRemind);
        EXPECT_FALSE(w.session().document().events.at(0).open());

        checkAt(8, 50, 5);
        EXPECT_EQ(popups(), clearRemind ? Notes{} : Notes{"Dentist"});
    }
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

// A missing sound file leaves the windows silent, without a word.
TEST_F(ReminderAlertTest, ALoadRaisesPastRemindersAtOnceWithoutMarkingAChange) {
    AlmanaryDocument document;
    for (const Event& event : {reminded("9", "Dentist"), reminded("14", "School"),
                               makeEvent({2024, 3, 4, "10", "0", "No reminder"})})
        document.events.insert(event);
    document.settings.playSound = true;
    document.settings.soundFile = dir.file("no-such-sound.wav");
    const std::string path = writeAlmanary("past.alm", document);
    clock.set(localTime(2024, 3, 5, 8));

    MainWindow& w = window();
    ASSERT_TRUE(w.loadDocument(path));
    EXPECT_EQ(popups(), (Notes{"Dentist", "School"}));
    EXPECT_FALSE(w.session().hasUnsavedChanges());
    EXPECT_EQ(sound.requested().size(), 2u);
    EXPECT_TRUE(sound.played().empty());
    EXPECT_TRUE(prompter.shown().empty());
}

}  // namespace
}  // namespace almanary::testing

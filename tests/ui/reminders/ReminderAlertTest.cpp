// Reminder pop-ups: when, the sound, once per event, their controls and their notifications.

#include "reminders/ReminderAlert.h"

#include <QCheckBox>

#include "events/CategoriesDialog.h"
#include "events/EventDialog.h"
#include "platform/DesktopNotifications.h"
#include "support/MainWindowHarness.h"
#include "support/PrivateSessionBus.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

class ReminderAlertTest : public MainWindowHarness {
protected:
    ReminderAlertTest() { writeFile(chime, "RIFF"); }

    // A document with these events and a reminder sound.
    AlmanaryDocument withEvents(const std::vector<Event>& events) const {
        AlmanaryDocument document;
        for (const Event& event : events)
            document.events.insert(event);
        document.settings.playSound = true;
        document.settings.soundFile = chime;
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
        for (QDialog* window : session().windows(WindowRole::EventWindow))
            if (window->isVisible())
                out.push_back(notesIn(*window).toStdString());
        return out;
    }

    const std::string chime = dir.file("ding.wav");
};

// Due reminders open in order, once each, with a sound; a load raises them as no change.
TEST_F(ReminderAlertTest, RemindersOpenWhenDueOrOnLoadWithOneSoundEachAndOnlyOnce) {
    session().replace(
        withEvents({reminded("10", "Later", 75), reminded("9", "Dentist"), reminded("9", "Twin")}),
        {});
    checkAt(8, 44, 59);
    EXPECT_TRUE(popups().empty());
    EXPECT_FALSE(session().hasUnsavedChanges());

    checkAt(8, 45, 0);
    EXPECT_EQ(popups(), (Notes{"Dentist", "Later"}));
    EXPECT_EQ(sound.played, std::vector<std::string>(2, chime));
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
}

// Each control's effect on the event, the document and the reminder's return.
TEST_F(ReminderAlertTest, ThePopupsControlsKeepSnoozeEndOrDeleteTheReminder) {
    enum Act { Enter, ClearRemind, Dismiss, DeleteNo, DeleteYes, Escape, Snooze };
    const char* const buttons[] = {"enterButton", "enterButton", "dismissButton", "exitButton",
                                   "exitButton",  nullptr,       "snoozeButton"};
    // Whether the document changed; 'D' for Dentist up again at 8:50:05, 8:55, 9:00.
    const std::tuple<Act, bool, const char*> cases[] = {
        {Enter, false, "DDD"},    {ClearRemind, true, "---"}, {Dismiss, true, "---"},
        {DeleteNo, false, "DDD"}, {DeleteYes, true, "---"},   {Escape, false, "-DD"},
        {Snooze, false, "--D"},  // ten minutes
    };
    for (const auto& [act, changed, later] : cases) {
        SCOPED_TRACE(act);
        window_.reset();
        session().replace(withEvents({reminded("9", "Dentist"), reminded("11", "Later")}), {});
        checkAt(8, 50);
        ASSERT_EQ(popups(), Notes{"Dentist"});
        QDialog& popup = *session().windows(WindowRole::EventWindow).front();
        const bool asked = act == DeleteNo || act == DeleteYes;
        if (asked)
            prompter.answer(act == DeleteYes ? Yes : No);
        if (act == ClearRemind)
            child<QCheckBox>(popup, "remindCheck")->click();
        if (act == Snooze)
            child<QComboBox>(popup, "snoozeCombo")->setCurrentIndex(1);
        act == Escape ? QTest::keyClick(&popup, Qt::Key_Escape) : press(popup, buttons[act]);
        EXPECT_EQ(prompter.takeIds(), asked ? Ids{DeleteEvent} : Ids{});
        EXPECT_EQ(popups(), act == DeleteNo ? Notes{"Dentist"} : Notes{});
        if (act == DeleteNo)
            press(popup, "enterButton");
        const EventList& events = session().document().events;
        EXPECT_EQ(notesOf(events), act == DeleteYes ? Notes{"Later"} : (Notes{"Dentist", "Later"}));
        EXPECT_EQ(events.isModified(), changed);
        EXPECT_FALSE(events.at(0).open());
        std::string seen;
        for (const auto& [hour, minute, second] : {std::tuple{8, 50, 5}, {8, 55, 0}, {9, 0, 0}}) {
            checkAt(hour, minute, second);
            seen += popups() == Notes{"Dentist"} ? 'D' : popups().empty() ? '-' : '?';
        }
        EXPECT_EQ(seen, later);
    }
}

// Notes whether Qt blocks an event window for a modal one.
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
    whenModal<CategoriesDialog>(modalContext, [&](CategoriesDialog& categories) {
        checkAt(8, 45);
        EXPECT_EQ(popups(), Notes{"Dentist"});
        categories.reject();
    });
    window().runCommand(MainCommand::Categories);
    qApp->removeEventFilter(&watch);
    EXPECT_FALSE(watch.blocked);
}

// Notes what arrives and closes what it is asked to close.
class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList shown;  // summary and body, a line each; the id is the place plus one
    QList<uint> closed;

public slots:
    QStringList GetCapabilities() {
        return {QStringLiteral("actions"), QStringLiteral("body-markup")};
    }
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap&, int) {
        shown.append(summary + "\n" + body);
        return uint(shown.size());
    }
    void CloseNotification(uint id) {
        closed.append(id);
        emit NotificationClosed(id, 3);
    }

signals:
    void ActionInvoked(uint id, const QString& key);
    void NotificationClosed(uint id, uint reason);
};

class ReminderNotificationsTest : public SessionHarness {
protected:
    ReminderNotificationsTest() {
        clock.set(*Calendar::fromLocal(2024, 3, 4, 8, 50));
        AlmanaryDocument document;
        for (const char* hour : {"9", "10", "11"})
            document.events.insert(reminded(hour, "Dentist & <Dr. Lee>", 180));
        session.replace(std::move(document), {});
        EXPECT_TRUE(service.registerService(QStringLiteral("org.freedesktop.Notifications")));
        EXPECT_TRUE(service.registerObject(
            QStringLiteral("/org/freedesktop/Notifications"), &fake,
            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
    }

    int popups() { return int(session.windows(WindowRole::EventWindow).size()); }
    const Event& at(const char* hour) {
        return *events().find(makeEvent({2024, 3, 4, hour, "00", ""}).key());
    }

    PrivateSessionBus bus;
    QDBusConnection service = bus.connect(QStringLiteral("service"));
    FakeNotificationService fake;
    DesktopNotifications notifications{bus.connect(QStringLiteral("almanary"))};
    ReminderAlert alert{session, services, &notifications};
};

// A notification's buttons act on its pop-up; a pop-up closed withdraws it.
TEST_F(ReminderNotificationsTest, TheButtonsActOnThePopUp) {
    alert.raiseReminders(events().dueReminders(clock.now()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake.shown.size() == 3; }));
    EXPECT_EQ(fake.shown.front(), "3/4/2024  9:00 - 9:30\nDentist &amp; &lt;Dr. Lee&gt;");

    emit fake.ActionInvoked(2, QStringLiteral("open"));
    emit fake.ActionInvoked(1, QStringLiteral("snooze"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return popups() == 2; }));
    EXPECT_TRUE(session.isSnoozed(at("9").key(), clock.now() + 299));
    EXPECT_FALSE(session.isSnoozed(at("9").key(), clock.now() + 300));

    emit fake.ActionInvoked(2, QStringLiteral("dismiss"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return popups() == 1; }));
    EXPECT_FALSE(at("10").remind());
    EXPECT_TRUE(at("11").remind());

    qobject_cast<EventDialog*>(session.windows(WindowRole::EventWindow).at(0))->dismiss();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake.closed.contains(3u); }));
    EXPECT_FALSE(at("11").remind());
    emit fake.ActionInvoked(3, QStringLiteral("snooze"));  // late: nothing to act on
    QTest::qWait(0);
    EXPECT_FALSE(session.isSnoozed(at("11").key(), clock.now()));
}

}  // namespace
}  // namespace almanary::testing

#include "ReminderAlertTest.moc"

// Reminders on the desktop's notifications, against a service on a bus of the test's own.

#include "events/EventDialog.h"
#include "platform/DesktopNotifications.h"
#include "reminders/ReminderAlert.h"
#include "support/PrivateSessionBus.h"
#include "support/SessionHarness.h"

namespace almanary::testing {
namespace {

// Notes what arrives and closes what it is asked to close.
class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Shown {
        uint id;
        QString summary, body;
    };
    QList<Shown> shown;
    QList<uint> closed;

public slots:
    QStringList GetCapabilities() {
        return {QStringLiteral("actions"), QStringLiteral("body-markup")};
    }
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap&, int) {
        shown.append({uint(shown.size() + 1), summary, body});
        return shown.back().id;
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
    const auto& first = fake.shown.front();
    EXPECT_EQ(first.summary, "3/4/2024  9:00 - 9:30");
    EXPECT_EQ(first.body, "Dentist &amp; &lt;Dr. Lee&gt;");

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

#include "ReminderNotificationsTest.moc"

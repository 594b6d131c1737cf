#pragma once
// Notifications through the desktop's notification service (the
// freedesktop one on the session bus): a notification with buttons whose
// choice comes back to the window that sent it, and that goes when that
// window goes. Without a service, nothing is shown and nothing is said.

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <utility>

namespace almanary {

class DesktopNotifications : public QObject {
    Q_OBJECT
public:
    // Its key and the label of its button.
    using Action = std::pair<QString, QString>;
    // The key a notification gives when its body is clicked.
    static constexpr const char* kDefaultAction = "default";

    explicit DesktopNotifications(const QDBusConnection& bus, QObject* parent = nullptr);
    // Withdraws the notifications still shown.
    ~DesktopNotifications() override;

    // Shows a notification on behalf of `owner`: `onAction` hears the key
    // of the button chosen while `owner` lives; the notification is
    // withdrawn when `owner` goes.
    void notify(QObject* owner, const QString& summary, const QString& body,
                const QList<Action>& actions, std::function<void(const QString&)> onAction);

private slots:
    void onActionInvoked(uint id, const QString& key);
    void onClosed(uint id, uint reason);
    void onCapabilities(QDBusPendingCallWatcher* finished);

private:
    struct Shown {
        QPointer<QObject> owner;
        std::function<void(const QString&)> onAction;
    };
    void sent(uint id, QObject* owner, std::function<void(const QString&)> onAction);
    void close(uint id);

    QDBusConnection bus_;
    QHash<uint, Shown> shown_;
    // Whether the service reads the body as markup, so that a "<" or "&"
    // of the notes must be escaped; most do.
    bool markup_ = true;
};

}  // namespace almanary

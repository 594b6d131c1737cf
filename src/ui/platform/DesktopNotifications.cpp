#include "platform/DesktopNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace almanary {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

QDBusMessage call(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

}  // namespace

DesktopNotifications::DesktopNotifications(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), bus_(bus) {
    if (!bus_.isConnected())
        return;
    bus_.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                 SLOT(onActionInvoked(uint, QString)));
    bus_.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                 SLOT(onClosed(uint, uint)));
    auto* watcher =
        new QDBusPendingCallWatcher(bus_.asyncCall(call(QStringLiteral("GetCapabilities"))), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            &DesktopNotifications::onCapabilities);
}

void DesktopNotifications::onCapabilities(QDBusPendingCallWatcher* finished) {
    const QDBusPendingReply<QStringList> reply = *finished;
    finished->deleteLater();
    if (!reply.isError())
        markup_ = reply.value().contains(QStringLiteral("body-markup"));
}

DesktopNotifications::~DesktopNotifications() {
    for (auto it = shown_.cbegin(); it != shown_.cend(); ++it)
        bus_.send(call(QStringLiteral("CloseNotification")) << it.key());
}

void DesktopNotifications::notify(QObject* owner, const QString& summary, const QString& body,
                                  const QList<Action>& actions,
                                  std::function<void(const QString&)> onAction) {
    if (!bus_.isConnected())
        return;
    QStringList flatActions;
    for (const auto& [key, label] : actions)
        flatActions << key << label;
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("almanary")},
                            {QStringLiteral("category"), QStringLiteral("x-almanary.reminder")}};
    QDBusMessage message = call(QStringLiteral("Notify"));
    message << QStringLiteral("Almanary") << uint(0) << QStringLiteral("almanary") << summary
            << (markup_ ? body.toHtmlEscaped() : body) << flatActions << hints << int(-1);
    // Asked without waiting: a bus whose service is slow to start must not
    // hold up the reminder's own window.
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, owner = QPointer<QObject>(owner),
             onAction = std::move(onAction)](QDBusPendingCallWatcher* finished) mutable {
                const QDBusPendingReply<uint> reply = *finished;
                finished->deleteLater();
                if (reply.isError())
                    return;  // no notification service: the window is enough
                if (owner.isNull())
                    close(reply.value());
                else
                    sent(reply.value(), owner, std::move(onAction));
            });
}

void DesktopNotifications::sent(uint id, QObject* owner,
                                std::function<void(const QString&)> onAction) {
    shown_.insert(id, {owner, std::move(onAction)});
    connect(owner, &QObject::destroyed, this, [this, id] {
        if (shown_.remove(id) > 0)
            close(id);
    });
}

void DesktopNotifications::close(uint id) {
    bus_.send(call(QStringLiteral("CloseNotification")) << id);
}

void DesktopNotifications::onActionInvoked(uint id, const QString& key) {
    const auto found = shown_.constFind(id);
    if (found == shown_.cend() || found->owner.isNull())
        return;
    // Copied: the action usually ends the owner, which forgets the entry.
    const auto onAction = found->onAction;
    onAction(key);
}

void DesktopNotifications::onClosed(uint id, uint /*reason*/) {
    shown_.remove(id);
}

}  // namespace almanary

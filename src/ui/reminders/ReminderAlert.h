#pragma once
// Opens one reminder window per due event, beside any other window, with
// the document's reminder sound when it wants one, and tells the desktop's
// notifications, whose buttons act on the window. A snoozed reminder
// waits; the windows cascade, so each can be seen.

#include <QPointer>

class QDialog;

namespace almanary {

class DesktopNotifications;
class DocumentSession;
class EventDialog;
class Event;
class EventList;
struct AppServices;

class ReminderAlert {
public:
    // Without `notifications`, the windows alone remind.
    ReminderAlert(DocumentSession& session, const AppServices& services,
                  DesktopNotifications* notifications = nullptr);

    // Raises a window for each event of `due`, in order; marks the document
    // changed when it raises any.
    void raiseReminders(const EventList& due);

private:
    // The pop-up of one event; it deletes itself when it closes, and at
    // once when the event is open elsewhere or gone.
    void raise(const Event& event);
    // True when the document's event at this start is open in a window, or
    // there is none.
    bool openElsewhere(const Event& event) const;
    void playSound();
    void notify(EventDialog& dialog, const Event& event);
    void cascade(QDialog& dialog);

    DocumentSession& session_;
    const AppServices& services_;
    DesktopNotifications* notifications_;
    QPointer<QDialog> lastShown_;
};

}  // namespace almanary

#include "reminders/ReminderAlert.h"

#include <QDialog>
#include <QScreen>

#include "app/AppPaths.h"
#include "document/DocumentSession.h"
#include "events/EventDialog.h"
#include "events/ViewEventsDialog.h"
#include "model/DateTimeText.h"
#include "model/EventList.h"
#include "platform/AppServices.h"
#include "platform/Clock.h"
#include "platform/DesktopNotifications.h"
#include "platform/SoundPlayer.h"
#include "platform/TextConversion.h"

namespace almanary {

ReminderAlert::ReminderAlert(DocumentSession& session, const AppServices& services,
                             DesktopNotifications* notifications)
    : session_(session), services_(services), notifications_(notifications) {}

void ReminderAlert::raiseReminders(const EventList& due) {
    for (int index = 0; index < due.count(); ++index)
        raise(due.at(index));
}

bool ReminderAlert::openElsewhere(const Event& event) const {
    const Event* stored = session_.events().find(event.key());
    return stored == nullptr || stored->open();
}

void ReminderAlert::raise(const Event& event) {
    // The window would close at once; it leaves no trace, not even a sound.
    // (Two events at one start, as a damaged file may hold, share one open
    // mark: the second would sound at every check.)
    if (openElsewhere(event) || session_.isSnoozed(event.key(), services_.clock.now()))
        return;
    session_.markChanged();
    // Without an owning window: a window-modal dialog of the main window
    // would otherwise block the pop-up. The session deletes what is left of
    // them when it goes.
    auto* dialog = new EventDialog(nullptr, session_, services_, &ViewEventsDialog::reviewConflicts,
                                   EventDialog::Mode::Reminder, event);
    if (session_.settings().playSound)
        playSound();
    // Marks the event open; a pop-up that cannot is never seen.
    if (!dialog->prepare())
        return;
    cascade(*dialog);
    dialog->show();
    lastShown_ = dialog;
    notify(*dialog, event);
}

// The notification's buttons do what the window's do, and the window
// going withdraws it; its body is the window brought forward.
void ReminderAlert::notify(EventDialog& dialog, const Event& event) {
    if (notifications_ == nullptr)
        return;
    const QString when =
        toQString(DateTimeText::dateText(event.date()) + "  " +
                  DateTimeText::timeRangeText(event.hour(), event.minute(), event.duration(),
                                              DateTimeText::getTwelveHourClock()));
    const QList<DesktopNotifications::Action> actions{
        {QStringLiteral("snooze"), QStringLiteral("Snooze 5 min")},
        {QStringLiteral("dismiss"), QStringLiteral("Dismiss")},
        {QStringLiteral("open"), QStringLiteral("Open")}};
    QPointer<EventDialog> window(&dialog);
    notifications_->notify(&dialog, when, toQString(event.notes()), actions,
                           [window](const QString& key) {
                               if (window.isNull())
                                   return;
                               if (key == QLatin1String("snooze"))
                                   window->snoozeShortest();
                               else if (key == QLatin1String("dismiss"))
                                   window->dismiss();
                               else
                                   window->bringForward();
                           });
}

// Each pop-up a step below and right of the last one still on screen, so
// none hides another; back to the corner where the screen ends.
void ReminderAlert::cascade(QDialog& dialog) {
    if (!lastShown_ || !lastShown_->isVisible())
        return;
    constexpr int kStep = 32;
    QPoint place = lastShown_->pos() + QPoint(kStep, kStep);
    if (const QScreen* screen = lastShown_->screen()) {
        const QRect area = screen->availableGeometry();
        const QSize size = dialog.sizeHint().expandedTo(dialog.size());
        if (place.x() + size.width() > area.right() || place.y() + size.height() > area.bottom())
            place = area.topLeft() + QPoint(kStep, kStep);
    }
    dialog.move(place);
}

void ReminderAlert::playSound() {
    // A file that cannot be found leaves the pop-up silent, without a word:
    // the sound only accompanies the window. A new sound replaces one still
    // playing.
    if (const auto file = AppPaths::findSound(session_.settings().soundFile))
        services_.sound.play(*file);
}

}  // namespace almanary

#include "reminders/ReminderAlert.h"

#include <optional>

#include "app/MainWindow.h"
#include "events/EventDialog.h"
#include "model/EventList.h"
#include "platform/SoundPlayer.h"

namespace almanary {

ReminderAlert::ReminderAlert(MainWindow& window) : window_(window) {}

void ReminderAlert::raiseReminders(const EventList& due) {
    // The count is read again on every pass, as a window opened here may
    // run code that changes the list it was given.
    for (int index = 0; index < due.count(); ++index)
        raise(Event(due.at(index)));
}

bool ReminderAlert::openElsewhere(const Event& event) const {
    const EventList& events = window_.document.events;
    const Event* stored = events.find(event.key());
    return stored == nullptr || stored->open();
}

void ReminderAlert::raise(const Event& event) {
    // The window would close at once; it leaves no trace, not even a sound.
    // (Two events at one start, as a damaged file may hold, share one open
    // mark: the second would sound at every check.)
    if (openElsewhere(event))
        return;
    window_.documentChanged = true;
    const AppServices& services = window_.services();
    // Without an owning window: a window-modal dialog of the main window
    // would otherwise block the pop-up. The main window deletes what is
    // left of them when it goes.
    auto* dialog = new EventDialog(nullptr, window_.document.events, window_.document.categories,
                                   services.prompter, services.clock, event);
    dialog->setTitle(QString::fromLatin1(EventDialog::kReminderTitle));
    dialog->setBackground(&window_.background);
    if (window_.document.settings.playSound)
        playSound();
    dialog->markModeless();  // and deleted when it closes
    QList<QPointer<QDialog>>& windows = window_.openDialogs.eventWindows;
    windows.removeAll(QPointer<QDialog>());
    windows.append(dialog);
    // Marks the event open; a pop-up that cannot is never seen.
    if (dialog->prepare())
        dialog->show();
}

void ReminderAlert::playSound() {
    // A file that cannot be played leaves the pop-up silent, without a word:
    // the sound only accompanies the window. A new sound replaces one still
    // playing.
    window_.services().sound.play(window_.document.settings.soundFile);
}

}  // namespace almanary

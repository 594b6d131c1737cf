#pragma once
// "Enter Event": the one window where an event's fields are typed in. Enter
// mode adds events one after another; edit mode changes one event; reminder
// mode is edit mode shown beside any other window, titled "Event Reminder",
// whose Exit button deletes the event. Every entry refuses empty notes and
// a start already taken, and offers the events that overlap for review.

#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/Event.h"
#include "platform/Prompter.h"
#include "skins/SkinnedDialog.h"

class QComboBox;

namespace Ui {
class EventDialog;
}

namespace almanary {

class CategoryList;
class Clock;
class EventList;

class EventDialog : public SkinnedDialog {
    Q_OBJECT
public:
    // Modal result of a dialog that closed itself at once because its event
    // was already open elsewhere or gone; distinct from Accepted and Rejected.
    static constexpr int kClosedAtOnce = 2;

    // The captions the dialog is given by its owners.
    static constexpr const char* kEditTitle = "Edit Event";
    static constexpr const char* kReminderTitle = "Event Reminder";

    // Enter mode when `edited` is empty, edit mode otherwise (a copy; in
    // reminder mode the dialog keeps it until its window goes).
    EventDialog(QWidget* owner, EventList& events, CategoryList& categories, Prompter& prompter,
                const Clock& clock, std::optional<Event> edited = std::nullopt);
    ~EventDialog() override;

    void setTitle(const QString& title);  // "Event Reminder" switches on reminder mode
    // A reminder pop-up: shown, not run; it deletes itself when it ends.
    void markModeless();
    bool modeless() const { return modeless_; }
    bool editMode() const { return edited_.has_value(); }
    bool reminderMode() const {
        return edited_.has_value() && title_ == QLatin1String(kReminderTitle);
    }

    // Runs the opening steps (open mark, lists, fields) once; returns false
    // when the dialog closed itself at once. exec() and show() call it too;
    // a pop-up that fails here deletes itself, so its owner need not show it.
    bool prepare();
    // Modal run: QDialog::Accepted, Rejected or kClosedAtOnce.
    int exec() override;

    // The event the fields describe, as last read from the controls.
    Event fieldsToEvent() const;
    bool inputChanged() const { return inputChanged_; }

    // Every live event dialog, in the order they were made.
    static QList<EventDialog*> registry();
    static void repaintAll();
    // Cancels every live dialog once, including those that go away meanwhile.
    static void cancelAll();

public slots:
    void enter();
    void clear();
    void cancel();
    // Escape, the window's close request and an owner's reject() all cancel.
    void reject() override;
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The values bound to the input controls.
    struct Fields {
        DateTime date = 0;
        std::string hourText;
        std::string minuteText;
        std::string durationText;
        std::string category;
        std::string reminderText;
        std::string notes;
        bool remind = false;
    };

    void fillCategories();
    void applyTitle();
    void loadFields(const Event& event);
    void clearFields(bool newTime);
    void setDefaultTime();
    // The data exchange between `fields_` and the controls.
    void readControls();
    void writeControls();
    // Ends a dialog whose event could not be marked open.
    void closeAtOnce();
    // Shows a question; nothing when this dialog ended or went away while
    // it was on screen (the caller must then stop at once).
    std::optional<MessageAnswer> ask(MessageId id, const std::vector<std::string>& args = {});
    // The steps of Enter after the same-start check; false to stop.
    bool reviewConflicts(const Event& candidate);
    bool storeEntry(const Event& candidate);
    void editExisting(const Event& existing);
    void forgetOpenMark();

    std::unique_ptr<Ui::EventDialog> ui_;
    EventList& events_;
    CategoryList& categories_;
    Prompter& prompter_;
    const Clock& clock_;
    std::optional<Event> edited_;
    Fields fields_;
    QString title_;
    // What the notes box showed after the last write, and the bytes behind
    // it: unchanged notes keep their exact bytes (line ends, invalid UTF-8).
    QString shownNotes_;
    std::string shownNotesBytes_;
    bool modeless_ = false;
    bool opened_ = false;
    bool openFailed_ = false;
    bool ended_ = false;
    bool writing_ = false;  // controls are being filled; not the user's input
    bool inputChanged_ = false;
};

}  // namespace almanary

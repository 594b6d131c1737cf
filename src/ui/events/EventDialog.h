#pragma once
// "Enter Event": the one window where an event's fields are typed in. Enter
// mode adds events one after another; edit mode changes one event; reminder
// mode is edit mode shown beside any other window, titled "Event Reminder",
// where the event can also be snoozed, dismissed (its reminder ended) or,
// after a question naming it, deleted. Every entry refuses empty notes and
// a start already taken, and offers the events that overlap for review.
// Nothing is ever written into a document other than the one the window
// was opened on.

#include <QString>
#include <functional>
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

class DocumentSession;
class EventDialog;
class EventList;
struct AppServices;

// Shows `conflicts`, the events that overlap `candidate`, for review over
// the editor, and returns when the user is done with them. `leftOut` is the
// event being edited, or null. View Events provides it.
using ConflictReview = std::function<void(EventDialog& editor, const EventList& conflicts,
                                          const Event& candidate, const Event* leftOut)>;

class EventDialog : public SkinnedDialog {
    Q_OBJECT
public:
    enum class Mode { Enter, Edit, Reminder };

    // Modal result of a dialog that closed itself at once because its event
    // was already open elsewhere or gone; distinct from Accepted and Rejected.
    static constexpr int kClosedAtOnce = 2;

    // Enter mode.
    EventDialog(QWidget* owner, DocumentSession& session, const AppServices& services,
                ConflictReview review);
    // Edit or reminder mode on a copy of `edited`. A reminder window is shown,
    // not run, and deletes itself when it ends.
    EventDialog(QWidget* owner, DocumentSession& session, const AppServices& services,
                ConflictReview review, Mode mode, const Event& edited);
    ~EventDialog() override;

    Mode mode() const { return mode_; }
    DocumentSession& session() const { return session_; }
    const AppServices& services() const { return services_; }

    // Runs the opening steps (open mark, lists, fields) once; false when the
    // dialog closed itself at once. exec() and show() call it too; a
    // reminder window that fails here deletes itself, so need not be shown.
    bool prepare();
    // Modal run: QDialog::Accepted, Rejected or kClosedAtOnce.
    int exec() override;

    // The event the fields describe, as last read from the controls.
    Event fieldsToEvent() const;
    bool inputChanged() const { return inputChanged_; }

public slots:
    void enter();
    void clear();
    void cancel();
    // Reminder mode: puts the reminder off for the chosen time; the event
    // stays as it is.
    void snooze();
    // Reminder mode: snoozes for the shortest time offered (a desktop
    // notification's Snooze button).
    void snoozeShortest();
    // Shows the window in front, active.
    void bringForward();
    // Reminder mode: ends the reminder (clears Remind) and keeps the event.
    void dismiss();
    // Reminder mode: deletes the event once the user confirms.
    void deleteEvent();
    // Escape, the close box and closing with the document: a reminder
    // snoozes, any other window cancels.
    void reject() override;
    void done(int result) override;

protected:
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

    void buildControls();
    void fillCategories();
    void applyMode();
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
    // Asks before input typed into the window is lost; false to keep it.
    bool mayDiscardInput();
    // False, and the window ends, when the document it was opened on has
    // been replaced: nothing is written into another one.
    bool onItsDocument();
    const Event* edited() const { return edited_ ? &*edited_ : nullptr; }

    std::unique_ptr<Ui::EventDialog> ui_;
    DocumentSession& session_;
    const AppServices& services_;
    ConflictReview review_;
    Mode mode_;
    std::uint64_t generation_;  // of the document the window was opened on
    std::optional<Event> edited_;
    Fields fields_;
    // What the notes box showed after the last write, and the bytes behind
    // it: unchanged notes keep their exact bytes (line ends, invalid UTF-8).
    QString shownNotes_;
    std::string shownNotesBytes_;
    bool opened_ = false;
    bool openFailed_ = false;
    bool ended_ = false;
    bool writing_ = false;  // controls are being filled; not the user's input
    bool inputChanged_ = false;
};

}  // namespace almanary

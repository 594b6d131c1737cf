#include "events/EventDialog.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <string_view>

#include "app/MessageTable.h"
#include "events/ViewEventsDialog.h"
#include "model/AsciiText.h"
#include "model/CategoryList.h"
#include "model/DateTimeText.h"
#include "model/EventChoices.h"
#include "model/EventList.h"
#include "platform/Clock.h"
#include "platform/TextConversion.h"
#include "ui_EventDialog.h"

namespace almanary {
namespace {

constexpr const char* kDeleteText = "&Delete";

QList<EventDialog*>& liveDialogs() {
    static QList<EventDialog*> dialogs;
    return dialogs;
}

DateTime storable(DateTime value) {
    return std::clamp(value, kFirstStorableDateTime, kLastStorableDateTime);
}

QDate toQDate(const CalendarDate& date) {
    return QDate(date.year, date.month, date.day);
}

// List entries carry the bytes they stand for, so a text that is not valid
// UTF-8 comes back exactly as it was stored.
std::string itemBytes(const QComboBox* list, int index) {
    return list->itemData(index).toByteArray().toStdString();
}

void insertItem(QComboBox* list, int index, std::string_view text) {
    list->insertItem(index, toQString(text), QByteArray(text.data(), qsizetype(text.size())));
}

void addItem(QComboBox* list, std::string_view text) {
    insertItem(list, list->count(), text);
}

int findItem(const QComboBox* list, std::string_view text) {
    for (int i = 0; i < list->count(); ++i) {
        if (itemBytes(list, i) == text)
            return i;
    }
    return -1;
}

// The selected entry's text; empty when nothing is selected.
std::string readList(const QComboBox* list) {
    const int index = list->currentIndex();
    return index < 0 ? std::string() : itemBytes(list, index);
}

// Selects the entry equal to the text; none when there is no such entry.
void writeList(QComboBox* list, std::string_view text) {
    list->setCurrentIndex(findItem(list, text));
}

template <std::size_t N>
void addChoices(QComboBox* list, const std::array<std::string_view, N>& choices) {
    for (std::string_view choice : choices)
        addItem(list, choice);
}

// Where a stored text that is none of a list's entries goes: number lists
// by value, the category list in its case-insensitive order.
int numberPlace(const QComboBox* list, std::string_view text) {
    const std::int32_t value = DateTimeText::readNumber(text);
    for (int i = 0; i < list->count(); ++i) {
        if (DateTimeText::readNumber(itemBytes(list, i)) > value)
            return i;
    }
    return list->count();
}

int categoryPlace(const QComboBox* list, std::string_view text) {
    for (int i = 0; i < list->count(); ++i) {
        if (AsciiText::lessIgnoringCase(text, itemBytes(list, i)))
            return i;
    }
    return list->count();
}

// An edited event keeps a value its lists do not offer (a deleted category,
// a minute or duration written by another program): it joins this dialog's
// list, so the event is stored back with it unless the user picks another.
void offerStoredValue(QComboBox* list, std::string_view text, bool byCategory) {
    if (text.empty() || findItem(list, text) >= 0)
        return;
    insertItem(list, byCategory ? categoryPlace(list, text) : numberPlace(list, text), text);
}

// True for as long as it lives; the flag it set goes back afterwards.
class Raised {
public:
    explicit Raised(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~Raised() { flag_ = before_; }
    Raised(const Raised&) = delete;
    Raised& operator=(const Raised&) = delete;

private:
    bool& flag_;
    bool before_;
};

}  // namespace

EventDialog::EventDialog(QWidget* owner, EventList& events, CategoryList& categories,
                         Prompter& prompter, const Clock& clock, std::optional<Event> edited)
    : SkinnedDialog(owner),
      ui_(std::make_unique<Ui::EventDialog>()),
      events_(events),
      categories_(categories),
      prompter_(prompter),
      clock_(clock),
      edited_(std::move(edited)) {
    const Raised writing(writing_);
    ui_->setupUi(this);
    // A title bar without system menu or close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    fields_.category = kNoCategory;

    // Only dates a file can hold can be picked.
    ui_->dateEdit->setDateRange(toQDate(Calendar::localDate(kFirstStorableDateTime)),
                                toQDate(Calendar::localDate(kLastStorableDateTime)));
    for (int hour = 0; hour < EventChoices::kHourCount; ++hour)
        addItem(ui_->hourCombo, DateTimeText::numberText(hour));
    addChoices(ui_->minuteCombo, EventChoices::kMinutes);
    addChoices(ui_->durationCombo, EventChoices::kDurations);
    addChoices(ui_->reminderCombo, EventChoices::kReminderLeads);

    connect(ui_->enterButton, &QPushButton::clicked, this, &EventDialog::enter);
    connect(ui_->clearButton, &QPushButton::clicked, this, &EventDialog::clear);
    connect(ui_->exitButton, &QPushButton::clicked, this, &EventDialog::cancel);

    const auto touched = [this] {
        if (!writing_)
            inputChanged_ = true;
    };
    for (QComboBox* list : {ui_->hourCombo, ui_->minuteCombo, ui_->durationCombo,
                            ui_->categoryCombo, ui_->reminderCombo})
        connect(list, &QComboBox::currentIndexChanged, this, touched);
    connect(ui_->dateEdit, &QDateEdit::dateChanged, this, touched);
    connect(ui_->notesEdit, &QPlainTextEdit::textChanged, this, touched);
    connect(ui_->remindCheck, &QCheckBox::toggled, this, touched);

    liveDialogs().append(this);
    reskin();
}

EventDialog::~EventDialog() {
    liveDialogs().removeAll(this);
    // Dialogs opened from this one point at its members; they go first.
    qDeleteAll(findChildren<QDialog*>(Qt::FindDirectChildrenOnly));
}

void EventDialog::setTitle(const QString& title) {
    title_ = title;
    if (opened_ && !openFailed_)
        applyTitle();
}

void EventDialog::applyTitle() {
    if (title_.isEmpty())
        return;
    setWindowTitle(title_);
    if (reminderMode()) {
        ui_->exitButton->setText(QString::fromLatin1(kDeleteText));
        ui_->exitButton->show();
    }
}

void EventDialog::markModeless() {
    modeless_ = true;
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
}

bool EventDialog::prepare() {
    if (opened_)
        return !openFailed_;
    opened_ = true;
    if (editMode()) {
        if (!events_.markOpen(edited_->key())) {
            closeAtOnce();
            return false;
        }
        ViewEventsDialog::refreshButtonsAll();
    }
    fillCategories();
    if (editMode()) {
        ui_->clearButton->hide();
        ui_->exitButton->hide();
        loadFields(*edited_);
    } else {
        clearFields(true);
    }
    applyTitle();
    inputChanged_ = false;
    return true;
}

void EventDialog::closeAtOnce() {
    openFailed_ = true;
    ended_ = true;
    setResult(kClosedAtOnce);
    // A pop-up goes once its owner is done showing it; it deletes itself.
    if (modeless_ || isVisible())
        QTimer::singleShot(0, this, [this] { SkinnedDialog::done(kClosedAtOnce); });
}

int EventDialog::exec() {
    if (!prepare())
        return kClosedAtOnce;
    // Blocks its owners only, so reminder pop-ups stay usable beside it.
    if (windowModality() == Qt::NonModal)
        setWindowModality(Qt::WindowModal);
    return SkinnedDialog::exec();
}

void EventDialog::showEvent(QShowEvent* event) {
    SkinnedDialog::showEvent(event);
    prepare();
}

void EventDialog::fillCategories() {
    const Raised writing(writing_);
    std::vector<std::string> names{kNoCategory};
    names.insert(names.end(), categories_.names().begin(), categories_.names().end());
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return AsciiText::lessIgnoringCase(a, b);
    });
    for (const std::string& name : names)
        addItem(ui_->categoryCombo, name);
}

// ---- the fields ----

Event EventDialog::fieldsToEvent() const {
    Event event;
    event.setNotes(fields_.notes);
    event.setHour(fields_.hourText);
    event.setMinute(fields_.minuteText);
    event.setDate(fields_.date);  // after hour and minute: the key follows them
    event.setDuration(fields_.durationText);
    event.setCategory(fields_.category);
    event.setRemind(fields_.remind);
    event.setRemindMinutes(DateTimeText::readNumber(fields_.reminderText));
    return event;
}

void EventDialog::loadFields(const Event& event) {
    fields_.date = event.date();
    fields_.hourText = event.hour();
    fields_.minuteText = event.minute();
    fields_.durationText = event.duration();
    fields_.category = event.category();
    fields_.notes = event.notes();
    fields_.remind = event.remind();
    fields_.reminderText = DateTimeText::numberText(event.remindMinutes());
    {
        const Raised writing(writing_);
        offerStoredValue(ui_->hourCombo, fields_.hourText, false);
        offerStoredValue(ui_->minuteCombo, fields_.minuteText, false);
        offerStoredValue(ui_->durationCombo, fields_.durationText, false);
        offerStoredValue(ui_->reminderCombo, fields_.reminderText, false);
        offerStoredValue(ui_->categoryCombo, fields_.category, true);
    }
    writeControls();
}

void EventDialog::clearFields(bool newTime) {
    if (newTime)
        setDefaultTime();
    fields_.notes.clear();
    fields_.remind = false;
    fields_.durationText = "0";
    fields_.reminderText = "0";
    fields_.category = kNoCategory;
    ui_->dateEdit->setFocus();
    writeControls();
}

// The next quarter hour at or after now: a start is never proposed for the
// minute it is proposed in.
void EventDialog::setDefaultTime() {
    DateTime now = clock_.now();
    const LocalFields local = Calendar::toLocal(now);
    int hour = local.hour;
    std::string_view minute;
    if (local.minute <= 15) {
        minute = EventChoices::kMinutes[1];
    } else if (local.minute <= 30) {
        minute = EventChoices::kMinutes[2];
    } else if (local.minute <= 45) {
        minute = EventChoices::kMinutes[3];
    } else {
        minute = EventChoices::kMinutes[0];
        if (++hour == 24) {
            hour = 0;
            now = Calendar::addDays(now, 1);  // the next date, even across a clock change
        }
    }
    fields_.date = storable(now);
    fields_.minuteText = minute;
    fields_.hourText = DateTimeText::numberText(hour);
}

void EventDialog::readControls() {
    // A newly picked date keeps the clock time of the value it replaces.
    const QDate picked = ui_->dateEdit->date();
    const std::int64_t days = Calendar::dayNumber(picked.year(), picked.month(), picked.day()) -
                              Calendar::dayNumber(Calendar::localDate(fields_.date));
    if (days != 0)
        fields_.date = storable(Calendar::addDays(fields_.date, static_cast<int>(days)));
    fields_.hourText = readList(ui_->hourCombo);
    fields_.minuteText = readList(ui_->minuteCombo);
    fields_.durationText = readList(ui_->durationCombo);
    fields_.category = readList(ui_->categoryCombo);
    fields_.reminderText = readList(ui_->reminderCombo);
    fields_.remind = ui_->remindCheck->isChecked();
    const QString notes = ui_->notesEdit->toPlainText();
    fields_.notes = notes == shownNotes_ ? shownNotesBytes_ : toBytes(notes);
}

void EventDialog::writeControls() {
    const Raised writing(writing_);
    ui_->dateEdit->setDate(toQDate(Calendar::localDate(fields_.date)));
    writeList(ui_->hourCombo, fields_.hourText);
    writeList(ui_->minuteCombo, fields_.minuteText);
    writeList(ui_->durationCombo, fields_.durationText);
    writeList(ui_->categoryCombo, fields_.category);
    writeList(ui_->reminderCombo, fields_.reminderText);
    ui_->remindCheck->setChecked(fields_.remind);
    const QString notes = toQString(fields_.notes);
    if (ui_->notesEdit->toPlainText() != notes)
        ui_->notesEdit->setPlainText(notes);
    shownNotes_ = ui_->notesEdit->toPlainText();
    shownNotesBytes_ = fields_.notes;
}

// ---- the commands ----

std::optional<MessageAnswer> EventDialog::ask(MessageId id, const std::vector<std::string>& args) {
    const QPointer<EventDialog> self(this);
    const MessageAnswer answer = prompter_.show(this, id, args);
    if (!self || ended_)
        return std::nullopt;
    return answer;
}

void EventDialog::enter() {
    if (ended_)
        return;
    readControls();
    if (fields_.notes.empty()) {
        prompter_.show(this, MessageId::NotesRequired);
        return;
    }
    const Event candidate = fieldsToEvent();
    const bool keepsStart = editMode() && candidate.sameStart(*edited_);
    if (!keepsStart && events_.find(candidate.key()) != nullptr) {
        const std::vector<std::string> at{
            DateTimeText::startTimeText(fields_.hourText, fields_.minuteText)};
        if (ask(MessageId::StartTakenEdit, at) != MessageAnswer::Yes)
            return;
        // Looked up again: the list may have changed while the question was up.
        if (const Event* existing = events_.find(candidate.key()))
            editExisting(Event(*existing));
        return;
    }
    if (!reviewConflicts(candidate))
        return;
    if (editMode() && candidate.sameContent(*edited_)) {
        forgetOpenMark();
        done(QDialog::Accepted);
        return;
    }
    if (!storeEntry(candidate))
        return;
    const QPointer<EventDialog> self(this);
    if (editMode()) {
        ViewEventsDialog::refreshAll();
        if (self && !ended_)
            done(QDialog::Accepted);
        return;
    }
    clearFields(false);
    inputChanged_ = false;
    ViewEventsDialog::refreshAll();
    if (self)
        writeControls();
}

// The same start is taken: the event there is opened for editing instead;
// this dialog keeps its input.
void EventDialog::editExisting(const Event& existing) {
    const QPointer<EventDialog> self(this);
    const QPointer<EventDialog> nested =
        new EventDialog(this, events_, categories_, prompter_, clock_, existing);
    nested->setTitle(QString::fromLatin1(kEditTitle));
    nested->setBackground(background());
    nested->exec();
    if (self)
        delete nested.data();
}

// Offers the events that overlap or touch the candidate for review; the
// entry goes on whatever the answer. False when this dialog ended meanwhile.
bool EventDialog::reviewConflicts(const Event& candidate) {
    const Event* leftOut = editMode() ? &*edited_ : nullptr;
    const EventList conflicts = events_.conflicts(candidate, leftOut);
    if (conflicts.isEmpty())
        return true;
    const std::optional<MessageAnswer> answer = ask(MessageId::ConflictsFound);
    if (!answer)
        return false;
    if (*answer != MessageAnswer::Yes)
        return true;
    const QPointer<EventDialog> self(this);
    const QPointer<ViewEventsDialog> view = new ViewEventsDialog(
        this, events_, categories_, prompter_, clock_, conflicts, &candidate, leftOut);
    view->setBackground(background());
    view->setWindowModality(Qt::WindowModal);
    view->exec();
    if (!self)
        return false;
    delete view.data();
    return !ended_;
}

// Replaces the edited event, or adds a new one. False, with nothing
// changed, when another event has come to the new start meanwhile.
bool EventDialog::storeEntry(const Event& candidate) {
    const bool keepsStart = editMode() && candidate.sameStart(*edited_);
    if (!keepsStart && events_.find(candidate.key()) != nullptr) {
        prompter_.show(this, MessageId::StartTaken,
                       {DateTimeText::startTimeText(fields_.hourText, fields_.minuteText)});
        return false;
    }
    if (editMode())
        events_.removeByKey(edited_->key());
    if (!events_.insert(candidate)) {
        if (editMode())
            events_.insert(*edited_);  // the old event rather than none
        return false;
    }
    return true;
}

void EventDialog::forgetOpenMark() {
    events_.clearOpen(edited_->key());
    // A View Events window showing the event offers it again.
    ViewEventsDialog::refreshButtonsAll();
}

void EventDialog::clear() {
    if (ended_ || !inputChanged_)
        return;
    if (ask(MessageId::DiscardInput) != MessageAnswer::Yes)
        return;
    clearFields(true);
    inputChanged_ = false;
}

void EventDialog::cancel() {
    if (ended_)
        return;
    if (!opened_) {
        // Never shown: nothing of the document was touched, nothing is.
        done(QDialog::Rejected);
        return;
    }
    if (reminderMode()) {
        events_.removeByKey(edited_->key());
        const QPointer<EventDialog> self(this);
        ViewEventsDialog::refreshAll();
        if (!self || ended_)
            return;
    } else if (inputChanged_) {
        if (ask(MessageId::DiscardInput) != MessageAnswer::Yes)
            return;
        clearFields(true);
        inputChanged_ = false;
    }
    if (editMode())
        forgetOpenMark();
    done(QDialog::Rejected);
}

void EventDialog::reject() {
    cancel();
}

void EventDialog::done(int result) {
    ended_ = true;
    SkinnedDialog::done(result);
}

// The Enter key acts on the focused control; no button is a default button.
void EventDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        SkinnedDialog::keyPressEvent(event);
        return;
    }
    const QWidget* focus = focusWidget();
    if (focus == ui_->clearButton) {
        clearFields(true);
    } else if (focus == ui_->exitButton) {
        cancel();
    } else if (focus == ui_->notesEdit) {
        ui_->notesEdit->insertPlainText(QStringLiteral("\n"));
    } else {
        enter();
    }
}

// ---- the registry ----

QList<EventDialog*> EventDialog::registry() {
    return liveDialogs();
}

void EventDialog::repaintAll() {
    for (EventDialog* dialog : liveDialogs())
        dialog->reskin();
}

void EventDialog::cancelAll() {
    QList<QPointer<EventDialog>> dialogs;
    for (EventDialog* dialog : liveDialogs())
        dialogs.append(dialog);
    for (const QPointer<EventDialog>& dialog : dialogs) {
        if (dialog)
            dialog->cancel();
    }
}

}  // namespace almanary

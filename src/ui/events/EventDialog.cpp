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

QList<EventDialog*>& Registry() {
    static QList<EventDialog*> dialogs;
    return dialogs;
}

DateTime Storable(DateTime value) {
    return std::clamp(value, kFirstStorableDateTime, kLastStorableDateTime);
}

QDate ToQDate(const CalendarDate& date) {
    return QDate(date.year, date.month, date.day);
}

// List entries carry the bytes they stand for, so a text that is not valid
// UTF-8 comes back exactly as it was stored.
std::string ItemBytes(const QComboBox* list, int index) {
    return list->itemData(index).toByteArray().toStdString();
}

void InsertItem(QComboBox* list, int index, std::string_view text) {
    list->insertItem(index, ToQString(text), QByteArray(text.data(), qsizetype(text.size())));
}

void AddItem(QComboBox* list, std::string_view text) {
    InsertItem(list, list->count(), text);
}

int FindItem(const QComboBox* list, std::string_view text) {
    for (int i = 0; i < list->count(); ++i) {
        if (ItemBytes(list, i) == text)
            return i;
    }
    return -1;
}

// The selected entry's text; empty when nothing is selected.
std::string ReadList(const QComboBox* list) {
    const int index = list->currentIndex();
    return index < 0 ? std::string() : ItemBytes(list, index);
}

// Selects the entry equal to the text; none when there is no such entry.
void WriteList(QComboBox* list, std::string_view text) {
    list->setCurrentIndex(FindItem(list, text));
}

template <std::size_t N>
void AddChoices(QComboBox* list, const std::array<std::string_view, N>& choices) {
    for (std::string_view choice : choices)
        AddItem(list, choice);
}

// Where a stored text that is none of a list's entries goes: number lists
// by value, the category list in its case-insensitive order.
int NumberPlace(const QComboBox* list, std::string_view text) {
    const std::int32_t value = DateTimeText::ReadNumber(text);
    for (int i = 0; i < list->count(); ++i) {
        if (DateTimeText::ReadNumber(ItemBytes(list, i)) > value)
            return i;
    }
    return list->count();
}

int CategoryPlace(const QComboBox* list, std::string_view text) {
    for (int i = 0; i < list->count(); ++i) {
        if (AsciiText::LessIgnoringCase(text, ItemBytes(list, i)))
            return i;
    }
    return list->count();
}

// An edited event keeps a value its lists do not offer (a deleted category,
// a minute or duration written by another program): it joins this dialog's
// list, so the event is stored back with it unless the user picks another.
void OfferStoredValue(QComboBox* list, std::string_view text, bool byCategory) {
    if (text.empty() || FindItem(list, text) >= 0)
        return;
    InsertItem(list, byCategory ? CategoryPlace(list, text) : NumberPlace(list, text), text);
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
    ui_->dateEdit->setDateRange(ToQDate(Calendar::LocalDate(kFirstStorableDateTime)),
                                ToQDate(Calendar::LocalDate(kLastStorableDateTime)));
    for (int hour = 0; hour < EventChoices::kHourCount; ++hour)
        AddItem(ui_->hourCombo, DateTimeText::NumberText(hour));
    AddChoices(ui_->minuteCombo, EventChoices::kMinutes);
    AddChoices(ui_->durationCombo, EventChoices::kDurations);
    AddChoices(ui_->reminderCombo, EventChoices::kReminderLeads);

    connect(ui_->enterButton, &QPushButton::clicked, this, &EventDialog::Enter);
    connect(ui_->clearButton, &QPushButton::clicked, this, &EventDialog::Clear);
    connect(ui_->exitButton, &QPushButton::clicked, this, &EventDialog::Cancel);

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

    Registry().append(this);
    reskin();
}

EventDialog::~EventDialog() {
    Registry().removeAll(this);
    // Dialogs opened from this one point at its members; they go first.
    qDeleteAll(findChildren<QDialog*>(Qt::FindDirectChildrenOnly));
}

void EventDialog::setTitle(const QString& title) {
    title_ = title;
    if (opened_ && !openFailed_)
        ApplyTitle();
}

void EventDialog::ApplyTitle() {
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

bool EventDialog::Open() {
    if (opened_)
        return !openFailed_;
    opened_ = true;
    if (editMode()) {
        if (!events_.MarkOpen(edited_->key())) {
            CloseAtOnce();
            return false;
        }
        ViewEventsDialog::refreshButtonsAll();
    }
    FillCategories();
    if (editMode()) {
        ui_->clearButton->hide();
        ui_->exitButton->hide();
        loadFields(*edited_);
    } else {
        clearFields(true);
    }
    ApplyTitle();
    inputChanged_ = false;
    return true;
}

void EventDialog::CloseAtOnce() {
    openFailed_ = true;
    ended_ = true;
    setResult(kClosedAtOnce);
    // A pop-up goes once its owner is done showing it; it deletes itself.
    if (modeless_ || isVisible())
        QTimer::singleShot(0, this, [this] { SkinnedDialog::done(kClosedAtOnce); });
}

int EventDialog::exec() {
    if (!Open())
        return kClosedAtOnce;
    // Blocks its owners only, so reminder pop-ups stay usable beside it.
    if (windowModality() == Qt::NonModal)
        setWindowModality(Qt::WindowModal);
    return SkinnedDialog::exec();
}

void EventDialog::showEvent(QShowEvent* event) {
    SkinnedDialog::showEvent(event);
    Open();
}

void EventDialog::FillCategories() {
    const Raised writing(writing_);
    std::vector<std::string> names{kNoCategory};
    names.insert(names.end(), categories_.names().begin(), categories_.names().end());
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return AsciiText::LessIgnoringCase(a, b);
    });
    for (const std::string& name : names)
        AddItem(ui_->categoryCombo, name);
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
    event.setRemindMinutes(DateTimeText::ReadNumber(fields_.reminderText));
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
    fields_.reminderText = DateTimeText::NumberText(event.remindMinutes());
    {
        const Raised writing(writing_);
        OfferStoredValue(ui_->hourCombo, fields_.hourText, false);
        OfferStoredValue(ui_->minuteCombo, fields_.minuteText, false);
        OfferStoredValue(ui_->durationCombo, fields_.durationText, false);
        OfferStoredValue(ui_->reminderCombo, fields_.reminderText, false);
        OfferStoredValue(ui_->categoryCombo, fields_.category, true);
    }
    WriteControls();
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
    WriteControls();
}

// The next quarter hour at or after now: a start is never proposed for the
// minute it is proposed in.
void EventDialog::setDefaultTime() {
    DateTime now = clock_.Now();
    const LocalFields local = Calendar::ToLocal(now);
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
            now = Calendar::AddDays(now, 1);  // the next date, even across a clock change
        }
    }
    fields_.date = Storable(now);
    fields_.minuteText = minute;
    fields_.hourText = DateTimeText::NumberText(hour);
}

void EventDialog::ReadControls() {
    // A newly picked date keeps the clock time of the value it replaces.
    const QDate picked = ui_->dateEdit->date();
    const std::int64_t days = Calendar::DayNumber(picked.year(), picked.month(), picked.day()) -
                              Calendar::DayNumber(Calendar::LocalDate(fields_.date));
    if (days != 0)
        fields_.date = Storable(Calendar::AddDays(fields_.date, static_cast<int>(days)));
    fields_.hourText = ReadList(ui_->hourCombo);
    fields_.minuteText = ReadList(ui_->minuteCombo);
    fields_.durationText = ReadList(ui_->durationCombo);
    fields_.category = ReadList(ui_->categoryCombo);
    fields_.reminderText = ReadList(ui_->reminderCombo);
    fields_.remind = ui_->remindCheck->isChecked();
    const QString notes = ui_->notesEdit->toPlainText();
    fields_.notes = notes == shownNotes_ ? shownNotesBytes_ : ToBytes(notes);
}

void EventDialog::WriteControls() {
    const Raised writing(writing_);
    ui_->dateEdit->setDate(ToQDate(Calendar::LocalDate(fields_.date)));
    WriteList(ui_->hourCombo, fields_.hourText);
    WriteList(ui_->minuteCombo, fields_.minuteText);
    WriteList(ui_->durationCombo, fields_.durationText);
    WriteList(ui_->categoryCombo, fields_.category);
    WriteList(ui_->reminderCombo, fields_.reminderText);
    ui_->remindCheck->setChecked(fields_.remind);
    const QString notes = ToQString(fields_.notes);
    if (ui_->notesEdit->toPlainText() != notes)
        ui_->notesEdit->setPlainText(notes);
    shownNotes_ = ui_->notesEdit->toPlainText();
    shownNotesBytes_ = fields_.notes;
}

// ---- the commands ----

std::optional<MessageAnswer> EventDialog::Ask(int id, const std::vector<std::string>& args) {
    const QPointer<EventDialog> self(this);
    const MessageAnswer answer = prompter_.Show(this, id, args);
    if (!self || ended_)
        return std::nullopt;
    return answer;
}

void EventDialog::Enter() {
    if (ended_)
        return;
    ReadControls();
    if (fields_.notes.empty()) {
        prompter_.Show(this, MessageId::kNotesRequired);
        return;
    }
    const Event candidate = fieldsToEvent();
    const bool keepsStart = editMode() && candidate.SameStart(*edited_);
    if (!keepsStart && events_.Find(candidate.key(), true).found) {
        const std::vector<std::string> at{
            DateTimeText::StartTimeText(fields_.hourText, fields_.minuteText)};
        if (Ask(MessageId::kStartTakenEdit, at) != MessageAnswer::Yes)
            return;
        // Looked up again: the list may have changed while the question was up.
        const FindResult found = events_.Find(candidate.key(), true);
        if (!found.found)
            return;
        if (const std::optional<Event> existing = events_.GetAt(found.position))
            EditExisting(*existing);
        return;
    }
    if (!ReviewConflicts(candidate))
        return;
    if (editMode() && candidate.SameContent(*edited_)) {
        ForgetOpenMark();
        done(QDialog::Accepted);
        return;
    }
    if (!StoreEntry(candidate))
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
        WriteControls();
}

// The same start is taken: the event there is opened for editing instead;
// this dialog keeps its input.
void EventDialog::EditExisting(const Event& existing) {
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
bool EventDialog::ReviewConflicts(const Event& candidate) {
    const Event* leftOut = editMode() ? &*edited_ : nullptr;
    const EventList conflicts = events_.Conflicts(candidate, leftOut);
    if (conflicts.IsEmpty())
        return true;
    const std::optional<MessageAnswer> answer = Ask(MessageId::kConflictsFound);
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
bool EventDialog::StoreEntry(const Event& candidate) {
    const bool keepsStart = editMode() && candidate.SameStart(*edited_);
    if (!keepsStart && events_.Find(candidate.key(), true).found) {
        prompter_.Show(this, MessageId::kStartTaken,
                       {DateTimeText::StartTimeText(fields_.hourText, fields_.minuteText)});
        return false;
    }
    if (editMode())
        events_.RemoveByKey(edited_->key());
    if (!events_.Insert(candidate)) {
        if (editMode())
            events_.Insert(*edited_);  // the old event rather than none
        return false;
    }
    return true;
}

void EventDialog::ForgetOpenMark() {
    events_.ClearOpen(edited_->key());
    // A View Events window showing the event offers it again.
    ViewEventsDialog::refreshButtonsAll();
}

void EventDialog::Clear() {
    if (ended_ || !inputChanged_)
        return;
    if (Ask(MessageId::kDiscardInput) != MessageAnswer::Yes)
        return;
    clearFields(true);
    inputChanged_ = false;
}

void EventDialog::Cancel() {
    if (ended_)
        return;
    if (!opened_) {
        // Never shown: nothing of the document was touched, nothing is.
        done(QDialog::Rejected);
        return;
    }
    if (reminderMode()) {
        events_.RemoveByKey(edited_->key());
        const QPointer<EventDialog> self(this);
        ViewEventsDialog::refreshAll();
        if (!self || ended_)
            return;
    } else if (inputChanged_) {
        if (Ask(MessageId::kDiscardInput) != MessageAnswer::Yes)
            return;
        clearFields(true);
        inputChanged_ = false;
    }
    if (editMode())
        ForgetOpenMark();
    done(QDialog::Rejected);
}

void EventDialog::reject() {
    Cancel();
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
        Cancel();
    } else if (focus == ui_->notesEdit) {
        ui_->notesEdit->insertPlainText(QStringLiteral("\n"));
    } else {
        Enter();
    }
}

// ---- the registry ----

QList<EventDialog*> EventDialog::registry() {
    return Registry();
}

void EventDialog::repaintAll() {
    for (EventDialog* dialog : Registry())
        dialog->reskin();
}

void EventDialog::cancelAll() {
    QList<QPointer<EventDialog>> dialogs;
    for (EventDialog* dialog : Registry())
        dialogs.append(dialog);
    for (const QPointer<EventDialog>& dialog : dialogs) {
        if (dialog)
            dialog->Cancel();
    }
}

}  // namespace almanary

#include "events/EventDialog.h"

#include <QComboBox>
#include <QPointer>
#include <QScopedValueRollback>
#include <QTimer>
#include <algorithm>
#include <string_view>

#include "document/DocumentSession.h"
#include "model/AsciiText.h"
#include "model/CategoryList.h"
#include "model/DateTimeText.h"
#include "model/EventChoices.h"
#include "model/EventEntry.h"
#include "model/EventList.h"
#include "platform/AppServices.h"
#include "platform/Clock.h"
#include "platform/TextConversion.h"
#include "ui_EventDialog.h"

namespace almanary {
namespace {

constexpr const char* kEditTitle = "Edit Event";
constexpr const char* kReminderTitle = "Event Reminder";
constexpr const char* kDeleteText = "&Delete";
// The snooze list's choices, in minutes, in the order of the window's list.
constexpr int kSnoozeMinutes[] = {5, 10, 15, 30, 60};

DateTime storable(DateTime value) {
    return std::clamp(value, kFirstStorableDateTime, kLastStorableDateTime);
}

template <std::size_t N>
void addChoices(QComboBox* list, const std::array<std::string_view, N>& choices) {
    for (std::string_view choice : choices)
        ByteList::add(list, choice);
}

// Where a stored text that is none of a list's entries goes: number lists
// by value, the category list in its case-insensitive order.
int numberPlace(const QComboBox* list, std::string_view text) {
    const std::int32_t value = DateTimeText::readNumber(text);
    for (int i = 0; i < list->count(); ++i) {
        if (DateTimeText::readNumber(ByteList::at(list, i)) > value)
            return i;
    }
    return list->count();
}

int categoryPlace(const QComboBox* list, std::string_view text) {
    for (int i = 0; i < list->count(); ++i) {
        if (AsciiText::lessIgnoringCase(text, ByteList::at(list, i)))
            return i;
    }
    return list->count();
}

enum class ListOrder { ByNumber, ByName };

// An edited event keeps a value its lists do not offer (a deleted category,
// a minute or duration written by another program): it joins this dialog's
// list, so the event is stored back with it unless the user picks another.
void offerStoredValue(QComboBox* list, std::string_view text, ListOrder order) {
    if (text.empty() || ByteList::find(list, text) >= 0)
        return;
    const int place =
        order == ListOrder::ByName ? categoryPlace(list, text) : numberPlace(list, text);
    ByteList::insert(list, place, text);
}

}  // namespace

EventDialog::EventDialog(QWidget* owner, DocumentSession& session, const AppServices& services,
                         ConflictReview review)
    : SkinnedDialog(owner),
      ui_(std::make_unique<Ui::EventDialog>()),
      session_(session),
      services_(services),
      review_(std::move(review)),
      mode_(Mode::Enter),
      generation_(session.generation()) {
    buildControls();
}

EventDialog::EventDialog(QWidget* owner, DocumentSession& session, const AppServices& services,
                         ConflictReview review, Mode mode, const Event& edited)
    : SkinnedDialog(owner),
      ui_(std::make_unique<Ui::EventDialog>()),
      session_(session),
      services_(services),
      review_(std::move(review)),
      mode_(mode == Mode::Enter ? Mode::Edit : mode),
      generation_(session.generation()),
      edited_(edited) {
    buildControls();
    if (mode_ == Mode::Reminder) {
        // Shown beside any other window, not run; it goes when it closes.
        // Its close box snoozes.
        setModal(false);
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowFlag(Qt::WindowCloseButtonHint);
    }
}

EventDialog::~EventDialog() {
    // Dialogs opened from this one point at its members; they go first.
    qDeleteAll(findChildren<QDialog*>(Qt::FindDirectChildrenOnly));
}

void EventDialog::buildControls() {
    const QScopedValueRollback writing(writing_, true);
    ui_->setupUi(this);
    // A title bar without system menu or close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    fields_.category = kNoCategory;

    // Only dates a file can hold can be picked.
    ui_->dateEdit->setDateRange(toQDate(Calendar::localDate(kFirstStorableDateTime)),
                                toQDate(Calendar::localDate(kLastStorableDateTime)));
    for (int hour = 0; hour < EventChoices::kHourCount; ++hour)
        ByteList::add(ui_->hourCombo, DateTimeText::numberText(hour));
    addChoices(ui_->minuteCombo, EventChoices::kMinutes);
    addChoices(ui_->durationCombo, EventChoices::kDurations);
    addChoices(ui_->reminderCombo, EventChoices::kReminderLeads);

    const std::initializer_list<QWidget*> notInEveryMode = {ui_->cancelButton, ui_->snoozeButton,
                                                            ui_->snoozeCombo, ui_->dismissButton};
    for (QWidget* widget : notInEveryMode)
        widget->hide();
    // In reminder mode the Exit button deletes.
    const auto exitAction = [this] { mode_ == Mode::Reminder ? deleteEvent() : cancel(); };
    connect(ui_->enterButton, &QPushButton::clicked, this, &EventDialog::enter);
    connect(ui_->clearButton, &QPushButton::clicked, this, &EventDialog::clear);
    connect(ui_->exitButton, &QPushButton::clicked, this, exitAction);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &EventDialog::cancel);
    connect(ui_->snoozeButton, &QPushButton::clicked, this, &EventDialog::snooze);
    connect(ui_->dismissButton, &QPushButton::clicked, this, &EventDialog::dismiss);

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

    // The Enter key acts on the focused control; no button is a default button.
    setEnterKeyTable(
        {
            {ui_->clearButton, [this] { clearFields(true); }},
            {ui_->exitButton, exitAction},
            {ui_->cancelButton, [this] { cancel(); }},
            {ui_->snoozeButton, [this] { snooze(); }},
            {ui_->snoozeCombo, [this] { snooze(); }},
            {ui_->dismissButton, [this] { dismiss(); }},
            {ui_->notesEdit, [this] { ui_->notesEdit->insertPlainText(QStringLiteral("\n")); }},
        },
        [this] { enter(); });

    session_.attach(this, WindowRole::EventWindow);
    reskin();
}

void EventDialog::applyMode() {
    switch (mode_) {
        case Mode::Enter:
            return;
        case Mode::Edit:
            setWindowTitle(QString::fromLatin1(kEditTitle));
            ui_->cancelButton->show();
            return;
        case Mode::Reminder:
            setWindowTitle(QString::fromLatin1(kReminderTitle));
            ui_->exitButton->setText(QString::fromLatin1(kDeleteText));
            ui_->exitButton->show();
            ui_->snoozeButton->show();
            ui_->snoozeCombo->show();
            ui_->dismissButton->show();
            return;
    }
}

bool EventDialog::prepare() {
    if (opened_)
        return !openFailed_;
    opened_ = true;
    if (edited_ && !session_.markOpen(edited_->key())) {
        closeAtOnce();
        return false;
    }
    fillCategories();
    if (edited_) {
        ui_->clearButton->hide();
        ui_->exitButton->hide();
        loadFields(*edited_);
    } else {
        clearFields(true);
    }
    applyMode();
    inputChanged_ = false;
    return true;
}

void EventDialog::closeAtOnce() {
    openFailed_ = true;
    ended_ = true;
    setResult(kClosedAtOnce);
    // A pop-up goes once its owner is done showing it; it deletes itself.
    if (mode_ == Mode::Reminder || isVisible())
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
    const QScopedValueRollback writing(writing_, true);
    for (const std::string& name : session_.categories().choices())
        ByteList::add(ui_->categoryCombo, name);
}

// ---- the fields ----

Event EventDialog::fieldsToEvent() const {
    Event event;
    event.setNotes(fields_.notes);
    event.setHour(fields_.hourText);
    event.setMinute(fields_.minuteText);
    // Only the local date counts; stored at its noon, it survives a move of
    // the file to a zone up to eleven hours away. Set after hour and
    // minute: the key follows them.
    event.setDate(Calendar::noonOf(Calendar::localDate(fields_.date)).value_or(fields_.date));
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
        const QScopedValueRollback writing(writing_, true);
        offerStoredValue(ui_->hourCombo, fields_.hourText, ListOrder::ByNumber);
        offerStoredValue(ui_->minuteCombo, fields_.minuteText, ListOrder::ByNumber);
        offerStoredValue(ui_->durationCombo, fields_.durationText, ListOrder::ByNumber);
        offerStoredValue(ui_->reminderCombo, fields_.reminderText, ListOrder::ByNumber);
        offerStoredValue(ui_->categoryCombo, fields_.category, ListOrder::ByName);
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
    DateTime now = services_.clock.now();
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
    fields_.hourText = ByteList::selected(ui_->hourCombo);
    fields_.minuteText = ByteList::selected(ui_->minuteCombo);
    fields_.durationText = ByteList::selected(ui_->durationCombo);
    fields_.category = ByteList::selected(ui_->categoryCombo);
    fields_.reminderText = ByteList::selected(ui_->reminderCombo);
    fields_.remind = ui_->remindCheck->isChecked();
    const QString notes = ui_->notesEdit->toPlainText();
    fields_.notes = notes == shownNotes_ ? shownNotesBytes_ : toBytes(notes);
}

void EventDialog::writeControls() {
    const QScopedValueRollback writing(writing_, true);
    ui_->dateEdit->setDate(toQDate(Calendar::localDate(fields_.date)));
    ByteList::select(ui_->hourCombo, fields_.hourText);
    ByteList::select(ui_->minuteCombo, fields_.minuteText);
    ByteList::select(ui_->durationCombo, fields_.durationText);
    ByteList::select(ui_->categoryCombo, fields_.category);
    ByteList::select(ui_->reminderCombo, fields_.reminderText);
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
    const MessageAnswer answer = services_.prompter.show(this, id, args);
    if (!self || ended_)
        return std::nullopt;
    return answer;
}

void EventDialog::enter() {
    if (ended_)
        return;
    readControls();
    const Event candidate = fieldsToEvent();
    switch (EventEntry::check(session_.events(), candidate, edited())) {
        case EventEntry::Refusal::NotesRequired:
            services_.prompter.show(this, MessageId::NotesRequired);
            return;
        case EventEntry::Refusal::StartTaken: {
            const std::vector<std::string> at{
                DateTimeText::startTimeText(fields_.hourText, fields_.minuteText)};
            if (ask(MessageId::StartTakenEdit, at) != MessageAnswer::Yes)
                return;
            // Looked up again: the list may have changed while the question was up.
            if (const Event* existing = session_.events().find(candidate.key()))
                editExisting(Event(*existing));
            return;
        }
        case EventEntry::Refusal::None:
            break;
    }
    if (!reviewConflicts(candidate))
        return;
    if (edited_ && candidate.sameContent(*edited_)) {
        forgetOpenMark();
        done(QDialog::Accepted);
        return;
    }
    const QPointer<EventDialog> self(this);
    // Storing tells every browser, whose refresh may end this dialog.
    if (!storeEntry(candidate) || !self || ended_)
        return;
    if (edited_) {
        done(QDialog::Accepted);
        return;
    }
    clearFields(false);
    inputChanged_ = false;
}

// The same start is taken: the event there is opened for editing instead;
// this dialog keeps its input.
void EventDialog::editExisting(const Event& existing) {
    const QPointer<EventDialog> self(this);
    const QPointer<EventDialog> nested =
        new EventDialog(this, session_, services_, review_, Mode::Edit, existing);
    nested->exec();
    if (self)
        delete nested.data();
}

// Offers the events that overlap or touch the candidate for review; the
// entry goes on whatever the answer. False when this dialog ended meanwhile.
bool EventDialog::reviewConflicts(const Event& candidate) {
    const EventList conflicts = EventEntry::conflicts(session_.events(), candidate, edited());
    if (conflicts.isEmpty())
        return true;
    const std::optional<MessageAnswer> answer = ask(MessageId::ConflictsFound);
    if (!answer)
        return false;
    if (*answer != MessageAnswer::Yes)
        return true;
    const QPointer<EventDialog> self(this);
    review_(*this, conflicts, candidate, edited());
    return self && !ended_;
}

bool EventDialog::onItsDocument() {
    if (session_.generation() == generation_)
        return true;
    done(QDialog::Rejected);
    return false;
}

// Replaces the edited event, or adds a new one. False, with nothing
// changed, when another event has come to the new start meanwhile.
bool EventDialog::storeEntry(const Event& candidate) {
    if (!onItsDocument())
        return false;
    switch (session_.storeEvent(candidate, edited())) {
        case EventEntry::Stored::Yes:
            return true;
        case EventEntry::Stored::StartTaken:
            services_.prompter.show(
                this, MessageId::StartTaken,
                {DateTimeText::startTimeText(fields_.hourText, fields_.minuteText)});
            return false;
        case EventEntry::Stored::NoMemory:
            break;
    }
    return false;
}

void EventDialog::forgetOpenMark() {
    // A View Events window showing the event offers it again.
    session_.clearOpen(edited_->key());
}

void EventDialog::clear() {
    if (ended_ || !inputChanged_)
        return;
    if (ask(MessageId::DiscardInput) != MessageAnswer::Yes)
        return;
    clearFields(true);
    inputChanged_ = false;
}

bool EventDialog::mayDiscardInput() {
    if (!inputChanged_)
        return true;
    if (ask(MessageId::DiscardInput) != MessageAnswer::Yes)
        return false;
    clearFields(true);
    inputChanged_ = false;
    return true;
}

void EventDialog::cancel() {
    if (ended_)
        return;
    if (!opened_) {
        // Never shown: nothing of the document was touched, nothing is.
        done(QDialog::Rejected);
        return;
    }
    if (!mayDiscardInput())
        return;
    if (edited_ && session_.generation() == generation_)
        forgetOpenMark();
    done(QDialog::Rejected);
}

void EventDialog::snooze() {
    if (ended_ || mode_ != Mode::Reminder)
        return;
    if (!opened_ || openFailed_) {
        done(QDialog::Rejected);
        return;
    }
    if (!mayDiscardInput())
        return;
    if (session_.generation() == generation_) {
        const int choice = std::max(ui_->snoozeCombo->currentIndex(), 0);
        const DateTime until = services_.clock.now() + kSnoozeMinutes[choice] * 60;
        session_.snooze(edited_->key(), until);
        forgetOpenMark();
    }
    done(QDialog::Rejected);
}

void EventDialog::snoozeShortest() {
    if (ended_ || mode_ != Mode::Reminder)
        return;
    ui_->snoozeCombo->setCurrentIndex(0);
    snooze();
}

void EventDialog::bringForward() {
    showNormal();
    raise();
    activateWindow();
}

void EventDialog::dismiss() {
    if (ended_ || mode_ != Mode::Reminder)
        return;
    // The window's fields, with the reminder ended, entered as usual.
    ui_->remindCheck->setChecked(false);
    enter();
}

void EventDialog::deleteEvent() {
    if (ended_ || !edited_ || !onItsDocument())
        return;
    const Event& event = *edited_;
    const std::optional<MessageAnswer> answer =
        ask(MessageId::DeleteEvent,
            {DateTimeText::dateText(event.date()),
             DateTimeText::timeRangeText(event.hour(), event.minute(), event.duration(),
                                         DateTimeText::getTwelveHourClock()),
             event.notes()});
    if (answer != MessageAnswer::Yes || !onItsDocument())
        return;
    const QPointer<EventDialog> self(this);
    session_.removeEvent(event.key());
    if (self && !ended_)
        done(QDialog::Accepted);
}

void EventDialog::reject() {
    if (mode_ == Mode::Reminder)
        snooze();
    else
        cancel();
}

void EventDialog::done(int result) {
    ended_ = true;
    SkinnedDialog::done(result);
}

}  // namespace almanary

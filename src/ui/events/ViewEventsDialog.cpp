#include "events/ViewEventsDialog.h"

#include <QKeyEvent>
#include <QPointer>
#include <QSignalBlocker>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "app/MessageTable.h"
#include "events/EventDialog.h"
#include "model/AsciiText.h"
#include "model/CategoryList.h"
#include "model/DateTimeText.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "platform/TextConversion.h"
#include "ui_ViewEventsDialog.h"

namespace almanary {
namespace {

constexpr int kPageSize = ViewEventsDialog::kPaneCount;

QList<ViewEventsDialog*>& Registry() {
    static QList<ViewEventsDialog*> dialogs;
    return dialogs;
}

// The registry as guarded pointers: a broadcast step may end or destroy
// dialogs (a message box runs its own event loop), so each is checked when
// its turn comes.
QList<QPointer<ViewEventsDialog>> RegistrySnapshot() {
    QList<QPointer<ViewEventsDialog>> snapshot;
    for (ViewEventsDialog* dialog : Registry())
        snapshot.append(dialog);
    return snapshot;
}

int PageOf(int position) {
    return (position + kPageSize - 1) / kPageSize;
}

QDate ToQDate(const CalendarDate& date) {
    return QDate(date.year, date.month, date.day);
}

}  // namespace

ViewEventsDialog::ViewEventsDialog(QWidget* owner, EventList& events, CategoryList& categories,
                                   Prompter& prompter, const Clock& clock, bool conflictMode)
    : SkinnedDialog(owner),
      ui_(std::make_unique<Ui::ViewEventsDialog>()),
      events_(events),
      categories_(categories),
      prompter_(prompter),
      clock_(clock),
      conflictMode_(conflictMode) {
    ui_->setupUi(this);
    // A title bar without a close box: the dialog ends by Done or Escape.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    paneControls_ = {{{ui_->editButton1, ui_->deleteButton1},
                      {ui_->editButton2, ui_->deleteButton2},
                      {ui_->editButton3, ui_->deleteButton3}}};
    ui_->categoryCombo->hide();
    ui_->commentEdit->hide();
    ui_->searchButton->hide();
    Registry().append(this);
}

ViewEventsDialog::ViewEventsDialog(QWidget* owner, EventList& events, CategoryList& categories,
                                   Prompter& prompter, const Clock& clock)
    : ViewEventsDialog(owner, events, categories, prompter, clock, false) {
    SetPicked(clock_.Now());
    ui_->searchByCombo->setCurrentIndex(static_cast<int>(SearchKind::Date));
    FillCategoryList();
    ConnectControls();
    searchByDate(picked_);
    ui_->datePicker->setFocus();
    reskin();
}

ViewEventsDialog::ViewEventsDialog(QWidget* owner, EventList& events, CategoryList& categories,
                                   Prompter& prompter, const Clock& clock,
                                   const EventList& conflicts, const Event* candidate,
                                   const Event* leftOut)
    : ViewEventsDialog(owner, events, categories, prompter, clock, true) {
    candidate_ = candidate;
    leftOut_ = leftOut;
    results_ = conflicts;
    resultCount_ = results_.Count();
    ui_->searchByCombo->setCurrentIndex(-1);
    ui_->searchByCombo->hide();
    ui_->searchByLabel->hide();
    ui_->datePicker->hide();
    ConnectControls();
    if (resultCount_ > 0) {
        resetPaging();
    } else {
        showNoResults();
    }
    ui_->doneButton->setFocus();
    reskin();
}

ViewEventsDialog::~ViewEventsDialog() {
    Registry().removeAll(this);
}

void ViewEventsDialog::ConnectControls() {
    connect(ui_->searchByCombo, &QComboBox::currentIndexChanged, this,
            &ViewEventsDialog::OnSearchByChanged);
    connect(ui_->datePicker, &QDateEdit::dateChanged, this, &ViewEventsDialog::OnDateChanged);
    connect(ui_->categoryCombo, &QComboBox::activated, this, &ViewEventsDialog::OnCategoryChosen);
    connect(ui_->searchButton, &QPushButton::clicked, this, &ViewEventsDialog::Search);
    connect(ui_->nextButton, &QPushButton::clicked, this, &ViewEventsDialog::Next);
    connect(ui_->prevButton, &QPushButton::clicked, this, &ViewEventsDialog::Prev);
    connect(ui_->doneButton, &QPushButton::clicked, this, &ViewEventsDialog::accept);
    for (int pane = 1; pane <= kPaneCount; ++pane) {
        const PaneControls& controls = paneControls_[static_cast<std::size_t>(pane - 1)];
        connect(controls.edit, &QPushButton::clicked, this, [this, pane] { Edit(pane); });
        connect(controls.remove, &QPushButton::clicked, this, [this, pane] { Delete(pane); });
    }
}

// "<No Category>" and the document's names, alphabetical without regard to
// letter case. Each entry keeps the name's bytes, so a name that is not
// UTF-8 is still searched for exactly.
void ViewEventsDialog::FillCategoryList() {
    std::vector<std::string> names = categories_.names();
    names.emplace_back(kNoCategory);
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return AsciiText::LessIgnoringCase(a, b);
    });
    for (const std::string& name : names) {
        ui_->categoryCombo->addItem(ToQString(name),
                                    QByteArray(name.data(), static_cast<qsizetype>(name.size())));
    }
}

ViewEventsDialog::SearchKind ViewEventsDialog::Kind() const {
    switch (ui_->searchByCombo->currentIndex()) {
        case 1:
            return SearchKind::Category;
        case 2:
            return SearchKind::Comment;
        default:
            return SearchKind::Date;
    }
}

QString ViewEventsDialog::searchBy() const {
    return ui_->searchByCombo->currentText();
}

// ---- data exchange ----

void ViewEventsDialog::ReadControls() {
    const QDate shown = ui_->datePicker->date();
    if (shown != ToQDate(Calendar::LocalDate(picked_))) {
        const LocalFields clock = Calendar::ToLocal(picked_);
        const std::optional<DateTime> value = Calendar::FromLocal(
            shown.year(), shown.month(), shown.day(), clock.hour, clock.minute, clock.second);
        picked_ = value.value_or(
            Calendar::FromLocal(shown.year(), shown.month(), shown.day(), 12).value_or(picked_));
    }
    const QByteArray category = ui_->categoryCombo->currentData().toByteArray();
    categoryText_.assign(category.constData(), static_cast<std::size_t>(category.size()));
    commentText_ = ToBytes(ui_->commentEdit->text());
}

void ViewEventsDialog::WriteControls() {
    const auto show = [](QLineEdit* edit, const std::string& text) {
        edit->setText(ToQString(text));
        edit->setCursorPosition(0);
    };
    const std::array<std::array<QLineEdit*, 3>, kPaneCount> lines = {{
        {ui_->dateEdit1, ui_->timeEdit1, ui_->categoryEdit1},
        {ui_->dateEdit2, ui_->timeEdit2, ui_->categoryEdit2},
        {ui_->dateEdit3, ui_->timeEdit3, ui_->categoryEdit3},
    }};
    const std::array<QPlainTextEdit*, kPaneCount> notes = {ui_->notesEdit1, ui_->notesEdit2,
                                                           ui_->notesEdit3};
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        show(lines[i][0], panes_[i].date);
        show(lines[i][1], panes_[i].time);
        show(lines[i][2], panes_[i].category);
        notes[i]->setPlainText(ToQString(panes_[i].notes));
    }
    show(ui_->pageEdit, pageText_);
    show(ui_->pageCountEdit, pageCountText_);
}

// The picker shows the local date of `value`. A value whose date lies
// outside the picker's range is pulled onto the nearest date it shows.
void ViewEventsDialog::SetPicked(DateTime value) {
    const QSignalBlocker quiet(ui_->datePicker);
    ui_->datePicker->setDate(ToQDate(Calendar::LocalDate(value)));
    picked_ = value;
    ReadControls();
}

// ---- search triggers ----

void ViewEventsDialog::OnSearchByChanged() {
    const SearchKind kind = Kind();
    ui_->datePicker->setVisible(kind == SearchKind::Date);
    ui_->categoryCombo->setVisible(kind == SearchKind::Category);
    ui_->commentEdit->setVisible(kind == SearchKind::Comment);
    ui_->searchButton->setVisible(kind == SearchKind::Comment);
    ReadControls();
    redoSearch(false);
}

void ViewEventsDialog::OnDateChanged() {
    ReadControls();
    searchByDate(picked_);
}

void ViewEventsDialog::OnCategoryChosen() {
    ReadControls();
    searchByCategory(categoryText_);
}

void ViewEventsDialog::Search() {
    if (conflictMode_ || Kind() != SearchKind::Comment)
        return;
    ReadControls();
    searchByComment(commentText_);
}

// ---- searches ----

void ViewEventsDialog::searchByDate(DateTime value) {
    ShowQuery(events_.EventsOnDay(value));
}

void ViewEventsDialog::searchByCategory(const std::string& category) {
    ShowQuery(events_.EventsInCategory(category, false));
}

void ViewEventsDialog::searchByComment(const std::string& text) {
    ShowQuery(events_.SearchNotes(text));
}

void ViewEventsDialog::ShowQuery(EventQuery&& query) {
    results_ = std::move(query.events);
    if (query.found) {
        resetPaging();
    } else {
        showNoResults();
    }
}

void ViewEventsDialog::redoSearch(bool rerunComment) {
    if (conflictMode_) {
        resetPaging();
        return;
    }
    switch (Kind()) {
        case SearchKind::Date:
            searchByDate(picked_);
            return;
        case SearchKind::Category: {
            QComboBox* list = ui_->categoryCombo;
            if (list->count() == 0) {
                results_.Clear();
                showNoResults();
                return;
            }
            if (list->currentIndex() < 0)
                list->setCurrentIndex(0);
            ReadControls();
            searchByCategory(categoryText_);
            return;
        }
        case SearchKind::Comment:
            if (rerunComment) {
                Search();
            } else {
                results_.Clear();
                showNoResults();
            }
            return;
    }
}

// One dialog's part of refreshAll.
void ViewEventsDialog::Refresh() {
    if (!conflictMode_ || candidate_ == nullptr) {
        redoSearch(true);
        return;
    }
    results_ = events_.Conflicts(*candidate_, leftOut_);
    resultCount_ = results_.Count();
    if (resultCount_ > 0) {
        resetPaging();
        return;
    }
    showNoResults();
    prompter_.Show(this, MessageId::kConflictsResolved);
    done(QDialog::Rejected);
}

// ---- paging ----

void ViewEventsDialog::resetPaging() {
    resultCount_ = results_.Count();
    if (resultCount_ == 0) {
        showNoResults();
        return;
    }
    if (firstShown_ > resultCount_) {
        firstShown_ = kPageSize * (PageOf(resultCount_) - 1) + 1;
    } else if (firstShown_ == 0) {
        firstShown_ = 1;
    }
    fillPage();
}

void ViewEventsDialog::showNoResults() {
    panes_.fill({});
    resultCount_ = 0;
    firstShown_ = 0;
    updatePageLabel();
    for (int pane = 1; pane <= kPaneCount; ++pane)
        SetPaneButtons(pane, false);
    WriteControls();
}

void ViewEventsDialog::fillPage() {
    updatePageLabel();
    panes_.fill({});
    const bool twelveHour = DateTimeText::GetTwelveHourClock();
    for (int pane = 1; pane <= kPaneCount; ++pane) {
        const int position = PositionOfPane(pane);
        if (position == 0) {
            SetPaneButtons(pane, false);
            continue;
        }
        const Event& event = Shown(position);
        SetPaneButtons(pane, !event.open());
        PaneTexts& texts = panes_[static_cast<std::size_t>(pane - 1)];
        texts.date = DateTimeText::DateText(event.date());
        texts.time =
            DateTimeText::TimeRangeText(event.hour(), event.minute(), event.duration(), twelveHour);
        texts.category = event.category();
        texts.notes = event.notes();
    }
    WriteControls();
}

void ViewEventsDialog::updatePageLabel() {
    if (resultCount_ == 0) {
        pageText_.clear();
        pageCountText_.clear();
    } else {
        pageText_ = DateTimeText::NumberText(PageOf(firstShown_));
        pageCountText_ = DateTimeText::NumberText(PageOf(resultCount_));
    }
    // A date search pages on into the next and previous days.
    if (!conflictMode_ && Kind() == SearchKind::Date) {
        ui_->prevButton->setEnabled(true);
        ui_->nextButton->setEnabled(true);
        return;
    }
    ui_->prevButton->setEnabled(!pageText_.empty() && pageText_ != "1");
    ui_->nextButton->setEnabled(pageCountText_ != pageText_);
}

void ViewEventsDialog::RefreshButtons() {
    for (int pane = 1; pane <= kPaneCount; ++pane) {
        const int position = PositionOfPane(pane);
        if (position != 0)
            SetPaneButtons(pane, !Shown(position).open());
    }
}

int ViewEventsDialog::PositionOfPane(int pane) const {
    if (firstShown_ == 0)
        return 0;
    const int position = firstShown_ + pane - 1;
    return position <= resultCount_ && position <= results_.Count() ? position : 0;
}

const Event& ViewEventsDialog::Shown(int position) const {
    const Event& result = *results_.NodeAt(position);
    const FindResult stored = events_.Find(result.key(), true);
    return stored.found ? *events_.NodeAt(stored.position) : result;
}

void ViewEventsDialog::SetPaneButtons(int pane, bool enabled) {
    const PaneControls& controls = paneControls_[static_cast<std::size_t>(pane - 1)];
    controls.edit->setEnabled(enabled);
    controls.remove->setEnabled(enabled);
}

void ViewEventsDialog::Next() {
    if (firstShown_ + kPageSize <= resultCount_) {
        firstShown_ += kPageSize;
        fillPage();
    } else if (!conflictMode_ && Kind() == SearchKind::Date) {
        MoveDate(1);
    }
}

void ViewEventsDialog::Prev() {
    if (firstShown_ - kPageSize > 0) {
        firstShown_ -= kPageSize;
        fillPage();
    } else if (!conflictMode_ && Kind() == SearchKind::Date) {
        MoveDate(-1);
    }
}

// One calendar day on or back, the same clock time, so a change of UTC
// offset never repeats or skips a date. At the ends of the picker's range
// the date stays.
void ViewEventsDialog::MoveDate(int days) {
    ReadControls();
    const DateTime moved = Calendar::AddDays(picked_, days);
    const QDate date = ToQDate(Calendar::LocalDate(moved));
    if (date < ui_->datePicker->minimumDate() || date > ui_->datePicker->maximumDate())
        return;
    SetPicked(moved);
    searchByDate(picked_);
}

// ---- pane buttons ----

void ViewEventsDialog::Edit(int pane) {
    const int position = PositionOfPane(pane);
    if (position == 0)
        return;
    const Event event = Shown(position);
    {
        EventDialog editor(this, events_, categories_, prompter_, clock_, event);
        editor.setTitle(QStringLiteral("Edit Event"));
        editor.setBackground(background());
        editor.exec();
    }
    if (ended_)
        return;
    if (!conflictMode_) {
        redoSearch(true);
    } else if (resultCount_ != 0) {
        fillPage();
    }
}

void ViewEventsDialog::Delete(int pane) {
    const int position = PositionOfPane(pane);
    if (position == 0)
        return;
    const StartKey key = results_.NodeAt(position)->key();
    // The mark keeps a reminder from opening on the event while the question
    // is up. An event another window already holds is left to that window.
    const bool marked = events_.MarkOpen(key);
    if (!marked && events_.Find(key, true).found) {
        RefreshButtons();
        return;
    }
    const MessageAnswer answer = prompter_.Show(this, MessageId::kDeleteEvent);
    if (marked)
        events_.ClearOpen(key);
    // A load may have closed the dialog while the question was up.
    if (answer != MessageAnswer::Yes || ended_)
        return;
    results_.RemoveByKey(key);
    if (!events_.RemoveByKey(key)) {
        prompter_.Show(this, MessageId::kFatalError);
        done(kFatal);
        return;
    }
    resultCount_ = results_.Count();
    if (conflictMode_ && resultCount_ == 0) {
        showNoResults();
        prompter_.Show(this, MessageId::kConflictsResolved);
        done(QDialog::Rejected);
        return;
    }
    refreshAll();
    if (ended_)
        return;
    if (resultCount_ != 0) {
        resetPaging();
    } else {
        showNoResults();
    }
}

// ---- keys and ending ----

void ViewEventsDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        SkinnedDialog::keyPressEvent(event);  // Escape ends the dialog with Cancel
        return;
    }
    const QWidget* focused = focusWidget();
    if (focused == ui_->nextButton) {
        Next();
    } else if (focused == ui_->prevButton) {
        Prev();
    } else if (focused == ui_->commentEdit) {
        Search();
    } else if (focused == ui_->doneButton) {
        accept();
    } else {
        for (int pane = 1; pane <= kPaneCount; ++pane) {
            const PaneControls& controls = paneControls_[static_cast<std::size_t>(pane - 1)];
            if (focused == controls.edit)
                return Edit(pane);
            if (focused == controls.remove)
                return Delete(pane);
        }
    }
}

void ViewEventsDialog::done(int result) {
    ended_ = true;
    SkinnedDialog::done(result);
}

// ---- the registry ----

QList<ViewEventsDialog*> ViewEventsDialog::registry() {
    return Registry();
}

// Every live dialog is brought up to date, even after one of them has
// closed itself: a dialog left stale could offer an event that is gone.
void ViewEventsDialog::refreshAll() {
    for (const QPointer<ViewEventsDialog>& dialog : RegistrySnapshot()) {
        if (dialog && !dialog->ended_)
            dialog->Refresh();
    }
}

void ViewEventsDialog::refreshButtonsAll() {
    for (const QPointer<ViewEventsDialog>& dialog : RegistrySnapshot()) {
        if (dialog && !dialog->ended_)
            dialog->RefreshButtons();
    }
}

void ViewEventsDialog::repaintAll() {
    for (const QPointer<ViewEventsDialog>& dialog : RegistrySnapshot()) {
        if (dialog)
            dialog->reskin();
    }
}

void ViewEventsDialog::closeAll() {
    for (const QPointer<ViewEventsDialog>& dialog : RegistrySnapshot()) {
        if (dialog && !dialog->ended_)
            dialog->accept();
    }
}

}  // namespace almanary

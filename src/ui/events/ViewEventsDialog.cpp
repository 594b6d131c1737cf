#include "events/ViewEventsDialog.h"

#include <QPointer>
#include <QSignalBlocker>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "app/MessageTable.h"
#include "document/DocumentSession.h"
#include "events/EventDialog.h"
#include "model/CategoryEditor.h"
#include "model/CategoryList.h"
#include "model/DateTimeText.h"
#include "platform/AppServices.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "platform/TextConversion.h"
#include "print/PrintResults.h"
#include "ui_ViewEventsDialog.h"

namespace almanary {
namespace {

constexpr int kPageSize = ViewEventsDialog::kPaneCount;

int pageOf(int position) {
    return (position + kPageSize - 1) / kPageSize;
}

}  // namespace

ViewEventsDialog::ViewEventsDialog(QWidget* owner, DocumentSession& session,
                                   const AppServices& services, bool conflictMode)
    : SkinnedDialog(owner),
      ui_(std::make_unique<Ui::ViewEventsDialog>()),
      session_(session),
      services_(services),
      generation_(session.generation()),
      conflictMode_(conflictMode) {
    ui_->setupUi(this);
    // A title bar without a close box: the dialog ends by Done or Escape.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    paneControls_ = {{{ui_->editButton1, ui_->deleteButton1},
                      {ui_->editButton2, ui_->deleteButton2},
                      {ui_->editButton3, ui_->deleteButton3}}};
    ui_->conflictLabel->hide();
    arrangePanes();
    buildEnterKeyTable();
    session_.attach(this, WindowRole::Browser);
    // Every browser follows the document, even after another has closed
    // itself: one left stale could offer an event that is gone.
    connect(&session_, &DocumentSession::eventsChanged, this, [this] {
        if (!ended_)
            refresh();
    });
    connect(&session_, &DocumentSession::openMarksChanged, this, [this] {
        if (!ended_)
            refreshButtons();
    });
    connect(&session_, &DocumentSession::clockChanged, this, [this] {
        if (!ended_)
            showTimesAgain();
    });
}

ViewEventsDialog::ViewEventsDialog(QWidget* owner, DocumentSession& session,
                                   const AppServices& services)
    : ViewEventsDialog(owner, session, services, false) {
    setPicked(services_.clock.now());
    ui_->searchByCombo->setCurrentIndex(static_cast<int>(SearchKind::Date));
    fillCategoryList();
    connectControls();
    searchByDate(picked_);
    ui_->datePicker->setFocus();
    reskin();
}

ViewEventsDialog::ViewEventsDialog(QWidget* owner, DocumentSession& session,
                                   const AppServices& services, const EventList& conflicts,
                                   const Event* candidate, const Event* leftOut)
    : ViewEventsDialog(owner, session, services, true) {
    candidate_ = candidate;
    leftOut_ = leftOut;
    results_ = conflicts;
    resultCount_ = results_.count();
    ui_->searchByCombo->setCurrentIndex(-1);
    ui_->searchByCombo->hide();
    ui_->searchByLabel->hide();
    ui_->searchPlaceStack->hide();
    ui_->printButton->hide();  // a list of conflicts is not printed
    showCandidate();
    ui_->conflictLabel->show();
    connectControls();
    if (resultCount_ > 0) {
        resetPaging();
    } else {
        showNoResults();
    }
    ui_->doneButton->setFocus();
    reskin();
}

ViewEventsDialog::~ViewEventsDialog() = default;

void ViewEventsDialog::reviewConflicts(EventDialog& editor, const EventList& conflicts,
                                       const Event& candidate, const Event* leftOut) {
    const QPointer<EventDialog> self(&editor);
    const QPointer<ViewEventsDialog> view = new ViewEventsDialog(
        &editor, editor.session(), editor.services(), conflicts, &candidate, leftOut);
    view->setWindowModality(Qt::WindowModal);
    view->exec();
    // A load may have closed the editor meanwhile, and the view with it.
    if (self)
        delete view.data();
}

// Says which new event the list is checked against.
void ViewEventsDialog::showCandidate() {
    ui_->conflictLabel->setText(
        QStringLiteral("Overlapping or touching the new event on %1, %2: %3")
            .arg(toQString(DateTimeText::dateText(candidate_->date())),
                 toQString(DateTimeText::timeRangeText(candidate_->hour(), candidate_->minute(),
                                                       candidate_->duration(),
                                                       DateTimeText::getTwelveHourClock())),
                 toQString(candidate_->notes()).section(QLatin1Char('\n'), 0, 0)));
}

void ViewEventsDialog::showTimesAgain() {
    if (conflictMode_ && candidate_ != nullptr)
        showCandidate();
    if (resultCount_ > 0)
        fillPage();
}

void ViewEventsDialog::connectControls() {
    connect(ui_->searchByCombo, &QComboBox::currentIndexChanged, this,
            &ViewEventsDialog::onSearchByChanged);
    connect(ui_->datePicker, &QDateEdit::dateChanged, this, &ViewEventsDialog::onDateChanged);
    connect(ui_->categoryCombo, &QComboBox::activated, this, &ViewEventsDialog::onCategoryChosen);
    connect(ui_->searchButton, &QPushButton::clicked, this, &ViewEventsDialog::search);
    connect(ui_->nextButton, &QPushButton::clicked, this, &ViewEventsDialog::next);
    connect(ui_->prevButton, &QPushButton::clicked, this, &ViewEventsDialog::prev);
    connect(ui_->doneButton, &QPushButton::clicked, this, &ViewEventsDialog::accept);
    connect(ui_->printButton, &QPushButton::clicked, this, &ViewEventsDialog::print);
    for (int pane = 1; pane <= kPaneCount; ++pane) {
        const PaneControls& controls = paneControls_[static_cast<std::size_t>(pane - 1)];
        connect(controls.edit, &QPushButton::clicked, this, [this, pane] { edit(pane); });
        connect(controls.remove, &QPushButton::clicked, this, [this, pane] { deleteEvent(pane); });
    }
}

void ViewEventsDialog::arrangePanes() {
    const std::initializer_list<QWidget*> readOnly = {
        ui_->dateEdit1, ui_->timeEdit1,    ui_->categoryEdit1, ui_->notesEdit1,
        ui_->dateEdit2, ui_->timeEdit2,    ui_->categoryEdit2, ui_->notesEdit2,
        ui_->dateEdit3, ui_->timeEdit3,    ui_->categoryEdit3, ui_->notesEdit3,
        ui_->pageEdit,  ui_->pageCountEdit};
    for (QWidget* widget : readOnly)
        widget->setFocusPolicy(Qt::ClickFocus);  // still selectable with the mouse
    // A category name of the longest kind is shown whole.
    const QString longest(static_cast<qsizetype>(CategoryEditor::kMaxLength), QLatin1Char('M'));
    for (QLineEdit* edit : {ui_->categoryEdit1, ui_->categoryEdit2, ui_->categoryEdit3}) {
        const QMargins margins = edit->textMargins() + edit->contentsMargins();
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(longest) + margins.left() +
                              margins.right() + 8);
    }
}

bool ViewEventsDialog::onItsDocument() {
    if (session_.generation() == generation_)
        return true;
    done(QDialog::Rejected);
    return false;
}

// The Enter key acts on the focused control; elsewhere it does nothing.
void ViewEventsDialog::buildEnterKeyTable() {
    std::vector<EnterKeyAction> table = {
        {ui_->nextButton, [this] { next(); }},
        {ui_->prevButton, [this] { prev(); }},
        {ui_->commentEdit, [this] { search(); }},
        {ui_->doneButton, [this] { accept(); }},
    };
    for (int pane = 1; pane <= kPaneCount; ++pane) {
        const PaneControls& controls = paneControls_[static_cast<std::size_t>(pane - 1)];
        table.push_back({controls.edit, [this, pane] { edit(pane); }});
        table.push_back({controls.remove, [this, pane] { deleteEvent(pane); }});
    }
    setEnterKeyTable(std::move(table), {});
}

// "<No Category>" and the document's names, alphabetical without regard to
// letter case. Each entry keeps the name's bytes, so a name that is not
// UTF-8 is still searched for exactly.
void ViewEventsDialog::fillCategoryList() {
    for (const std::string& name : session_.categories().choices())
        ByteList::add(ui_->categoryCombo, name);
}

ViewEventsDialog::SearchKind ViewEventsDialog::kind() const {
    switch (ui_->searchByCombo->currentIndex()) {
        case 1:
            return SearchKind::Category;
        case 2:
            return SearchKind::Comment;
        default:
            return SearchKind::Date;
    }
}

// ---- data exchange ----

void ViewEventsDialog::readControls() {
    const QDate shown = ui_->datePicker->date();
    if (shown != toQDate(Calendar::localDate(picked_))) {
        const LocalFields clock = Calendar::toLocal(picked_);
        const std::optional<DateTime> value = Calendar::fromLocal(
            shown.year(), shown.month(), shown.day(), clock.hour, clock.minute, clock.second);
        picked_ = value.value_or(
            Calendar::fromLocal(shown.year(), shown.month(), shown.day(), 12).value_or(picked_));
    }
    categoryText_ = ByteList::selected(ui_->categoryCombo);
    commentText_ = toBytes(ui_->commentEdit->text());
}

void ViewEventsDialog::writeControls() {
    const auto show = [](QLineEdit* edit, const std::string& text) {
        edit->setText(toQString(text));
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
        notes[i]->setPlainText(toQString(panes_[i].notes));
    }
    show(ui_->pageEdit, pageText_);
    show(ui_->pageCountEdit, pageCountText_);
}

// The picker shows the local date of `value`. A value whose date lies
// outside the picker's range is pulled onto the nearest date it shows.
void ViewEventsDialog::setPicked(DateTime value) {
    const QSignalBlocker quiet(ui_->datePicker);
    ui_->datePicker->setDate(toQDate(Calendar::localDate(value)));
    picked_ = value;
    readControls();
}

// ---- search triggers ----

void ViewEventsDialog::onSearchByChanged() {
    // One page of a stack per kind, so the window keeps its size.
    ui_->searchPlaceStack->setCurrentIndex(static_cast<int>(kind()));
    readControls();
    redoSearch(false);
}

void ViewEventsDialog::onDateChanged() {
    readControls();
    searchByDate(picked_);
}

void ViewEventsDialog::onCategoryChosen() {
    readControls();
    searchByCategory(categoryText_);
}

void ViewEventsDialog::search() {
    if (conflictMode_ || kind() != SearchKind::Comment)
        return;
    readControls();
    searchByComment(commentText_);
}

// ---- searches ----

void ViewEventsDialog::searchByDate(DateTime value) {
    emptyText_ = QStringLiteral("No events on %1.").arg(toQString(DateTimeText::dateText(value)));
    showResults(session_.events().eventsOnDay(value));
}

void ViewEventsDialog::searchByCategory(const std::string& category) {
    emptyText_ = QStringLiteral("No events in the category %1.").arg(toQString(category));
    showResults(session_.events().eventsInCategory(category));
}

void ViewEventsDialog::searchByComment(const std::string& text) {
    emptyText_ =
        QStringLiteral("No events with \u201c%1\u201d in their notes.").arg(toQString(text));
    showResults(session_.events().searchNotes(text));
}

void ViewEventsDialog::showResults(EventList&& found) {
    results_ = std::move(found);
    if (!results_.isEmpty()) {
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
    switch (kind()) {
        case SearchKind::Date:
            searchByDate(picked_);
            return;
        case SearchKind::Category: {
            QComboBox* list = ui_->categoryCombo;
            if (list->count() == 0) {
                results_.clear();
                showNoResults();
                return;
            }
            if (list->currentIndex() < 0)
                list->setCurrentIndex(0);
            readControls();
            searchByCategory(categoryText_);
            return;
        }
        case SearchKind::Comment:
            if (rerunComment) {
                search();
            } else {
                emptyText_.clear();  // nothing searched for yet
                results_.clear();
                showNoResults();
            }
            return;
    }
}

// One dialog's part of refreshAll.
void ViewEventsDialog::refresh() {
    if (!conflictMode_ || candidate_ == nullptr) {
        redoSearch(true);
        return;
    }
    results_ = session_.events().conflicts(*candidate_, leftOut_);
    resultCount_ = results_.count();
    if (resultCount_ > 0) {
        resetPaging();
        return;
    }
    showNoResults();
    services_.prompter.show(this, MessageId::ConflictsResolved);
    done(QDialog::Rejected);
}

// ---- paging ----

void ViewEventsDialog::resetPaging() {
    resultCount_ = results_.count();
    if (resultCount_ == 0) {
        showNoResults();
        return;
    }
    if (firstShown_ > resultCount_) {
        firstShown_ = kPageSize * (pageOf(resultCount_) - 1) + 1;
    } else if (firstShown_ == 0) {
        firstShown_ = 1;
    }
    fillPage();
}

void ViewEventsDialog::showNoResults() {
    ui_->notesEdit1->setPlaceholderText(emptyText_);
    panes_.fill({});
    resultCount_ = 0;
    firstShown_ = 0;
    updatePageLabel();
    for (int pane = 1; pane <= kPaneCount; ++pane)
        setPaneButtons(pane, false);
    writeControls();
}

void ViewEventsDialog::fillPage() {
    ui_->notesEdit1->setPlaceholderText({});
    updatePageLabel();
    panes_.fill({});
    const bool twelveHour = DateTimeText::getTwelveHourClock();
    for (int pane = 1; pane <= kPaneCount; ++pane) {
        const int position = positionOfPane(pane);
        if (position == 0) {
            setPaneButtons(pane, false);
            continue;
        }
        const Event& event = shown(position);
        setPaneButtons(pane, !event.open());
        PaneTexts& texts = panes_[static_cast<std::size_t>(pane - 1)];
        texts.date = DateTimeText::dateText(event.date());
        texts.time =
            DateTimeText::timeRangeText(event.hour(), event.minute(), event.duration(), twelveHour);
        texts.category = event.category();
        texts.notes = event.notes();
    }
    writeControls();
}

void ViewEventsDialog::updatePageLabel() {
    ui_->printButton->setEnabled(!conflictMode_ && resultCount_ > 0);
    if (resultCount_ == 0) {
        pageText_.clear();
        pageCountText_.clear();
    } else {
        pageText_ = DateTimeText::numberText(pageOf(firstShown_));
        pageCountText_ = DateTimeText::numberText(pageOf(resultCount_));
    }
    // A date search pages on into the next and previous days.
    if (!conflictMode_ && kind() == SearchKind::Date) {
        ui_->prevButton->setEnabled(true);
        ui_->nextButton->setEnabled(true);
        return;
    }
    ui_->prevButton->setEnabled(!pageText_.empty() && pageText_ != "1");
    ui_->nextButton->setEnabled(pageCountText_ != pageText_);
}

void ViewEventsDialog::refreshButtons() {
    for (int pane = 1; pane <= kPaneCount; ++pane) {
        const int position = positionOfPane(pane);
        if (position != 0)
            setPaneButtons(pane, !shown(position).open());
    }
}

int ViewEventsDialog::positionOfPane(int pane) const {
    if (firstShown_ == 0)
        return 0;
    const int position = firstShown_ + pane - 1;
    return position <= resultCount_ && position <= results_.count() ? position : 0;
}

const Event& ViewEventsDialog::shown(int position) const {
    const Event& result = results_.at(position - 1);
    const Event* stored = session_.events().find(result.key());
    return stored != nullptr ? *stored : result;
}

void ViewEventsDialog::setPaneButtons(int pane, bool enabled) {
    const PaneControls& controls = paneControls_[static_cast<std::size_t>(pane - 1)];
    controls.edit->setEnabled(enabled);
    controls.remove->setEnabled(enabled);
}

void ViewEventsDialog::next() {
    if (firstShown_ + kPageSize <= resultCount_) {
        firstShown_ += kPageSize;
        fillPage();
    } else if (!conflictMode_ && kind() == SearchKind::Date) {
        moveDate(1);
    }
}

void ViewEventsDialog::prev() {
    if (firstShown_ - kPageSize > 0) {
        firstShown_ -= kPageSize;
        fillPage();
    } else if (!conflictMode_ && kind() == SearchKind::Date) {
        moveDate(-1);
    }
}

// One calendar day on or back, the same clock time, so a change of UTC
// offset never repeats or skips a date. At the ends of the picker's range
// the date stays.
void ViewEventsDialog::moveDate(int days) {
    readControls();
    const DateTime moved = Calendar::addDays(picked_, days);
    const QDate date = toQDate(Calendar::localDate(moved));
    if (date < ui_->datePicker->minimumDate() || date > ui_->datePicker->maximumDate())
        return;
    setPicked(moved);
    searchByDate(picked_);
}

// ---- printing ----

void ViewEventsDialog::print() {
    if (conflictMode_ || resultCount_ == 0)
        return;
    PrintResults::run(this, session_, services_, results_, printHeading());
}

// What was searched for: the date or category as the first pane shows it
// (a date search pages on into other days, so the date is the one on
// screen), or the words of the last notes search.
ResultsHeading ViewEventsDialog::printHeading() const {
    switch (kind()) {
        case SearchKind::Date:
            return {ResultsHeading::Kind::Date, panes_[0].date};
        case SearchKind::Category:
            return {ResultsHeading::Kind::Category, panes_[0].category};
        case SearchKind::Comment:
            return {ResultsHeading::Kind::Comment, commentText_};
    }
    return {};
}

// ---- pane buttons ----

void ViewEventsDialog::edit(int pane) {
    if (!onItsDocument())
        return;
    const int position = positionOfPane(pane);
    if (position == 0)
        return;
    const Event event = shown(position);
    {
        EventDialog editor(this, session_, services_, &ViewEventsDialog::reviewConflicts,
                           EventDialog::Mode::Edit, event);
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

void ViewEventsDialog::deleteEvent(int pane) {
    if (!onItsDocument())
        return;
    const int position = positionOfPane(pane);
    if (position == 0)
        return;
    const StartKey key = results_.at(position - 1).key();
    // The mark keeps a reminder from opening on the event while the question
    // is up. An event another window already holds is left to that window.
    const bool marked = session_.markOpen(key);
    if (!marked && session_.events().find(key) != nullptr) {
        refreshButtons();
        return;
    }
    const Event& event = shown(position);
    const MessageAnswer answer = services_.prompter.show(
        this, MessageId::DeleteEvent,
        {DateTimeText::dateText(event.date()),
         DateTimeText::timeRangeText(event.hour(), event.minute(), event.duration(),
                                     DateTimeText::getTwelveHourClock()),
         event.notes()});
    if (marked)
        session_.clearOpen(key);
    // A load may have closed the dialog while the question was up.
    if (answer != MessageAnswer::Yes || ended_ || !onItsDocument())
        return;
    results_.removeByKey(key);
    const QPointer<ViewEventsDialog> self(this);
    // Every browser, this one too, searches again; a conflict list left
    // empty says so and closes itself.
    if (!session_.removeEvent(key)) {
        services_.prompter.show(this, MessageId::FatalError);
        done(kFatal);
        return;
    }
    if (!self || ended_)
        return;
    if (resultCount_ != 0) {
        resetPaging();
    } else {
        showNoResults();
    }
}

// ---- keys and ending ----

void ViewEventsDialog::done(int result) {
    ended_ = true;
    SkinnedDialog::done(result);
}

}  // namespace almanary

// View Events: paging, the searches by date, category and notes, delete,
// the open-mark buttons, conflict mode and the Enter-key table.

#include "events/ViewEventsDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/MessageTable.h"
#include "events/EventDialog.h"
#include "model/CategoryList.h"
#include "model/DateTimeText.h"
#include "skins/CCustomButton.h"
#include "support/FakeClock.h"
#include "support/FakePrompter.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"

namespace almanary::testing {
namespace {

using Ids = std::vector<int>;
using Texts = std::vector<QString>;

// New York's rules without the zone database: the spring day has 23 hours,
// the autumn day 25.
constexpr const char* kZone = "EST5EDT,M3.2.0,M11.1.0";

class ViewEventsTest : public ::testing::Test {
protected:
    ViewEventsTest() {
        DateTimeText::SetTwelveHourClock(false);
        clock.Set(LocalTime(2024, 3, 1, 12));
    }
    ~ViewEventsTest() override { DateTimeText::SetTwelveHourClock(false); }

    // `count` events on one day, every quarter hour from 9:00, 30 minutes
    // long, with notes "<tag>1", "<tag>2", ...
    void AddDay(int year, int month, int day, int count, const std::string& tag,
                const std::string& category = "") {
        for (int i = 0; i < count; ++i) {
            const int minutes = 9 * 60 + 15 * i;
            events.Insert(MakeEvent({year, month, day, std::to_string(minutes / 60),
                                     minutes % 60 == 0 ? "00" : std::to_string(minutes % 60),
                                     tag + std::to_string(i + 1), "30", category}));
        }
        events.SetModified(false);
    }

    ViewEventsDialog& Open() {
        dialog = std::make_unique<ViewEventsDialog>(nullptr, events, categories, prompter, clock);
        return *dialog;
    }

    template <typename T>
    T* Find(const char* name) const {
        T* widget = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
    QString Line(const char* name) const { return Find<QLineEdit>(name)->text(); }
    QString Page() const { return Line("pageEdit") + " of " + Line("pageCountEdit"); }

    Texts PaneNotes() const {
        Texts notes;
        for (const char* name : {"notesEdit1", "notesEdit2", "notesEdit3"})
            notes.push_back(Find<QPlainTextEdit>(name)->toPlainText());
        return notes;
    }

    // Whether Edit and X of each pane can be pressed.
    std::vector<bool> PaneButtons() const {
        std::vector<bool> enabled;
        for (int pane = 1; pane <= 3; ++pane) {
            const std::string k = std::to_string(pane);
            const bool edit = Button(("editButton" + k).c_str())->isEnabled();
            const bool remove = Button(("deleteButton" + k).c_str())->isEnabled();
            EXPECT_EQ(edit, remove) << "pane " << pane;
            enabled.push_back(edit);
        }
        return enabled;
    }

    QDate Picked() const { return Find<QDateEdit>("datePicker")->date(); }

    void SearchBy(const char* kind) {
        QComboBox* list = Find<QComboBox>("searchByCombo");
        list->setCurrentIndex(list->findText(QString::fromLatin1(kind)));
    }

    // Picks an entry of the category list as the user does.
    void ChooseCategory(const QString& name) {
        QComboBox* list = Find<QComboBox>("categoryCombo");
        const int index = list->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
        ASSERT_GE(index, 0) << name.toStdString();
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    void SearchComment(const char* text) {
        Find<QLineEdit>("commentEdit")->setText(QString::fromLatin1(text));
        QTest::mouseClick(Button("searchButton"), Qt::LeftButton);
    }

    // Shows the dialog, so keys reach its focused control.
    void ShowAndFocus(QWidget* widget) {
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        widget->setFocus();
        ASSERT_EQ(dialog->focusWidget(), widget);
    }

    // Acts on the event editor once it runs, from inside its modal loop.
    void WhenEditorOpens(std::function<void(EventDialog&)> act) {
        QTimer::singleShot(0, dialog.get(), [this, act] {
            EventDialog* editor = dialog->findChild<EventDialog*>();
            if (editor == nullptr || !editor->isVisible()) {
                ADD_FAILURE() << "no event editor on screen";
                return;
            }
            act(*editor);
        });
    }

    // Moves the edited event to another hour and enters it.
    static void MoveTo(EventDialog& editor, const char* hour) {
        auto* hours = editor.findChild<QComboBox*>("hourCombo");
        hours->setCurrentIndex(hours->findText(QString::fromLatin1(hour)));
        QTest::mouseClick(editor.findChild<QPushButton*>("enterButton"), Qt::LeftButton);
    }

    ScopedTimeZone zone{kZone};
    EventList events;
    CategoryList categories;
    FakePrompter prompter;
    FakeClock clock;
    std::unique_ptr<ViewEventsDialog> dialog;
};

// ---- the window ----

TEST_F(ViewEventsTest, ShowsItsControlsWithTheirTextsAndNoDefaultButton) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), "View Events");
    EXPECT_EQ(Find<QLabel>("searchByLabel")->text(), "Search By:");
    QComboBox* searchBy = Find<QComboBox>("searchByCombo");
    ASSERT_EQ(searchBy->count(), 3);
    EXPECT_EQ(searchBy->itemText(0), "Date");
    EXPECT_EQ(searchBy->itemText(1), "Category");
    EXPECT_EQ(searchBy->itemText(2), "Comment");
    EXPECT_EQ(dialog->searchBy(), "Date");
    const struct {
        const char* name;
        const char* text;
    } buttons[] = {{"searchButton", "&Search"}, {"prevButton", "&Prev"},  {"nextButton", "&Next"},
                   {"editButton1", "Edit"},     {"editButton2", "Edit"},  {"editButton3", "Edit"},
                   {"deleteButton1", "X"},      {"deleteButton2", "X"},   {"deleteButton3", "X"},
                   {"doneButton", "&Done"},     {"printButton", "P&rint"}};
    for (const auto& spec : buttons) {
        SCOPED_TRACE(spec.name);
        auto* button = qobject_cast<CCustomButton*>(Button(spec.name));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), spec.text);
        EXPECT_FALSE(button->autoDefault());
        EXPECT_FALSE(button->isDefault());
    }
    // Printing the results is not there yet, and the button says so.
    EXPECT_FALSE(Button("printButton")->isEnabled());
    for (const char* name : {"dateEdit1", "timeEdit2", "categoryEdit3", "pageEdit"})
        EXPECT_TRUE(Find<QLineEdit>(name)->isReadOnly()) << name;
    EXPECT_TRUE(Find<QPlainTextEdit>("notesEdit2")->isReadOnly());
    QDateEdit* picker = Find<QDateEdit>("datePicker");
    EXPECT_TRUE(picker->calendarPopup());
    // Only dates an almanary file can keep are offered.
    EXPECT_EQ(picker->minimumDate(), QDate(1970, 1, 1));
    EXPECT_EQ(picker->maximumDate(), QDate(2106, 2, 7));
    EXPECT_TRUE(ViewEventsDialog::registry().contains(dialog.get()));
    dialog.reset();
    EXPECT_TRUE(ViewEventsDialog::registry().isEmpty());
}

TEST_F(ViewEventsTest, SwitchingTheSearchShowsOnlyItsOwnInputs) {
    Open();
    const struct {
        const char* kind;
        bool date, category, comment;
    } cases[] = {{"Comment", false, false, true},
                 {"Category", false, true, false},
                 {"Date", true, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        SearchBy(c.kind);
        EXPECT_EQ(dialog->searchBy(), c.kind);
        EXPECT_EQ(!Find<QDateEdit>("datePicker")->isHidden(), c.date);
        EXPECT_EQ(!Find<QComboBox>("categoryCombo")->isHidden(), c.category);
        EXPECT_EQ(!Find<QLineEdit>("commentEdit")->isHidden(), c.comment);
        EXPECT_EQ(!Button("searchButton")->isHidden(), c.comment);
    }
}

// ---- search by date ----

TEST_F(ViewEventsTest, SevenEventsOfTodayMakeThreePagesTheLastWithOnePane) {
    AddDay(2024, 2, 29, 2, "before");
    AddDay(2024, 3, 1, 7, "e");
    AddDay(2024, 3, 2, 2, "after");
    Open();
    EXPECT_EQ(Picked(), QDate(2024, 3, 1));
    EXPECT_EQ(dialog->resultCount(), 7);
    EXPECT_EQ(Page(), "1 of 3");
    EXPECT_EQ(PaneNotes(), (Texts{"e1", "e2", "e3"}));
    EXPECT_EQ(Line("dateEdit1"), "3/1/2024");
    EXPECT_EQ(Line("timeEdit1"), "9:00 - 9:30");
    EXPECT_EQ(Line("timeEdit3"), "9:30 - 10:00");
    EXPECT_EQ(PaneButtons(), (std::vector<bool>{true, true, true}));

    QTest::mouseClick(Button("nextButton"), Qt::LeftButton);
    EXPECT_EQ(Page(), "2 of 3");
    EXPECT_EQ(PaneNotes(), (Texts{"e4", "e5", "e6"}));

    QTest::mouseClick(Button("nextButton"), Qt::LeftButton);
    EXPECT_EQ(Page(), "3 of 3");
    EXPECT_EQ(dialog->firstShown(), 7);
    EXPECT_EQ(PaneNotes(), (Texts{"e7", "", ""}));
    EXPECT_EQ(Line("dateEdit2"), "");
    EXPECT_EQ(Line("timeEdit3"), "");
    EXPECT_EQ(PaneButtons(), (std::vector<bool>{true, false, false}));
    // A date search pages on into the neighbouring days.
    EXPECT_TRUE(Button("prevButton")->isEnabled());
    EXPECT_TRUE(Button("nextButton")->isEnabled());

    QTest::mouseClick(Button("prevButton"), Qt::LeftButton);
    EXPECT_EQ(Page(), "2 of 3");
    EXPECT_EQ(PaneNotes(), (Texts{"e4", "e5", "e6"}));
}

TEST_F(ViewEventsTest, NextOnTheLastPageMovesToTheNextDayKeepingThePageWhereItCan) {
    const struct {
        int nextDayEvents;
        const char* page;
        const char* firstNotes;
    } cases[] = {{9, "3 of 3", "n7"}, {7, "3 of 3", "n7"}, {6, "2 of 2", "n4"}, {4, "2 of 2", "n4"},
                 {3, "1 of 1", "n1"}, {1, "1 of 1", "n1"}, {0, " of ", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nextDayEvents);
        events.Clear();
        AddDay(2024, 3, 1, 7, "e");
        AddDay(2024, 3, 2, c.nextDayEvents, "n");
        Open();
        QTest::mouseClick(Button("nextButton"), Qt::LeftButton);
        QTest::mouseClick(Button("nextButton"), Qt::LeftButton);
        ASSERT_EQ(Page(), "3 of 3");
        QTest::mouseClick(Button("nextButton"), Qt::LeftButton);
        EXPECT_EQ(Picked(), QDate(2024, 3, 2));
        EXPECT_EQ(dialog->resultCount(), c.nextDayEvents);
        EXPECT_EQ(Page(), c.page);
        EXPECT_EQ(PaneNotes()[0], c.firstNotes);
    }
}

TEST_F(ViewEventsTest, PrevOnTheFirstPageShowsTheDayBeforeFromItsFirstPage) {
    AddDay(2024, 2, 29, 5, "p");
    AddDay(2024, 3, 1, 4, "e");
    Open();
    QTest::mouseClick(Button("prevButton"), Qt::LeftButton);
    EXPECT_EQ(Picked(), QDate(2024, 2, 29));
    EXPECT_EQ(Page(), "1 of 2");
    EXPECT_EQ(PaneNotes(), (Texts{"p1", "p2", "p3"}));
}

TEST_F(ViewEventsTest, ADayWithoutEventsShowsEmptyPanesButKeepsPaging) {
    AddDay(2024, 3, 2, 1, "tomorrow");
    Open();
    EXPECT_EQ(dialog->resultCount(), 0);
    EXPECT_EQ(dialog->firstShown(), 0);
    EXPECT_EQ(Page(), " of ");
    EXPECT_EQ(PaneNotes(), (Texts{"", "", ""}));
    EXPECT_EQ(PaneButtons(), (std::vector<bool>{false, false, false}));
    EXPECT_TRUE(Button("prevButton")->isEnabled());
    EXPECT_TRUE(Button("nextButton")->isEnabled());
    QTest::mouseClick(Button("nextButton"), Qt::LeftButton);
    EXPECT_EQ(PaneNotes(), (Texts{"tomorrow1", "", ""}));
    EXPECT_EQ(Page(), "1 of 1");
}

// The day step keeps the clock time, so the 23- and 25-hour days of a
// daylight-saving change neither skip nor repeat a date.
TEST_F(ViewEventsTest, NextAndPrevStepOneCalendarDayAcrossClockChanges) {
    const struct {
        DateTime now;
        bool next;
        QDate expected;
    } cases[] = {
        {LocalTime(2024, 11, 3, 0, 30), true, QDate(2024, 11, 4)},
        {LocalTime(2024, 11, 4, 23, 30), false, QDate(2024, 11, 3)},
        {LocalTime(2024, 3, 11, 0, 30), false, QDate(2024, 3, 10)},
        {LocalTime(2024, 3, 9, 23, 30), true, QDate(2024, 3, 10)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected.toString().toStdString());
        clock.Set(c.now);
        Open();
        QTest::mouseClick(Button(c.next ? "nextButton" : "prevButton"), Qt::LeftButton);
        EXPECT_EQ(Picked(), c.expected);
    }
}

TEST_F(ViewEventsTest, PickingADateSearchesItAndTheRangeEndsStopTheDayStep) {
    AddDay(2024, 5, 20, 2, "may");
    Open();
    Find<QDateEdit>("datePicker")->setDate(QDate(2024, 5, 20));
    EXPECT_EQ(PaneNotes(), (Texts{"may1", "may2", ""}));

    Find<QDateEdit>("datePicker")->setDate(QDate(2106, 2, 7));
    QTest::mouseClick(Button("nextButton"), Qt::LeftButton);
    EXPECT_EQ(Picked(), QDate(2106, 2, 7));
    Find<QDateEdit>("datePicker")->setDate(QDate(1970, 1, 1));
    QTest::mouseClick(Button("prevButton"), Qt::LeftButton);
    EXPECT_EQ(Picked(), QDate(1970, 1, 1));
}

TEST_F(ViewEventsTest, RefreshAllRedrawsTheTimesInTheTwelveHourClock) {
    events.Insert(MakeEvent({2024, 3, 1, "13", "30", "meeting", "45"}));
    Open();
    EXPECT_EQ(Line("timeEdit1"), "13:30 - 14:15");
    DateTimeText::SetTwelveHourClock(true);
    ViewEventsDialog::refreshAll();
    EXPECT_EQ(Line("timeEdit1"), "1:30 PM - 2:15");
}

// ---- search by category and by notes ----

TEST_F(ViewEventsTest, CategoryListIsSortedWithoutRegardToCaseAndStartsTheSearch) {
    categories = CategoryList({"work", "Home", "Zoo", "apple"});
    AddDay(2024, 4, 1, 2, "none", kNoCategory);
    AddDay(2024, 4, 2, 1, "home", "Home");
    Open();
    QComboBox* list = Find<QComboBox>("categoryCombo");
    Texts entries;
    for (int i = 0; i < list->count(); ++i)
        entries.push_back(list->itemText(i));
    EXPECT_EQ(entries, (Texts{"<No Category>", "apple", "Home", "work", "Zoo"}));

    SearchBy("Category");
    EXPECT_EQ(list->currentText(), "<No Category>");
    EXPECT_EQ(PaneNotes(), (Texts{"none1", "none2", ""}));
    ChooseCategory("Home");
    EXPECT_EQ(PaneNotes(), (Texts{"home1", "", ""}));
    EXPECT_EQ(Line("categoryEdit1"), "Home");
}

TEST_F(ViewEventsTest, CategorySearchMatchesLetterCaseAndBytesExactly) {
    categories = CategoryList({"work", "Work", "Caf\xE9"});
    AddDay(2024, 4, 1, 2, "office", "Work");
    AddDay(2024, 4, 2, 1, "coffee", "Caf\xE9");
    Open();
    SearchBy("Category");
    ChooseCategory("work");
    EXPECT_EQ(dialog->resultCount(), 0);
    EXPECT_EQ(PaneButtons(), (std::vector<bool>{false, false, false}));
    ChooseCategory("Work");
    EXPECT_EQ(PaneNotes(), (Texts{"office1", "office2", ""}));
    // A name that is not UTF-8 shows as Latin-1 and still finds its events.
    ChooseCategory(QString::fromLatin1("Caf\xE9"));
    EXPECT_EQ(PaneNotes(), (Texts{"coffee1", "", ""}));
    EXPECT_EQ(Line("categoryEdit1"), QString::fromLatin1("Caf\xE9"));
}

TEST_F(ViewEventsTest, CommentSearchWaitsForSearchThenIgnoresLetterCase) {
    events.Insert(MakeEvent({2024, 3, 1, "9", "0", "lunch with Ann"}));
    events.Insert(MakeEvent({2024, 4, 1, "9", "0", "Dinner"}));
    events.Insert(MakeEvent({2025, 1, 1, "9", "0", "Lunch at noon"}));
    Open();
    ASSERT_EQ(dialog->resultCount(), 1);
    SearchBy("Comment");
    EXPECT_EQ(dialog->resultCount(), 0);
    EXPECT_EQ(PaneNotes(), (Texts{"", "", ""}));

    SearchComment("");
    EXPECT_EQ(PaneNotes(), (Texts{"lunch with Ann", "Dinner", "Lunch at noon"}));
    SearchComment("LUNCH");
    EXPECT_EQ(PaneNotes(), (Texts{"lunch with Ann", "Lunch at noon", ""}));
    EXPECT_EQ(dialog->commentText(), "LUNCH");
    SearchComment("breakfast");
    EXPECT_EQ(dialog->resultCount(), 0);
}

TEST_F(ViewEventsTest, OutsideADateSearchTheEndsOfTheResultStopPaging) {
    AddDay(2024, 6, 1, 7, "w", "Work");
    categories = CategoryList({"Work"});
    for (const char* kind : {"Category", "Comment"}) {
        SCOPED_TRACE(kind);
        Open();
        SearchBy(kind);
        if (std::string(kind) == "Category") {
            ChooseCategory("Work");
        } else {
            SearchComment("w");
        }
        ASSERT_EQ(Page(), "1 of 3");
        EXPECT_FALSE(Button("prevButton")->isEnabled());
        EXPECT_TRUE(Button("nextButton")->isEnabled());
        QTest::mouseClick(Button("nextButton"), Qt::LeftButton);
        EXPECT_TRUE(Button("prevButton")->isEnabled());
        EXPECT_TRUE(Button("nextButton")->isEnabled());
        QTest::mouseClick(Button("nextButton"), Qt::LeftButton);
        EXPECT_EQ(Page(), "3 of 3");
        EXPECT_FALSE(Button("nextButton")->isEnabled());
        // Neither the page nor the date moves past an end.
        dialog->Next();
        EXPECT_EQ(Page(), "3 of 3");
        dialog->Prev();
        dialog->Prev();
        dialog->Prev();
        EXPECT_EQ(Page(), "1 of 3");
        EXPECT_EQ(Picked(), QDate(2024, 3, 1));
    }
}

// ---- delete and the open mark ----

TEST_F(ViewEventsTest, DeletingTheOnlyEventOfTheLastPageGoesBackAPage) {
    AddDay(2024, 3, 1, 4, "e");
    Open();
    QTest::mouseClick(Button("nextButton"), Qt::LeftButton);
    ASSERT_EQ(Page(), "2 of 2");
    bool markedDuringQuestion = false;
    prompter.OnShow(
        [&](const FakePrompter::Shown&) { markedDuringQuestion = events.NodeAt(4)->open(); });
    prompter.Answer(MessageAnswer::Yes);
    QTest::mouseClick(Button("deleteButton1"), Qt::LeftButton);
    EXPECT_EQ(prompter.ids(), (Ids{MessageId::kDeleteEvent}));
    EXPECT_TRUE(markedDuringQuestion);
    EXPECT_EQ(NotesOf(events), (Notes{"e1", "e2", "e3"}));
    EXPECT_TRUE(events.IsModified());
    EXPECT_EQ(Page(), "1 of 1");
    EXPECT_EQ(PaneNotes(), (Texts{"e1", "e2", "e3"}));
    EXPECT_FALSE(dialog->ended());
}

TEST_F(ViewEventsTest, DeleteAnsweredNoChangesNothingAndClearsTheMark) {
    AddDay(2024, 3, 1, 3, "e");
    Open();
    prompter.Answer(MessageAnswer::No);
    QTest::mouseClick(Button("deleteButton2"), Qt::LeftButton);
    EXPECT_EQ(prompter.ids(), (Ids{MessageId::kDeleteEvent}));
    EXPECT_EQ(NotesOf(events), (Notes{"e1", "e2", "e3"}));
    EXPECT_FALSE(events.IsModified());
    EXPECT_FALSE(events.NodeAt(2)->open());
    EXPECT_EQ(PaneNotes(), (Texts{"e1", "e2", "e3"}));
    EXPECT_EQ(PaneButtons(), (std::vector<bool>{true, true, true}));
}

TEST_F(ViewEventsTest, DeletingAnEventThatVanishedEndsTheDialogAsFatal) {
    AddDay(2024, 3, 1, 2, "e");
    Open();
    ASSERT_TRUE(events.RemoveByKey(events.NodeAt(1)->key()));
    prompter.Answer(MessageAnswer::Yes);
    QTest::mouseClick(Button("deleteButton1"), Qt::LeftButton);
    EXPECT_EQ(prompter.ids(), (Ids{MessageId::kDeleteEvent, MessageId::kFatalError}));
    EXPECT_TRUE(dialog->ended());
    EXPECT_EQ(dialog->result(), ViewEventsDialog::kFatal);
    EXPECT_EQ(NotesOf(events), (Notes{"e2"}));
}

TEST_F(ViewEventsTest, ADeleteRefreshesEveryOpenDialog) {
    AddDay(2024, 3, 1, 2, "e");
    Open();
    auto other = std::make_unique<ViewEventsDialog>(nullptr, events, categories, prompter, clock);
    prompter.Answer(MessageAnswer::Yes);
    QTest::mouseClick(Button("deleteButton1"), Qt::LeftButton);
    EXPECT_EQ(PaneNotes(), (Texts{"e2", "", ""}));
    EXPECT_EQ(other->resultCount(), 1);
    EXPECT_EQ(NotesOf(other->results()), (Notes{"e2"}));
}

TEST_F(ViewEventsTest, AnEventMarkedOpenElsewhereLosesEditAndXAtOnce) {
    AddDay(2024, 3, 1, 6, "e");
    Open();
    auto other = std::make_unique<ViewEventsDialog>(nullptr, events, categories, prompter, clock);
    const StartKey second = events.NodeAt(2)->key();
    ASSERT_TRUE(events.MarkOpen(second));
    ViewEventsDialog::refreshButtonsAll();
    EXPECT_EQ(PaneButtons(), (std::vector<bool>{true, false, true}));
    EXPECT_TRUE(other->findChild<QPushButton*>("editButton1")->isEnabled());
    EXPECT_FALSE(other->findChild<QPushButton*>("deleteButton2")->isEnabled());
    // A fresh page reads the mark too.
    dialog->Next();
    EXPECT_EQ(PaneButtons(), (std::vector<bool>{true, true, true}));
    dialog->Prev();
    EXPECT_EQ(PaneButtons(), (std::vector<bool>{true, false, true}));
    events.ClearOpen(second);
    ViewEventsDialog::refreshButtonsAll();
    EXPECT_EQ(PaneButtons(), (std::vector<bool>{true, true, true}));
}

// X pressed before the buttons caught up with a mark set elsewhere: the
// window holding the event keeps it, and its mark.
TEST_F(ViewEventsTest, DeleteLeavesAnEventHeldByAnotherWindowAlone) {
    AddDay(2024, 3, 1, 2, "e");
    Open();
    const StartKey first = events.NodeAt(1)->key();
    ASSERT_TRUE(events.MarkOpen(first));
    QTest::mouseClick(Button("deleteButton1"), Qt::LeftButton);
    EXPECT_TRUE(prompter.ids().empty());
    EXPECT_TRUE(events.NodeAt(1)->open());
    EXPECT_EQ(NotesOf(events), (Notes{"e1", "e2"}));
    EXPECT_EQ(PaneButtons(), (std::vector<bool>{false, true, false}));
}

// ---- edit ----

TEST_F(ViewEventsTest, EditOpensTheStoredEventAndShowsTheChangeAfterwards) {
    events.Insert(MakeEvent({2024, 3, 1, "9", "00", "first", "30"}));
    events.Insert(MakeEvent({2024, 3, 1, "11", "00", "second", "30"}));
    Open();
    // The document's copy changes behind the dialog's back; Edit takes it.
    Event newer = *events.NodeAt(2);
    newer.setNotes("second, revised");
    ASSERT_TRUE(events.RemoveByKey(newer.key()));
    ASSERT_TRUE(events.Insert(newer));
    bool checked = false;
    WhenEditorOpens([&](EventDialog& editor) {
        EXPECT_EQ(editor.windowTitle(), "Edit Event");
        EXPECT_TRUE(editor.editMode());
        EXPECT_EQ(editor.fieldsToEvent().notes(), "second, revised");
        // While the editor holds the event, its pane offers neither button.
        EXPECT_TRUE(events.NodeAt(2)->open());
        EXPECT_EQ(PaneButtons(), (std::vector<bool>{true, false, false}));
        MoveTo(editor, "14");
        checked = true;
    });
    QTest::mouseClick(Button("editButton2"), Qt::LeftButton);
    EXPECT_TRUE(checked);
    EXPECT_TRUE(prompter.ids().empty());
    EXPECT_EQ(PaneNotes(), (Texts{"first", "second, revised", ""}));
    EXPECT_EQ(Line("timeEdit2"), "14:00 - 14:30");
    EXPECT_EQ(PaneButtons(), (std::vector<bool>{true, true, false}));
}

// ---- conflict mode ----

class ViewEventsConflictTest : public ViewEventsTest {
protected:
    ViewEventsConflictTest() {
        events.Insert(MakeEvent({2024, 3, 1, "9", "0", "a", "60"}));
        events.Insert(MakeEvent({2024, 3, 1, "10", "0", "b", "30"}));
        events.Insert(MakeEvent({2024, 3, 1, "15", "0", "far", "30"}));
        events.SetModified(false);
        candidate = MakeEvent({2024, 3, 1, "9", "30", "new", "30"});
    }

    ViewEventsDialog& OpenConflicts(const Event* leftOut = nullptr) {
        dialog = std::make_unique<ViewEventsDialog>(nullptr, events, categories, prompter, clock,
                                                    events.Conflicts(candidate, leftOut),
                                                    &candidate, leftOut);
        return *dialog;
    }

    Event candidate;
};

TEST_F(ViewEventsConflictTest, ListsTheConflictsWithoutSearchControls) {
    OpenConflicts();
    EXPECT_TRUE(dialog->conflictMode());
    EXPECT_EQ(PaneNotes(), (Texts{"a", "b", ""}));
    EXPECT_EQ(Page(), "1 of 1");
    EXPECT_EQ(dialog->searchBy(), "");
    for (const char* name : {"searchByLabel", "searchByCombo", "datePicker", "categoryCombo",
                             "commentEdit", "searchButton"})
        EXPECT_TRUE(Find<QWidget>(name)->isHidden()) << name;
    EXPECT_FALSE(Button("prevButton")->isEnabled());
    EXPECT_FALSE(Button("nextButton")->isEnabled());
}

TEST_F(ViewEventsConflictTest, DeletingTheLastConflictEndsTheDialogWith114) {
    OpenConflicts();
    prompter.Answer(MessageAnswer::Yes);
    QTest::mouseClick(Button("deleteButton2"), Qt::LeftButton);
    EXPECT_EQ(PaneNotes(), (Texts{"a", "", ""}));
    EXPECT_FALSE(dialog->ended());
    prompter.Answer(MessageAnswer::Yes);
    QTest::mouseClick(Button("deleteButton1"), Qt::LeftButton);
    EXPECT_EQ(prompter.ids(), (Ids{MessageId::kDeleteEvent, MessageId::kDeleteEvent,
                                   MessageId::kConflictsResolved}));
    EXPECT_TRUE(dialog->ended());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(NotesOf(events), (Notes{"far"}));
}

TEST_F(ViewEventsConflictTest, RefreshRecomputesTheConflictsAndEndsEachDialogLeftWithNone) {
    const Event edited = *events.NodeAt(2);  // "b" is the event being edited
    OpenConflicts(&edited);
    EXPECT_EQ(PaneNotes(), (Texts{"a", "", ""}));
    // A second conflict list, opened later, is refreshed as well.
    Event late = MakeEvent({2024, 3, 1, "15", "15", "late", "0"});
    auto second =
        std::make_unique<ViewEventsDialog>(nullptr, events, categories, prompter, clock,
                                           events.Conflicts(late, nullptr), &late, nullptr);
    ASSERT_EQ(second->resultCount(), 1);

    events.Insert(MakeEvent({2024, 3, 1, "8", "0", "early", "90"}));
    ViewEventsDialog::refreshAll();
    EXPECT_EQ(PaneNotes(), (Texts{"early", "a", ""}));
    EXPECT_TRUE(prompter.ids().empty());

    ASSERT_TRUE(events.RemoveByKey(events.NodeAt(1)->key()));
    ASSERT_TRUE(events.RemoveByKey(events.NodeAt(1)->key()));
    ASSERT_TRUE(events.RemoveByKey(events.NodeAt(2)->key()));  // "far"
    ViewEventsDialog::refreshAll();
    EXPECT_EQ(prompter.ids(), (Ids{MessageId::kConflictsResolved, MessageId::kConflictsResolved}));
    EXPECT_TRUE(dialog->ended());
    EXPECT_TRUE(second->ended());
    // An ended dialog is not refreshed again.
    ViewEventsDialog::refreshAll();
    EXPECT_EQ(prompter.ids().size(), 2u);
}

TEST_F(ViewEventsConflictTest, EditingConflictsAwayEmptiesTheListAndEndsWith114) {
    OpenConflicts();
    WhenEditorOpens([](EventDialog& editor) { MoveTo(editor, "17"); });
    QTest::mouseClick(Button("editButton2"), Qt::LeftButton);
    EXPECT_EQ(PaneNotes(), (Texts{"a", "", ""}));
    EXPECT_FALSE(dialog->ended());
    EXPECT_TRUE(prompter.ids().empty());

    WhenEditorOpens([](EventDialog& editor) { MoveTo(editor, "18"); });
    QTest::mouseClick(Button("editButton1"), Qt::LeftButton);
    EXPECT_EQ(prompter.ids(), (Ids{MessageId::kConflictsResolved}));
    EXPECT_TRUE(dialog->ended());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(NotesOf(events), (Notes{"far", "b", "a"}));
}

// ---- keys ----

TEST_F(ViewEventsTest, EnterActsOnTheFocusedControlAndEscapeCancels) {
    AddDay(2024, 3, 1, 4, "e");
    Open();
    ShowAndFocus(Button("nextButton"));
    QTest::keyClick(Button("nextButton"), Qt::Key_Return);
    EXPECT_EQ(Page(), "2 of 2");
    ShowAndFocus(Button("prevButton"));
    QTest::keyClick(Button("prevButton"), Qt::Key_Enter);
    EXPECT_EQ(Page(), "1 of 2");

    SearchBy("Comment");
    QLineEdit* text = Find<QLineEdit>("commentEdit");
    ShowAndFocus(text);
    text->setText("e4");
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(PaneNotes(), (Texts{"e4", "", ""}));

    prompter.Answer(MessageAnswer::No);
    ShowAndFocus(Button("deleteButton1"));
    QTest::keyClick(Button("deleteButton1"), Qt::Key_Return);
    EXPECT_EQ(prompter.ids(), (Ids{MessageId::kDeleteEvent}));

    // The search-by list takes no action from Enter.
    ShowAndFocus(Find<QComboBox>("searchByCombo"));
    QTest::keyClick(Find<QComboBox>("searchByCombo"), Qt::Key_Return);
    EXPECT_FALSE(dialog->ended());

    ShowAndFocus(Button("doneButton"));
    QTest::keyClick(Button("doneButton"), Qt::Key_Return);
    EXPECT_TRUE(dialog->ended());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);

    Open();
    ShowAndFocus(Button("nextButton"));
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog->ended());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

TEST_F(ViewEventsTest, CloseAllEndsEveryDialogAsDone) {
    Open();
    auto other = std::make_unique<ViewEventsDialog>(nullptr, events, categories, prompter, clock);
    ViewEventsDialog::closeAll();
    EXPECT_TRUE(dialog->ended());
    EXPECT_TRUE(other->ended());
    EXPECT_EQ(other->result(), QDialog::Accepted);
}

}  // namespace
}  // namespace almanary::testing

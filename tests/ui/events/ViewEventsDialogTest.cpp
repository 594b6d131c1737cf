// View Events: paging and the day step, the searches by category and notes,
// delete, the open-mark buttons and conflict mode.

#include "events/ViewEventsDialog.h"

#include <gtest/gtest.h>

#include <QDateEdit>
#include <QLineEdit>
#include <memory>
#include <string>
#include <vector>

#include "events/EventDialog.h"
#include "model/CategoryList.h"
#include "model/DateTimeText.h"
#include "support/DialogDriving.h"
#include "support/FakeClock.h"
#include "support/FakePrompter.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"

namespace almanary::testing {
namespace {

using Texts = std::vector<QString>;

class ViewEventsTest : public ::testing::Test {
protected:
    ViewEventsTest() {
        DateTimeText::SetTwelveHourClock(false);
        clock.Set(LocalTime(2024, 3, 1, 12));
    }

    // `count` events on one day, every quarter hour from 9:00, 30 minutes
    // long, with notes "<tag>1", "<tag>2", ...
    void AddDay(int month, int day, int count, const std::string& tag,
                const std::string& category = "") {
        for (int i = 0; i < count; ++i) {
            const int minutes = 9 * 60 + 15 * i;
            events.Insert(MakeEvent({2024, month, day, std::to_string(minutes / 60),
                                     std::to_string(minutes % 60), tag + std::to_string(i + 1),
                                     "30", category}));
        }
        events.SetModified(false);
    }

    void Open() {
        dialog = std::make_unique<ViewEventsDialog>(nullptr, events, categories, prompter, clock);
    }

    // Three events of which a 9:30 candidate overlaps or touches the first two.
    void OpenConflicts() {
        events.Clear();
        events.Insert(MakeEvent({2024, 3, 1, "9", "0", "a", "60"}));
        events.Insert(MakeEvent({2024, 3, 1, "10", "0", "b", "30"}));
        events.Insert(MakeEvent({2024, 3, 1, "15", "0", "far", "30"}));
        events.SetModified(false);
        candidate = MakeEvent({2024, 3, 1, "9", "30", "new", "30"});
        dialog = std::make_unique<ViewEventsDialog>(nullptr, events, categories, prompter, clock,
                                                    events.Conflicts(candidate, nullptr),
                                                    &candidate, nullptr);
    }

    QString Page() const {
        return Child<QLineEdit>(*dialog, "pageEdit")->text() + " of " +
               Child<QLineEdit>(*dialog, "pageCountEdit")->text();
    }
    QDate Picked() const { return Child<QDateEdit>(*dialog, "datePicker")->date(); }
    bool Enabled(const char* button) const {
        return Child<QPushButton>(*dialog, button)->isEnabled();
    }

    Texts PaneNotes() const {
        Texts notes;
        for (const char* name : {"notesEdit1", "notesEdit2", "notesEdit3"})
            notes.push_back(Child<QPlainTextEdit>(*dialog, name)->toPlainText());
        return notes;
    }
    // Whether each pane's Edit (and with it its X) can be pressed.
    std::vector<bool> PaneButtons() const {
        return {Enabled("editButton1"), Enabled("editButton2"), Enabled("editButton3")};
    }

    void SearchComment(const char* text) {
        Child<QLineEdit>(*dialog, "commentEdit")->setText(QString::fromLatin1(text));
        Press(*dialog, "searchButton");
    }

    // Presses a pane's X and answers the question.
    void DeletePane(int pane, MessageAnswer answer) {
        prompter.Answer(answer);
        Press(*dialog, ("deleteButton" + std::to_string(pane)).c_str());
    }

    // Presses a pane's Edit and moves the event to another hour in the editor.
    void MovePane(int pane, const char* hour) {
        QTimer::singleShot(0, dialog.get(), [this, hour] {
            auto* editor = dialog->findChild<EventDialog*>();
            ASSERT_TRUE(editor != nullptr && editor->isVisible()) << "no event editor on screen";
            Pick(*editor, "hourCombo", hour);
            Press(*editor, "enterButton");
        });
        Press(*dialog, ("editButton" + std::to_string(pane)).c_str());
    }

    // New York's rules without the zone database: the spring day has 23
    // hours, the autumn day 25.
    ScopedTimeZone zone{"EST5EDT,M3.2.0,M11.1.0"};
    EventList events;
    CategoryList categories;
    FakePrompter prompter;
    FakeClock clock;
    Event candidate;
    std::unique_ptr<ViewEventsDialog> dialog;
};

// Next and Prev page through a day's results, then move a calendar day:
// Next keeps the page where it can, Prev starts at the first. The day step
// keeps the clock time, so the 23-hour day of 10 March is not skipped.
TEST_F(ViewEventsTest, NextAndPrevPageThroughTheDaysResultsAndThenMoveADay) {
    clock.Set(LocalTime(2024, 3, 9, 23, 30));
    AddDay(3, 9, 5, "p");
    AddDay(3, 10, 7, "e");
    AddDay(3, 11, 4, "n");
    Open();
    const struct {
        const char* button;  // none for the opening state
        int day;             // of March
        const char* page;
        Texts panes;
    } steps[] = {
        {nullptr, 9, "1 of 2", {"p1", "p2", "p3"}},
        {"nextButton", 9, "2 of 2", {"p4", "p5", ""}},
        {"nextButton", 10, "2 of 3", {"e4", "e5", "e6"}},
        {"nextButton", 10, "3 of 3", {"e7", "", ""}},
        {"nextButton", 11, "2 of 2", {"n4", "", ""}},
        {"prevButton", 11, "1 of 2", {"n1", "n2", "n3"}},
        {"prevButton", 10, "1 of 3", {"e1", "e2", "e3"}},
        {"prevButton", 9, "1 of 2", {"p1", "p2", "p3"}},
        {"prevButton", 8, " of ", {"", "", ""}},
        {"nextButton", 9, "1 of 2", {"p1", "p2", "p3"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(::testing::Message() << step.page << " on " << step.day);
        if (step.button != nullptr)
            Press(*dialog, step.button);
        EXPECT_EQ(Picked(), QDate(2024, 3, step.day));
        EXPECT_EQ(Page(), step.page);
        EXPECT_EQ(PaneNotes(), step.panes);
        for (int pane = 0; pane < 3; ++pane)
            EXPECT_EQ(PaneButtons()[pane], !step.panes[pane].isEmpty()) << pane;
        // A date search pages on into the neighbouring days.
        EXPECT_TRUE(Enabled("prevButton") && Enabled("nextButton"));
    }
}

// Notes are searched without regard to case, category names with it; the
// ends of such results stop paging.
TEST_F(ViewEventsTest, CommentAndCategorySearchesPageBetweenTheirEnds) {
    AddDay(6, 1, 7, "w", "Work");
    events.Insert(MakeEvent({2024, 7, 1, "9", "0", "other", "0", "work"}));
    categories = CategoryList({"work", "Work"});
    for (const char* kind : {"Category", "Comment"}) {
        SCOPED_TRACE(kind);
        Open();
        Pick(*dialog, "searchByCombo", kind);
        if (std::string(kind) == "Category") {
            Activate(*dialog, "categoryCombo", "work");
            EXPECT_EQ(PaneNotes(), (Texts{"other", "", ""}));
            Activate(*dialog, "categoryCombo", "Work");
        } else {
            SearchComment("W");
        }
        ASSERT_EQ(Page(), "1 of 3");
        EXPECT_EQ(PaneNotes(), (Texts{"w1", "w2", "w3"}));
        EXPECT_FALSE(Enabled("prevButton"));
        dialog->Prev();  // neither the page nor the date moves past an end
        EXPECT_EQ(Picked(), QDate(2024, 3, 1));
        Press(*dialog, "nextButton");
        Press(*dialog, "nextButton");
        EXPECT_EQ(Page(), "3 of 3");
        EXPECT_FALSE(Enabled("nextButton"));
        dialog->Next();
        EXPECT_EQ(Page(), "3 of 3");
    }
}

TEST_F(ViewEventsTest, DeleteOfTheOnlyEventOfTheLastPageGoesBackAPage) {
    AddDay(3, 1, 4, "e");
    Open();
    Press(*dialog, "nextButton");
    ASSERT_EQ(Page(), "2 of 2");
    DeletePane(1, MessageAnswer::No);
    EXPECT_FALSE(events.IsModified());
    EXPECT_FALSE(events.NodeAt(4)->open());
    EXPECT_EQ(PaneButtons(), (std::vector<bool>{true, false, false}));
    DeletePane(1, MessageAnswer::Yes);
    EXPECT_EQ(prompter.ids(), (Ids{MessageId::kDeleteEvent, MessageId::kDeleteEvent}));
    EXPECT_EQ(NotesOf(events), (Notes{"e1", "e2", "e3"}));
    EXPECT_TRUE(events.IsModified());
    EXPECT_EQ(Page(), "1 of 1");
    EXPECT_EQ(PaneNotes(), (Texts{"e1", "e2", "e3"}));
}

TEST_F(ViewEventsTest, DeletingAnEventThatVanishedEndsTheDialogAsFatal) {
    AddDay(3, 1, 2, "e");
    Open();
    ASSERT_TRUE(events.RemoveByKey(events.NodeAt(1)->key()));
    DeletePane(1, MessageAnswer::Yes);
    EXPECT_EQ(prompter.ids(), (Ids{MessageId::kDeleteEvent, MessageId::kFatalError}));
    EXPECT_TRUE(dialog->ended());
    EXPECT_EQ(dialog->result(), ViewEventsDialog::kFatal);
    EXPECT_EQ(NotesOf(events), (Notes{"e2"}));
}

TEST_F(ViewEventsTest, AnEventMarkedOpenElsewhereLosesEditAndXAtOnce) {
    AddDay(3, 1, 3, "e");
    Open();
    auto other = std::make_unique<ViewEventsDialog>(nullptr, events, categories, prompter, clock);
    const StartKey second = events.NodeAt(2)->key();
    ASSERT_TRUE(events.MarkOpen(second));
    ViewEventsDialog::refreshButtonsAll();
    EXPECT_EQ(PaneButtons(), (std::vector<bool>{true, false, true}));
    EXPECT_FALSE(Child<QPushButton>(*other, "editButton2")->isEnabled());
    events.ClearOpen(second);
    ViewEventsDialog::refreshButtonsAll();
    EXPECT_EQ(PaneButtons(), (std::vector<bool>{true, true, true}));
}

// Conflict mode ends itself, with 114, once deletes or edits leave none.
TEST_F(ViewEventsTest, ConflictModeEndsWhenNoConflictIsLeft) {
    for (const bool edit : {false, true}) {
        SCOPED_TRACE(edit ? "edit" : "delete");
        prompter.ClearShown();
        OpenConflicts();
        EXPECT_EQ(PaneNotes(), (Texts{"a", "b", ""}));
        EXPECT_FALSE(Enabled("prevButton") || Enabled("nextButton"));
        if (edit) {
            MovePane(2, "17");
        } else {
            DeletePane(2, MessageAnswer::Yes);
        }
        EXPECT_EQ(PaneNotes(), (Texts{"a", "", ""}));
        EXPECT_FALSE(dialog->ended());
        if (edit) {
            MovePane(1, "18");
        } else {
            DeletePane(1, MessageAnswer::Yes);
        }
        EXPECT_TRUE(dialog->ended());
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        ASSERT_FALSE(prompter.ids().empty());
        EXPECT_EQ(prompter.ids().back(), MessageId::kConflictsResolved);
        EXPECT_EQ(NotesOf(events), edit ? (Notes{"far", "b", "a"}) : (Notes{"far"}));
    }
}

}  // namespace
}  // namespace almanary::testing

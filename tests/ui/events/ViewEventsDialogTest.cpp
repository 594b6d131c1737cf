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
#include "support/SessionHarness.h"

namespace almanary::testing {
namespace {

using Texts = std::vector<QString>;
using Flags = std::vector<bool>;

class ViewEventsTest : public SessionHarness {
protected:
    ViewEventsTest() { clock.set(localTime(2024, 3, 1, 12)); }

    // `count` 30-minute events on one day, every quarter hour from 9:00, with
    // notes "<tag>1", "<tag>2", ...
    void addDay(int month, int day, int count, const std::string& tag,
                const std::string& category = "") {
        for (int i = 0; i < count; ++i) {
            const int minutes = 9 * 60 + 15 * i;
            store({2024, month, day, std::to_string(minutes / 60), std::to_string(minutes % 60),
                   tag + std::to_string(i + 1), "30", category});
        }
    }

    void open() { dialog = std::make_unique<ViewEventsDialog>(nullptr, session, services); }

    QString page() const {
        return child<QLineEdit>(*dialog, "pageEdit")->text() + " of " +
               child<QLineEdit>(*dialog, "pageCountEdit")->text();
    }
    QDate picked() const { return child<QDateEdit>(*dialog, "datePicker")->date(); }
    bool enabled(const char* button) const {
        return child<QPushButton>(*dialog, button)->isEnabled();
    }
    Texts paneNotes() const {
        Texts notes;
        for (const char* name : {"notesEdit1", "notesEdit2", "notesEdit3"})
            notes.push_back(child<QPlainTextEdit>(*dialog, name)->toPlainText());
        return notes;
    }
    // Whether each pane's Edit (and with it its X) can be pressed.
    Flags paneButtons() const {
        return {enabled("editButton1"), enabled("editButton2"), enabled("editButton3")};
    }

    void deletePane(int pane, MessageAnswer answer) {
        prompter.answer(answer);
        press(*dialog, ("deleteButton" + std::to_string(pane)).c_str());
    }

    // Presses a pane's Edit and moves the event to another hour in the editor.
    void movePane(int pane, const char* hour) {
        QTimer::singleShot(0, dialog.get(), [this, hour] {
            auto* editor = dialog->findChild<EventDialog*>();
            ASSERT_TRUE(editor != nullptr && editor->isVisible()) << "no event editor on screen";
            pick(*editor, "hourCombo", hour);
            press(*editor, "enterButton");
        });
        press(*dialog, ("editButton" + std::to_string(pane)).c_str());
    }

    // New York's rules without the zone database: 10 March has 23 hours.
    ScopedTimeZone newYork{"EST5EDT,M3.2.0,M11.1.0"};
    std::unique_ptr<ViewEventsDialog> dialog;
};

// Next and Prev page through a day's results, then move a calendar day:
// Next keeps the page where it can, Prev starts at the first. The day step
// keeps the clock time, so the 23-hour day is not skipped.
TEST_F(ViewEventsTest, NextAndPrevPageThroughTheDaysResultsAndThenMoveADay) {
    clock.set(localTime(2024, 3, 9, 23, 30));
    addDay(3, 9, 5, "p");
    addDay(3, 10, 7, "e");
    addDay(3, 11, 4, "n");
    open();
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
            press(*dialog, step.button);
        EXPECT_EQ(picked(), QDate(2024, 3, step.day));
        EXPECT_EQ(page(), step.page);
        EXPECT_EQ(paneNotes(), step.panes);
        for (int pane = 0; pane < 3; ++pane)
            EXPECT_EQ(paneButtons()[pane], !step.panes[pane].isEmpty()) << pane;
        // A date search pages on into the neighbouring days.
        EXPECT_TRUE(enabled("prevButton") && enabled("nextButton"));
    }
}

// Notes are searched without regard to case, category names with it; the
// ends of such results stop paging.
TEST_F(ViewEventsTest, CommentAndCategorySearchesPageBetweenTheirEnds) {
    reset({"work", "Work"});
    addDay(6, 1, 7, "w", "Work");
    store({2024, 7, 1, "9", "0", "other", "0", "work"});
    for (const bool byCategory : {true, false}) {
        SCOPED_TRACE(byCategory);
        open();
        if (byCategory) {
            pick(*dialog, "searchByCombo", "Category");
            pick(*dialog, "categoryCombo", "work");
            EXPECT_EQ(paneNotes(), (Texts{"other", "", ""}));
            pick(*dialog, "categoryCombo", "Work");
        } else {
            pick(*dialog, "searchByCombo", "Comment");
            child<QLineEdit>(*dialog, "commentEdit")->setText("W");
            press(*dialog, "searchButton");
        }
        ASSERT_EQ(page(), "1 of 3");
        EXPECT_EQ(paneNotes(), (Texts{"w1", "w2", "w3"}));
        EXPECT_FALSE(enabled("prevButton"));
        dialog->prev();  // neither the page nor the date moves past an end
        EXPECT_EQ(picked(), QDate(2024, 3, 1));
        press(*dialog, "nextButton");
        press(*dialog, "nextButton");
        EXPECT_EQ(page(), "3 of 3");
        EXPECT_FALSE(enabled("nextButton"));
        dialog->next();
        EXPECT_EQ(page(), "3 of 3");
    }
}

// Deleting the only event of the last page goes back a page; deleting one
// that vanished behind the dialog's back ends it as fatal.
TEST_F(ViewEventsTest, DeleteAsksThenRemovesTheEventAndRepages) {
    addDay(3, 1, 4, "e");
    open();
    press(*dialog, "nextButton");
    ASSERT_EQ(page(), "2 of 2");
    deletePane(1, MessageAnswer::No);
    EXPECT_FALSE(events().isModified());
    EXPECT_FALSE(events().at(3).open());
    EXPECT_EQ(paneButtons(), (Flags{true, false, false}));
    deletePane(1, MessageAnswer::Yes);
    EXPECT_EQ(prompter.ids(), (Ids{MessageId::DeleteEvent, MessageId::DeleteEvent}));
    EXPECT_EQ(notesOf(events()), (Notes{"e1", "e2", "e3"}));
    EXPECT_TRUE(events().isModified());
    EXPECT_EQ(page(), "1 of 1");
    EXPECT_EQ(paneNotes(), (Texts{"e1", "e2", "e3"}));

    AlmanaryDocument document = session.document();
    ASSERT_TRUE(document.events.removeByKey(document.events.at(0).key()));
    session.replace(std::move(document), {});  // no refresh of the dialog
    prompter.clearShown();
    deletePane(1, MessageAnswer::Yes);
    EXPECT_EQ(prompter.ids(), (Ids{MessageId::DeleteEvent, MessageId::FatalError}));
    EXPECT_EQ(dialog->result(), ViewEventsDialog::kFatal);
    EXPECT_EQ(notesOf(events()), (Notes{"e2", "e3"}));
}

TEST_F(ViewEventsTest, AnEventMarkedOpenElsewhereLosesEditAndXAtOnce) {
    addDay(3, 1, 3, "e");
    open();
    ViewEventsDialog other(nullptr, session, services);
    const StartKey second = events().at(1).key();
    ASSERT_TRUE(session.markOpen(second));
    EXPECT_EQ(paneButtons(), (Flags{true, false, true}));
    EXPECT_FALSE(child<QPushButton>(other, "editButton2")->isEnabled());
    session.clearOpen(second);
    EXPECT_EQ(paneButtons(), (Flags{true, true, true}));
}

// Conflict mode ends itself, saying so, once deletes or edits leave none.
TEST_F(ViewEventsTest, ConflictModeEndsWhenNoConflictIsLeft) {
    for (const bool edit : {false, true}) {
        SCOPED_TRACE(edit ? "edit" : "delete");
        prompter.clearShown();
        reset();
        store({2024, 3, 1, "9", "0", "a", "60"});
        store({2024, 3, 1, "10", "0", "b", "30"});  // touches 9:30 to 10:00
        store({2024, 3, 1, "15", "0", "far", "30"});
        const Event candidate = makeEvent({2024, 3, 1, "9", "30", "new", "30"});
        dialog = std::make_unique<ViewEventsDialog>(nullptr, session, services,
                                                    events().conflicts(candidate, nullptr),
                                                    &candidate, nullptr);
        EXPECT_EQ(paneNotes(), (Texts{"a", "b", ""}));
        EXPECT_FALSE(enabled("prevButton") || enabled("nextButton"));
        edit ? movePane(2, "17") : deletePane(2, MessageAnswer::Yes);
        EXPECT_EQ(paneNotes(), (Texts{"a", "", ""}));
        EXPECT_FALSE(dialog->ended());
        edit ? movePane(1, "18") : deletePane(1, MessageAnswer::Yes);
        EXPECT_TRUE(dialog->ended());
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        ASSERT_FALSE(prompter.ids().empty());
        EXPECT_EQ(prompter.ids().back(), MessageId::ConflictsResolved);
        EXPECT_EQ(notesOf(events()), edit ? (Notes{"far", "b", "a"}) : (Notes{"far"}));
        dialog.reset();  // before the candidate it points at
    }
}

}  // namespace
}  // namespace almanary::testing

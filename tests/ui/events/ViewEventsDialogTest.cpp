// View Events: paging, searches, delete, the open-mark buttons, conflict mode.

#include "events/ViewEventsDialog.h"

#include <QDateEdit>
#include <QLineEdit>

#include "events/EventDialog.h"
#include "support/PdfText.h"
#include "support/SessionHarness.h"

namespace almanary::testing {
namespace {

using Texts = std::vector<QString>;

class ViewEventsTest : public SessionHarness {
protected:
    ViewEventsTest() { clock.set(localTime(2024, 3, 1, 12)); }

    void open() { dialog = std::make_unique<ViewEventsDialog>(nullptr, session, services); }

    QString page() const {
        return child<QLineEdit>(*dialog, "pageEdit")->text() + " of " +
               child<QLineEdit>(*dialog, "pageCountEdit")->text();
    }
    QDate picked() const { return child<QDateEdit>(*dialog, "datePicker")->date(); }
    bool enabled(const char* button) const { return child(*dialog, button)->isEnabled(); }

    // Each pane's notes; " (open)": Edit and X disabled, "(usable)": empty but enabled.
    Texts panes() const {
        Texts out;
        for (const std::string pane : {"1", "2", "3"}) {
            const QString notes =
                child<QPlainTextEdit>(*dialog, ("notesEdit" + pane).c_str())->toPlainText();
            const bool usable = enabled(("editButton" + pane).c_str());
            out.push_back(usable != notes.isEmpty() ? notes
                          : usable                  ? "(usable)"
                                                    : notes + " (open)");
        }
        return out;
    }

    void deletePane(int pane, MessageAnswer answer) {
        prompter.answer(answer);
        press(*dialog, ("deleteButton" + std::to_string(pane)).c_str());
    }

    // Presses a pane's Edit and moves the event to another hour in the editor.
    void movePane(int pane, const char* hour) {
        whenModal<EventDialog>(modalContext, [hour](EventDialog& editor) {
            pick(editor, "hourCombo", hour);
            press(editor, "enterButton");
        });
        press(*dialog, ("editButton" + std::to_string(pane)).c_str());
    }

    // New York's rules without the zone database: 10 March has 23 hours.
    ScopedTimeZone newYork{"EST5EDT,M3.2.0,M11.1.0"};
    std::unique_ptr<ViewEventsDialog> dialog;
};

// Next and Prev page through a day, then on by calendar days; a category search stops.
TEST_F(ViewEventsTest, NextAndPrevPageThroughTheResultsAndADateSearchMovesADay) {
    clock.set(localTime(2024, 3, 9, 23, 30));
    reset({"Work"});
    addDay(3, 9, 5, "p");
    addDay(3, 10, 7, "e", "Work");
    addDay(3, 11, 4, "n");
    open();
    const std::tuple<const char*, int, const char*, Texts> steps[] = {
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
    for (const auto& [button, day, pageShown, panesShown] : steps) {
        SCOPED_TRACE(::testing::Message() << pageShown << " on " << day);
        if (button != nullptr)
            press(*dialog, button);
        EXPECT_EQ(picked(), QDate(2024, 3, day));
        EXPECT_EQ(page(), pageShown);
        EXPECT_EQ(panes(), panesShown);
        EXPECT_TRUE(enabled("prevButton") && enabled("nextButton"));
    }
    pick(*dialog, "searchByCombo", "Category");
    pick(*dialog, "categoryCombo", "Work");
    EXPECT_EQ(panes(), (Texts{"e1", "e2", "e3"}));
    EXPECT_FALSE(enabled("prevButton"));
    dialog->prev();
    press(*dialog, "nextButton");
    press(*dialog, "nextButton");
    EXPECT_FALSE(enabled("nextButton"));
    dialog->next();
    EXPECT_EQ(page(), "3 of 3");
    EXPECT_EQ(picked(), QDate(2024, 3, 9));
}

// Delete asks, then repages; an open event loses Edit and X; a replaced document closes it.
TEST_F(ViewEventsTest, DeleteAsksThenRemovesTheEventAndRepages) {
    addDay(3, 1, 4, "é");  // UTF-8 notes shown as such
    open();
    press(*dialog, "nextButton");
    deletePane(1, No);
    EXPECT_FALSE(events().isModified());
    EXPECT_EQ(panes(), (Texts{"é4", "", ""}));
    deletePane(1, Yes);
    EXPECT_EQ(prompter.takeIds(), Ids(2, DeleteEvent));
    EXPECT_EQ(notesOf(events()), (Notes{"é1", "é2", "é3"}));
    EXPECT_TRUE(events().isModified());
    EXPECT_EQ(page(), "1 of 1");
    EXPECT_EQ(panes(), (Texts{"é1", "é2", "é3"}));
    ASSERT_TRUE(session.markOpen(events().at(1).key()));
    EXPECT_EQ(panes(), (Texts{"é1", "é2 (open)", "é3"}));
    session.clearOpen(events().at(1).key());
    EXPECT_EQ(panes(), (Texts{"é1", "é2", "é3"}));

    session.replace(session.document(), {});  // the same events, another document
    press(*dialog, "deleteButton1");
    EXPECT_TRUE(prompter.ids.empty());
    EXPECT_EQ(notesOf(events()), (Notes{"é1", "é2", "é3"}));
    EXPECT_FALSE(dialog->isVisible());
}

// Conflict mode ends itself, saying so, once deletes or edits leave none.
TEST_F(ViewEventsTest, ConflictModeEndsWhenNoConflictIsLeft) {
    for (const bool edit : {false, true}) {
        reset();
        store({2024, 3, 1, "9", "0", "a", "60"});
        store({2024, 3, 1, "10", "0", "b", "30"});  // touches 9:30 to 10:00
        store({2024, 3, 1, "15", "0", "far", "30"});
        const Event candidate = makeEvent({2024, 3, 1, "9", "30", "new", "30"});
        dialog = std::make_unique<ViewEventsDialog>(nullptr, session, services,
                                                    events().conflicts(candidate, nullptr),
                                                    &candidate, nullptr);
        EXPECT_EQ(panes(), (Texts{"a", "b", ""}));
        EXPECT_FALSE(enabled("prevButton") || enabled("nextButton"));
        edit ? movePane(2, "17") : deletePane(2, Yes);
        EXPECT_EQ(panes(), (Texts{"a", "", ""}));
        EXPECT_FALSE(dialog->ended());
        edit ? movePane(1, "18") : deletePane(1, Yes);
        EXPECT_TRUE(dialog->ended() && dialog->result() == QDialog::Rejected);
        EXPECT_EQ(prompter.takeIds(), edit ? Ids{ConflictsResolved}
                                           : (Ids{DeleteEvent, DeleteEvent, ConflictsResolved}));
        EXPECT_EQ(notesOf(events()), edit ? (Notes{"far", "b", "a"}) : (Notes{"far"}));
        dialog.reset();  // before the candidate it points at
    }
}

// Print: the events found under what was last searched for, in the clock in force.
TEST_F(ViewEventsTest, PrintPrintsTheResultsUnderWhatWasSearchedFor) {
    reset({"Work"});
    addDay(3, 4, 9, "lunch ", "Work");
    open();
    EXPECT_FALSE(enabled("printButton"));
    const auto expectPrinted = [this](const std::string& heading, const std::string& time) {
        printers.choose(dir.file("found.pdf"));
        press(*dialog, "printButton");
        const std::string text = pdfText(dir.file("found.pdf"));
        EXPECT_EQ(pageHeads(text), std::vector<std::string>(2, heading)) << text;
        EXPECT_EQ(occurrences(text, time), 1) << text;
        EXPECT_EQ(occurrences(text, "lunch 9"), 1) << text;
    };
    child<QDateEdit>(*dialog, "datePicker")->setDate(QDate(2024, 3, 4));
    expectPrinted("Date: 3/4/2024", "Time: 3/4/2024, 9:15 - 9:45");
    pick(*dialog, "searchByCombo", "Category");
    pick(*dialog, "categoryCombo", "Work");
    DateTimeText::setTwelveHourClock(true);
    expectPrinted("Category: Work", "Time: 3/4/2024, 9:15 AM - 9:45");
    DateTimeText::setTwelveHourClock(false);
    pick(*dialog, "searchByCombo", "Comment");
    child<QLineEdit>(*dialog, "commentEdit")->setText("lunch");
    press(*dialog, "searchButton");
    child<QLineEdit>(*dialog, "commentEdit")->setText("typed, not searched");
    expectPrinted("Searched Comment for: lunch", "Time: 3/4/2024, 10:45 - 11:15");
    EXPECT_EQ(prompter.ids, Ids{});
}

}  // namespace
}  // namespace almanary::testing

// Manage Categories: the sorted list, add, rename and delete with their
// refusals and questions, the Enter key, and the names written back to the
// document however the dialog ends.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/MainWindowHarness.h"
#include "app/MessageTable.h"
#include "events/CategoriesDialog.h"
#include "model/CategoryList.h"
#include "model/EventList.h"
#include "skins/CCustomButton.h"
#include "support/FakePrompter.h"
#include "support/SampleEvents.h"

namespace almanary::testing {
namespace {

using Ids = std::vector<int>;
using Names = std::vector<std::string>;

class CategoriesDialogTest : public ::testing::Test {
protected:
    // Opens the dialog on these names, with events of the given categories.
    CategoriesDialog& Open(const Names& names, const Names& eventCategories = {}) {
        categories = CategoryList(names);
        events = EventList();
        int day = 1;
        for (const std::string& category : eventCategories) {
            EventSpec spec{2024, 5, day++, "9", "0", "event " + category};
            spec.category = category;
            events.Insert(MakeEvent(spec));
        }
        events.SetModified(false);
        dialog = std::make_unique<CategoriesDialog>(nullptr, categories, events, prompter);
        dialog->show();
        return *dialog;
    }

    QComboBox* Combo() { return dialog->findChild<QComboBox*>("categoryCombo"); }
    QLineEdit* Edit() { return dialog->findChild<QLineEdit*>("nameEdit"); }
    QPushButton* Button(const char* name) { return dialog->findChild<QPushButton*>(name); }

    QStringList Shown() {
        QStringList texts;
        for (int i = 0; i < Combo()->count(); ++i)
            texts << Combo()->itemText(i);
        return texts;
    }

    // Chooses an entry with the keyboard, as a user does.
    void Select(const QString& text) {
        const int target = Combo()->findText(text, Qt::MatchExactly);
        ASSERT_GE(target, 0) << text.toStdString();
        for (int steps = 0; Combo()->currentIndex() != target && steps < 100; ++steps)
            QTest::keyClick(Combo(), Combo()->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
        ASSERT_EQ(Combo()->currentIndex(), target);
    }

    void Type(const QString& text) {
        Edit()->clear();
        QTest::keyClicks(Edit(), text);
    }

    Names EventCategories() {
        Names out;
        events.ForEach([&](const Event& e) { out.push_back(e.category()); });
        return out;
    }

    FakePrompter prompter;
    CategoryList categories;
    EventList events;
    std::unique_ptr<CategoriesDialog> dialog;
};

TEST_F(CategoriesDialogTest, OpensOnTheNamesSortedWithoutCaseAndNothingSelected) {
    Open({"work", "Birthdays", "alpha", "Zeta", "Beta"});
    EXPECT_EQ(dialog->windowTitle(), "Manage Categories");
    EXPECT_EQ(Shown(), (QStringList{"alpha", "Beta", "Birthdays", "work", "Zeta"}));
    EXPECT_EQ(Combo()->currentIndex(), -1);
    EXPECT_EQ(Edit()->text(), "");

    const std::pair<const char*, const char*> buttons[] = {{"addButton", "&Add"},
                                                           {"renameButton", "&Rename"},
                                                           {"deleteButton", "&Delete"},
                                                           {"exitButton", "E&xit"}};
    for (const auto& [name, text] : buttons) {
        SCOPED_TRACE(name);
        auto* button = qobject_cast<CCustomButton*>(Button(name));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), text);
        EXPECT_FALSE(button->autoDefault());
        EXPECT_TRUE(button->isVisible());
    }
    EXPECT_FALSE(Button("cancelButton")->isVisible());

    // The edit takes twenty characters and no more.
    Type("abcdefghijklmnopqrstu");
    EXPECT_EQ(Edit()->text(), "abcdefghijklmnopqrst");
}

TEST_F(CategoriesDialogTest, AddTrimsAndRefusesUnnamedAndDuplicateNames) {
    struct Case {
        Names list;
        QString typed;
        std::optional<int> refusal;
        QStringList shown;  // afterwards
    };
    const std::vector<Case> cases = {
        {{}, "  Travel  ", std::nullopt, {"Travel"}},
        {{"Workshop"}, "Work", std::nullopt, {"Work", "Workshop"}},
        {{"Work"}, "work", MessageId::kCategoryNotUnique, {"Work"}},
        {{"Work"}, " WORK", MessageId::kCategoryNotUnique, {"Work"}},
        {{}, "", MessageId::kNameCategory, {}},
        {{}, "   ", MessageId::kNameCategory, {}},
        {{"Home"}, "<No Category>", MessageId::kNameCategory, {"Home"}},
        {{"Home"}, "<no category>", std::nullopt, {"<no category>", "Home"}},
        {{"b", "d"}, "C", std::nullopt, {"b", "C", "d"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        prompter.ClearShown();
        Open(c.list);
        Type(c.typed);

        Button("addButton")->click();

        EXPECT_EQ(prompter.ids(), c.refusal ? Ids{*c.refusal} : Ids{});
        EXPECT_EQ(Shown(), c.shown);
        EXPECT_EQ(dialog->changed(), !c.refusal);
        // A refusal keeps what was typed; an add empties the edit.
        EXPECT_EQ(Edit()->text(), c.refusal ? c.typed : QString());
    }
}

TEST_F(CategoriesDialogTest, ChoosingAnEntryFillsTheEditAndAnAddLeavesTheChoiceAlone) {
    Open({"Home", "Work"});
    Select("Work");
    EXPECT_EQ(Edit()->text(), "Work");
    Select("Home");
    EXPECT_EQ(Edit()->text(), "Home");

    Select("Work");
    Type("Garden");
    Button("addButton")->click();
    EXPECT_EQ(Shown(), (QStringList{"Garden", "Home", "Work"}));
    EXPECT_EQ(Combo()->currentText(), "Work");
    EXPECT_EQ(Edit()->text(), "") << "an insertion is no choice of the user's";
}

TEST_F(CategoriesDialogTest, AnEmptyListRefusesDeleteAndRenameWithoutASelection) {
    Open({});
    Type("Anything");
    Button("deleteButton")->click();
    Button("renameButton")->click();
    EXPECT_EQ(prompter.ids(),
              (Ids{MessageId::kSelectCategoryToDelete, MessageId::kSelectCategoryToRename}));
    EXPECT_FALSE(dialog->changed());
    EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(CategoriesDialogTest, RenameCarriesTheNameOverToTheEventsOnlyWhenAsked) {
    struct Case {
        MessageAnswer answer;
        Names eventsAfter;
    };
    for (const Case& c : {Case{MessageAnswer::No, {"Work", "Home", "Work"}},
                          Case{MessageAnswer::Yes, {"Job", "Home", "Job"}}}) {
        SCOPED_TRACE(c.answer == MessageAnswer::Yes ? "yes" : "no");
        prompter.ClearShown();
        Open({"Home", "Work"}, {"Work", "Home", "Work"});
        Select("Work");
        Type(" Job ");
        prompter.Answer(c.answer);

        Button("renameButton")->click();

        ASSERT_EQ(prompter.ids(), Ids{MessageId::kRenameCategoryEvents});
        EXPECT_EQ(prompter.shown()[0].args, (Names{"Work", "Job"}));
        // The list takes the new name whatever the answer.
        EXPECT_EQ(Shown(), (QStringList{"Home", "Job"}));
        EXPECT_EQ(Combo()->currentIndex(), -1);
        EXPECT_EQ(Edit()->text(), "");
        EXPECT_TRUE(dialog->changed());
        EXPECT_EQ(EventCategories(), c.eventsAfter);
        EXPECT_EQ(events.IsModified(), c.answer == MessageAnswer::Yes);
    }
}

TEST_F(CategoriesDialogTest, RenameOfAnUnusedNameAsksNothingAndSkipsTheAddChecks) {
    Open({"Home", "Work"}, {"home"});
    Select("Work");
    Type("Home");  // a duplicate: left to the user, as a rename does not check
    Button("renameButton")->click();
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(Shown(), (QStringList{"Home", "Home"}));

    Select("Home");
    Type("   ");
    Button("renameButton")->click();
    EXPECT_EQ(prompter.ids(), Ids{MessageId::kUseDeleteButton});
    EXPECT_EQ(Shown(), (QStringList{"Home", "Home"}));
}

TEST_F(CategoriesDialogTest, DeleteOfAUsedNameAsksAndNeverTouchesTheEvents) {
    struct Case {
        MessageAnswer answer;
        QStringList shown;
    };
    for (const Case& c :
         {Case{MessageAnswer::No, {"Home", "Work"}}, Case{MessageAnswer::Yes, {"Home"}}}) {
        SCOPED_TRACE(c.answer == MessageAnswer::Yes ? "yes" : "no");
        prompter.ClearShown();
        Open({"Home", "Work"}, {"Work"});
        Select("Work");
        prompter.Answer(c.answer);

        Button("deleteButton")->click();

        ASSERT_EQ(prompter.ids(), Ids{MessageId::kCategoryInUse});
        EXPECT_EQ(prompter.shown()[0].args, Names{"Work"});
        EXPECT_EQ(Shown(), c.shown);
        EXPECT_EQ(dialog->changed(), c.answer == MessageAnswer::Yes);
        EXPECT_EQ(EventCategories(), Names{"Work"});
        EXPECT_FALSE(events.IsModified());
    }

    // A name no event uses goes without a question; the in-use test
    // compares letter case too.
    prompter.ClearShown();
    Open({"Home", "Work"}, {"work"});
    Select("Work");
    Button("deleteButton")->click();
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(Shown(), QStringList{"Home"});
    EXPECT_EQ(Combo()->currentIndex(), -1);
}

TEST_F(CategoriesDialogTest, TheEnterKeyActsOnTheFocusedControl) {
    struct Case {
        const char* focus;
        Ids messages;  // on an empty list, with a name typed
        bool added;
        bool ends;
    };
    const std::vector<Case> cases = {
        {"categoryCombo", {}, false, false},
        {"nameEdit", {}, true, false},
        {"addButton", {}, true, false},
        {"renameButton", {MessageId::kSelectCategoryToRename}, false, false},
        {"deleteButton", {MessageId::kSelectCategoryToDelete}, false, false},
        {"exitButton", {}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.focus);
        prompter.ClearShown();
        Open({});
        Type("Travel");
        auto* focus = dialog->findChild<QWidget*>(c.focus);
        focus->setFocus();
        ASSERT_EQ(dialog->focusWidget(), focus);

        QTest::keyClick(focus, Qt::Key_Return);

        EXPECT_EQ(prompter.ids(), c.messages);
        EXPECT_EQ(Shown(), c.added ? QStringList{"Travel"} : QStringList{});
        EXPECT_EQ(dialog->isVisible(), !c.ends);
        if (c.ends) {
            EXPECT_EQ(dialog->result(), QDialog::Accepted);
        }
    }
}

TEST_F(CategoriesDialogTest, TheNamesGoBackToTheDocumentHoweverTheDialogEnds) {
    for (const char* how : {"exit", "escape", "close box"}) {
        SCOPED_TRACE(how);
        Open({"Work", "caf\xE9"});  // an older file's 8-bit name stays as it was
        Type("Home");
        Button("addButton")->click();
        EXPECT_EQ(categories.names(), (Names{"Work", "caf\xE9"})) << "not while it is open";

        if (std::string(how) == "exit") {
            Button("exitButton")->click();
        } else if (std::string(how) == "escape") {
            QTest::keyClick(Edit(), Qt::Key_Escape);
        } else {
            dialog->close();
        }

        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(categories.names(), (Names{"caf\xE9", "Home", "Work"}));
    }
}

class CategoriesCommandTest : public MainWindowHarness {};

TEST_F(CategoriesCommandTest, TheDocumentCountsAsChangedOnlyAfterAnAction) {
    struct Case {
        bool changedBefore;
        bool add;
        bool changedAfter;
    };
    for (const Case& c :
         {Case{false, false, false}, Case{true, false, true}, Case{false, true, true}}) {
        SCOPED_TRACE(std::to_string(c.changedBefore) + std::to_string(c.add));
        window.reset();
        MainWindow& w = Window();
        w.document.categories = CategoryList({"Work"});
        w.documentChanged = c.changedBefore;
        WhenModal<CategoriesDialog>([&](CategoriesDialog& d) {
            if (c.add) {
                auto* edit = d.findChild<QLineEdit*>("nameEdit");
                QTest::keyClicks(edit, "Home");
                QTest::keyClick(edit, Qt::Key_Return);
            }
            QTest::keyClick(&d, Qt::Key_Escape);
        });

        w.RunCommand(MainCommand::Categories);

        EXPECT_EQ(w.documentChanged, c.changedAfter);
        EXPECT_EQ(w.HasUnsavedChanges(), c.changedAfter);
        EXPECT_EQ(w.document.categories.names(), c.add ? (Names{"Home", "Work"}) : Names{"Work"});
    }
}

}  // namespace
}  // namespace almanary::testing

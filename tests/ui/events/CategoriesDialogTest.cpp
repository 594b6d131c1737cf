// Manage Categories: the refusals of add, rename and delete, the questions
// about names in use, and what reaches the document.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <optional>

#include "events/CategoriesDialog.h"
#include "support/MainWindowHarness.h"
#include "support/SessionHarness.h"

namespace almanary::testing {
namespace {

using Names = std::vector<std::string>;

class CategoriesDialogTest : public SessionHarness {
protected:
    // Opens the dialog on these names, with one event per given category.
    void open(const Names& names, const Names& eventCategories = {}) {
        prompter.clearShown();
        reset(names);
        int day = 1;
        for (const std::string& category : eventCategories)
            store({2024, 5, day++, "9", "0", "event", "0", category});
        dialog = std::make_unique<CategoriesDialog>(nullptr, session, services);
        dialog->show();
    }

    QLineEdit* edit() { return child<QLineEdit>(*dialog, "nameEdit"); }

    QStringList shown() {
        QComboBox* list = child<QComboBox>(*dialog, "categoryCombo");
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->itemText(i);
        return texts;
    }

    Names eventCategories() {
        Names out;
        events().forEach([&](const Event& e) { out.push_back(e.category()); });
        return out;
    }

    std::unique_ptr<CategoriesDialog> dialog;
};

TEST_F(CategoriesDialogTest, ActionsRefuseWhatTheyCannotDoAndKeepWhatWasTyped) {
    const struct {
        Names list;
        const char* chosen;
        const char* typed;
        const char* button;
        std::optional<MessageId> refusal;
        QStringList shown;  // afterwards
    } cases[] = {
        {{}, nullptr, "  Travel  ", "addButton", std::nullopt, {"Travel"}},
        {{"Work"}, nullptr, " WORK", "addButton", MessageId::CategoryNotUnique, {"Work"}},
        {{}, nullptr, "   ", "addButton", MessageId::NameCategory, {}},
        {{"Home"}, nullptr, "<No Category>", "addButton", MessageId::NameCategory, {"Home"}},
        {{"Home"}, nullptr, "<no category>", "addButton", std::nullopt, {"<no category>", "Home"}},
        {{"Home"}, nullptr, "Job", "renameButton", MessageId::SelectCategoryToRename, {"Home"}},
        {{"Home"}, "Home", "   ", "renameButton", MessageId::UseDeleteButton, {"Home"}},
        {{"Work"}, "Work", "work", "renameButton", std::nullopt, {"work"}},
        {{"Work", "Home"}, "Work", "home", "renameButton", std::nullopt, {"Home", "home"}},
        {{"Home"}, nullptr, "Home", "deleteButton", MessageId::SelectCategoryToDelete, {"Home"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.button << " '" << c.typed << "'");
        open(c.list);
        if (c.chosen)
            activate(*dialog, "categoryCombo", c.chosen);
        edit()->setText(c.typed);
        press(*dialog, c.button);
        EXPECT_EQ(prompter.ids(), c.refusal ? Ids{*c.refusal} : Ids{});
        EXPECT_EQ(shown(), c.shown);
        EXPECT_EQ(dialog->changed(), !c.refusal);
        EXPECT_EQ(edit()->text(), c.refusal ? QString(c.typed) : QString());
    }
}

TEST_F(CategoriesDialogTest, RenameOfAUsedNameCarriesItToTheEventsOnlyOnYes) {
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        open({"Home", "Work"}, {"Work", "Home", "Work"});
        activate(*dialog, "categoryCombo", "Work");
        edit()->setText(" Job ");
        prompter.answer(yes ? MessageAnswer::Yes : MessageAnswer::No);
        press(*dialog, "renameButton");
        ASSERT_EQ(prompter.ids(), Ids{MessageId::RenameCategoryEvents});
        EXPECT_EQ(prompter.shown()[0].args, (Names{"Work", "Job"}));
        // The list takes the new name whatever the answer.
        EXPECT_EQ(shown(), (QStringList{"Home", "Job"}));
        EXPECT_EQ(eventCategories(),
                  yes ? (Names{"Job", "Home", "Job"}) : (Names{"Work", "Home", "Work"}));
        EXPECT_EQ(events().isModified(), yes);
    }
}

TEST_F(CategoriesDialogTest, DeleteOfAUsedNameAsksAndNeverTouchesTheEvents) {
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        open({"Home", "Work"}, {"Work"});
        activate(*dialog, "categoryCombo", "Work");
        prompter.answer(yes ? MessageAnswer::Yes : MessageAnswer::No);
        press(*dialog, "deleteButton");
        ASSERT_EQ(prompter.ids(), Ids{MessageId::CategoryInUse});
        EXPECT_EQ(shown(), yes ? QStringList{"Home"} : (QStringList{"Home", "Work"}));
        EXPECT_EQ(dialog->changed(), yes);
        EXPECT_EQ(eventCategories(), Names{"Work"});
        EXPECT_FALSE(events().isModified());
    }
}

class CategoriesCommandTest : public MainWindowHarness {};

// Escape keeps what was done; only a carried-out action marks the document.
TEST_F(CategoriesCommandTest, TheDocumentCountsAsChangedOnlyAfterAnAction) {
    const struct {
        bool changedBefore, add, changedAfter;
    } cases[] = {{false, false, false}, {true, false, true}, {false, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.changedBefore << c.add);
        window_.reset();
        MainWindow& w = window();
        w.session().setCategories(CategoryList({"Work"}));
        if (c.changedBefore)
            w.session().markChanged();
        whenModal<CategoriesDialog>(modalContext, [&](CategoriesDialog& d) {
            if (c.add) {
                child<QLineEdit>(d, "nameEdit")->setText("Home");
                press(d, "addButton");
            }
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        w.runCommand(MainCommand::Categories);
        EXPECT_EQ(w.session().hasUnsavedChanges(), c.changedAfter);
        EXPECT_EQ(w.session().document().categories.names(),
                  c.add ? (Names{"Home", "Work"}) : Names{"Work"});
    }
}

}  // namespace
}  // namespace almanary::testing

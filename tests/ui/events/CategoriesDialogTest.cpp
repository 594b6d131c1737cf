// Manage Categories: the refusals of add, rename and delete, the questions
// about names in use, and what reaches the document.

#include "events/CategoriesDialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <optional>

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
            pick(*dialog, "categoryCombo", c.chosen);
        edit()->setText(c.typed);
        press(*dialog, c.button);
        EXPECT_EQ(prompter.ids(), c.refusal ? Ids{*c.refusal} : Ids{});
        EXPECT_EQ(shown(), c.shown);
        EXPECT_EQ(dialog->changed(), !c.refusal);
        EXPECT_EQ(edit()->text(), c.refusal ? QString(c.typed) : QString());
    }
}

// A rename renames in the list whatever the answer, and the events only on
// Yes; a delete deletes from the list on Yes, never from the events.
TEST_F(CategoriesDialogTest, ANameInUseIsAskedAboutAndOnlyARenameReachesTheEvents) {
    for (const bool rename : {true, false}) {
        for (const bool yes : {false, true}) {
            SCOPED_TRACE(::testing::Message() << rename << yes);
            open({"Home", "Work"}, {"Work", "Home", "Work"});
            pick(*dialog, "categoryCombo", "Work");
            edit()->setText(" Job ");
            prompter.answer(yes ? MessageAnswer::Yes : MessageAnswer::No);
            press(*dialog, rename ? "renameButton" : "deleteButton");
            ASSERT_EQ(prompter.ids(),
                      Ids{rename ? MessageId::RenameCategoryEvents : MessageId::CategoryInUse});
            EXPECT_EQ(prompter.shown()[0].args, rename ? (Names{"Work", "Job"}) : Names{"Work"});
            EXPECT_EQ(shown(), rename
                                   ? (QStringList{"Home", "Job"})
                                   : (yes ? QStringList{"Home"} : (QStringList{"Home", "Work"})));
            EXPECT_EQ(dialog->changed(), rename || yes);
            EXPECT_EQ(eventCategories(), rename && yes ? (Names{"Job", "Home", "Job"})
                                                       : (Names{"Work", "Home", "Work"}));
            EXPECT_EQ(events().isModified(), rename && yes);
        }
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
        session().setCategories(CategoryList({"Work"}));
        if (c.changedBefore)
            session().markChanged();
        whenModal<CategoriesDialog>(modalContext, [&](CategoriesDialog& d) {
            if (c.add) {
                child<QLineEdit>(d, "nameEdit")->setText("Home");
                press(d, "addButton");
            }
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        window().runCommand(MainCommand::Categories);
        EXPECT_EQ(session().hasUnsavedChanges(), c.changedAfter);
        EXPECT_EQ(session().document().categories.names(),
                  c.add ? (Names{"Home", "Work"}) : Names{"Work"});
    }
}

}  // namespace
}  // namespace almanary::testing

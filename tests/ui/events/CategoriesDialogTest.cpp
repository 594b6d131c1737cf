// Manage Categories: refusals, names in use, and what reaches the document.

#include "events/CategoriesDialog.h"

#include <QLineEdit>

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

    std::unique_ptr<CategoriesDialog> dialog;
};

// Refusals keep what was typed; Escape keeps what was done, which alone marks the document.
TEST_F(CategoriesDialogTest, ActionsRefuseWhatTheyCannotDoAndKeepWhatWasTyped) {
    // The list, the entry chosen, the name typed, the button, the refusal, the list after.
    const std::tuple<Names, const char*, const char*, const char*, std::optional<MessageId>, Names>
        cases[] = {
            {{}, nullptr, "  Travel  ", "addButton", std::nullopt, {"Travel"}},
            {{"Work"}, nullptr, " WORK", "addButton", CategoryNotUnique, {"Work"}},
            {{"Home"}, nullptr, "<No Category>", "addButton", NameCategory, {"Home"}},
            {{"Home"}, nullptr, "Job", "renameButton", SelectCategoryToRename, {"Home"}},
            {{"Home"}, "Home", "   ", "renameButton", UseDeleteButton, {"Home"}},
            {{"Work", "Home"}, "Work", "home", "renameButton", std::nullopt, {"Home", "home"}},
            {{"Home"}, nullptr, "Home", "deleteButton", SelectCategoryToDelete, {"Home"}},
        };
    for (const auto& [list, chosen, typed, button, refusal, after] : cases) {
        SCOPED_TRACE(::testing::Message() << button << " '" << typed << "'");
        open(list);
        if (chosen)
            pick(*dialog, "categoryCombo", chosen);
        edit()->setText(typed);
        press(*dialog, button);
        EXPECT_EQ(prompter.ids, refusal ? Ids{*refusal} : Ids{});
        EXPECT_EQ(itemTexts(*dialog, "categoryCombo"), after);
        EXPECT_EQ(edit()->text(), refusal ? QString(typed) : QString());
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        EXPECT_EQ(session.hasUnsavedChanges(), !refusal);
        EXPECT_EQ(session.document().categories.names(), after);
    }
}

// A name in use: a rename reaches the events on Yes; a delete, only the list.
TEST_F(CategoriesDialogTest, ANameInUseIsAskedAboutAndOnlyARenameReachesTheEvents) {
    for (const bool rename : {true, false}) {
        for (const bool yes : {false, true}) {
            open({"Home", "Work"}, {"Work", "Home", "Work"});
            pick(*dialog, "categoryCombo", "Work");
            edit()->setText(" Job ");
            prompter.answer(yes ? Yes : No);
            press(*dialog, rename ? "renameButton" : "deleteButton");
            ASSERT_EQ(prompter.ids, Ids{rename ? RenameCategoryEvents : CategoryInUse});
            EXPECT_EQ(prompter.args[0], rename ? (Names{"Work", "Job"}) : Names{"Work"});
            EXPECT_EQ(
                itemTexts(*dialog, "categoryCombo"),
                rename ? (Names{"Home", "Job"}) : (yes ? Names{"Home"} : (Names{"Home", "Work"})));
            EXPECT_EQ(dialog->changed(), rename || yes);
            Names categories;
            events().forEach([&](const Event& e) { categories.push_back(e.category()); });
            EXPECT_EQ(categories, rename && yes ? (Names{"Job", "Home", "Job"})
                                                : (Names{"Work", "Home", "Work"}));
            EXPECT_EQ(events().isModified(), rename && yes);
        }
    }
}

}  // namespace
}  // namespace almanary::testing

#include "model/CategoryEditor.h"

#include <gtest/gtest.h>

#include "model/AsciiText.h"

namespace almanary {
namespace {

using Names = std::vector<std::string>;
using Problem = CategoryEditor::Problem;
using Rule = CategoryEditor::RenameRule;

// Adds to {"Work", "Home"}, or renames of Work by the command line's or the dialog's rule.
TEST(CategoryEditorTest, ChangesTrimCheckAndKeepTheCaseBlindOrder) {
    const std::tuple<std::optional<Rule>, std::string, Problem, Names> cases[] = {
        {{}, " Wor\t", Problem::None, {"Home", "Wor", "Work"}},  // a prefix is another name
        {{}, "WORK", Problem::NotUnique, {"Home", "Work"}},
        {{}, "<No Category>", Problem::Unnamed, {"Home", "Work"}},
        {Rule::AsAdd, "work", Problem::None, {"Home", "work"}},  // itself, in other letters
        {Rule::AsAdd, "home", Problem::NotUnique, {"Home", "Work"}},
        {Rule::Lenient, "home", Problem::None, {"Home", "home"}},  // after its equal
        {Rule::Lenient, "<No Category>", Problem::None, {"<No Category>", "Home"}},
        {Rule::Lenient, "", Problem::RenamedToNone, {"Home", "Work"}},
    };
    for (const auto& [rename, typed, problem, after] : cases) {
        CategoryEditor editor(CategoryList(Names{"Work", "Home"}));
        const CategoryEditor::Change change =
            rename ? editor.rename(*editor.indexOf("Work"), typed, *rename) : editor.add(typed);
        EXPECT_EQ(change.problem, problem) << typed;
        EXPECT_EQ(editor.names(), after) << typed;
        if (problem == Problem::None) {
            EXPECT_EQ(editor.names()[change.index], AsciiText::trimmed(typed)) << typed;
        }
    }
    CategoryEditor editor(CategoryList(Names{"b", "A", "a", "B"}));
    editor.remove(*editor.indexOf("a"));
    EXPECT_EQ(editor.list().names(), (Names{"A", "b", "B"}));
    EXPECT_FALSE(editor.indexOf("c"));
    // A list ends at its first empty name; the choices sort "[" before letters, as lower case.
    EXPECT_EQ(CategoryList(Names{"work", "[x]", "Home", "", "c"}).choices(),
              (Names{"<No Category>", "[x]", "Home", "work"}));
    EXPECT_EQ(CategoryEditor(CategoryList(Names{"Über"})).add("über").problem, Problem::NotUnique);
}

}  // namespace
}  // namespace almanary

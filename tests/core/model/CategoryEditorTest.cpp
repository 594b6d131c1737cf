#include "model/AsciiText.h"
#include "model/CategoryEditor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace almanary {
namespace {

using Names = std::vector<std::string>;
using Problem = CategoryEditor::Problem;
using Rule = CategoryEditor::RenameRule;

TEST(CategoryEditorTest, AddTrimsChecksAndKeepsTheCaseBlindOrder) {
    std::string accents;  // 20 characters of two bytes each
    for (int i = 0; i < 20; ++i)
        accents += "\xc3\xa9";
    const struct {
        std::string typed;
        Problem problem;
        Names after;
    } cases[] = {
        {"  Home \t", Problem::None, {"Home", "Work", "Workshop"}},
        {"work", Problem::NotUnique, {"Work", "Workshop"}},
        {"WORKSHOP", Problem::NotUnique, {"Work", "Workshop"}},
        {"Wor", Problem::None, {"Wor", "Work", "Workshop"}},  // a prefix is another name
        {"   ", Problem::Unnamed, {"Work", "Workshop"}},
        {"<No Category>", Problem::Unnamed, {"Work", "Workshop"}},
        {"<no category>", Problem::None, {"<no category>", "Work", "Workshop"}},
        {accents, Problem::None, {accents, "Work", "Workshop"}},  // bytes above 127 sort first
        {accents + "e", Problem::TooLong, {"Work", "Workshop"}},
    };
    for (const auto& c : cases) {
        CategoryEditor editor(CategoryList(Names{"Workshop", "Work"}));
        const CategoryEditor::Change change = editor.add(c.typed);
        EXPECT_EQ(change.problem, c.problem) << c.typed;
        EXPECT_EQ(editor.names(), c.after) << c.typed;
        if (change.problem == Problem::None) {
            EXPECT_EQ(editor.names()[change.index], AsciiText::trimmed(c.typed)) << c.typed;
        }
    }
}

TEST(CategoryEditorTest, RenameMovesTheNameAndChecksOnlyWhatItsRuleAsks) {
    const struct {
        const char* typed;
        Rule rule;
        Problem problem;
        Names after;
    } cases[] = {
        {"work", Rule::AsAdd, Problem::None, {"Home", "work"}},  // itself, in other letters
        {"home", Rule::AsAdd, Problem::NotUnique, {"Home", "Work"}},
        {"<No Category>", Rule::AsAdd, Problem::Unnamed, {"Home", "Work"}},
        {" Away ", Rule::AsAdd, Problem::None, {"Away", "Home"}},
        {"  ", Rule::AsAdd, Problem::RenamedToNone, {"Home", "Work"}},
        // The dialog's rename takes any name but an empty one.
        {"home", Rule::Lenient, Problem::None, {"Home", "home"}},
        {"<No Category>", Rule::Lenient, Problem::None, {"<No Category>", "Home"}},
        {"", Rule::Lenient, Problem::RenamedToNone, {"Home", "Work"}},
    };
    for (const auto& c : cases) {
        CategoryEditor editor(CategoryList(Names{"Work", "Home"}));
        const auto change = editor.rename(*editor.indexOf("Work"), c.typed, c.rule);
        EXPECT_EQ(change.problem, c.problem) << c.typed;
        EXPECT_EQ(editor.names(), c.after) << c.typed;
    }
}

TEST(CategoryEditorTest, EqualNamesKeepTheirOrderAndRemoveTakesOne) {
    CategoryEditor editor(CategoryList(Names{"b", "A", "a", "B"}));
    EXPECT_EQ(editor.names(), (Names{"A", "a", "b", "B"}));
    editor.remove(*editor.indexOf("a"));
    EXPECT_EQ(editor.list().names(), (Names{"A", "b", "B"}));
    EXPECT_FALSE(editor.indexOf("c"));
}

}  // namespace
}  // namespace almanary

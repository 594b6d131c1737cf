#include "model/UnicodeText.h"

#include <gtest/gtest.h>

#include "model/CategoryEditor.h"

namespace almanary::testing {
namespace {

// The same word in Latin-1, as older files hold it.
const std::string kLatinEte = "\xe9t\xe9", kLatinEteUpper = "\xc9T\xc9";

TEST(UnicodeTextTest, FoldCaseIsFullUnicodeFoldingOfValidUtf8Only) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"Plain ASCII", "plain ascii"},
        {"ÉTÉ", "été"},
        {"Straße", "strasse"},      // one letter becomes two
        {"\u212aelvin", "kelvin"},  // the Kelvin sign
        {"Σίσυφος", "σίσυφοσ"},     // every sigma alike
        {"", ""},
        {kLatinEteUpper, std::nullopt},  // not UTF-8
        {"\xc3", std::nullopt},          // cut short
    };
    for (const auto& [text, folded] : cases)
        EXPECT_EQ(UnicodeText::foldCase(text), folded) << text;
    // Eight bytes are looked at together, the rest one by one.
    EXPECT_TRUE(UnicodeText::isAscii("twelve bytes ok, more than eight"));
    EXPECT_FALSE(UnicodeText::isAscii("été: a word"));
    EXPECT_FALSE(UnicodeText::isAscii("a tail: é"));
}

TEST(UnicodeTextTest, CategoryNamesAreUniqueWhateverTheirLetterCase) {
    const std::tuple<std::string, std::string, CategoryEditor::Problem> cases[] = {
        {"Über", "über", CategoryEditor::Problem::NotUnique},
        {"Straße", "STRASSE", CategoryEditor::Problem::NotUnique},
        {"Über", "Uber", CategoryEditor::Problem::None},             // another letter
        {kLatinEte, kLatinEteUpper, CategoryEditor::Problem::None},  // 8-bit: A to Z only
        {"Tea " + kLatinEte, "TEA " + kLatinEte, CategoryEditor::Problem::NotUnique},
    };
    for (const auto& [existing, typed, problem] : cases) {
        CategoryEditor editor(CategoryList(std::vector<std::string>{existing}));
        EXPECT_EQ(editor.add(typed).problem, problem) << existing << " / " << typed;
    }
}

}  // namespace
}  // namespace almanary::testing

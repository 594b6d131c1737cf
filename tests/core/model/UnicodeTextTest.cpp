#include "model/UnicodeText.h"

#include <gtest/gtest.h>

namespace almanary {
namespace {

// Full Unicode folding of valid UTF-8 only; texts that are not (older 8-bit
// files) compare from A to Z alone.
TEST(UnicodeTextTest, FoldingAndComparingIgnoringCase) {
    const std::string latinEte = "\xe9t\xe9", latinEteUpper = "\xc9T\xc9";
    const std::pair<std::string, std::optional<std::string>> folds[] = {
        {"Plain ASCII", "plain ascii"}, {"ÉTÉ", "été"}, {"Straße", "strasse"}, {"", ""},
        {latinEteUpper, std::nullopt},  // not UTF-8
        {"\xc3", std::nullopt},         // cut short
    };
    for (const auto& [text, folded] : folds)
        EXPECT_EQ(UnicodeText::foldCase(text), folded) << text;
    const std::tuple<std::string, std::string, bool> pairs[] = {
        {"Über", "über", true},
        {"Über", "Uber", false},
        {latinEte, latinEteUpper, false},
        {"Tea " + latinEte, "TEA " + latinEte, true},
    };
    for (const auto& [a, b, equal] : pairs)
        EXPECT_EQ(UnicodeText::equalIgnoringCase(a, b), equal) << a << " / " << b;
    // Eight bytes are looked at together, the rest one by one.
    EXPECT_TRUE(UnicodeText::isAscii("twelve bytes ok, more than eight"));
    EXPECT_FALSE(UnicodeText::isAscii("été: a word") || UnicodeText::isAscii("a tail: é"));
}

}  // namespace
}  // namespace almanary

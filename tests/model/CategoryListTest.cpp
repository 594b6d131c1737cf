#include "model/CategoryList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace almanary {
namespace {

using Names = std::vector<std::string>;

TEST(CategoryListTest, NamesEndAtTheFirstEmptyOne) {
    const struct {
        Names given;
        Names kept;
    } cases[] = {
        {{}, {}},           {{"Work", "Home"}, {"Work", "Home"}}, {{"Work", "", "Home"}, {"Work"}},
        {{"", "Work"}, {}}, {{"b", "a", "b"}, {"b", "a", "b"}},  // order as given, repeats kept
    };
    for (const auto& c : cases)
        EXPECT_EQ(CategoryList(c.given).names(), c.kept);

    CategoryList list;
    EXPECT_TRUE(list.empty());
    list.Append("Work");
    list.Append("");
    list.Append("Home");
    EXPECT_EQ(list.names(), (Names{"Work", "Home"}));
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(list, CategoryList(Names{"Work", "Home"}));
    EXPECT_NE(list, CategoryList(Names{"Home", "Work"}));
}

TEST(CategoryListTest, LookupsByteForByteAndIgnoringAsciiCase) {
    const CategoryList list(Names{"Work", "caf\xc3\xa9", "[x]"});
    const struct {
        const char* name;
        bool exact;
        bool ignoringCase;
    } cases[] = {
        {"Work", true, true},
        {"WORK", false, true},
        {"work", false, true},
        {"Work ", false, false},
        {"Wor", false, false},
        {"CAF\xc3\xa9", false, true},
        {"caf\xc3\x89", false, false},  // no folding beyond A to Z
        {"{x}", false, false},          // '{' is not a folded '['
        {"", false, false},
        {kNoCategory, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(list.Contains(c.name), c.exact) << c.name;
        EXPECT_EQ(list.ContainsIgnoringCase(c.name), c.ignoringCase) << c.name;
    }
}

}  // namespace
}  // namespace almanary

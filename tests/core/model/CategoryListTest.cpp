#include "model/CategoryList.h"
#include "model/CategoryRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace almanary {
namespace {

using Names = std::vector<std::string>;

TEST(CategoryListTest, NamesEndAtTheFirstEmptyOneAndLookupsFoldAsciiOnly) {
    EXPECT_EQ(CategoryList(Names{"b", "a", "b", "", "c"}).names(), (Names{"b", "a", "b"}));
    CategoryList list(Names{"Work", "caf\xc3\xa9"});
    list.append("");  // would end the list: ignored
    list.append("[x]");
    EXPECT_EQ(list.names(), (Names{"Work", "caf\xc3\xa9", "[x]"}));
    const struct {
        const char* name;
        bool exact, ignoringCase;
    } cases[] = {{"Work", true, true},         {"wORK", false, true},
                 {"Work ", false, false},      {"Wor", false, false},
                 {"CAF\xc3\xa9", false, true}, {"caf\xc3\x89", false, false},
                 {"{x]", false, false},        {"", false, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(list.contains(c.name), c.exact) << c.name;
        const bool taken = CategoryRules::checkNewName(c.name, list.names()) ==
                           CategoryRules::NameProblem::NotUnique;
        EXPECT_EQ(taken, c.ignoringCase) << c.name;
    }
}

}  // namespace
}  // namespace almanary

#include "model/CategoryList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace almanary {
namespace {

using Names = std::vector<std::string>;

TEST(CategoryListTest, NamesEndAtTheFirstEmptyOneAndChoicesAreSortedIgnoringCase) {
    EXPECT_EQ(CategoryList(Names{"b", "a", "b", "", "c"}).names(), (Names{"b", "a", "b"}));
    CategoryList list(Names{"work", "Home", "caf\xc3\xa9"});
    list.append("");  // would end the list: ignored
    list.append("[x]");
    EXPECT_EQ(list.names(), (Names{"work", "Home", "caf\xc3\xa9", "[x]"}));
    EXPECT_TRUE(list.contains("work"));
    EXPECT_FALSE(list.contains("Work"));
    // Letters compare as lower case, so "[" comes before every letter.
    EXPECT_EQ(list.choices(), (Names{"<No Category>", "[x]", "caf\xc3\xa9", "Home", "work"}));
}

}  // namespace
}  // namespace almanary

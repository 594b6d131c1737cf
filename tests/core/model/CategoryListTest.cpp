#include "model/CategoryList.h"

#include <gtest/gtest.h>

namespace almanary {
namespace {

using Names = std::vector<std::string>;

// Letters compare as lower case, so "[" comes before every letter.
TEST(CategoryListTest, NamesEndAtTheFirstEmptyOneAndChoicesAreSortedIgnoringCase) {
    EXPECT_EQ(CategoryList(Names{"b", "a", "b", "", "c"}).names(), (Names{"b", "a", "b"}));
    CategoryList list(Names{"work", "Home", "caf\xc3\xa9"});
    list.append("");  // would end the list: ignored
    list.append("[x]");
    EXPECT_TRUE(list.contains("work") && !list.contains("Work"));
    EXPECT_EQ(list.choices(), (Names{"<No Category>", "[x]", "caf\xc3\xa9", "Home", "work"}));
}

}  // namespace
}  // namespace almanary

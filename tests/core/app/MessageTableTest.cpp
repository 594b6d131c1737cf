// The message table: complete, unambiguous, and filled in as shown.
#include "app/MessageTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace almanary {
namespace {

TEST(MessageTable, EveryIdIsUniqueAndHasText) {
    std::set<int> seen;
    for (const Message& message : MessageTable::all()) {
        EXPECT_TRUE(seen.insert(message.id).second) << "id " << message.id << " twice";
        EXPECT_EQ(&MessageTable::find(message.id), &message);
        EXPECT_NE(message.id, 0);
        EXPECT_FALSE(std::string_view(message.text).empty()) << message.id;
    }
    // The program's string table runs without a gap from 101 to 148.
    for (int id = 101; id <= 148; ++id)
        EXPECT_EQ(seen.count(id), 1u) << "no message " << id;
    EXPECT_EQ(MessageTable::find(99999).id, 0);
}

TEST(MessageTable, FillsNumberedPlaceholders) {
    EXPECT_EQ(MessageTable::format(MessageId::kRenameCategoryEvents, {"Work", "Job"}),
              "There are currently events that are in the Work category.\n"
              "Would you like to rename the category of these events to Job?");
    EXPECT_EQ(MessageTable::formatWith(MessageId::kShareNotFound, {"host", "cal"}),
              "Could not find a almanary on host shared under the name cal.");
    // Arguments are not searched again, and a missing one leaves its mark.
    EXPECT_EQ(MessageTable::fill("%1 and %2", {"%2"}), "%2 and %2");
    EXPECT_EQ(MessageTable::fill("100% of %1%", {"x"}), "100% of x%");
}

}  // namespace
}  // namespace almanary

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
        const int id = static_cast<int>(message.id);
        EXPECT_TRUE(seen.insert(id).second) << "id " << id << " twice";
        EXPECT_EQ(&MessageTable::find(message.id), &message);
        EXPECT_FALSE(std::string_view(message.text).empty()) << id;
    }
    // The program's string table runs without a gap from 101 to 148.
    for (int id = 101; id <= 148; ++id)
        EXPECT_EQ(seen.count(id), 1u) << "no message " << id;
    EXPECT_EQ(std::string(MessageTable::find(static_cast<MessageId>(99999)).text),
              "Unknown message.");
}

TEST(MessageTable, FillsNumberedPlaceholders) {
    EXPECT_EQ(MessageTable::format(MessageId::RenameCategoryEvents, {"Work", "Job"}),
              "There are currently events that are in the Work category.\n"
              "Would you like to rename the category of these events to Job?");
    EXPECT_EQ(MessageTable::format(Notice{MessageId::ShareNotFound, {"host", "cal"}}),
              "Could not find a almanary on host shared under the name cal.");
    // Arguments are not searched again, and a missing one leaves its mark.
    EXPECT_EQ(MessageTable::format(MessageId::RenameCategoryEvents, {"%2"}).substr(0, 46),
              "There are currently events that are in the %2 ");
    const std::string_view percent[] = {"x"};
    EXPECT_EQ(MessageTable::fill("100% of %1%", percent), "100% of x%");
}

}  // namespace
}  // namespace almanary

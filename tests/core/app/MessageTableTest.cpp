#include "app/MessageTable.h"

#include <gtest/gtest.h>

#include <set>

namespace almanary {
namespace {

// The program's string table runs without a gap from 101 to 148.
TEST(MessageTableTest, EveryIdIsUniqueAndHasText) {
    std::set<int> seen;
    for (const Message& message : MessageTable::all()) {
        const int id = static_cast<int>(message.id);
        EXPECT_TRUE(seen.insert(id).second) << "id " << id << " twice";
        EXPECT_EQ(&MessageTable::find(message.id), &message);
        EXPECT_FALSE(std::string_view(message.text).empty()) << id;
    }
    for (int id = 101; id <= 148; ++id)
        EXPECT_EQ(seen.count(id), 1u) << "no message " << id;
    EXPECT_STREQ(MessageTable::find(static_cast<MessageId>(99999)).text, "Unknown message.");
}

}  // namespace
}  // namespace almanary

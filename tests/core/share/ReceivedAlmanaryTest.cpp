#include "share/ReceivedAlmanary.h"

#include <gtest/gtest.h>

#include "app/FileLock.h"
#include "support/PrivateLockFolder.h"
#include "support/ShareTestPeers.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

using Kind = ReceivedAlmanary::WriteFailure::Kind;
using Target = ReceivedAlmanary::Target;

// Each target writes where it may, and never while another writer holds the lock.
TEST(ReceivedAlmanaryTest, WritesOnlyWhereItsTargetAllows) {
    const TempDir dir;
    const std::string path = dir.file("cal.alm"), old = "old contents";
    const auto received = ReceivedAlmanary::accept(almanaryBytes("New"), "test");
    ASSERT_TRUE(received);
    const struct {
        Target target;
        bool exists;
        std::optional<Kind> refused;
    } cases[] = {
        {Target::ExistingFile, true, std::nullopt}, {Target::ExistingFile, false, Kind::Missing},
        {Target::NewFile, true, Kind::Exists},      {Target::NewFile, false, std::nullopt},
        {Target::AnyFile, true, std::nullopt},      {Target::AnyFile, false, std::nullopt},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(path);
        if (c.exists)
            writeFile(path, old);
        const auto failure = received->write(path, c.target);
        EXPECT_EQ(failure ? std::optional(failure->kind) : std::nullopt, c.refused);
        EXPECT_EQ(readFile(path), c.refused ? (c.exists ? old : "") : received->bytes());
    }
    const auto lock = FileLock::acquire(path);
    const auto busy = received->write(path, Target::AnyFile, std::chrono::milliseconds(0));
    EXPECT_EQ(busy ? std::optional(busy->kind) : std::nullopt, Kind::Busy);
}

}  // namespace
}  // namespace almanary::testing

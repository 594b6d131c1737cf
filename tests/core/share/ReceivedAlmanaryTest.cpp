#include "share/ReceivedAlmanary.h"

#include "app/FileLock.h"
#include "support/PrivateLockFolder.h"
#include "support/ShareTestPeers.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

using Kind = ReceivedAlmanary::WriteFailure::Kind;
using Target = ReceivedAlmanary::Target;

// A new file never replaces one, and nothing is written while another writer
// holds the lock (the server's and the CLI's tests write the other targets).
TEST(ReceivedAlmanaryTest, NoNewFileOverAnotherAndNoWriteWithoutTheLock) {
    const TempDir dir;
    const std::string path = dir.file("cal.alm");
    const auto received = ReceivedAlmanary::accept(almanaryBytes("New"), "test");
    ASSERT_TRUE(received);
    writeFile(path, "old");
    EXPECT_EQ(received->write(path, Target::NewFile).value().kind, Kind::Exists);
    const auto lock = FileLock::acquire(path);
    EXPECT_EQ(received->write(path, Target::AnyFile, std::chrono::milliseconds(0)).value().kind,
              Kind::Busy);
    EXPECT_EQ(readFile(path), "old");
}

}  // namespace
}  // namespace almanary::testing

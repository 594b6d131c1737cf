#include "model/FileReading.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary {
namespace {

using Problem = FileContents::Problem;
constexpr std::size_t kNoLimit = FileReading::kNoLimit;

TEST(FileReadingTest, ReadsOrdinaryFilesWholeAndRefusesAllElseAtOnce) {
    const testing::TempDir dir;
    const std::string big(70000, 'b');  // more than the first read when the size is unknown
    testing::writeFile(dir.file("big"), big);
    testing::writeFile(dir.file("empty"), "");
    testing::writeFile(dir.file("locked"), "secret");
    ::chmod(dir.file("locked").c_str(), 0);
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    struct Case {
        std::string path;
        std::size_t limit;
        Problem problem;
        std::string bytesOrReason;
    };
    std::vector<Case> cases = {
        {dir.file("big"), big.size(), Problem::None, big},
        {dir.file("empty"), 0, Problem::None, ""},
        {dir.file("big"), big.size() - 1, Problem::CannotRead, "it is larger than 69999 bytes"},
        {dir.file("gone"), kNoLimit, Problem::Missing, "No such file or directory"},
        {dir.path().string(), kNoLimit, Problem::CannotRead, "it is a folder"},
        {dir.file("pipe"), kNoLimit, Problem::CannotRead, "it is not an ordinary file"},
        // Files whose size says 0: one past the limit is read, and no more.
        {"/proc/self/status", 10, Problem::CannotRead, "it is larger than 10 bytes"},
        {"/proc/self/mem", kNoLimit, Problem::CannotRead, "Input/output error"},
    };
    if (::geteuid() != 0)  // the superuser reads any file
        cases.push_back({dir.file("locked"), kNoLimit, Problem::CannotOpen, "Permission denied"});
    for (const Case& c : cases) {
        const FileContents read = FileReading::readWholeFile(c.path, c.limit);
        EXPECT_EQ(read.problem, c.problem) << c.path;
        EXPECT_EQ(read.ok() ? read.bytes : read.reason, c.bytesOrReason) << c.path;
        EXPECT_TRUE(read.ok() || read.bytes.empty()) << c.path;
    }
    EXPECT_EQ(FileReading::readWholeFile("/proc/self/status", kNoLimit).bytes.rfind("Name:", 0),
              0u);
}

}  // namespace
}  // namespace almanary

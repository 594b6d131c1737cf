#include "model/FileReading.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

using Problem = FileContents::Problem;

// Files whose size says 0 are read to one past the limit, and no more.
TEST(FileReadingTest, ReadsOrdinaryFilesWholeWithinTheLimit) {
    const TempDir dir;
    const std::string big(70000, 'b');  // more than the first read when the size is unknown
    writeFile(dir.file("big"), big);
    writeFile(dir.file("locked"), "secret");
    ::chmod(dir.file("locked").c_str(), 0);
    std::vector<std::tuple<std::string, std::size_t, Problem, std::string>> cases = {
        {dir.file("big"), big.size(), Problem::None, big},
        {dir.file("big"), big.size() - 1, Problem::CannotRead, "it is larger than 69999 bytes"},
        {dir.file("gone"), 9, Problem::Missing, "No such file or directory"},
        {"/proc/self/status", 10, Problem::CannotRead, "it is larger than 10 bytes"},
        {"/proc/self/mem", 9, Problem::CannotRead, "Input/output error"}};
    if (::geteuid() != 0)  // the superuser reads any file
        cases.emplace_back(dir.file("locked"), 9, Problem::CannotOpen, "Permission denied");
    for (const auto& [path, limit, problem, bytesOrReason] : cases) {
        const FileContents read = FileReading::readWholeFile(path, limit);
        EXPECT_EQ(read.problem, problem) << path;
        EXPECT_EQ(read.ok() ? read.bytes : read.reason, bytesOrReason) << path;
        EXPECT_TRUE(read.ok() || read.bytes.empty()) << path;
    }
}

}  // namespace
}  // namespace almanary::testing

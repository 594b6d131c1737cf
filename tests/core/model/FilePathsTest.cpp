#include "model/FilePaths.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

namespace fs = std::filesystem;

// Two paths are the same when they name the same file, found or not.
TEST(FilePathsTest, SamePathComparesTheNamedFile) {
    const TempDir dir;
    const std::string at = dir.path().string() + "/";
    fs::create_directories(dir.path() / "sub");
    writeFile(at + "cal.alm", "x");
    fs::create_symlink(at + "cal.alm", at + "link.alm");
    fs::create_directory_symlink(dir.path() / "sub", dir.path() / "sublink");
    const std::tuple<std::string, std::string, bool> cases[] = {
        {at + "cal.alm", at + "sub//..//./cal.alm", true},
        {at + "cal.alm", at + "link.alm", true},
        {at + "sub/new.alm", at + "sublink/new.alm", true},  // missing, in a linked folder
        {at + "cal.alm", fs::relative(at + "cal.alm").string(), true},
        {at + "cal.alm", at + "cal.alm2", false},
        {"", "", false}};
    for (const auto& [a, b, same] : cases)
        EXPECT_EQ(samePath(a, b), same) << a << " vs " << b;
}

}  // namespace
}  // namespace almanary::testing

#include "model/FilePaths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary {
namespace {

namespace fs = std::filesystem;

// Two paths are the same when they name the same file, found or not.
TEST(FilePathsTest, SamePathComparesTheNamedFile) {
    const testing::TempDir dir;
    const std::string at = dir.path().string() + "/";
    fs::create_directories(dir.path() / "sub");
    testing::writeFile(at + "cal.alm", "x");
    fs::create_symlink(at + "cal.alm", at + "link.alm");
    fs::create_directory_symlink(dir.path() / "sub", dir.path() / "sublink");
    const struct {
        std::string a, b;
        bool same;
    } cases[] = {
        {at + "cal.alm", at + "sub//..//./cal.alm", true},
        {at + "cal.alm", at + "link.alm", true},
        {at + "sub/new.alm", at + "sublink/new.alm", true},  // missing file, linked folder
        {at + "cal.alm", fs::relative(at + "cal.alm").string(), true},
        {at + "cal.alm", at + "cal.alm2", false},  // a longer name is another file
        {at + "cal.alm", at + "CAL.ALM", false},
        {"", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(samePath(c.a, c.b), c.same) << c.a << " vs " << c.b;
}

}  // namespace
}  // namespace almanary

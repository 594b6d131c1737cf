#include "model/FilePaths.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

namespace fs = std::filesystem;

// Two paths are the same when they name the same file, found or not (how
// links and spellings resolve is std::filesystem's); an empty path names none.
TEST(FilePathsTest, SamePathComparesTheNamedFile) {
    const TempDir dir;
    fs::create_directories(dir.path() / "sub");
    fs::create_directory_symlink(dir.path() / "sub", dir.path() / "link");
    writeFile(dir.file("sub/cal.alm"), "x");
    EXPECT_TRUE(samePath(dir.file("sub/cal.alm"), dir.file("link/../sub/./cal.alm")));
    EXPECT_TRUE(samePath(dir.file("sub/new.alm"), dir.file("link/new.alm")));
    EXPECT_FALSE(samePath(dir.file("sub/cal.alm"), dir.file("sub/cal.alm2")));
    EXPECT_FALSE(samePath("", ""));
}

}  // namespace
}  // namespace almanary::testing

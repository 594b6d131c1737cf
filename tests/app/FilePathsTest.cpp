#include "model/FilePaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/TempDir.h"

namespace almanary {
namespace {

namespace fs = std::filesystem;

class FilePathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.path() / "sub");
        std::ofstream(dir.file("cal.alm")) << "x";
        std::ofstream(dir.file("cal.alm2")) << "x";
        fs::create_symlink(dir.file("cal.alm"), dir.file("link.alm"));
        fs::create_directory_symlink(dir.path() / "sub", dir.path() / "sublink");
    }
    std::string At(const std::string& relative) const {
        return dir.path().string() + "/" + relative;
    }

    testing::TempDir dir;
};

TEST_F(FilePathsTest, SamePathComparesTheNamedFile) {
    const std::string cal = dir.file("cal.alm");
    struct Case {
        std::string a, b;
        bool same;
    };
    const Case cases[] = {
        {cal, cal, true},
        {cal, At("./cal.alm"), true},
        {cal, At("sub/../cal.alm"), true},
        {cal, At("sub//..//./cal.alm"), true},
        {cal, At("link.alm"), true},                       // a link to the file
        {At("sub/new.alm"), At("sublink/new.alm"), true},  // missing file, linked folder
        {At("missing/../x.alm"), At("x.alm"), true},
        {cal, At("cal.alm2"), false},  // a longer name is another file
        {At("cal.alm2"), cal, false},
        {cal, At("CAL.ALM"), false},  // file names keep their case
        {cal, At("sub/cal.alm"), false},
        {cal, "", false},
        {"", cal, false},
        {"", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SamePath(c.a, c.b), c.same) << c.a << " vs " << c.b;
    }
}

TEST_F(FilePathsTest, RelativePathsResolveAgainstTheWorkingFolder) {
    const std::string relative = fs::relative(dir.file("cal.alm"), fs::current_path()).string();
    ASSERT_FALSE(relative.empty());
    EXPECT_TRUE(SamePath(relative, dir.file("cal.alm")));
    EXPECT_EQ(CanonicalPath(relative), CanonicalPath(dir.file("cal.alm")));
}

TEST_F(FilePathsTest, CanonicalPathResolvesLinksAndKeepsAMissingTail) {
    const std::string real = fs::canonical(dir.path()).string();
    EXPECT_EQ(CanonicalPath(At("link.alm")), real + "/cal.alm");
    EXPECT_EQ(CanonicalPath(At("sublink/../sub/not-yet.alm")), real + "/sub/not-yet.alm");
    EXPECT_EQ(CanonicalPath(""), "");
}

TEST(FileNameOfTest, TakesTheLastComponent) {
    const std::pair<std::string, std::string> cases[] = {
        {"/home/u/cal.alm", "cal.alm"}, {"cal.alm", "cal.alm"}, {"a/b/", ""}, {"", ""}, {"/", ""}};
    for (const auto& [path, name] : cases)
        EXPECT_EQ(FileNameOf(path), name) << path;
}

}  // namespace
}  // namespace almanary

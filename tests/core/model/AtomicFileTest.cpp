#include "model/AtomicFile.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

namespace fs = std::filesystem;
constexpr uid_t kNobody = 65534;

// A failed write leaves the old file and no stray one.
TEST(AtomicFileTest, WritesReplaceWholeFilesOrNothing) {
    const TempDir dir;
    const std::string at = dir.path().string() + "/", target = at + "doc";
    ASSERT_EQ(AtomicFile::write(target, "one"), std::nullopt);
    EXPECT_EQ(modeOf(target), 0600u);
    ::chmod(target.c_str(), 0640);
    fs::create_symlink(target, at + "link");
    ASSERT_EQ(AtomicFile::write(at + "link", "old"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(at + "link") && readFile(target) == "old" &&
                modeOf(target) == 0640u);
    writeFile(at + "locked", "old");
    ::chmod((at + "locked").c_str(), 0444);
    fs::create_directory(at + "folder");
    ASSERT_EQ(::mkfifo((at + "pipe").c_str(), 0600), 0);
    const std::tuple<std::string, std::optional<std::size_t>, std::string> cases[] = {
        {target, 0, "the new contents cannot be written (No space left on device)"},
        {target, 2, "the new contents cannot be written (No space left on device)"},
        {at + "locked", {}, at + "locked is read-only"},
        {at + "folder", {}, at + "folder is a folder"},
        {at + "pipe", {}, at + "pipe is not an ordinary file"},
        {at + "nowhere/doc", {}, "the folder " + at + "nowhere does not exist"},
        {at + "doc/inner", {}, at + "doc is not a folder"},
        {"", {}, "no file name was given"},
    };
    for (const auto& [path, diskRoom, reason] : cases) {
        AtomicFile::failAfterBytesForTesting(diskRoom);  // bytes before the disk is full
        EXPECT_EQ(AtomicFile::write(path, "new contents"), reason) << path;
        EXPECT_EQ(readFile(target) + readFile(at + "locked"), "oldold") << path;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 5) << path;
    }
    AtomicFile::failAfterBytesForTesting(std::nullopt);
}

// A file in a folder its user cannot write is rewritten in place (by a child become nobody).
TEST(AtomicFileTest, AFileInAFolderTheUserCannotWriteIsRewrittenOrKeptWhole) {
    const TempDir dir;
    const std::string folder = dir.file("shared"), path = folder + "/cal.alm";
    ::chmod(dir.path().c_str(), 0755);
    ::mkdir(folder.c_str(), 0755);  // root's: nobody may add a file
    writeFile(path, "old contents");
    ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
    const auto inode = FileStamp::of(path)->inode;
    const struct {
        std::string path, bytes;
        std::optional<std::size_t> diskRoom;  // bytes before the disk is full
        std::optional<std::string> reason;
        std::string contents;
    } cases[] = {
        {path, "new, longer contents", {}, {}, "new, longer contents"},
        {path, "short", {}, {}, "short"},
        {path, "contents that do not fit", 4,
         "the new contents cannot be written in place (No space left on device); the old "
         "contents were put back",
         "short"},
        {folder + "/new.alm",
         "new",
         {},
         "a new file cannot be made in " + folder + " (Permission denied)",
         ""},
    };
    // The child reports its failures itself and through its exit status.
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(77);
        for (const auto& c : cases) {
            AtomicFile::failAfterBytesForTesting(c.diskRoom);
            FileStamp written;
            EXPECT_EQ(AtomicFile::write(c.path, c.bytes, &written), c.reason) << c.bytes;
            EXPECT_EQ(readFile(c.path), c.contents) << c.bytes;
            const bool stamped = FileStamp::of(c.path) == written && written.inode == inode;
            EXPECT_TRUE(c.reason || stamped) << c.bytes;  // a save tells what it wrote
        }
        std::fflush(stdout);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "this process cannot become another user";
    EXPECT_EQ(status, 0) << "the saves' failures are told above";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

}  // namespace
}  // namespace almanary::testing

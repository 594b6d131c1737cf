// A file in a folder its user cannot write is rewritten in place (by a child become nobody).
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "model/AtomicFile.h"
#include "model/FileStamp.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

constexpr uid_t kNobody = 65534;

TEST(AtomicFileInPlaceTest, AFileInAFolderTheUserCannotWriteIsRewrittenOrKeptWhole) {
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

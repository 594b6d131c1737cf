// AtomicFile's fallback for a file the user may write in a folder they may
// not: the file is rewritten where it stands. The tests run as root, so the
// saves run in a child process that has become an unprivileged user.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "model/AtomicFile.h"
#include "model/FileStamp.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary {
namespace {

constexpr uid_t kNobody = 65534;
constexpr int kCannotChangeUser = 77;

// Runs `work` in a child process as the user and group kNobody and returns
// the text it made; nothing when this process cannot change its user.
std::optional<std::string> asNobody(const std::function<std::string()>& work) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(kCannotChangeUser);
        const std::string text = work();
        const bool sent =
            ::write(pipeEnds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotChangeUser)
        return std::nullopt;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    return text;
}

TEST(AtomicFileInPlaceTest, AFileInAFolderTheUserCannotWriteIsRewrittenOrKeptWhole) {
    const testing::TempDir dir;
    const std::string folder = dir.file("shared");
    const std::string path = folder + "/cal.alm", readOnly = folder + "/ro.alm";
    ::chmod(dir.path().c_str(), 0755);
    ::mkdir(folder.c_str(), 0755);  // root's: nobody may add a file
    testing::writeFile(path, "old contents");
    testing::writeFile(readOnly, "old");
    ::chmod(readOnly.c_str(), 0400);
    for (const std::string& file : {path, readOnly})
        ASSERT_EQ(::chown(file.c_str(), kNobody, kNobody), 0);
    const auto inode = FileStamp::of(path)->inode;

    const struct {
        std::string path, bytes;
        std::optional<std::size_t> diskRoom;  // bytes before the disk is full
        std::string outcome;                  // reason | contents | stamp as written
    } cases[] = {
        {path, "new, longer contents", {}, "|new, longer contents|stamp"},
        {path, "short", {}, "|short|stamp"},
        {path, "contents that do not fit", 4,
         "the new contents cannot be written in place (No space left on device); the old "
         "contents were put back|short|"},
        {readOnly, "new", {}, readOnly + " is read-only|old|"},
        {folder + "/new.alm",
         "new",
         {},
         "a new file cannot be made in " + folder + " (Permission denied)||"},
    };
    const auto outcomes = asNobody([&] {
        std::string text;
        for (const auto& c : cases) {
            AtomicFile::failAfterBytesForTesting(c.diskRoom);
            FileStamp written;
            const auto reason = AtomicFile::write(c.path, c.bytes, &written);
            const bool stamped = FileStamp::of(c.path) == written && written.inode == inode;
            text += reason.value_or("") + "|" + testing::readFile(c.path) + "|" +
                    (stamped ? "stamp" : "") + "\n";
        }
        return text;
    });
    if (!outcomes)
        GTEST_SKIP() << "this process cannot become another user";
    std::string expected;
    for (const auto& c : cases)
        expected += c.outcome + "\n";
    EXPECT_EQ(*outcomes, expected);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2);
}

}  // namespace
}  // namespace almanary

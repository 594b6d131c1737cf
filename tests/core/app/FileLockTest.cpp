#include "app/FileLock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "app/AppPaths.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

const std::string kOwnFolder = "almanary-" + std::to_string(::geteuid());

// Locks live in a runtime folder inside the test's own temporary folder.
class FileLockTest : public ::testing::Test {
protected:
    FileLockTest() {
        fs::create_directory(runtime_);
        environment_.set("XDG_RUNTIME_DIR", runtime_.c_str());
    }

    testing::TempDir dir_;
    std::string runtime_ = dir_.file("run"), file_ = dir_.file("cal.alm");
    testing::ScopedEnvironment environment_;
};

TEST_F(FileLockTest, TheLockFolderIsTheUsersRuntimeFolderElseTheirOwnTemporaryOne) {
    const std::string temporary = dir_.path().string();  // an existing folder
    const struct {
        const char* runtime;
        std::string folder;
    } cases[] = {
        {"/run/user/7", "/run/user/7/almanary/locks"},
        {"run", temporary + "/" + kOwnFolder + "/locks"},  // a relative XDG folder is ignored
        {nullptr, temporary + "/" + kOwnFolder + "/locks"},
    };
    for (const auto& c : cases) {
        testing::ScopedEnvironment environment;
        environment.set("XDG_RUNTIME_DIR", c.runtime);
        environment.set("TMPDIR", temporary.c_str());
        EXPECT_EQ(AppPaths::lockFolder(), c.folder);
    }
}

TEST_F(FileLockTest, OneHolderPerAlmanaryHoweverItsPathIsWritten) {
    std::string reason;
    auto held = FileLock::acquire(file_, &reason);
    ASSERT_TRUE(held) << reason;
    EXPECT_EQ(testing::modeOf(runtime_ + "/almanary/locks"), 0700u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), {}), 1);  // nothing beside it

    fs::create_directory_symlink(dir_.path(), dir_.file("link"));
    for (const std::string& same : {file_, dir_.file("link/./cal.alm")}) {
        EXPECT_FALSE(FileLock::acquire(same, &reason, milliseconds(0))) << same;
        EXPECT_EQ(reason, "another program is changing it and has not finished within 0 seconds");
    }
    EXPECT_TRUE(FileLock::acquire(dir_.file("other.alm"), nullptr, milliseconds(0)));

    FileLock moved = std::move(*held);
    held.reset();  // the moved-from lock releases nothing
    EXPECT_FALSE(FileLock::acquire(file_, nullptr, milliseconds(0)));
    moved = std::move(*FileLock::acquire(dir_.file("other.alm")));  // gives up the first
    EXPECT_TRUE(FileLock::acquire(file_, nullptr, milliseconds(0)));
}

// Another process holds the lock until it is told to let go, which happens
// before this process starts to wait: the wait must outlast the holder.
TEST_F(FileLockTest, AWaitEndsWhenAnotherProcessLetsGo) {
    int held[2], letGo[2];
    ASSERT_EQ(::pipe(held), 0);
    ASSERT_EQ(::pipe(letGo), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(letGo[1]);
        const auto lock = FileLock::acquire(file_);
        char byte = lock ? 'y' : 'n';
        const bool told = ::write(held[1], &byte, 1) == 1 && ::read(letGo[0], &byte, 1) >= 0;
        ::_exit(told ? 0 : 1);
    }
    char answer = 0;
    ASSERT_EQ(::read(held[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');
    EXPECT_FALSE(FileLock::acquire(file_, nullptr, milliseconds(0)));
    ::close(letGo[1]);  // the holder reads the end of the pipe and exits
    std::string reason;
    EXPECT_TRUE(FileLock::acquire(file_, &reason)) << reason;
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (const int end : {held[0], held[1], letGo[0]})
        ::close(end);
}

TEST_F(FileLockTest, ALockFolderOthersCouldChangeIsRefused) {
    environment_.set("XDG_RUNTIME_DIR", nullptr);
    environment_.set("TMPDIR", dir_.path().c_str());
    const std::string own = dir_.file(kOwnFolder);
    const std::string refused = "the lock folder " + own + " is not a private folder of this user";
    const struct {
        const char* what;
        std::function<void()> make;
        std::string reason;
    } cases[] = {
        {"open to all", [&] { fs::create_directory(own), ::chmod(own.c_str(), 0777); }, refused},
        {"a link", [&] { fs::create_directory_symlink(runtime_, own); }, refused},
        {"a file", [&] { testing::writeFile(own, ""); }, refused},
        {"another user's",
         [&] { fs::create_directory(own), ::chown(own.c_str(), ::geteuid() + 1, ::getegid()); },
         ::geteuid() == 0 ? refused : ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(own);
        c.make();
        std::string reason;
        EXPECT_EQ(FileLock::acquire(file_, &reason, milliseconds(0)).has_value(), c.reason.empty());
        EXPECT_EQ(reason, c.reason);
    }
    environment_.set("XDG_RUNTIME_DIR", dir_.file("gone").c_str());
    std::string reason;
    EXPECT_FALSE(FileLock::acquire(file_, &reason, milliseconds(0)));
    EXPECT_EQ(reason, "the lock folder " + dir_.file("gone/almanary") +
                          " cannot be made (No such file or directory)");
}

}  // namespace
}  // namespace almanary

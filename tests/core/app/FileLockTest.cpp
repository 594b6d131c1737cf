#include "app/FileLock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "app/AppPaths.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

// Locks live in a runtime folder inside the test's own temporary folder.
class FileLockTest : public ::testing::Test {
protected:
    FileLockTest() {
        fs::create_directory(runtime_);
        environment_.set("XDG_RUNTIME_DIR", runtime_.c_str());
    }
    std::optional<FileLock> tryLock(const std::string& path, std::string* reason = nullptr) {
        return FileLock::acquire(path, reason, milliseconds(0));
    }

    TempDir dir_;
    std::string runtime_ = dir_.file("run"), file_ = dir_.file("cal.alm");
    ScopedEnvironment environment_;
};

TEST_F(FileLockTest, OneHolderPerAlmanaryHoweverItsPathIsWritten) {
    auto held = FileLock::acquire(file_);
    ASSERT_TRUE(held);
    EXPECT_EQ(modeOf(runtime_ + "/almanary/locks"), 0700u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), {}), 1);  // nothing beside it
    fs::create_directory_symlink(dir_.path(), dir_.file("link"));
    std::string reason;
    EXPECT_FALSE(tryLock(dir_.file("link/./cal.alm"), &reason));
    EXPECT_EQ(reason, "another program is changing it and has not finished within 0 seconds");
    EXPECT_TRUE(tryLock(dir_.file("other.alm")));
    held.reset();
    EXPECT_TRUE(tryLock(file_));
}

// Locks go in the runtime folder, else the user's own in TMPDIR; one others can change is refused.
TEST_F(FileLockTest, TheLockFolderIsTheUsersAlone) {
    const std::string own = dir_.file("almanary-" + std::to_string(::geteuid()));
    environment_.set("TMPDIR", dir_.path().c_str());
    for (const char* relative : {"run", static_cast<const char*>(nullptr)}) {
        environment_.set("XDG_RUNTIME_DIR", relative);
        EXPECT_EQ(AppPaths::lockFolder(), own + "/locks");
    }
    // Each makes an unfit folder, false when this user cannot.
    const std::function<bool()> unfit[] = {
        [&] { return fs::create_directory(own) && ::chmod(own.c_str(), 0777) == 0; },
        [&] { return fs::create_directory_symlink(runtime_, own), true; },
        [&] { return writeFile(own, ""), true; },
        [&] { return fs::create_directory(own) && ::chown(own.c_str(), 12345, ::getegid()) == 0; },
    };
    for (std::size_t i = 0; i < std::size(unfit); ++i) {
        fs::remove_all(own);
        std::string reason;
        if (!unfit[i]())
            continue;
        EXPECT_FALSE(tryLock(file_, &reason)) << i;
        EXPECT_EQ(reason, "the lock folder " + own + " is not a private folder of this user") << i;
    }
    environment_.set("XDG_RUNTIME_DIR", dir_.file("gone").c_str());
    std::string reason;
    EXPECT_FALSE(tryLock(file_, &reason));
    EXPECT_EQ(reason, "the lock folder " + dir_.file("gone/almanary") +
                          " cannot be made (No such file or directory)");
}

// Taking an almanary's lock removes the temporaries its killed saves left beside the file a link
// names, and nothing else.
TEST_F(FileLockTest, TakingTheLockRemovesOnlyTheAlmanarysTemporaries) {
    fs::create_directory(dir_.file("docs"));
    writeFile(dir_.file("docs/cal.alm"), "saved");
    fs::create_symlink(dir_.file("docs/cal.alm"), dir_.file("link.alm"));
    const std::pair<const char*, bool> names[] = {
        {".cal.alm.Ab12Z9", false},                            // a killed save's: removed
        {".cal.alm.zzzzzz", false}, {".cal.alm.Ab12Z", true},  // not six letters or digits
        {".cal.alm.Ab12Z90", true}, {".cal.alm.Ab-2Z9", true},
        {"cal.alm.Ab12Z9", true},   {".other.alm.Ab12Z9", true},
    };
    for (const auto& [name, kept] : names)
        writeFile(dir_.file("docs/") + name, "part");
    fs::create_directory(dir_.file("docs/.cal.alm.Folder"));
    const auto lock = FileLock::acquire(dir_.file("link.alm"));
    ASSERT_TRUE(lock);
    for (const auto& [name, kept] : names)
        EXPECT_EQ(fs::exists(dir_.file("docs/") + name), kept) << name;
    EXPECT_TRUE(fs::is_directory(dir_.file("docs/.cal.alm.Folder")));
    EXPECT_EQ(readFile(dir_.file("docs/cal.alm")), "saved");
}

}  // namespace
}  // namespace almanary::testing

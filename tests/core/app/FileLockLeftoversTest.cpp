// Taking an almanary's lock removes the temporaries its killed saves left
// beside the file a link names, and nothing else.
#include <gtest/gtest.h>

#include "app/FileLock.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

namespace fs = std::filesystem;

TEST(FileLockLeftovers, TakingTheLockRemovesOnlyTheAlmanarysTemporaries) {
    const TempDir dir;
    const ScopedEnvironment runtime("XDG_RUNTIME_DIR", dir.path().c_str());
    fs::create_directory(dir.file("docs"));
    writeFile(dir.file("docs/cal.alm"), "saved");
    fs::create_symlink(dir.file("docs/cal.alm"), dir.file("link.alm"));
    const std::pair<const char*, bool> names[] = {
        {".cal.alm.Ab12Z9", false},  // a killed save's: removed
        {".cal.alm.zzzzzz", false},
        {".cal.alm.Ab12Z", true},  // not six letters or digits after
                                   // the name
        {".cal.alm.Ab12Z90", true},
        {".cal.alm.Ab-2Z9", true},
        {"cal.alm.Ab12Z9", true},
        {".other.alm.Ab12Z9", true},
    };
    for (const auto& [name, kept] : names)
        writeFile(dir.file("docs/") + name, "part");
    fs::create_directory(dir.file("docs/.cal.alm.Folder"));
    const auto lock = FileLock::acquire(dir.file("link.alm"));
    ASSERT_TRUE(lock);
    for (const auto& [name, kept] : names)
        EXPECT_EQ(fs::exists(dir.file("docs/") + name), kept) << name;
    EXPECT_TRUE(fs::is_directory(dir.file("docs/.cal.alm.Folder")));
    EXPECT_EQ(readFile(dir.file("docs/cal.alm")), "saved");
}

}  // namespace
}  // namespace almanary::testing

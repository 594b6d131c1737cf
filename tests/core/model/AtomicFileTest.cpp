#include "model/AtomicFile.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

namespace fs = std::filesystem;

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

}  // namespace
}  // namespace almanary::testing

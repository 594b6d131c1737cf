#include "model/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>

#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary {
namespace {

namespace fs = std::filesystem;
using testing::modeOf;
using testing::readFile;

TEST(AtomicFileTest, ANewFileIsPrivateAReplacedOneKeepsItsModeAndALinkStays) {
    const testing::TempDir dir;
    const std::string path = dir.file("doc"), link = dir.file("link");
    ASSERT_EQ(AtomicFile::write(path, "one"), std::nullopt);
    EXPECT_EQ(modeOf(path), 0600u);
    ::chmod(path.c_str(), 0640);
    fs::create_symlink(path, link);
    ASSERT_EQ(AtomicFile::write(link, "two"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readFile(path), "two");
    EXPECT_EQ(modeOf(path), 0640u);
}

TEST(AtomicFileTest, AFailedWriteSaysWhyAndLeavesTheOldFileAndNoStrayOne) {
    const testing::TempDir dir;
    const std::string at = dir.path().string() + "/", target = at + "doc";
    testing::writeFile(target, "old");
    testing::writeFile(at + "locked", "old");
    ::chmod((at + "locked").c_str(), 0444);
    fs::create_directory(at + "folder");
    ASSERT_EQ(::mkfifo((at + "pipe").c_str(), 0600), 0);
    const struct {
        std::string path;
        std::optional<std::size_t> diskRoom;  // bytes before the disk is full
        std::string reason;
    } cases[] = {
        {target, 0, "the new contents cannot be written (No space left on device)"},
        {target, 2, "the new contents cannot be written (No space left on device)"},
        {at + "locked", {}, at + "locked is read-only"},
        {at + "folder", {}, at + "folder is a folder"},
        {at + "pipe", {}, at + "pipe is not an ordinary file"},
        {at + "nowhere/doc", {}, "the folder " + at + "nowhere does not exist"},
        {at + "doc/inner", {}, at + "doc is not a folder"},
        {"", {}, "no file name was given"},
    };
    for (const auto& c : cases) {
        AtomicFile::failAfterBytesForTesting(c.diskRoom);
        EXPECT_EQ(AtomicFile::write(c.path, "new contents"), c.reason) << c.path;
        EXPECT_EQ(readFile(target) + readFile(at + "locked"), "oldold") << c.path;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 4) << c.path;
    }
    AtomicFile::failAfterBytesForTesting(std::nullopt);
}

}  // namespace
}  // namespace almanary

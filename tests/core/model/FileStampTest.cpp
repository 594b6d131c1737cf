#include "model/FileStamp.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "model/AlmanaryFile.h"
#include "model/AtomicFile.h"
#include "model/FileReading.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary {
namespace {

using testing::writeFile;

// Sets the modification time exactly, so no test waits for the clock.
void setModified(const std::string& path, long seconds, long nanoseconds = 0) {
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(FileStampTest, EveryChangeOfTheFileShowsAndNothingElseDoes) {
    const testing::TempDir dir;
    const std::string path = dir.file("cal.alm"), other = dir.file("other");
    EXPECT_EQ(FileStamp::of(dir.file("missing")), std::nullopt);
    const struct {
        const char* change;
        std::function<void()> make;
        bool seen;
    } cases[] = {
        {"nothing", [] {}, false},
        {"mode", [&] { ::chmod(path.c_str(), 0640); }, false},
        {"a nanosecond", [&] { setModified(path, 1'000'000'000, 1); }, true},
        {"size",
         [&] {
             writeFile(path, "abcd");
             setModified(path, 1'000'000'000);
         },
         true},
        {"replaced by a file of the same size and time",
         [&] {
             writeFile(other, "abc");
             setModified(other, 1'000'000'000);
             std::rename(other.c_str(), path.c_str());
         },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        writeFile(path, "abc");
        setModified(path, 1'000'000'000);
        const auto before = FileStamp::of(path);
        ASSERT_TRUE(before.has_value());
        EXPECT_EQ(before->size, 3);
        EXPECT_EQ(before->modifiedNs, 1'000'000'000'000'000'000);
        c.make();
        EXPECT_EQ(FileStamp::of(path) != before, c.seen);
    }
}

// A reader and a writer learn the stamp of the file they used, which is the
// stamp a later look at the file finds while nobody else touches it.
TEST(FileStampTest, LoadAndSaveGiveTheStampOfTheFileTheyUsed) {
    const testing::TempDir dir;
    const std::string path = dir.file("cal.alm");
    AlmanaryDocument document;
    FileStamp saved;
    ASSERT_EQ(AlmanaryFile::save(document, path, &saved), std::nullopt);
    EXPECT_EQ(FileStamp::of(path), saved);
    const AlmanaryLoad load = AlmanaryFile::load(path, 0);
    ASSERT_TRUE(load.ok());
    EXPECT_EQ(load.stamp, saved);
    EXPECT_EQ(FileReading::readWholeFile(path, FileReading::kNoLimit).stamp, saved);

    FileStamp written;
    ASSERT_EQ(AtomicFile::write(path, "other bytes", &written), std::nullopt);
    EXPECT_EQ(FileStamp::of(path), written);
    EXPECT_NE(written, saved);
    EXPECT_EQ(AlmanaryFile::load(path, 0).stamp, written);  // read, though not an almanary
    EXPECT_EQ(AlmanaryFile::load(dir.file("missing"), 0).stamp, std::nullopt);
}

}  // namespace
}  // namespace almanary

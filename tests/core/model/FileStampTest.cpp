#include "model/FileStamp.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "model/AlmanaryFile.h"
#include "model/AtomicFile.h"
#include "model/FileReading.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

constexpr long kTime = 1'000'000'000;

// Writes `bytes` and sets the modification time exactly, so no test waits for the clock.
void writeAt(const std::string& path, const std::string& bytes, long nanoseconds = 0) {
    writeFile(path, bytes);
    const timespec times[2] = {{kTime, nanoseconds}, {kTime, nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(FileStampTest, EveryChangeOfTheFileShowsAndNothingElseDoes) {
    const TempDir dir;
    const std::string path = dir.file("cal.alm"), other = dir.file("other");
    EXPECT_EQ(FileStamp::of(dir.file("missing")), std::nullopt);
    const std::pair<std::function<void()>, bool> changes[] = {
        {[] {}, false},
        {[&] { ::chmod(path.c_str(), 0640); }, false},  // the mode
        {[&] { writeAt(path, "abc", 1); }, true},       // a nanosecond later
        {[&] { writeAt(path, "abcd"); }, true},         // the size
        {[&] { writeAt(other, "abc"), std::rename(other.c_str(), path.c_str()); }, true},  // a twin
    };
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        writeAt(path, "abc");
        const auto before = FileStamp::of(path);
        ASSERT_TRUE(before.has_value());
        EXPECT_EQ(before->size, 3);
        EXPECT_EQ(before->modifiedNs, kTime * kTime);
        changes[i].first();
        EXPECT_EQ(FileStamp::of(path) != before, changes[i].second) << i;
    }
}

// Loading and saving give the stamp of the file they used, which a later
// look at it finds while nobody else touches it.
TEST(FileStampTest, LoadAndSaveGiveTheStampOfTheFileTheyUsed) {
    const TempDir dir;
    const std::string path = dir.file("cal.alm");
    AlmanaryDocument document;
    FileStamp saved, written;
    ASSERT_EQ(AlmanaryFile::save(document, path, &saved), std::nullopt);
    EXPECT_EQ(FileStamp::of(path), saved);
    EXPECT_EQ(AlmanaryFile::load(path, 0).stamp, saved);
    EXPECT_EQ(FileReading::readWholeFile(path, FileReading::kNoLimit).stamp, saved);
    ASSERT_EQ(AtomicFile::write(path, "other bytes", &written), std::nullopt);
    EXPECT_NE(written, saved);
    EXPECT_EQ(FileStamp::of(path), written);
    EXPECT_EQ(AlmanaryFile::load(path, 0).stamp, written);  // read, though not an almanary
    EXPECT_EQ(AlmanaryFile::load(dir.file("missing"), 0).stamp, std::nullopt);
}

}  // namespace
}  // namespace almanary::testing

#include "model/FileStamp.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <cstdio>

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

}  // namespace
}  // namespace almanary::testing

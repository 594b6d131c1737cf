// An add killed at any moment leaves the almanary whole, and the temporary a
// kill in mid-save leaves is gone once the next writer has held the lock.
#include <chrono>
#include <optional>
#include <random>
#include <thread>

#include "model/AlmanaryFile.h"
#include "support/ChildProgram.h"
#include "support/PrivateLockFolder.h"
#include "support/TempDir.h"

namespace almanary::testing {
namespace {

using Clock = std::chrono::steady_clock;

// The files beside the almanary other than itself: its save's temporaries.
int strayFiles(const TempDir& dir) {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator(dir.path()), {})) - 1;
}

// Runs `almanary-cli add` for the i-th start (one an hour), killed after
// `delay`, or to its end without one; true when it ended by itself, adding.
bool add(const std::string& file, int i, std::optional<std::chrono::microseconds> delay = {}) {
    const std::string date = "2030-01-" + std::to_string(10 + i / 24);
    ChildProgram add({ALMANARY_CLI_PATH, "add", file, "--date", date, "--time",
                      std::to_string(i % 24) + ":00", "--notes", "e"});
    if (delay) {
        std::this_thread::sleep_for(*delay);
        add.signal(SIGKILL);
    }
    return add.exitStatus() == 0;
}

TEST(CliKilledWriter, AnAddKilledAtAnyMomentLeavesTheFileWhole) {
    // Every run under AddressSanitizer is slow; 60 kills stand for 200 there.
#if defined(__SANITIZE_ADDRESS__)
    constexpr int kKills = 60;
#else
    constexpr int kKills = 200;
#endif
    const TempDir dir;
    const std::string file = dir.file("cal.alm");
    ASSERT_EQ(ChildProgram({ALMANARY_CLI_PATH, "new", file}).exitStatus(), 0);
    // One whole add measures how long one runs; the kills fall anywhere in it.
    const auto start = Clock::now();
    ASSERT_TRUE(add(file, 0));
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
    std::mt19937 random(2024);
    std::uniform_int_distribution<long> delay(0, whole.count());

    int events = 1;
    for (int i = 1; i <= kKills; ++i) {
        const bool ended = add(file, i, std::chrono::microseconds(delay(random)));
        const AlmanaryLoad load = AlmanaryFile::load(file, 0);
        ASSERT_TRUE(load.ok()) << "kill " << i;
        const int now = load.document->events.count();
        ASSERT_TRUE(now == events || now == events + 1) << "kill " << i;
        EXPECT_TRUE(!ended || now == events + 1) << "kill " << i;
        if (ended) {
            EXPECT_EQ(strayFiles(dir), 0) << "after the writer of kill " << i;
        }
        events = now;
    }
    ASSERT_TRUE(add(file, kKills + 1));
    EXPECT_EQ(strayFiles(dir), 0);
}

}  // namespace
}  // namespace almanary::testing

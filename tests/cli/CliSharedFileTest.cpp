// An almanary shared by several writers and read in several time zones:
// the CLI's lock and the dates it stores.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "CliApp.h"
#include "app/FileLock.h"
#include "model/AlmanaryFile.h"
#include "support/PrivateLockFolder.h"
#include "support/ScopedTimeZone.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::cli {
namespace {

using almanary::testing::ScopedTimeZone;
using almanary::testing::TempDir;

// Every test of this program (CliTest's too) and every CLI it starts takes
// its locks in a runtime folder of its own, not the user's.
[[maybe_unused]] ::testing::Environment* const kLockFolder =
    ::testing::AddGlobalTestEnvironment(new almanary::testing::PrivateLockFolder);

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class CliSharedFileTest : public ::testing::Test {
protected:
    Outcome run(std::vector<std::string> args,
                std::chrono::milliseconds lockPatience = std::chrono::seconds(10)) {
        std::ostringstream out, err;
        CliContext context{out, err};
        context.lockPatience = lockPatience;
        const int status = runCli(args, context);
        return {status, out.str(), err.str()};
    }

    TempDir dir;
    std::string file = dir.file("cal.alm");
};

// A date is stored at its local noon, so the file shows the same date
// from New Zealand to California.
TEST_F(CliSharedFileTest, ADateWrittenInOneZoneIsTheSameDateInAnother) {
    {
        const ScopedTimeZone berlin("Europe/Berlin");
        ASSERT_EQ(run({"new", file}).status, kDone);
        ASSERT_EQ(
            run({"add", file, "--date", "2021-06-01", "--time", "0:00", "--notes", "x"}).status,
            kDone);
    }
    for (const char* zone : {"UTC", "Pacific/Auckland", "America/Los_Angeles"}) {
        SCOPED_TRACE(zone);
        const ScopedTimeZone reader(zone);
        EXPECT_TRUE(run({"list", file}).out.starts_with("6/1/2021 ")) << run({"list", file}).out;
        EXPECT_NE(run({"list", file, "--day", "2021-06-01"}).out, "");
        EXPECT_NE(run({"conflicts", file, "--date", "2021-06-01", "--time", "0:00"}).out, "");
    }
    const ScopedTimeZone auckland("Pacific/Auckland");
    EXPECT_EQ(run({"remove", file, "--date", "2021-06-01", "--time", "0:00"}).status, kDone);

    const ScopedTimeZone apia("Pacific/Apia");
    const Outcome skipped =
        run({"add", file, "--date", "2011-12-30", "--time", "9:00", "--notes", "x"});
    EXPECT_EQ(skipped.status, kRefused);
    EXPECT_EQ(skipped.err,
              "There is no 12/30/2011 in the local time zone: its clocks skip that day.\n");
}

// While another program holds the file's lock, every change gives up with
// exit status 2 and leaves the file as it was; reading needs no lock.
TEST_F(CliSharedFileTest, AChangeWaitsForTheLockAndGivesUpWithStatusTwo) {
    ASSERT_EQ(run({"new", file}).status, kDone);
    ASSERT_EQ(run({"add", file, "--date", "2026-12-07", "--time", "9:00", "--notes", "x"}).status,
              kDone);
    const std::string before = almanary::testing::readFile(file);
    const auto held = FileLock::acquire(file);
    ASSERT_TRUE(held);
    const std::vector<std::string> changes[] = {
        {"new", file, "--force"},
        {"add", file, "--date", "2026-12-07", "--time", "10:00", "--notes", "y"},
        {"remove", file, "--date", "2026-12-07", "--time", "9:00"},
        {"categories", file, "--add", "Work"},
        {"settings", file, "--clock", "12"},
    };
    for (const auto& args : changes) {
        const Outcome outcome = run(args, std::chrono::milliseconds(0));
        EXPECT_EQ(outcome.status, kFileUnusable) << args[0];
        EXPECT_EQ(outcome.err, file +
                                   " cannot be changed now: another program is changing it and "
                                   "has not finished within 0 seconds.\n")
            << args[0];
    }
    EXPECT_EQ(almanary::testing::readFile(file), before);
    for (const std::vector<std::string>& reading : {std::vector<std::string>{"list", file},
                                                    {"info", file},
                                                    {"categories", file},
                                                    {"settings", file}}) {
        EXPECT_EQ(run(reading, std::chrono::milliseconds(0)).status, kDone) << reading[0];
    }
}

// Runs the built CLI with `args`, its output thrown away; its exit status.
int runCliProgram(const std::vector<std::string>& args) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::vector<char*> argv;
        const std::string program = ALMANARY_CLI_PATH;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        if (std::freopen("/dev/null", "w", stdout) == nullptr ||
            std::freopen("/dev/null", "w", stderr) == nullptr)
            ::_exit(126);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Two programs add to one file at once; without the lock, one's save often
// writes over an event the other had just added. The claim is 200 events
// each; under AddressSanitizer every run is slow, so 40 each stand for it.
TEST_F(CliSharedFileTest, TwoProgramsAddingToOneFileLoseNoEvent) {
#if defined(__SANITIZE_ADDRESS__)
    constexpr int kEach = 40;
#else
    constexpr int kEach = 200;
#endif
    ASSERT_EQ(run({"new", file}).status, kDone);
    const ScopedTimeZone zone("UTC");
    pid_t loops[2];
    for (int loop = 0; loop < 2; ++loop) {
        loops[loop] = ::fork();
        if (loops[loop] != 0)
            continue;
        for (int i = 0; i < kEach; ++i) {
            // Loop 0 adds in January, loop 1 in February: one start each.
            const std::string date = "2030-0" + std::to_string(loop + 1) + "-" +
                                     (i / 24 < 9 ? "0" : "") + std::to_string(i / 24 + 1);
            if (runCliProgram({"add", file, "--date", date, "--time",
                               std::to_string(i % 24) + ":00", "--notes", "event"}) != kDone)
                ::_exit(1);
        }
        ::_exit(0);
    }
    for (const pid_t loop : loops) {
        int status = 0;
        ::waitpid(loop, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    const AlmanaryLoad load = AlmanaryFile::load(file, 0);
    ASSERT_TRUE(load.ok());
    EXPECT_EQ(load.document->events.count(), 2 * kEach);
}

}  // namespace
}  // namespace almanary::cli

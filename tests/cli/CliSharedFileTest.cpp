// An almanary shared by several writers and read in several time zones:
// the CLI's lock and the dates it stores.
#include <gtest/gtest.h>

#include <sstream>

#include "CliApp.h"
#include "app/FileLock.h"
#include "model/AlmanaryFile.h"
#include "support/PrivateLockFolder.h"
#include "support/ScopedTimeZone.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::cli {
namespace {

using namespace almanary::testing;
using Args = std::vector<std::string>;

class CliSharedFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(run({"new", file}), kDone); }

    // The exit status of a call in `zone`; what it printed goes to out and err.
    int run(const Args& args, const char* zone = "UTC",
            std::chrono::milliseconds lockPatience = std::chrono::seconds(10)) {
        const ScopedTimeZone in(zone);
        out.str(""), err.str("");
        CliContext context{out, err};
        context.lockPatience = lockPatience;
        return runCli(args, context);
    }

    TempDir dir;
    std::string file = dir.file("cal.alm");
    std::ostringstream out, err;
};

// A date is stored at its local noon, so the file shows the same date
// from New Zealand to California.
TEST_F(CliSharedFileTest, ADateWrittenInOneZoneIsTheSameDateInAnother) {
    const Args add{"add", file, "--date", "2021-06-01", "--time", "0:00", "--notes", "x"};
    ASSERT_EQ(run(add, "Europe/Berlin"), kDone);
    for (const char* zone : {"UTC", "Pacific/Auckland", "America/Los_Angeles"}) {
        EXPECT_EQ(run({"list", file, "--day", "2021-06-01"}, zone), kDone);
        EXPECT_TRUE(out.str().starts_with("6/1/2021 ")) << zone << out.str();
    }
    EXPECT_EQ(run({"remove", file, "--date", "2021-06-01", "--time", "0:00"}, "Pacific/Auckland"),
              kDone);
    EXPECT_EQ(run({"add", file, "--date", "2011-12-30", "--time", "9:00", "--notes", "x"},
                  "Pacific/Apia"),
              kRefused);
    EXPECT_EQ(err.str(),
              "There is no 12/30/2011 in the local time zone: its clocks skip that day.\n");
}

// While another program holds the file's lock, every change gives up with
// exit status 2 and leaves the file as it was; reading needs no lock.
TEST_F(CliSharedFileTest, AChangeWaitsForTheLockAndGivesUpWithStatusTwo) {
    ASSERT_EQ(run({"add", file, "--date", "2026-12-07", "--time", "9:00", "--notes", "x"}), kDone);
    const std::string before = readFile(file);
    const auto held = FileLock::acquire(file);
    ASSERT_TRUE(held);
    const Args calls[] = {{"new", file, "--force"},
                          {"add", file, "--date", "2026-12-07", "--time", "10:00", "--notes", "y"},
                          {"remove", file, "--date", "2026-12-07", "--time", "9:00"},
                          {"categories", file, "--add", "Work"},
                          {"settings", file, "--clock", "12"},
                          {"list", file},
                          {"info", file},
                          {"categories", file},
                          {"settings", file}};
    const std::string busy = file +
                             " cannot be changed now: another program is changing it and "
                             "has not finished within 0 seconds.\n";
    for (const Args& args : calls) {
        const bool changes = args.size() > 2;  // the last four only read
        EXPECT_EQ(run(args, "UTC", std::chrono::milliseconds(0)), changes ? kFileUnusable : kDone)
            << args[0];
        EXPECT_EQ(err.str(), changes ? busy : "") << args[0];
    }
    EXPECT_EQ(readFile(file), before);
}

// Two programs add to one file at once; without the lock, one's save often
// writes over an event the other had just added. The claim is 200 events
// each; under AddressSanitizer every run is slow, so 40 each stand for it.
TEST_F(CliSharedFileTest, TwoProgramsAddingToOneFileLoseNoEvent) {
#if defined(__SANITIZE_ADDRESS__)
    const std::string each = "40";
#else
    const std::string each = "200";
#endif
    // Each loop adds in a month of its own, one start an hour, and stops at a failure.
    const std::string loop =
        "i=0; while [ $i -lt " + each + " ]; do TZ=UTC " ALMANARY_CLI_PATH " add " + file +
        " --date 2030-0$1-$(printf %02d $((i / 24 + 1))) --time $((i % 24)):00 --notes e"
        " >/dev/null || exit 1; i=$((i + 1)); done";
    EXPECT_EQ(std::system(
                  ("add() { " + loop + "; }; add 1 & add 2; b=$?; wait $! && [ $b = 0 ]").c_str()),
              0);
    const AlmanaryLoad load = AlmanaryFile::load(file, 0);
    ASSERT_TRUE(load.ok());
    EXPECT_EQ(load.document->events.count(), 2 * std::stoi(each));
}

}  // namespace
}  // namespace almanary::cli

// What a user types that names no time or no ordinary file is refused at
// once with the program's words, and the almanary stays as it was.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>

#include "CliApp.h"
#include "support/PrivateLockFolder.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::cli {
namespace {

using almanary::testing::readFile;

struct Outcome {
    int status;
    std::string err;
};

Outcome run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    CliContext context{out, err};
    return {runCli(args, context), err.str()};
}

TEST(CliTypedInput, MalformedTimesAndPathsThatAreNoFilesAreRefused) {
    const almanary::testing::TempDir dir;
    const std::string file = dir.file("cal.alm"), pipe = dir.file("pipe");
    ASSERT_EQ(run({"new", file}).status, kDone);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // Held open, so a wrong open of the pipe fails the test instead of hanging it.
    const int heldOpen = ::open(pipe.c_str(), O_RDWR);
    ASSERT_GE(heldOpen, 0);
    const std::string before = readFile(file), hour = "The hour must be one of 0 to 23.\n",
                      noSound = " could not be found.", notOrdinary = "it is not an ordinary file";
    const std::vector<std::string> add = {"add",     file, "--date", "2030-01-10",
                                          "--notes", "x",  "--time"};
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{"-1:00"}, kRefused, hour},
        {{"+9:00"}, kRefused, hour},
        {{"x:00"}, kRefused, hour},
        {{":00"}, kRefused, hour},
        {{"9:5"}, kRefused, "The minute must be one of 00, 15, 30, 45.\n"},
        {{"remove", file, "--date", "2030-01-10", "--time", "-0:00"}, kRefused, hour},
        {{"due", file, "--at", "2030-01-10 -1:00"}, kWrongUsage, "is not a local time"},
        {{"due", file, "--at", "2030-01-10 24:00"}, kWrongUsage, "is not a local time"},
        {{"settings", file, "--sound", pipe}, kRefused, pipe + noSound},
        {{"settings", file, "--sound", "/dev/zero"}, kRefused, "/dev/zero" + noSound},
        {{"settings", file, "--sound", dir.path().string()}, kRefused, noSound},
        {{"info", pipe}, kFileUnusable, notOrdinary},
        {{"import", file, pipe}, kFileUnusable, notOrdinary},
        {{"import", file, "/dev/zero"}, kFileUnusable, notOrdinary},
    };
    for (auto [args, status, message] : cases) {
        if (args.size() == 1)
            args.insert(args.begin(), add.begin(), add.end());
        const Outcome outcome = run(args);
        EXPECT_EQ(outcome.status, status) << args.back();
        EXPECT_NE(outcome.err.find(message), std::string::npos) << outcome.err;
    }
    ::close(heldOpen);
    EXPECT_EQ(readFile(file), before);
    // A leading zero is typed but not stored: the start is the one the event dialog lists.
    ASSERT_EQ(run({"add", file, "--date", "2030-01-10", "--time", "09:15", "--notes", "x"}).status,
              kDone);
    EXPECT_EQ(run({"remove", file, "--date", "2030-01-10", "--time", "9:15"}).status, kDone);
}

}  // namespace
}  // namespace almanary::cli

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "CliApp.h"
#include "model/AlmanaryFile.h"
#include "support/ScopedTimeZone.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::cli {
namespace {

using almanary::testing::readFile;
using almanary::testing::ScopedTimeZone;
using almanary::testing::TempDir;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// Every test starts with an empty almanary at `file`.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(run({"new", file}).status, kDone); }

    Outcome run(std::vector<std::string> args) {
        std::ostringstream out, err;
        CliContext context{out, err};
        context.now = *Calendar::fromLocal(2026, 12, 6, 9, 0);
        context.envPassword = envPassword;
        if (terminalPassword)
            context.askPassword = [this](const std::string&) { return terminalPassword; };
        const int status = runCli(args, context);
        return {status, out.str(), err.str()};
    }

    // Adds an event given as {--date, ..., --time, ..., --notes, ..., more options}.
    void add(std::vector<std::string> options) {
        options.insert(options.begin(), {"add", file});
        const Outcome outcome = run(options);
        ASSERT_EQ(outcome.status, kDone) << outcome.err;
    }

    AlmanaryDocument readBack() {
        AlmanaryLoad load = AlmanaryFile::load(file, 0);
        EXPECT_TRUE(load.ok());
        return std::move(*load.document);
    }

    ScopedTimeZone zone{"UTC"};
    TempDir dir;
    std::string file = dir.file("cal.alm");
    std::optional<std::string> envPassword;
    std::optional<std::string> terminalPassword;
};

TEST_F(CliTest, NewWritesTheEmptyAlmanaryAndRefusesToReplaceOne) {
    AlmanaryDocument empty;
    std::string expected = AlmanaryFile::plainStream(empty);
    AlmanaryFile::scramble(expected);
    EXPECT_EQ(readFile(file), expected);  // the 55 bytes, scrambled
    EXPECT_EQ(run({"new", file, "--password", "pw"}).status, kRefused);
    EXPECT_EQ(readBack().settings.password, "");
    EXPECT_EQ(run({"new", file, "--password", "pw", "--force"}).status, kDone);
    EXPECT_EQ(readBack().settings.password, "pw");
}

TEST_F(CliTest, AddThenListPrintsOneEventALineInStartOrder) {
    add({"--date", "2001-05-09", "--time", "13:30", "--notes", "Lunch", "--duration", "45"});
    add({"--date", "2001-05-09", "--time", "9:00", "--notes", "Dentist", "--duration", "60"});
    add({"--date", "2002-01-05", "--time", "0:15", "--notes", "Late", "--duration", "30"});

    const Outcome list = run({"list", file});
    EXPECT_EQ(list.status, kDone);
    EXPECT_EQ(list.out,
              "5/9/2001  9:00 - 10:00  <No Category>  Dentist\n"
              "5/9/2001  13:30 - 14:15  <No Category>  Lunch\n"
              "1/5/2002  00:15 - 0:45  <No Category>  Late\n");  // midnight widened

    EXPECT_EQ(run({"list", file, "--day", "2001-05-09", "--12h"}).out,
              "5/9/2001  9:00 AM - 10:00  <No Category>  Dentist\n"
              "5/9/2001  1:30 PM - 2:15  <No Category>  Lunch\n");
    // The document's clock setting holds unless the call says otherwise.
    ASSERT_EQ(run({"settings", file, "--clock", "12"}).status, kDone);
    EXPECT_EQ(run({"list", file, "--day", "2002-01-05"}).out,
              "1/5/2002  0:15 AM - 0:45  <No Category>  Late\n");
    EXPECT_EQ(run({"list", file, "--day", "2002-01-05", "--24h"}).out,
              "1/5/2002  00:15 - 0:45  <No Category>  Late\n");
}

// Each call breaks a rule of the program: it gets exit status 3 and the
// rule's message, and the file stays as it was.
TEST_F(CliTest, RefusedCallsChangeNothing) {
    add({"--date", "2026-12-07", "--time", "9:30", "--notes", "Taken"});
    EXPECT_EQ(run({"categories", file, "--add", "  work "}).out, "work\n");
    EXPECT_EQ(run({"categories", file, "--add", "Home"}).out, "Home\nwork\n");
    const std::string before = readFile(file);
    const std::string unique = "Each category must have a unique name!";
    const std::string unnamed = "You must name the category that you wish to add!";
    const struct {
        std::vector<std::string> args;  // the file goes after the command
        std::string message;
    } cases[] = {
        {{"add", "--time", "9:30", "--notes", ""}, "You must provide some notes"},
        {{"add", "--time", "9:30", "--notes", "x"}, "already have an event scheduled at 9:30."},
        {{"add", "--time", "9:10", "--notes", "x"}, "00, 15, 30, 45"},
        {{"add", "--time", "24:00", "--notes", "x"}, "0 to 23"},
        {{"add", "--time", "9:15", "--notes", "x", "--duration", "20"}, "270, 300"},
        {{"add", "--time", "9:15", "--notes", "x", "--remind", "7"}, "120, 180"},
        {{"add", "--time", "9:15", "--notes", "x", "--category", "Job"}, "<No Category>"},
        {{"add", "--date", "1969-12-31", "--notes", "x"}, "from 1/1/1970 to 2/7/2106"},
        {{"categories", "--add", "WORK"}, unique},
        {{"categories", "--add", "<No Category>"}, unnamed},
        {{"categories", "--add", "123456789012345678901"}, "20 characters"},
        {{"categories", "--rename", "Nope", "X"}, "no category named Nope"},
        {{"categories", "--rename", "work", " "}, "use the delete button"},
        {{"categories", "--rename", "work", "HOME"}, unique},
        {{"settings", "--autosave", "61"}, "between 1 and 60, or off"},
        {{"settings", "--sound", "/none.wav"}, "/none.wav could not be found"},
        {{"settings", "--clock", "13"}, "12 or 24"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin() + 1, file);
        if (args[0] == "add" && args[2] != "--date")
            args.insert(args.begin() + 2, {"--date", "2026-12-07"});
        if (args[0] == "add" && std::find(args.begin(), args.end(), "--time") == args.end())
            args.insert(args.end(), {"--time", "9:00"});
        const Outcome outcome = run(args);
        EXPECT_EQ(outcome.status, kRefused) << ::testing::PrintToString(args);
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
    }
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(run({"categories", file, "--add", "<no category>"}).status, kDone);
}

// Wrong usage: exit 1, "almanary-cli: <problem>" and the command's --help
// to try; nothing is read or written.
TEST_F(CliTest, UsageErrorsNameTheProblemAndTheHelpToTry) {
    const std::string before = readFile(file);
    const std::string f = "<file>";  // stands for the test's file
    const struct {
        std::vector<std::string> args;
        std::string problem;
    } cases[] = {
        {{"new"}, "FILE is required"},
        {{"info", ""}, "file name is empty"},
        {{"new", f, "--password"}, "--password"},
        {{"new", f, "--force", "--force"}, "--force"},
        {{"add", f, "--date", "2026-02-29", "--time", "9:00", "--notes", "x"},
         "--date: 2026-02-29"},
        {{"add", f, "--date", "2026-12-07", "--time", "9.15", "--notes", "x"}, "--time: 9.15"},
        {{"add", f, "--date", "2026-12-07", "--time", "9:15"}, "--notes is required"},
        {{"add", f, "--time", "9:15", "--notes", "x"}, "--date is required"},
        {{"due", f, "--colour", "red"}, "unknown option --colour"},
        {{"remove", f, "--date", "2026-12-07", "--date", "2026-12-08", "--time", "9:00"}, "--date"},
        {{"conflicts", f, "--date", "2026-12-07"}, "--time is required"},
        {{"list", f, "--day", "2026-12-07", "--search", "x"}, "--day excludes --search"},
        {{"list", f, "--category", "A", "--search", "x"}, "--category excludes --search"},
        {{"list", f, "--12h", "--24h"}, "--12h excludes --24h"},
        {{"list", f, "more.alm"}, "unexpected word more.alm"},
        {{"due", f, "--at", "tomorrow"}, "--at: tomorrow"},
        {{"categories", f, "--rename", "OnlyOne"}, "--rename"},
        {{"categories", f, "--add", "A", "--delete", "B"}, "--add excludes --delete"},
        {{"categories", f, "--events"}, "--events requires --rename"},
        {{"help", "frobnicate"}, "frobnicate"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        std::replace(args.begin(), args.end(), f, file);
        const Outcome outcome = run(args);
        EXPECT_EQ(outcome.status, kWrongUsage) << ::testing::PrintToString(args);
        EXPECT_TRUE(outcome.err.starts_with("almanary-cli: ")) << outcome.err;
        EXPECT_NE(outcome.err.find(c.problem), std::string::npos) << outcome.err;
        EXPECT_TRUE(outcome.err.ends_with("\nTry 'almanary-cli " + args[0] + " --help'.\n"))
            << outcome.err;
        EXPECT_EQ(outcome.out, "");
    }
    EXPECT_EQ(run({}).err, "almanary-cli: no command given\nTry 'almanary-cli --help'.\n");
    EXPECT_EQ(run({"frobnicate", file}).err,
              "almanary-cli: unknown command frobnicate\nTry 'almanary-cli --help'.\n");
    EXPECT_EQ(readFile(file), before);
}

// --help and -h, for the program and after every command, print that
// help and do nothing else; "help COMMAND" prints the same.
TEST_F(CliTest, HelpForTheProgramAndEveryCommand) {
    const struct {
        std::string command;  // empty for the program
        std::vector<std::string> names;
    } cases[] = {
        {"",
         {"  new ", "  info ", "  add ", "  remove ", "  list ", "  conflicts ", "  due ",
          "  categories ", "  settings ", "  help ", "ALMANARY_PASSWORD", "minute 00, 15, 30, 45",
          "3 refused by a rule"}},
        {"new", {"FILE", "--password", "--force"}},
        {"info", {"FILE", "--password"}},
        {"add",
         {"--date", "--time", "--notes", "--duration", "--category", "--remind", "270, 300"}},
        {"remove", {"--date", "--time", "--password"}},
        {"list", {"--day", "--category", "--search", "--12h", "--24h", "--tsv", "--password"}},
        {"conflicts", {"--date", "--time", "--duration", "--password"}},
        {"due", {"--at", "--password"}},
        {"categories", {"--add", "--rename", "--events", "--delete", "--password"}},
        {"settings", {"--autosave", "--sound", "--password", "--clock", "new password"}},
    };
    for (const auto& c : cases) {
        const std::string usage =
            "Usage: almanary-cli " + (c.command.empty() ? "" : c.command + " ");
        std::vector<std::vector<std::string>> calls = {{"--help"}, {"-h"}, {"help"}};
        for (auto& call : calls) {
            if (!c.command.empty())
                call.insert(call[0] == "help" ? call.end() : call.begin(), c.command);
            const Outcome outcome = run(call);
            EXPECT_EQ(outcome.status, kDone) << ::testing::PrintToString(call);
            EXPECT_EQ(outcome.err, "");
            EXPECT_NE(outcome.out.find(usage), std::string::npos) << outcome.out;
            for (const std::string& name : c.names)
                EXPECT_NE(outcome.out.find(name), std::string::npos) << name << " in\n"
                                                                     << outcome.out;
        }
    }
}

// An overlap is a warning and the event is still added; remove takes the
// event at that start only.
TEST_F(CliTest, OverlapsConflictsAndRemove) {
    add({"--date", "2026-12-07", "--time", "9:00", "--notes", "First", "--duration", "60"});
    const Outcome outcome = run({"add", file, "--date", "2026-12-07", "--time", "10:00", "--notes",
                                 "Touches", "--duration", "30"});
    EXPECT_EQ(outcome.status, kDone);
    EXPECT_NE(outcome.err.find("12/7/2026  9:00 - 10:00  <No Category>  First"), std::string::npos);
    EXPECT_EQ(run({"conflicts", file, "--date", "2026-12-07", "--time", "10:30"}).out,
              "12/7/2026  10:00 - 10:30  <No Category>  Touches\n");
    EXPECT_EQ(run({"conflicts", file, "--date", "2026-12-07", "--time", "10:45"}).out, "");
    for (const int status : {kDone, kRefused})
        EXPECT_EQ(run({"remove", file, "--date", "2026-12-07", "--time", "10:00"}).status, status);
    EXPECT_EQ(run({"list", file}).out, "12/7/2026  9:00 - 10:00  <No Category>  First\n");
}

TEST_F(CliTest, DueRemindersAndTsvEscapes) {
    add({"--date", "2026-12-07", "--time", "9:00", "--notes", "a\tb\nc\\d", "--remind", "15"});
    add({"--date", "2026-12-07", "--time", "8:00", "--notes", "Quiet"});
    EXPECT_EQ(run({"due", file, "--at", "2026-12-07 8:44"}).out, "");
    EXPECT_EQ(run({"due", file, "--at=2026-12-07 8:45"}).out,
              "12/7/2026  9:00 - 9:00  <No Category>  a\tb c\\d\n");
    EXPECT_EQ(run({"due", file}).out, "");  // the context's now is the day before
    EXPECT_EQ(run({"list", file, "--tsv"}).out,
              "12/7/2026\t8:00 - 8:00\t<No Category>\tQuiet\t0\t0\n"
              "12/7/2026\t9:00 - 9:00\t<No Category>\ta\\tb\\nc\\\\d\t1\t15\n");
}

TEST_F(CliTest, CategoryRenameCarriesToEventsOnlyWhenAsked) {
    ASSERT_EQ(run({"categories", file, "--add", "Work"}).status, kDone);
    add({"--date", "2026-12-07", "--time", "9:00", "--notes", "A", "--category", "Work"});

    EXPECT_EQ(run({"categories", file, "--rename", "Work", "Office"}).status, kDone);
    EXPECT_EQ(readBack().events.at(0).category(), "Work");
    ASSERT_EQ(run({"categories", file, "--add", "Work"}).status, kDone);
    EXPECT_EQ(run({"categories", file, "--rename", "Work", "Desk", "--events"}).status, kDone);
    EXPECT_EQ(readBack().events.at(0).category(), "Desk");
    EXPECT_EQ(run({"categories", file, "--delete", "Desk"}).out, "Office\n");
    EXPECT_EQ(readBack().events.at(0).category(), "Desk");

    // The limit counts characters, as the dialog's edit does, not bytes.
    EXPECT_EQ(run({"categories", file, "--add", "Grüße für Großmütter"}).status, kDone);
}

TEST_F(CliTest, SettingsChangeOnlyWhatIsAsked) {
    EXPECT_EQ(run({"settings", file, "--autosave", "15"}).status, kDone);
    testing::writeFile(dir.file("ding.wav"), "RIFF");
    EXPECT_EQ(run({"settings", file, "--sound", dir.file("ding.wav"), "--autosave", "off"}).status,
              kDone);
    DocumentSettings expected;
    expected.autosaveMinutes = 15;  // autosave is off again, but the minutes stay
    expected.playSound = true;
    expected.soundFile = dir.file("ding.wav");
    EXPECT_EQ(readBack().settings, expected);
}

TEST_F(CliTest, AProtectedFileNeedsItsPassword) {
    ASSERT_EQ(run({"new", file, "--password", "Secret", "--force"}).status, kDone);
    EXPECT_EQ(run({"list", file}).status, kFileUnusable);
    const Outcome outcome = run({"list", file, "--password", "secret"});
    EXPECT_EQ(outcome.status, kFileUnusable);
    EXPECT_EQ(outcome.err, "Sorry, that is not the correct password.\n");

    EXPECT_EQ(run({"list", file, "--password", "Secret"}).status, kDone);
    envPassword = "Secret";
    EXPECT_EQ(run({"info", file}).status, kDone);
    envPassword.reset();
    terminalPassword = "Secret";
    EXPECT_EQ(run({"info", file}).status, kDone);

    // In settings --password is the new one; the old comes from the terminal.
    EXPECT_EQ(run({"settings", file, "--password", "off"}).status, kDone);
    terminalPassword.reset();
    EXPECT_EQ(run({"list", file}).status, kDone);
}

TEST_F(CliTest, ChangesKeepEverythingElseInTheFile) {
    AlmanaryDocument document;
    document.settings = {false, true, false, true, 42, "", "bell.wav", ""};
    document.categories = CategoryList({"Home", "Work"});
    document.skinName = "Ocean";
    ASSERT_FALSE(AlmanaryFile::save(document, file));
    add({"--date", "2026-12-07", "--time", "9:00", "--notes", "A", "--category", "Work"});
    const AlmanaryDocument after = readBack();
    EXPECT_EQ(after.settings, document.settings);
    EXPECT_EQ(after.categories, document.categories);
    EXPECT_EQ(after.skinName, "Ocean");

    const std::string info = run({"info", file}).out;
    EXPECT_NE(info.find("Autosave: every 42 minutes"), std::string::npos) << info;
    EXPECT_NE(info.find("Password: not set"), std::string::npos) << info;
}

TEST_F(CliTest, UnusableFilesAreReportedAndLeftAlone) {
    testing::writeFile(dir.file("text.alm"), "just some text, not an almanary");
    EXPECT_NE(run({"info", dir.file("text.alm")}).err.find("is not a Almanary file"),
              std::string::npos);
    add({"--date", "2026-12-07", "--time", "9:00", "--notes", "Something"});
    const std::string whole = readFile(file);
    testing::writeFile(file, whole.substr(0, whole.size() - 3));
    const Outcome outcome =
        run({"add", file, "--date", "2026-12-08", "--time", "9:00", "--notes", "x"});
    EXPECT_EQ(outcome.status, kFileUnusable);
    EXPECT_NE(outcome.err.find(file), std::string::npos) << outcome.err;
    EXPECT_EQ(readFile(file), whole.substr(0, whole.size() - 3));
}

// The real program: exit statuses and the password from the environment.
TEST_F(CliTest, TheProgramReportsThroughItsExitStatus) {
    auto shell = [&](const std::string& command) {
        const int raw = std::system(
            ("cd " + dir.path().string() + " && " + command + " >/dev/null 2>&1 </dev/null")
                .c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    const std::string cli = ALMANARY_CLI_PATH;
    EXPECT_EQ(shell(cli + " --help"), 0);
    EXPECT_EQ(shell(cli), 1);
    EXPECT_EQ(shell(cli + " list nothing.alm"), 2);
    EXPECT_EQ(shell(cli + " new p.alm --password pw"), 0);
    EXPECT_EQ(shell(cli + " list p.alm"), 2);  // no terminal to ask on
    EXPECT_EQ(shell("ALMANARY_PASSWORD=pw " + cli + " list p.alm"), 0);
    EXPECT_EQ(shell(cli + " add p.alm --password pw --date 2026-12-07 --time 9:00 --notes ''"), 3);
}

}  // namespace
}  // namespace almanary::cli

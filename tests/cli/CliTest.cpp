#include <gtest/gtest.h>
#include <sys/wait.h>

#include <sstream>

#include "CliApp.h"
#include "model/AlmanaryFile.h"
#include "support/ScopedTimeZone.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::cli {
namespace {

using almanary::testing::readFile;
using Args = std::vector<std::string>;

struct Outcome {
    int status;
    std::string out, err;
};

// Every test starts with an empty almanary at `file`; now is 6 December 2026.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(run({"new", file}).status, kDone); }

    Outcome run(const Args& args) {
        std::ostringstream out, err;
        CliContext context{out, err};
        context.now = *Calendar::fromLocal(2026, 12, 6, 9, 0);
        if (terminalPassword)
            context.askPassword = [this](const std::string&) { return terminalPassword; };
        const int status = runCli(args, context);
        return {status, out.str(), err.str()};
    }

    // Adds an event on 7 December 2026 unless `more` gives a --date.
    void add(const std::string& time, const std::string& notes, Args more = {}) {
        Args args{"add", file, "--time", time, "--notes", notes};
        if (std::find(more.begin(), more.end(), "--date") == more.end())
            more.insert(more.end(), {"--date", "2026-12-07"});
        args.insert(args.end(), more.begin(), more.end());
        const Outcome outcome = run(args);
        ASSERT_EQ(outcome.status, kDone) << outcome.err;
    }

    almanary::testing::ScopedTimeZone zone{"UTC"};
    almanary::testing::TempDir dir;
    std::string file = dir.file("cal.alm");
    std::optional<std::string> terminalPassword;
};

// A call that breaks a rule: exit status 3, the rule's message, the file as it was.
TEST_F(CliTest, RefusedCallsChangeNothing) {
    add("9:30", "Taken");
    EXPECT_EQ(run({"categories", file, "--add", "  work "}).out, "work\n");
    EXPECT_EQ(run({"categories", file, "--add", "Home"}).out, "Home\nwork\n");
    const std::string before = readFile(file);
    const std::string unique = "Each category must have a unique name!";
    // The file goes after the command; add's date is 7 December 2026.
    const std::pair<Args, std::string> cases[] = {
        {{"add", "--time", "9:30", "--notes", ""}, "You must provide some notes"},
        {{"add", "--time", "9:30", "--notes", "x"}, "already have an event scheduled at 9:30."},
        {{"add", "--time", "9:10", "--notes", "x"}, "00, 15, 30, 45"},
        {{"add", "--time", "24:00", "--notes", "x"}, "0 to 23"},
        {{"add", "--time", "9:15", "--notes", "x", "--duration", "20"}, "270, 300"},
        {{"add", "--time", "9:15", "--notes", "x", "--remind", "7"}, "120, 180"},
        {{"add", "--time", "9:15", "--notes", "x", "--category", "Job"}, "<No Category>"},
        {{"add", "--time", "9:00", "--notes", "x", "--date", "1969-12-31"}, "to 2/7/2106"},
        {{"categories", "--add", "WORK"}, unique},
        {{"categories", "--add", "<No Category>"}, "You must name the category"},
        {{"categories", "--add", "123456789012345678901"}, "20 characters"},
        {{"categories", "--rename", "Nope", "X"}, "no category named Nope"},
        {{"categories", "--rename", "work", " "}, "use the delete button"},
        {{"categories", "--rename", "work", "HOME"}, unique},
        {{"settings", "--autosave", "61"}, "between 1 and 60, or off"},
        {{"settings", "--sound", "/none.wav"}, "/none.wav could not be found"},
        {{"settings", "--clock", "13"}, "12 or 24"},
    };
    for (auto [args, message] : cases) {
        args.insert(args.begin() + 1, file);
        if (args[0] == "add" && std::find(args.begin(), args.end(), "--date") == args.end())
            args.insert(args.end(), {"--date", "2026-12-07"});
        const Outcome outcome = run(args);
        EXPECT_TRUE(outcome.status == kRefused && outcome.err.find(message) != std::string::npos)
            << ::testing::PrintToString(args) << outcome.err;
    }
    EXPECT_EQ(readFile(file), before);
}

// Wrong usage: exit 1, the problem and the --help to try; no file is touched.
TEST_F(CliTest, UsageErrorsNameTheProblemAndTheHelpToTry) {
    const std::string before = readFile(file);
    const std::string f = "<file>";  // stands for the test's file
    const std::pair<Args, std::string> cases[] = {
        {{"new"}, "FILE is required"},
        {{"info", ""}, "file name is empty"},
        {{"new", f, "--force", "--force"}, "--force"},
        {{"add", f, "--date", "2026-02-29", "--time", "9:00", "--notes", "x"}, "2026-02-29"},
        {{"add", f, "--date", "2026-12-07", "--time", "9.15", "--notes", "x"}, "--time: 9.15"},
        {{"conflicts", f, "--date", "2026-12-07"}, "--time is required"},
        {{"due", f, "--colour", "red"}, "unknown option --colour"},
        {{"list", f, "--day", "2026-12-07", "--search", "x"}, "--day excludes --search"},
        {{"list", f, "more.alm"}, "unexpected word more.alm"},
        {{"categories", f, "--add", "A", "--delete", "B"}, "--add excludes --delete"},
        {{"categories", f, "--events"}, "--events requires --rename"},
        {{"help", "frobnicate"}, "frobnicate"},
    };
    for (auto [args, problem] : cases) {
        std::replace(args.begin(), args.end(), f, file);
        const Outcome outcome = run(args);
        EXPECT_TRUE(outcome.status == kWrongUsage && outcome.out.empty() &&
                    outcome.err.starts_with("almanary-cli: ") &&
                    outcome.err.find(problem) != std::string::npos &&
                    outcome.err.ends_with("\nTry 'almanary-cli " + args[0] + " --help'.\n"))
            << ::testing::PrintToString(args) << outcome.err;
    }
    EXPECT_EQ(run({}).err, "almanary-cli: no command given\nTry 'almanary-cli --help'.\n");
    EXPECT_EQ(run({"frobnicate", file}).err,
              "almanary-cli: unknown command frobnicate\nTry 'almanary-cli --help'.\n");
    EXPECT_EQ(readFile(file), before);
}

// --help, -h and "help COMMAND" print that help, here a line of it, and nothing else.
TEST_F(CliTest, HelpForTheProgramAndEveryCommand) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "minute 00, 15, 30, 45"}, {"new", "--force"},
        {"info", "--password"},        {"add", "270, 300"},
        {"remove", "--time"},          {"list", "--tsv"},
        {"conflicts", "--duration"},   {"due", "--at"},
        {"categories", "--events"},    {"settings", "new password"},
        {"serve", "--port"},           {"fetch", "HOST:PORT"},
        {"send", "--replace-open"},    {"share", "--force"},
        {"unshare", "NAME"},           {"shares", "a tab"}};
    for (const auto& [command, line] : cases) {
        for (Args call : {Args{"--help"}, Args{"-h"}, Args{"help"}}) {
            if (!command.empty())
                call.insert(call[0] == "help" ? call.end() : call.begin(), command);
            const Outcome outcome = run(call);
            EXPECT_TRUE(outcome.status == kDone && outcome.err.empty()) << outcome.err;
            const std::string usage = "Usage: almanary-cli " + command;
            for (const std::string& part : {usage, line, std::string("3 refused by a rule")})
                EXPECT_NE(outcome.out.find(part), std::string::npos) << part << " in\n"
                                                                     << outcome.out;
        }
    }
}

// The document's clock holds unless a call says otherwise; overlaps only warn.
TEST_F(CliTest, EventsAreListedCheckedAndRemoved) {
    add("9:00", "Dentist\r\nat nine", {"--duration", "60"});
    add("0:15", "Late", {"--date", "2026-12-08", "--duration", "30"});
    const Outcome outcome = run({"add", file, "--date", "2026-12-07", "--time", "10:00", "--notes",
                                 "a\tb\nc\\d", "--duration", "30", "--remind", "60"});
    EXPECT_TRUE(outcome.status == kDone &&
                outcome.err.find("9:00 - 10:00  <No Category>  Dentist") != std::string::npos);
    EXPECT_EQ(run({"list", file}).out,
              "12/7/2026  9:00 - 10:00  <No Category>  Dentist at nine\n"
              "12/7/2026  10:00 - 10:30  <No Category>  a\tb c\\d\n"
              "12/8/2026  00:15 - 0:45  <No Category>  Late\n");
    EXPECT_EQ(run({"list", file, "--day", "2026-12-08", "--12h"}).out,
              "12/8/2026  0:15 AM - 0:45  <No Category>  Late\n");
    EXPECT_EQ(run({"list", file, "--search", "C\\D", "--tsv"}).out,
              "12/7/2026\t10:00 - 10:30\t<No Category>\ta\\tb\\nc\\\\d\t1\t60\n");
    ASSERT_EQ(run({"settings", file, "--clock", "12"}).status, kDone);
    EXPECT_EQ(run({"due", file, "--at=2026-12-07 9:00"}).out,
              "12/7/2026  10:00 AM - 10:30  <No Category>  a\tb c\\d\n");
    EXPECT_EQ(run({"list", file, "--search", "nine", "--24h"}).out,
              "12/7/2026  9:00 - 10:00  <No Category>  Dentist at nine\n");
    EXPECT_EQ(run({"due", file, "--at", "2026-12-07 8:59"}).out + run({"due", file}).out, "");
    EXPECT_EQ(
        run({"conflicts", file, "--date", "2026-12-07", "--time", "8:45", "--duration", "15"}).out,
        "12/7/2026  9:00 AM - 10:00  <No Category>  Dentist at nine\n");
    EXPECT_EQ(run({"conflicts", file, "--date", "2026-12-07", "--time", "10:45"}).out, "");
    for (const int status : {kDone, kRefused})
        EXPECT_EQ(run({"remove", file, "--date", "2026-12-07", "--time", "9:00"}).status, status);
    EXPECT_EQ(run({"list", file, "--day", "2026-12-07"}).out,
              "12/7/2026  10:00 AM - 10:30  <No Category>  a\tb c\\d\n");
}

// The name limit counts characters, as the dialog's edit does, not bytes.
TEST_F(CliTest, CategoryRenameCarriesToEventsOnlyWhenAsked) {
    ASSERT_EQ(run({"categories", file, "--add", "Work"}).status, kDone);
    add("9:00", "A", {"--category", "Work"});
    EXPECT_EQ(run({"categories", file, "--rename", "Work", "Office"}).status, kDone);
    ASSERT_EQ(run({"categories", file, "--add", "Work"}).status, kDone);
    EXPECT_EQ(run({"list", file, "--category", "Work"}).out, "12/7/2026  9:00 - 9:00  Work  A\n");
    EXPECT_EQ(run({"categories", file, "--rename", "Work", "Desk", "--events"}).status, kDone);
    EXPECT_EQ(run({"categories", file, "--delete", "Desk"}).out, "Office\n");
    EXPECT_EQ(run({"list", file}).out, "12/7/2026  9:00 - 9:00  Desk  A\n");
    EXPECT_EQ(run({"categories", file, "--add", "Grüße für Großmütter"}).status, kDone);
}

// Settings change only what is asked; autosave off keeps its minutes.
TEST_F(CliTest, SettingsChangeOnlyWhatIsAsked) {
    EXPECT_EQ(
        run({"settings", file}).out,
        "Autosave: off\nReminder sound: off, reminder.wav\nPassword: not set\nClock: 24-hour\n");
    testing::writeFile(dir.file("ding.wav"), "RIFF");
    EXPECT_EQ(run({"settings", file, "--sound", dir.file("ding.wav"), "--autosave", "15"}).out,
              "Autosave: every 15 minutes\nReminder sound: on, " + dir.file("ding.wav") +
                  "\nPassword: not set\nClock: 24-hour\n");
    ASSERT_EQ(run({"settings", file, "--autosave", "off"}).status, kDone);
    EXPECT_EQ(AlmanaryFile::load(file, 0).document->settings.autosaveMinutes, 15);
    // The bare name of the shipped chime is found in the program's data folder.
    EXPECT_EQ(run({"settings", file, "--sound", "reminder.wav"}).status, kDone);
    EXPECT_EQ(AlmanaryFile::load(file, 0).document->settings.soundFile, "reminder.wav");
}

// Damaged files and folders are reported; a protected file needs its password,
// and in settings --password is the new one, the old coming from the terminal.
TEST_F(CliTest, FilesThatCannotBeUsed) {
    EXPECT_EQ(run({"info", dir.path().string()}).err,
              dir.path().string() +
                  " could not be read: it is a folder.  The almanary was not loaded.\n");
    add("9:00", "Something");
    const std::string whole = readFile(file);
    testing::writeFile(file, whole.substr(0, whole.size() - 3));
    EXPECT_EQ(run({"info", file}).err,
              file +
                  " is damaged and was not loaded.\nDetails: the file ends early, in the "
                  "reminder lead of event 1.\n");
    EXPECT_EQ(run({"new", file, "--password", "Secret"}).status, kRefused);
    ASSERT_EQ(run({"new", file, "--password", "Secret", "--force"}).status, kDone);
    EXPECT_EQ(run({"list", file}).status, kFileUnusable);
    EXPECT_EQ(run({"list", file, "--password", "secret"}).err,
              "Sorry, that is not the correct password.\n");
    terminalPassword = "Secret";
    EXPECT_EQ(run({"settings", file, "--password", "off"}).status, kDone);
    terminalPassword.reset();
    EXPECT_EQ(run({"list", file}).status, kDone);
}

// The real program: exit statuses and the password from the environment.
TEST_F(CliTest, TheProgramReportsThroughItsExitStatus) {
    const auto shell = [&](const std::string& command) {
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

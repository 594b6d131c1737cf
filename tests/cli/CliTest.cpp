#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "cli/CliApp.h"
#include "model/AlmanaryFile.h"
#include "support/ScopedTimeZone.h"
#include "support/TempDir.h"

namespace almanary::cli {
namespace {

using almanary::testing::ScopedTimeZone;
using almanary::testing::TempDir;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CliTest : public ::testing::Test {
protected:
    Outcome Run(std::vector<std::string> args) {
        std::ostringstream out, err;
        CliContext context{out, err};
        context.now = *Calendar::FromLocal(2026, 12, 6, 9, 0);
        context.envPassword = envPassword;
        if (terminalPassword) {
            context.askPassword = [this](const std::string&) { return terminalPassword; };
        }
        const int status = RunCli(args, context);
        return {status, out.str(), err.str()};
    }

    // Creates the file and adds events given as {date, time, notes, extra options...}.
    void Add(std::vector<std::string> options) {
        std::vector<std::string> args{"add", file};
        args.insert(args.end(), options.begin(), options.end());
        const Outcome outcome = Run(args);
        ASSERT_EQ(outcome.status, kDone) << outcome.err;
    }

    AlmanaryDocument Document() {
        AlmanaryLoad load = AlmanaryFile::Load(file, 0);
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
    ASSERT_EQ(Run({"new", file}).status, kDone);
    std::string bytes = ReadAll(file);
    ASSERT_EQ(bytes.size(), 55u);
    AlmanaryFile::Scramble(bytes);
    EXPECT_EQ(bytes.substr(0, 9),
              "\x08"
              "Almanary");
    EXPECT_EQ(bytes.substr(bytes.size() - 12), std::string("\x07"
                                                           "Default",
                                                           8) +
                                                   std::string(4, '\0'));

    const Outcome again = Run({"new", file, "--password", "pw"});
    EXPECT_EQ(again.status, kRefused);
    EXPECT_EQ(Document().settings.password, "");
    EXPECT_EQ(Run({"new", file, "--password", "pw", "--force"}).status, kDone);
    EXPECT_EQ(Document().settings.password, "pw");
}

TEST_F(CliTest, AddThenListPrintsOneEventALineInStartOrder) {
    ASSERT_EQ(Run({"new", file}).status, kDone);
    Add({"--date", "2001-05-09", "--time", "13:30", "--notes", "Lunch", "--duration", "45"});
    Add({"--date", "2001-05-09", "--time", "9:00", "--notes", "Dentist", "--duration", "60"});
    Add({"--date", "2002-01-05", "--time", "0:15", "--notes", "Late", "--duration", "30"});

    const Outcome list = Run({"list", file});
    EXPECT_EQ(list.status, kDone);
    EXPECT_EQ(list.out,
              "5/9/2001  9:00 - 10:00  <No Category>  Dentist\n"
              "5/9/2001  13:30 - 14:15  <No Category>  Lunch\n"
              "1/5/2002  00:15 - 0:45  <No Category>  Late\n");  // midnight widened

    EXPECT_EQ(Run({"list", file, "--day", "2001-05-09", "--12h"}).out,
              "5/9/2001  9:00 AM - 10:00  <No Category>  Dentist\n"
              "5/9/2001  1:30 PM - 2:15  <No Category>  Lunch\n");
    EXPECT_EQ(Run({"list", file, "--search", "DENT"}).out,
              "5/9/2001  9:00 - 10:00  <No Category>  Dentist\n");
}

TEST_F(CliTest, ListFollowsTheDocumentClockUnlessTold) {
    ASSERT_EQ(Run({"new", file}).status, kDone);
    Add({"--date", "2001-05-09", "--time", "13:30", "--notes", "Lunch", "--duration", "45"});
    ASSERT_EQ(Run({"settings", file, "--clock", "12"}).status, kDone);
    EXPECT_EQ(Run({"list", file}).out, "5/9/2001  1:30 PM - 2:15  <No Category>  Lunch\n");
    EXPECT_EQ(Run({"list", file, "--24h"}).out, "5/9/2001  13:30 - 14:15  <No Category>  Lunch\n");
}

TEST_F(CliTest, AddRefusesWhatTheEventDialogWouldNotOffer) {
    ASSERT_EQ(Run({"new", file}).status, kDone);
    Add({"--date", "2026-12-07", "--time", "9:30", "--notes", "Taken"});
    struct Case {
        std::vector<std::string> options;
        int status;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"--time", "9:30", "--notes", ""},
         kRefused,
         "You must provide some notes for this event before adding it."},
        {{"--time", "9:30", "--notes", "x"},
         kRefused,
         "You already have an event scheduled at 9:30."},
        {{"--time", "9:10", "--notes", "x"}, kRefused, "00, 15, 30, 45"},
        {{"--time", "24:00", "--notes", "x"}, kRefused, "0 to 23"},
        {{"--time", "9:15", "--notes", "x", "--duration", "20"}, kRefused, "270, 300"},
        {{"--time", "9:15", "--notes", "x", "--remind", "7"}, kRefused, "120, 180"},
        {{"--time", "9:15", "--notes", "x", "--category", "Work"}, kRefused, "<No Category>"},
        {{"--time", "9.15", "--notes", "x"}, kWrongUsage, "--time"},
        {{"--time", "9:15"}, kWrongUsage, "--notes"},
        {{"--time", "9:15", "--notes", "x", "--colour", "red"}, kWrongUsage, "--colour"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"add", file, "--date", "2026-12-07"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Outcome outcome = Run(args);
        EXPECT_EQ(outcome.status, c.status) << ::testing::PrintToString(c.options);
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
    }
    EXPECT_EQ(Document().events.Count(), 1);
}

TEST_F(CliTest, DatesOutsideTheStorableRangeAreRefused) {
    ASSERT_EQ(Run({"new", file}).status, kDone);
    for (const char* date : {"1969-12-31", "2106-02-08", "2026-02-29"}) {
        const Outcome outcome =
            Run({"add", file, "--date", date, "--time", "9:00", "--notes", "x"});
        EXPECT_NE(outcome.status, kDone) << date;
    }
    Add({"--date", "2106-02-07", "--time", "9:00", "--notes", "Last day"});
    EXPECT_EQ(Run({"list", file}).out, "2/7/2106  9:00 - 9:00  <No Category>  Last day\n");
}

TEST_F(CliTest, OverlapsAreAWarningAndTheEventIsStillAdded) {
    ASSERT_EQ(Run({"new", file}).status, kDone);
    Add({"--date", "2026-12-07", "--time", "9:00", "--notes", "First", "--duration", "60"});
    const Outcome outcome = Run({"add", file, "--date", "2026-12-07", "--time", "10:00", "--notes",
                                 "Touches", "--duration", "30"});
    EXPECT_EQ(outcome.status, kDone);
    EXPECT_NE(outcome.err.find("12/7/2026  9:00 - 10:00  <No Category>  First"), std::string::npos);
    EXPECT_EQ(Document().events.Count(), 2);

    EXPECT_EQ(Run({"conflicts", file, "--date", "2026-12-07", "--time", "10:30"}).out,
              "12/7/2026  10:00 - 10:30  <No Category>  Touches\n");
    EXPECT_EQ(Run({"conflicts", file, "--date", "2026-12-07", "--time", "10:45"}).out, "");
}

TEST_F(CliTest, RemoveDeletesTheEventAtThatStartOnly) {
    ASSERT_EQ(Run({"new", file}).status, kDone);
    Add({"--date", "2026-12-07", "--time", "9:00", "--notes", "Keep"});
    Add({"--date", "2026-12-07", "--time", "9:15", "--notes", "Drop"});
    EXPECT_EQ(Run({"remove", file, "--date", "2026-12-07", "--time", "9:15"}).status, kDone);
    EXPECT_EQ(Run({"remove", file, "--date", "2026-12-07", "--time", "9:15"}).status, kRefused);
    EXPECT_EQ(Run({"list", file}).out, "12/7/2026  9:00 - 9:00  <No Category>  Keep\n");
}

TEST_F(CliTest, TsvEscapesBackslashTabAndNewline) {
    ASSERT_EQ(Run({"new", file}).status, kDone);
    Add({"--date", "2026-12-07", "--time", "9:00", "--notes", "a\tb\nc\\d", "--remind", "15"});
    EXPECT_EQ(Run({"list", file, "--tsv"}).out,
              "12/7/2026\t9:00 - 9:00\t<No Category>\ta\\tb\\nc\\\\d\t1\t15\n");
    EXPECT_EQ(Run({"list", file}).out, "12/7/2026  9:00 - 9:00  <No Category>  a\tb c\\d\n");
}

TEST_F(CliTest, DueListsRemindersAtTheGivenTime) {
    ASSERT_EQ(Run({"new", file}).status, kDone);
    Add({"--date", "2026-12-07", "--time", "9:00", "--notes", "Call", "--remind", "15"});
    Add({"--date", "2026-12-07", "--time", "8:00", "--notes", "Quiet"});
    EXPECT_EQ(Run({"due", file, "--at", "2026-12-07 8:44"}).out, "");
    EXPECT_EQ(Run({"due", file, "--at", "2026-12-07 8:45"}).out,
              "12/7/2026  9:00 - 9:00  <No Category>  Call\n");
    EXPECT_EQ(Run({"due", file}).out, "");  // the context's now is the day before
    EXPECT_EQ(Run({"due", file, "--at", "tomorrow"}).status, kWrongUsage);
}

TEST_F(CliTest, CategoriesFollowTheCategoriesDialogRules) {
    ASSERT_EQ(Run({"new", file}).status, kDone);
    EXPECT_EQ(Run({"categories", file, "--add", "  work "}).out, "work\n");
    EXPECT_EQ(Run({"categories", file, "--add", "Home"}).out, "Home\nwork\n");
    struct Case {
        std::vector<std::string> options;
        std::string message;
    };
    const std::vector<Case> refused = {
        {{"--add", "WORK"}, "Each category must have a unique name!"},
        {{"--add", "<No Category>"}, "You must name the category that you wish to add!"},
        {{"--add", "   "}, "You must name the category that you wish to add!"},
        {{"--add", "123456789012345678901"}, "20 characters"},
        {{"--rename", "Nope", "X"}, "no category named Nope"},
        {{"--rename", "work", " "}, "Please use the delete button to delete a category."},
        {{"--rename", "work", "HOME"}, "Each category must have a unique name!"},
        {{"--delete", "Nope"}, "no category named Nope"},
    };
    for (const Case& c : refused) {
        std::vector<std::string> args{"categories", file};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Outcome outcome = Run(args);
        EXPECT_EQ(outcome.status, kRefused) << ::testing::PrintToString(c.options);
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
    }
    EXPECT_EQ(Run({"categories", file}).out, "Home\nwork\n");
    EXPECT_EQ(Run({"categories", file, "--add", "<no category>"}).status, kDone);
}

TEST_F(CliTest, CategoryRenameCarriesToEventsOnlyWhenAsked) {
    ASSERT_EQ(Run({"new", file}).status, kDone);
    ASSERT_EQ(Run({"categories", file, "--add", "Work"}).status, kDone);
    Add({"--date", "2026-12-07", "--time", "9:00", "--notes", "A", "--category", "Work"});

    EXPECT_EQ(Run({"categories", file, "--rename", "Work", "Job"}).status, kDone);
    EXPECT_EQ(Document().events.NodeAt(1)->category(), "Work");
    EXPECT_EQ(Run({"categories", file, "--rename", "Job", "Office", "--events"}).status, kDone);
    EXPECT_EQ(Document().events.NodeAt(1)->category(), "Work");  // no event had "Job"

    ASSERT_EQ(Run({"categories", file, "--add", "Work"}).status, kDone);
    EXPECT_EQ(Run({"categories", file, "--rename", "Work", "Desk", "--events"}).status, kDone);
    EXPECT_EQ(Document().events.NodeAt(1)->category(), "Desk");
    EXPECT_EQ(Run({"categories", file, "--delete", "Desk"}).out, "Office\n");
    EXPECT_EQ(Document().events.NodeAt(1)->category(), "Desk");
}

TEST_F(CliTest, SettingsChangeOnlyWhatIsAskedAndCheckRanges) {
    ASSERT_EQ(Run({"new", file}).status, kDone);
    EXPECT_EQ(Run({"settings", file, "--autosave", "15"}).status, kDone);
    for (const char* minutes : {"0", "61", "abc", ""}) {
        EXPECT_EQ(Run({"settings", file, "--autosave", minutes}).status, kRefused) << minutes;
    }
    EXPECT_EQ(Run({"settings", file, "--sound", dir.file("none.wav")}).status, kRefused);
    EXPECT_EQ(Run({"settings", file, "--clock", "13"}).status, kRefused);
    const DocumentSettings settings = Document().settings;
    EXPECT_TRUE(settings.autosave);
    EXPECT_EQ(settings.autosaveMinutes, 15);
    EXPECT_FALSE(settings.playSound);
    EXPECT_FALSE(settings.twelveHourClock);

    std::ofstream(dir.file("ding.wav")) << "RIFF";
    EXPECT_EQ(Run({"settings", file, "--sound", dir.file("ding.wav"), "--autosave", "off"}).status,
              kDone);
    EXPECT_TRUE(Document().settings.playSound);
    EXPECT_EQ(Document().settings.soundFile, dir.file("ding.wav"));
    EXPECT_FALSE(Document().settings.autosave);
    EXPECT_EQ(Document().settings.autosaveMinutes, 15);
}

TEST_F(CliTest, AProtectedFileNeedsItsPassword) {
    ASSERT_EQ(Run({"new", file, "--password", "Secret"}).status, kDone);
    Outcome outcome = Run({"list", file});
    EXPECT_EQ(outcome.status, kFileUnusable);
    EXPECT_NE(outcome.err.find("password"), std::string::npos);

    outcome = Run({"list", file, "--password", "secret"});
    EXPECT_EQ(outcome.status, kFileUnusable);
    EXPECT_EQ(outcome.err, "Sorry, that is not the correct password.\n");

    EXPECT_EQ(Run({"list", file, "--password", "Secret"}).status, kDone);
    envPassword = "Secret";
    EXPECT_EQ(Run({"info", file}).status, kDone);
    envPassword.reset();
    terminalPassword = "Secret";
    EXPECT_EQ(Run({"info", file}).status, kDone);

    // In settings --password is the new one; the old comes from the terminal.
    EXPECT_EQ(Run({"settings", file, "--password", "off"}).status, kDone);
    terminalPassword.reset();
    EXPECT_EQ(Run({"list", file}).status, kDone);
}

TEST_F(CliTest, ChangesKeepEverythingElseInTheFile) {
    AlmanaryDocument document;
    document.settings.autosave = true;
    document.settings.autosaveMinutes = 42;
    document.settings.soundFile = "bell.wav";
    document.settings.twelveHourClock = true;
    document.categories = CategoryList({"Home", "Work"});
    document.skinName = "Ocean";
    ASSERT_FALSE(AlmanaryFile::Save(document, file));

    Add({"--date", "2026-12-07", "--time", "9:00", "--notes", "A", "--category", "Work"});
    const AlmanaryDocument after = Document();
    EXPECT_EQ(after.settings, document.settings);
    EXPECT_EQ(after.categories, document.categories);
    EXPECT_EQ(after.skinName, "Ocean");
    EXPECT_EQ(after.events.Count(), 1);

    const Outcome info = Run({"info", file});
    EXPECT_NE(info.out.find("Autosave: every 42 minutes"), std::string::npos);
    EXPECT_NE(info.out.find("Categories: 2"), std::string::npos);
    EXPECT_NE(info.out.find("Events: 1"), std::string::npos);
    EXPECT_NE(info.out.find("Skin: Ocean"), std::string::npos);
    EXPECT_NE(info.out.find("Password: not set"), std::string::npos);
}

TEST_F(CliTest, UnusableFilesAreReportedAndLeftAlone) {
    EXPECT_EQ(Run({"list", dir.file("missing.alm")}).status, kFileUnusable);

    std::ofstream(dir.file("text.alm")) << "just some text, not an almanary";
    Outcome outcome = Run({"info", dir.file("text.alm")});
    EXPECT_EQ(outcome.status, kFileUnusable);
    EXPECT_NE(outcome.err.find("is not a Almanary file"), std::string::npos);

    ASSERT_EQ(Run({"new", file}).status, kDone);
    Add({"--date", "2026-12-07", "--time", "9:00", "--notes", "Something"});
    const std::string whole = ReadAll(file);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << whole.substr(0, whole.size() - 3);
    outcome = Run({"add", file, "--date", "2026-12-08", "--time", "9:00", "--notes", "x"});
    EXPECT_EQ(outcome.status, kFileUnusable);
    EXPECT_NE(outcome.err.find(file), std::string::npos) << outcome.err;
    EXPECT_EQ(ReadAll(file), whole.substr(0, whole.size() - 3));
}

TEST_F(CliTest, WrongUsageIsStatusOne) {
    EXPECT_EQ(Run({}).status, kWrongUsage);
    EXPECT_EQ(Run({"frobnicate", file}).status, kWrongUsage);
    EXPECT_EQ(Run({"list"}).status, kWrongUsage);
    EXPECT_EQ(Run({"list", file, "--day", "2026-12-07", "--search", "x"}).status, kWrongUsage);
    EXPECT_EQ(Run({"list", file, "--12h", "--24h"}).status, kWrongUsage);
    EXPECT_EQ(Run({"categories", file, "--rename", "OnlyOne"}).status, kWrongUsage);
    EXPECT_EQ(Run({"--help"}).status, kDone);
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

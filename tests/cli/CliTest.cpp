#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
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
constexpr auto npos = std::string::npos;

struct Outcome {
    int status;
    std::string out, err;
};

// Every test starts with an empty almanary at `file`; now is 6 December 2026.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(run("new @").status, kDone); }

    // Runs the words of `line`, split at spaces ("@" stands for the file, ''
    // for an empty word), then those of `more`.
    Outcome run(const std::string& line, const Args& more = {}) {
        Args args;
        std::istringstream words(line);
        for (std::string word; std::getline(words, word, ' ');) {
            if (!word.empty())
                args.push_back(word == "@" ? file : word == "''" ? "" : word);
        }
        args.insert(args.end(), more.begin(), more.end());
        std::ostringstream out, err;
        CliContext context{out, err};
        context.now = *Calendar::fromLocal(2026, 12, 6, 9, 0);
        if (terminalPassword)
            context.askPassword = [this](const std::string&) { return terminalPassword; };
        const int status = runCli(args, context);
        return {status, out.str(), err.str()};
    }

    almanary::testing::ScopedTimeZone zone{"UTC"};
    almanary::testing::TempDir dir;
    std::string file = dir.file("cal.alm");
    std::optional<std::string> terminalPassword;
};

// A call that breaks a rule exits with 3 and says which; wrong usage exits
// with 1, naming the problem and the --help to try. Neither touches the file.
TEST_F(CliTest, RefusedCallsAndWrongUsageChangeNothing) {
    ASSERT_EQ(run("add @ --date 2026-12-07 --time 9:30 --notes Taken").status, kDone);
    EXPECT_EQ(run("categories @ --add", {"  work "}).out, "work\n");
    EXPECT_EQ(run("categories @ --add Home").out, "Home\nwork\n");
    const std::string before = readFile(file);
    const std::string add = "add @ --date 2026-12-07 --time ", unique = "must have a unique name";
    const std::tuple<int, std::string, std::string> cases[] = {
        {kRefused, add + "9:30 --notes ''", "You must provide some notes"},
        {kRefused, add + "9:30 --notes x", "already have an event scheduled at 9:30."},
        {kRefused, add + "9:10 --notes x", "00, 15, 30, 45"},
        {kRefused, add + "24:00 --notes x", "0 to 23"},
        {kRefused, add + "9:15 --notes x --duration 20", "270, 300"},
        {kRefused, add + "9:15 --notes x --remind 7", "120, 180"},
        {kRefused, add + "9:15 --notes x --category Job", "<No Category>"},
        {kRefused, "add @ --date 1969-12-31 --time 9:00 --notes x", "to 2/7/2106"},
        {kRefused, "categories @ --add WORK", unique},
        {kRefused, "categories @ --add ''", "You must name the category"},
        {kRefused, "categories @ --add 123456789012345678901", "20 characters"},
        {kRefused, "categories @ --rename Nope X", "no category named Nope"},
        {kRefused, "categories @ --rename work ''", "use the delete button"},
        {kRefused, "categories @ --rename work HOME", unique},
        {kRefused, "settings @ --autosave 61", "between 1 and 60, or off"},
        {kRefused, "settings @ --sound /none.wav", "/none.wav could not be found"},
        {kRefused, "settings @ --clock 13", "12 or 24"},
        {kWrongUsage, "new", "FILE is required"},
        {kWrongUsage, "info ''", "file name is empty"},
        {kWrongUsage, "new @ --force --force", "--force"},
        {kWrongUsage, "add @ --date 2026-02-29 --time 9:00 --notes x", "2026-02-29"},
        {kWrongUsage, add + "9.15 --notes x", "--time: 9.15"},
        {kWrongUsage, "conflicts @ --date 2026-12-07", "--time is required"},
        {kWrongUsage, "due @ --colour red", "unknown option --colour"},
        {kWrongUsage, "list @ --day 2026-12-07 --search x", "--day excludes --search"},
        {kWrongUsage, "list @ more.alm", "unexpected word more.alm"},
        {kWrongUsage, "categories @ --add A --delete B", "--add excludes --delete"},
        {kWrongUsage, "categories @ --events", "--events requires --rename"},
        {kWrongUsage, "help frobnicate", "frobnicate"},
        {kWrongUsage, "print-week @ --pdf w.pdf", "--from is required"},
        {kWrongUsage, "print-week @ --from 2026-12-07 --pdf w.pdf --paper a3", "a3"},
        {kWrongUsage, "print-week @ --from 2026-12-07 --pdf ''", "PDF's name is empty"},
        {kWrongUsage, "print-list @ --pdf w.pdf", "Exactly 1 option"},
        {kWrongUsage, "print-list @ --day 2026-12-07 --search x --pdf w.pdf", "--day excludes"},
        {kRefused, "print-list @ --day 2026-12-08 --pdf w.pdf", "no events were found"},
        {kRefused, "print-week @ --from 2026-12-07 --pdf @", "the almanary itself"},
    };
    for (const auto& [status, line, message] : cases) {
        const Outcome outcome = run(line);
        const std::string usage = "almanary-cli: ", help = "\nTry 'almanary-cli " +
                                                           line.substr(0, line.find(' ')) +
                                                           " --help'.\n";
        EXPECT_TRUE(
            outcome.status == status && outcome.out.empty() && outcome.err.find(message) != npos &&
            (status == kRefused || (outcome.err.starts_with(usage) && outcome.err.ends_with(help))))
            << line << "\n"
            << outcome.err;
    }
    EXPECT_EQ(run("").err, "almanary-cli: no command given\nTry 'almanary-cli --help'.\n");
    EXPECT_EQ(run("frobnicate @").err,
              "almanary-cli: unknown command frobnicate\nTry 'almanary-cli --help'.\n");
    EXPECT_EQ(readFile(file), before);
}

// --help, -h and "help COMMAND" print that help, here a line of it, and nothing else.
TEST_F(CliTest, HelpForTheProgramAndEveryCommand) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "minute 00, 15, 30, 45"}, {"new", "--force"},       {"info", "--password"},
        {"add", "270, 300"},           {"remove", "--time"},     {"list", "--tsv"},
        {"conflicts", "--duration"},   {"due", "--at"},          {"categories", "--events"},
        {"settings", "new password"},  {"serve", "--port"},      {"fetch", "HOST:PORT"},
        {"send", "--replace-open"},    {"share", "--force"},     {"unshare", "NAME"},
        {"shares", "a tab"},           {"print-week", "--from"}, {"print-list", "--paper"}};
    for (const auto& [command, line] : cases) {
        for (const std::string& call : {command + " --help", command + " -h", "help " + command}) {
            const Outcome outcome = run(call);
            EXPECT_TRUE(outcome.status == kDone && outcome.err.empty()) << call;
            for (const std::string& part :
                 {"Usage: almanary-cli " + command, line, std::string("3 refused by a rule")})
                EXPECT_NE(outcome.out.find(part), npos) << call << ": " << part;
        }
    }
}

// The document's clock holds unless a call says otherwise; overlaps only warn.
TEST_F(CliTest, EventsAreListedCheckedAndRemoved) {
    const std::string on7 = "add @ --date 2026-12-07 --time ";
    const std::string dentist = "12/7/2026  9:00 - 10:00  <No Category>  Dentist at nine\n";
    ASSERT_EQ(run(on7 + "9:00 --notes Dentist\r\nat\nnine --duration 60").status, kDone);
    ASSERT_EQ(run("add @ --date 2026-12-08 --time 0:15 --notes Late --duration 30").status, kDone);
    const Outcome added = run(on7 + "10:00 --notes a\tb\nc\\d --duration 30 --remind 60");
    EXPECT_TRUE(added.status == kDone && added.err.ends_with(dentist));  // an overlap warns
    EXPECT_EQ(run("list @").out, dentist +
                                     "12/7/2026  10:00 - 10:30  <No Category>  a\tb c\\d\n"
                                     "12/8/2026  00:15 - 0:45  <No Category>  Late\n");
    EXPECT_EQ(run("list @ --day 2026-12-08 --12h").out,
              "12/8/2026  0:15 AM - 0:45  <No Category>  Late\n");
    EXPECT_EQ(run("list @ --search C\\D --tsv").out,
              "12/7/2026\t10:00 - 10:30\t<No Category>\ta\\tb\\nc\\\\d\t1\t60\n");
    ASSERT_EQ(run("settings @ --clock 12").status, kDone);
    EXPECT_EQ(run("due @", {"--at=2026-12-07 9:00"}).out,
              "12/7/2026  10:00 AM - 10:30  <No Category>  a\tb c\\d\n");
    EXPECT_EQ(run("list @ --search nine --24h").out, dentist);
    EXPECT_EQ(run("conflicts @ --date 2026-12-07 --time 8:45 --duration 15").out,
              "12/7/2026  9:00 AM - 10:00  <No Category>  Dentist at nine\n");
    for (const int status : {kDone, kRefused})
        EXPECT_EQ(run("remove @ --date 2026-12-07 --time 9:00").status, status);
}

// The name limit counts characters, as the dialog's edit does, not bytes.
TEST_F(CliTest, CategoryRenameCarriesToEventsOnlyWhenAsked) {
    ASSERT_EQ(run("categories @ --add Work").status, kDone);
    ASSERT_EQ(run("add @ --date 2026-12-07 --time 9:00 --notes A --category Work").status, kDone);
    EXPECT_EQ(run("categories @ --rename Work Office").status, kDone);
    ASSERT_EQ(run("categories @ --add Work").status, kDone);
    EXPECT_EQ(run("list @ --category Work").out, "12/7/2026  9:00 - 9:00  Work  A\n");
    EXPECT_EQ(run("categories @ --rename Work Desk --events").status, kDone);
    EXPECT_EQ(run("categories @ --delete Desk").out, "Office\n");
    EXPECT_EQ(run("list @").out, "12/7/2026  9:00 - 9:00  Desk  A\n");
    EXPECT_EQ(run("categories @ --add Grüße-für-Großmütter").status, kDone);
}

// Settings change only what is asked; autosave off keeps its minutes.
TEST_F(CliTest, SettingsChangeOnlyWhatIsAsked) {
    const std::string sound = dir.file("ding.wav");
    testing::writeFile(sound, "RIFF");
    EXPECT_EQ(run("settings @").out,
              "Autosave: off\nReminder sound: off, reminder.wav\n"
              "Password: not set\nClock: 24-hour\n");
    EXPECT_EQ(run("settings @ --autosave 15 --sound " + sound).out,
              "Autosave: every 15 minutes\nReminder sound: on, " + sound +
                  "\nPassword: not set\nClock: 24-hour\n");
    ASSERT_EQ(run("settings @ --autosave off").status, kDone);
    EXPECT_EQ(AlmanaryFile::load(file, 0).document->settings.autosaveMinutes, 15);
    // The bare name of the shipped chime is found in the program's data folder.
    EXPECT_EQ(run("settings @ --sound reminder.wav").status, kDone);
    EXPECT_EQ(AlmanaryFile::load(file, 0).document->settings.soundFile, "reminder.wav");
}

// Damaged files and folders are reported; a protected file needs its password,
// and in settings --password is the new one, the old coming from the terminal.
TEST_F(CliTest, FilesThatCannotBeUsed) {
    EXPECT_EQ(run("info " + dir.path().string()).err,
              dir.path().string() +
                  " could not be read: it is a folder.  The almanary was not loaded.\n");
    ASSERT_EQ(run("add @ --date 2026-12-07 --time 9:00 --notes Something").status, kDone);
    const std::string whole = readFile(file);
    testing::writeFile(file, whole.substr(0, whole.size() - 3));
    EXPECT_EQ(run("info @").err, file +
                                     " is damaged and was not loaded.\nDetails: the file ends "
                                     "early, in the reminder lead of event 1.\n");
    EXPECT_EQ(run("new @ --password Secret").status, kRefused);
    ASSERT_EQ(run("new @ --password Secret --force").status, kDone);
    EXPECT_EQ(run("list @").status, kFileUnusable);
    EXPECT_EQ(run("list @ --password secret").err, "Sorry, that is not the correct password.\n");
    terminalPassword = "Secret";
    EXPECT_EQ(run("settings @ --password off").status, kDone);
    terminalPassword.reset();
    EXPECT_EQ(run("list @").status, kDone);
}

// The real program: exit statuses and the password from the environment.
TEST_F(CliTest, TheProgramReportsThroughItsExitStatus) {
    const std::string cli = ALMANARY_CLI_PATH;
    const std::pair<std::string, int> calls[] = {
        {cli, kWrongUsage},
        {cli + " new p.alm --password pw", kDone},
        {cli + " list p.alm", kFileUnusable},  // no terminal to ask on
        {"ALMANARY_PASSWORD=pw " + cli + " list p.alm", kDone},
        {cli + " add p.alm --password pw --date 2026-12-07 --time 9:00 --notes ''", kRefused},
    };
    for (const auto& [command, status] : calls) {
        const int raw = std::system(
            ("cd " + dir.path().string() + " && " + command + " >/dev/null 2>&1 </dev/null")
                .c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, status) << command;
    }
}

// The real program prints without a display: the week landscape with its
// heads, boxes and footer, the found events under their search; a PDF that
// cannot be written leaves nothing behind.
TEST_F(CliTest, PrintsTheWeekAndTheFoundEventsToPdf) {
    ASSERT_EQ(run("categories @ --add Work").status, kDone);
    for (const std::string add : {"--date 2001-04-11 --time 9:00 --duration 60 --notes Dentist",
                                  "--date 2001-04-12 --time 13:30 --duration 45 --category Work",
                                  "--date 2001-04-17 --time 8:00 --notes Walk"}) {
        ASSERT_EQ(
            run("add @ " + add, add.find("Work") != npos ? Args{"--notes", "R&D budget"} : Args{})
                .status,
            kDone);
    }
    // Runs a command line in the folder without a display; its status and output.
    const auto shell = [&](const std::string& line) {
        const std::string out = dir.file("out.txt");
        const int raw = std::system(("cd " + dir.path().string() +
                                     " && unset QT_QPA_PLATFORM DISPLAY WAYLAND_DISPLAY && { " +
                                     line + "; } >" + out + " 2>&1 </dev/null")
                                        .c_str());
        return std::pair{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out)};
    };
    const std::string cli = std::string(ALMANARY_CLI_PATH) + " ";
    struct Case {
        std::string call, pdf;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"print-week cal.alm --from 2001-04-11 --pdf week.pdf --12h",
         "week.pdf",
         {"Wednesday", "Tuesday", "4/11/2001", "4/17/2001", "Time: 9:00 AM - 10:00", "Dentist",
          "Time: 1:30 PM - 2:15", "Category: Work", "R&D budget", "Walk",
          "For the week of Wednesday 4/11/2001, Page: 1 of 1", "792 x 612 pts (letter)"}},
        {"print-list cal.alm --search BUDGET --pdf list.pdf",
         "list.pdf",
         {"Searched Comment for: BUDGET", "Time: 4/12/2001, 13:30 - 14:15", "Category: Work",
          "R&D budget", "612 x 792 pts (letter)"}},
        {"print-list cal.alm --day 2001-04-17 --paper a4 --pdf day.pdf",
         "day.pdf",
         {"Date: 4/17/2001", "Time: 4/17/2001, 8:00 - 8:00", "Walk", "(A4)"}},
    };
    for (const Case& c : cases) {
        const auto [status, out] = shell(cli + c.call);
        ASSERT_EQ(status, kDone) << c.call << "\n" << out;
        const std::string text =
            shell("pdftotext -layout " + c.pdf + " - && pdfinfo " + c.pdf).second;
        for (const std::string& part : c.texts)
            EXPECT_NE(text.find(part), npos) << c.call << ": " << part << "\n" << text;
    }
    std::filesystem::create_directory(dir.file("taken.pdf"));
    const auto before = std::distance(std::filesystem::directory_iterator(dir.path()), {});
    for (const std::string pdf : {"missing/week.pdf", "taken.pdf"}) {
        const auto [status, out] = shell(cli + "print-week cal.alm --from 2001-04-11 --pdf " + pdf);
        EXPECT_EQ(status, kFileUnusable) << pdf;
        EXPECT_TRUE(out.starts_with("Nothing was printed on " + pdf + ": ")) << out;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), before);
}

}  // namespace
}  // namespace almanary::cli

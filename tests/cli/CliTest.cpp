// almanary-cli, in process and as the real program, sharing through a real serve process.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <sstream>

#include "CliApp.h"
#include "app/FileLock.h"
#include "model/AlmanaryFile.h"
#include "share/TcpListener.h"
#include "support/ChildProgram.h"
#include "support/PrivateLockFolder.h"
#include "support/ScopedEnvironment.h"
#include "support/ScopedTimeZone.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::cli {
namespace {

using namespace almanary::testing;
using Args = std::vector<std::string>;
constexpr auto npos = std::string::npos;
const std::string kFixtures = std::string(ALMANARY_FIXTURES_DIR) + "/ical/";

struct Outcome {
    int status;
    std::string out, err;
};

// Every test starts with an empty almanary at `file`; now is 6 December 2026.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(run("new @").status, kDone); }

    // Runs the words of `line`, split at spaces ("@" stands for the file,
    // "@name" for a file of that name beside it, '' for an empty word),
    // then those of `more`.
    Outcome run(const std::string& line, const Args& more = {}) {
        Args args;
        std::istringstream words(line);
        for (std::string word; std::getline(words, word, ' ');) {
            if (!word.empty())
                args.push_back(word == "@"      ? file
                               : word == "''"   ? ""
                               : word[0] == '@' ? dir.file(word.substr(1))
                                                : word);
        }
        args.insert(args.end(), more.begin(), more.end());
        std::ostringstream out, err;
        CliContext context{out, err};
        context.now = *Calendar::fromLocal(2026, 12, 6, 9, 0);
        context.lockPatience = lockPatience;
        context.settingsPath = settings;
        if (terminalPassword)
            context.askPassword = [this](const std::string&) { return terminalPassword; };
        const int status = runCli(args, context);
        return {status, out.str(), err.str()};
    }
    // The same in another time zone.
    Outcome runIn(const char* zone, const std::string& line, const Args& more = {}) {
        const ScopedTimeZone in(zone);
        return run(line, more);
    }

    ScopedTimeZone utc_{"UTC"};
    TempDir dir;
    std::string file = dir.file("cal.alm"), settings = dir.file("settings.sqlite");
    std::optional<std::string> terminalPassword;
    std::chrono::milliseconds lockPatience = std::chrono::seconds(10);
};

// A refusal exits with 3 and says why; wrong usage with 1 and the --help to try; neither writes.
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
        {kRefused, "settings @ --autosave 61", "between 1 and 60, or off"},
        {kRefused, "settings @ --sound /none.wav", "/none.wav could not be found"},
        {kRefused, "settings @ --clock 13", "12 or 24"},
        {kWrongUsage, "info ''", "file name is empty"},
        {kWrongUsage, "add @ --date 2026-02-29 --time 9:00 --notes x", "2026-02-29"},
        {kWrongUsage, add + "9.15 --notes x", "--time: 9.15"},
        {kWrongUsage, "conflicts @ --date 2026-12-07", "--time is required"},
        {kWrongUsage, "due @ --colour red", "unknown option --colour"},
        {kWrongUsage, "list @ --day 2026-12-07 --search x", "--day excludes --search"},
        {kWrongUsage, "list @ more.alm", "unexpected word more.alm"},
        {kWrongUsage, "categories @ --events", "--events requires --rename"},
        {kWrongUsage, "help frobnicate", "frobnicate"},
        {kWrongUsage, "print-week @ --from 2026-12-07 --pdf w.pdf --paper a3", "a3"},
        {kWrongUsage, "print-week @ --from 2026-12-07 --pdf ''", "PDF's name is empty"},
        {kWrongUsage, "print-list @ --pdf w.pdf", "Exactly 1 option"},
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
    writeFile(sound, "RIFF");
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

// Damaged files are reported; settings --password is the new one, the old comes from the terminal.
TEST_F(CliTest, FilesThatCannotBeUsed) {
    EXPECT_EQ(run("info " + dir.path().string()).err,
              dir.path().string() +
                  " could not be read: it is a folder.  The almanary was not loaded.\n");
    ASSERT_EQ(run("add @ --date 2026-12-07 --time 9:00 --notes Something").status, kDone);
    const std::string whole = readFile(file);
    writeFile(file, whole.substr(0, whole.size() - 3));
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

// The real program: exit statuses, ALMANARY_PASSWORD, PDFs without a display, whole or not at all.
TEST_F(CliTest, TheProgramPrintsToPdfAndReportsThroughItsExitStatus) {
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
    const std::pair<std::string, int> calls[] = {
        {cli + "new p.alm --password pw", kDone},
        {cli + "list p.alm", kFileUnusable},  // no terminal to ask on
        {"ALMANARY_PASSWORD=pw " + cli + "list p.alm", kDone},
    };
    for (const auto& [command, status] : calls)
        EXPECT_EQ(shell(command).first, status) << command;

    ASSERT_EQ(run("categories @ --add Work").status, kDone);
    ASSERT_EQ(run("add @ --date 2001-04-12 --time 13:30 --duration 45 --category Work",
                  {"--notes", "R&D budget"})
                  .status,
              kDone);
    ASSERT_EQ(run("add @ --date 2001-04-17 --time 8:00 --notes Walk").status, kDone);
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"print-week cal.alm --from 2001-04-11 --pdf out.pdf --12h",
         {"Tuesday", "4/17/2001", "Time: 1:30 PM - 2:15", "R&D budget", "Walk", "Page: 1 of 1",
          "792 x 612 pts (letter)"}},
        {"print-list cal.alm --search BUDGET --pdf out.pdf",
         {"Searched Comment for: BUDGET", "R&D budget", "612 x 792 pts (letter)"}},
        {"print-list cal.alm --day 2001-04-17 --paper a4 --pdf out.pdf", {"Walk", "(A4)"}},
    };
    for (const auto& [call, texts] : cases) {
        const auto [status, out] = shell(cli + call);
        ASSERT_EQ(status, kDone) << call << "\n" << out;
        const std::string text = shell("pdftotext -layout out.pdf - && pdfinfo out.pdf").second;
        for (const std::string& part : texts)
            EXPECT_NE(text.find(part), npos) << call << ": " << part << "\n" << text;
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

// A date is stored at local noon, so every zone reads the same date; a skipped day is refused.
TEST_F(CliTest, ADateWrittenInOneZoneIsTheSameDateInAnother) {
    ASSERT_EQ(runIn("Europe/Berlin", "add @ --date 2021-06-01 --time 0:00 --notes x").status,
              kDone);
    for (const char* zone : {"UTC", "Pacific/Auckland", "America/Los_Angeles"})
        EXPECT_TRUE(runIn(zone, "list @ --day 2021-06-01").out.starts_with("6/1/2021 ")) << zone;
    EXPECT_EQ(runIn("Pacific/Auckland", "remove @ --date 2021-06-01 --time 0:00").status, kDone);
    EXPECT_EQ(runIn("Pacific/Apia", "add @ --date 2011-12-30 --time 9:00 --notes x").err,
              "There is no 12/30/2011 in the local time zone: its clocks skip that day.\n");
}

// While another program holds the lock every change gives up with 2; reading needs no lock.
TEST_F(CliTest, AChangeWaitsForTheLockAndGivesUpWithStatusTwo) {
    ASSERT_EQ(run("add @ --date 2026-12-07 --time 9:00 --notes x").status, kDone);
    const std::string before = readFile(file);
    const auto held = FileLock::acquire(file);
    ASSERT_TRUE(held);
    lockPatience = std::chrono::milliseconds(0);
    const std::string busy = file +
                             " cannot be changed now: another program is changing it and "
                             "has not finished within 0 seconds.\n";
    for (const std::string change :
         {"new @ --force", "add @ --date 2026-12-07 --time 10:00 --notes y",
          "remove @ --date 2026-12-07 --time 9:00", "categories @ --add Work",
          "settings @ --clock 12"}) {
        const Outcome outcome = run(change);
        EXPECT_TRUE(outcome.status == kFileUnusable && outcome.err == busy) << change;
    }
    for (const std::string read : {"list @", "info @", "categories @", "settings @"})
        EXPECT_EQ(run(read).status, kDone) << read;
    EXPECT_EQ(readFile(file), before);
}

// Two programs adding at once lose no event (200 each; 15 under the slow AddressSanitizer).
TEST_F(CliTest, TwoProgramsAddingToOneFileLoseNoEvent) {
#if defined(__SANITIZE_ADDRESS__)
    const std::string each = "15";
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

// Import reports what it adds and leaves out, or why it read nothing (then writing nothing,
// as a dry run does); export replaces a file only when told.
TEST_F(CliTest, ImportAndExportReportWhatTheyDo) {
    const ScopedTimeZone berlin("Europe/Berlin");
    const std::string empty = readFile(file), phone = kFixtures + "phone-export.ics";
    const std::string import = "import @ --from 2026-01-01 --to 2027-12-31";
    const std::string broken = kFixtures + "broken.ics";
    const std::tuple<std::string, std::string, int, std::string> steps[] = {
        {import + " --dry-run", phone, kDone,
         "Would add 7 events.\nWould add the category Work.\n"},
        {"import @", broken, kFileUnusable,
         broken + ", line 11: DTSTART 2026-03-02 09:00 is not a date or time.  Nothing was "
                  "imported.\n"},
        {"import @", dir.file("missing.ics"), kFileUnusable, "could not be read"},
        {"import @ --from 2026-02-01 --to 2026-01-01", phone, kWrongUsage, ""},
        {import, phone, kDone, "Added 7 events.\nAdded the category Work.\n"},
        {import, phone, kDone, "Added 0 events; 7 already there.\n"},
        {"import @ --category Mail", kFixtures + "mail-export.ics", kDone,
         "1 left out: another event starts at the same time:\n"},
    };
    bool written = false;
    for (const auto& [line, ics, status, report] : steps) {
        const Outcome outcome = run(line, {ics});
        EXPECT_EQ(outcome.status, status) << line << "\n" << outcome.err;
        EXPECT_NE((status == kDone ? outcome.out : outcome.err).find(report), npos) << line;
        written = written || (status == kDone && !line.ends_with("--dry-run"));
        EXPECT_EQ(readFile(file) != empty, written) << line;
    }
    const std::string ics = dir.file("out.ics");
    EXPECT_EQ(run("export @ @out.ics --category Work").out, "Exported 3 events to " + ics + ".\n");
    EXPECT_EQ(run("export @ @out.ics").status, kRefused);
    EXPECT_EQ(run("export @ @out.ics --force").status, kDone);
    EXPECT_TRUE(readFile(ics).starts_with("BEGIN:VCALENDAR\r\n") &&
                readFile(ics).ends_with("END:VCALENDAR\r\n"));
}

// `almanary-cli serve` (a free port for 0), its port read from its first line.
struct ServeProcess : ChildProgram {
    explicit ServeProcess(const std::string& listenOn = "0")
        : ChildProgram({ALMANARY_CLI_PATH, "serve", "--port", listenOn}) {
        const std::string first = readLine();
        if (const auto at = first.find("on port "); at != npos)
            port = static_cast<std::uint16_t>(std::stoi(first.substr(at + 8)));
    }
    // Its exit status and the last line it printed, once it has ended.
    std::pair<int, std::string> end() {
        std::string last = readLine();
        return {exitStatus(), last};
    }
    std::uint16_t port = 0;
};

// Share names keep the registry's rules; another almanary's name moves only with --force.
TEST_F(CliTest, SharesFollowTheRulesOfAShareName) {
    ASSERT_EQ(run("new @other.alm").status, kDone);
    writeFile(dir.file("text.alm"), "not an almanary");
    const std::tuple<std::string, int, std::string> steps[] = {
        // The call, its status, and part of its output or error.
        {"share @ Work", kDone, "Shared " + file + " as Work"},
        {"share @other.alm WORK", kRefused, "Another almanary is already being shared"},
        {"share @text.alm Text", kFileUnusable, "is not an almanary file"},
        {"share @none.alm None", kFileUnusable, "could not be found"},
        {"share @ fileName", kRefused, "That is an invalid share name"},
        {"share @other.alm Home", kDone, "as Home"},
        {"share @other.alm Office", kDone, "as Office"},  // Home goes
        {"unshare Home", kRefused, "No almanary is shared under the name Home."},
        {"unshare LoadOnStart", kRefused, "invalid share name"},
        {"shares", kDone, "Work\t" + file + "\nOffice\t" + dir.file("other.alm") + "\n"},
        {"share @other.alm work --force", kDone, "as work"},
        {"unshare Work", kDone, "Stopped sharing Work"},
        {"shares", kDone, ""},
    };
    for (const auto& [line, status, said] : steps) {
        const Outcome outcome = run(line);
        EXPECT_EQ(outcome.status, status) << line;
        const std::string& text = status == kDone ? outcome.out : outcome.err;
        EXPECT_TRUE(said.empty() ? text.empty() : text.find(said) != npos) << line << text;
    }
}

// fetch and send through a real serve process, which SIGTERM ends.
TEST_F(CliTest, FetchAndSendThroughAServer) {
    ASSERT_EQ(run("new @other.alm").status, kDone);
    ASSERT_EQ(run("add @other.alm --date 2026-12-07 --time 9:00 --notes x").status, kDone);
    writeFile(dir.file("text.alm"), "not an almanary");
    ASSERT_EQ(run("share @ Work").status, kDone);
    ScopedEnvironment environment{"ALMANARY_SETTINGS", settings.c_str()};
    ServeProcess serve;
    ASSERT_NE(serve.port, 0);
    const std::string server = "localhost:" + std::to_string(serve.port);
    const std::string closed = "127.0.0.1:" + std::to_string(TcpListener::listen(0)->port());
    const std::string out = dir.file("out.alm");
    EXPECT_EQ(run("fetch " + server + " Work @out.alm").status, kDone);
    EXPECT_EQ(readFile(out), readFile(file));
    const std::tuple<std::string, int, std::string> refusals[] = {
        {"fetch " + server + " Work @out.alm", kRefused, out + " already exists.  Use --force"},
        {"fetch " + server + " Home @home.alm", kNoExchange,
         "Could not find an almanary on " + server + " shared under the name Home."},
        {"send " + server + " Work @text.alm", kFileUnusable, "text.alm is not an almanary file"},
        {"fetch localhost:0 Work @out.alm", kWrongUsage, "HOST:PORT"},
        {"fetch " + closed + " Work @none.alm", kNoExchange, "Unable to connect to server"},
    };
    for (const auto& [line, status, error] : refusals) {
        const Outcome outcome = run(line);
        EXPECT_TRUE(outcome.status == status && outcome.err.find(error) != npos) << line << "\n"
                                                                                 << outcome.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("home.alm")) ||
                 std::filesystem::exists(dir.file("none.alm")));
    EXPECT_EQ(run("send " + server + " Work @other.alm").out,
              "The almanary has been successfully sent to the server.\n");
    EXPECT_EQ(readFile(file), readFile(dir.file("other.alm")));
    EXPECT_EQ(run("fetch " + server + " Work @out.alm --force").status, kDone);
    EXPECT_EQ(readFile(out), readFile(file));

    EXPECT_EQ(ServeProcess(std::to_string(serve.port)).end(),
              std::pair(int(kNoExchange), std::string()));  // the port is taken
    serve.signal(SIGTERM);
    EXPECT_EQ(serve.end(), std::pair(int(kDone), std::string("Stopped.")));
}

}  // namespace
}  // namespace almanary::cli

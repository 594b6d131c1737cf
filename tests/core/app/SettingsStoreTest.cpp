#include "app/SettingsStore.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::writeFile;

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(store.open(path)) << store.lastError(); }

    testing::TempDir dir;
    std::string path = dir.file("settings.sqlite");
    SettingsStore store;
};

// Without a path the store is where AppPaths says; its folders and file
// are private.
TEST(SettingsStorePaths, TheDefaultStoreIsMadePrivate) {
    const testing::TempDir dir;
    testing::ScopedEnvironment environment("ALMANARY_SETTINGS", nullptr);
    environment.set("XDG_CONFIG_HOME", dir.file("config").c_str());
    SettingsStore store;
    ASSERT_TRUE(store.open());
    EXPECT_EQ(testing::modeOf(dir.file("config")), 0700u);
    EXPECT_EQ(testing::modeOf(dir.file("config/almanary")), 0700u);
    EXPECT_EQ(testing::modeOf(dir.file("config/almanary/settings.sqlite")), 0600u);
    std::int32_t loadOnStart = 7;
    EXPECT_FALSE(store.queryNumber("LoadOnStart", loadOnStart));  // a first run
    EXPECT_EQ(store.lastError(), SQLITE_NOTFOUND);
}

TEST_F(SettingsStoreTest, ValuesReadBackAsWrittenWhateverTheCaseOfTheirName) {
    const std::string text = std::string("a\0b\xff", 4) + std::string(250, 'x');  // 254 bytes
    std::int32_t number = 0;
    std::string read;
    ASSERT_TRUE(store.setNumber("LoadOnStart", INT32_MIN) && store.setText("FILENAME", text));
    EXPECT_TRUE(store.queryNumber("loadonstart", number) && store.queryText("FileName", read));
    EXPECT_EQ(number, INT32_MIN);
    EXPECT_EQ(read, text);
    ASSERT_TRUE(store.setText("MyShare", dir.file("a.alm")));
    ASSERT_TRUE(store.setText("MYSHARE", dir.file("b.alm")));
    EXPECT_EQ(store.findShareName(dir.file("b.alm")), "MyShare");  // the first spelling stays
    EXPECT_TRUE(store.deleteValue("mYsHaRe"));
    EXPECT_FALSE(store.deleteValue("MyShare"));
    EXPECT_EQ(store.lastError(), SQLITE_NOTFOUND);
}

TEST_F(SettingsStoreTest, QueryTextFailsEmptyWhenMissingMistypedOrTooLong) {
    ASSERT_TRUE(store.setText("Long", std::string(255, 'x')) && store.setText("Short", "abcd"));
    ASSERT_TRUE(store.setNumber("Number", 1));
    const struct {
        const char* name;
        std::size_t capacity;
        int error;
    } cases[] = {{"Missing", 255, SQLITE_NOTFOUND},
                 {"Long", 255, SQLITE_TOOBIG},
                 {"Long", 256, 0},
                 {"Number", 255, SQLITE_MISMATCH},
                 {"", 255, SQLITE_MISUSE}};
    for (const auto& c : cases) {
        std::string text = "junk";
        EXPECT_EQ(store.queryText(c.name, text, c.capacity), c.error == 0) << c.name << c.capacity;
        EXPECT_EQ(store.lastError(), c.error) << c.name << " " << c.capacity;
        EXPECT_EQ(text.empty(), c.error != 0) << c.name;
    }
    std::int32_t number = 0;
    EXPECT_FALSE(store.queryNumber("Short", number) || store.lastError() != SQLITE_MISMATCH);
}

TEST_F(SettingsStoreTest, FindShareNameMatchesTheWholeFileOfTextSharesInCreationOrder) {
    const std::string cal = dir.file("cal.alm");
    writeFile(cal, "x");
    fs::create_symlink(cal, dir.file("link.alm"));
    const struct {
        std::string name, data;
        bool matches;
    } cases[] = {
        {"FileName", cal, false},  // the program's own names are never shares
        {"LOADONSTART", cal, false},
        {"Number", "", false},
        {"Longer", cal + "2", false},  // cal.alm2 is not cal.alm
        {"NameOverTwentyBytes12", cal, false},
        {"TooLongData", std::string(260, '/') + cal, false},
        {"Dotted", dir.file("./x/../cal.alm"), true},
        {"Linked", dir.file("link.alm"), true},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.data.empty() ? store.setNumber(c.name, 1) : store.setText(c.name, c.data));
        EXPECT_EQ(store.findShareName(cal), c.matches ? c.name : "") << c.name;
        EXPECT_EQ(store.lastError(), c.matches ? 0 : SQLITE_NOTFOUND) << c.name;
        ASSERT_TRUE(store.deleteValue(c.name));
    }
    ASSERT_TRUE(store.setText("Zeta", cal) && store.setText("Alpha", cal));
    ASSERT_TRUE(store.setText("ZETA", cal));  // an update keeps its place
    EXPECT_EQ(store.findShareName(cal), "Zeta");
    ASSERT_TRUE(store.deleteValue("Zeta") && store.setText("Zeta", cal));  // re-created: now last
    EXPECT_EQ(store.findShareName(dir.file("link.alm")), "Alpha");
}

TEST_F(SettingsStoreTest, AClosedOrUnusableStoreDoesNothingAndTouchesNoFile) {
    ASSERT_TRUE(store.setNumber("LoadOnStart", 1));
    ASSERT_TRUE(store.close());
    EXPECT_FALSE(store.close());
    std::string text = "junk";
    EXPECT_FALSE(store.queryText("LoadOnStart", text) || store.setNumber("LoadOnStart", 2));
    EXPECT_EQ(text, "");
    // The last connection folds the journal into the file; damage its pages.
    std::string damaged = readFile(path);
    ASSERT_GT(damaged.size(), 4096u);
    std::fill(damaged.begin() + 4096, damaged.end(), '\xa5');
    writeFile(dir.file("damaged.sqlite"), damaged);
    writeFile(dir.file("plain.txt"), "BEGIN:VCALENDAR\nnot a store\n");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(dir.file("foreign.sqlite").c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "CREATE TABLE settings (key TEXT)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    // A folder inside the test's own: opening makes its scratch file beside it.
    fs::create_directory(dir.file("folder"));
    for (const std::string& bad :
         {dir.file("damaged.sqlite"), dir.file("plain.txt"), dir.file("plain.txt/settings.sqlite"),
          dir.file("folder"), dir.file("foreign.sqlite"), std::string()}) {
        const std::string before = readFile(bad);
        ASSERT_TRUE(store.open(path));
        EXPECT_FALSE(store.open(bad) || store.lastError() == 0) << bad;
        EXPECT_FALSE(store.setNumber("LoadOnStart", 2));  // the good store was closed too
        EXPECT_TRUE(readFile(bad) == before) << bad << " was changed";
    }
    std::int32_t number = 0;
    ASSERT_TRUE(store.open(path));
    EXPECT_TRUE(store.queryNumber("LoadOnStart", number) && number == 1);
}

// Processes open the fresh store together, each with threads that keep
// their own stores and write, read and delete their own and shared values;
// nothing may fail or get lost.
TEST(SettingsStoreConcurrency, ProcessesAndThreadsShareOneFile) {
    const testing::TempDir dir;
    const std::string path = dir.file("settings.sqlite");
    constexpr int kProcesses = 3, kThreads = 3, kRounds = 30;
    const auto name = [](int p, int t, int r) {
        return "p" + std::to_string(p) + "t" + std::to_string(t) + "-" + std::to_string(r);
    };
    // One worker; its first failing SQLite code, or 0.
    const auto work = [&](int p, int t) {
        SettingsStore store;
        int error = 0;
        const auto check = [&](bool ok) {
            if (!ok && error == 0)
                error = store.lastError() != 0 ? store.lastError() : 255;
        };
        const std::string share = name(p, t, -1), cal = dir.file(share + ".alm");
        check(store.open(path) && store.setText(share, cal));
        for (int r = 0; r < kRounds; ++r) {
            std::string text;
            const std::string own = name(p, t, r);
            check(store.setText(own, own + "!") && store.queryText(own, text) && text == own + "!");
            check(store.setText("shared", own) && store.queryText("shared", text));
            check(store.findShareName(cal) == share && (r % 2 == 1 || store.deleteValue(own)));
        }
        return error;
    };
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(gate[1]);
            char byte;
            while (::read(gate[0], &byte, 1) > 0) {
            }  // the parent closes the gate once every child exists
            std::atomic<int> error{0};
            std::vector<std::thread> threads;
            for (int t = 0; t < kThreads; ++t)
                threads.emplace_back([&, t] { error.fetch_or(work(p, t)); });
            for (std::thread& thread : threads)
                thread.join();
            ::_exit(error.load() & 0xFF);
        }
        children.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "SQLite error " << WEXITSTATUS(status);
    }
    SettingsStore store;
    ASSERT_TRUE(store.open(path));
    for (int n = 0; n < kProcesses * kThreads * kRounds; ++n) {
        std::string text;
        const std::string own = name(n / (kThreads * kRounds), n / kRounds % kThreads, n % kRounds);
        EXPECT_EQ(store.queryText(own, text), n % kRounds % 2 == 1) << own;
    }
}

}  // namespace
}  // namespace almanary

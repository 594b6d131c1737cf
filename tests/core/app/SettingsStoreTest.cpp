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

// Names are compared without letter case.
TEST_F(SettingsStoreTest, ValuesReadBackAsWrittenOrFailWithTheirReason) {
    const std::string text = std::string("a\0b\xff", 4) + std::string(250, 'x');  // 254 bytes
    ASSERT_TRUE(store.setNumber("LoadOnStart", INT32_MIN) && store.setText("FILENAME", text));
    ASSERT_TRUE(store.setText("Long", std::string(255, 'x')));
    const struct {
        const char* name;
        std::size_t capacity;
        int error;
        std::string text;
    } cases[] = {{"FileName", 255, 0, text},
                 {"LONG", 256, 0, std::string(255, 'x')},
                 {"Long", 255, SQLITE_TOOBIG, ""},  // no room for the terminating zero
                 {"Missing", 255, SQLITE_NOTFOUND, ""},
                 {"LoadOnStart", 255, SQLITE_MISMATCH, ""},
                 {"", 255, SQLITE_MISUSE, ""}};
    for (const auto& c : cases) {
        std::string read = "junk";
        EXPECT_EQ(store.queryText(c.name, read, c.capacity), c.error == 0) << c.name;
        EXPECT_EQ(store.lastError(), c.error) << c.name;
        EXPECT_EQ(read, c.text) << c.name;
    }
    std::int32_t number = 0;
    EXPECT_TRUE(store.queryNumber("loadonstart", number) && number == INT32_MIN);
    EXPECT_FALSE(store.queryNumber("Long", number) || store.lastError() != SQLITE_MISMATCH);
    EXPECT_TRUE(store.deleteValue("fIlEnAmE"));
    EXPECT_FALSE(store.deleteValue("FileName") || store.lastError() != SQLITE_NOTFOUND);
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
// their own connections and write, read and delete their own and shared
// values; nothing may fail or get lost.
TEST(SettingsStoreConcurrency, ProcessesAndThreadsShareOneFile) {
    const testing::TempDir dir;
    const std::string path = dir.file("settings.sqlite");
    constexpr int kProcesses = 3, kThreads = 3, kRounds = 30;
    const auto name = [](int worker, int round) {
        return "w" + std::to_string(worker) + "-" + std::to_string(round);
    };
    // One worker's rounds: 0, or the SQLite code it failed with.
    const auto work = [&](int worker) {
        SettingsStore store;
        const std::string share = name(worker, -1), cal = dir.file(share + ".alm");
        bool ok = store.open(path) && store.setText(share, cal);
        for (int r = 0; ok && r < kRounds; ++r) {
            const std::string own = name(worker, r);
            std::string text;
            ok = store.setText(own, own + "!") && store.queryText(own, text) && text == own + "!" &&
                 store.setText("shared", own) && store.queryText("shared", text) &&
                 store.findShareName(cal) == share && (r % 2 == 1 || store.deleteValue(own));
        }
        return ok ? 0 : store.lastError() != 0 ? store.lastError() : 255;
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
                threads.emplace_back([&, t] { error.fetch_or(work(p * kThreads + t)); });
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
        EXPECT_EQ(store.queryText(name(n / kRounds, n % kRounds), text), n % kRounds % 2 == 1);
    }
}

}  // namespace
}  // namespace almanary

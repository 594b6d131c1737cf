#include "app/SettingsStore.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <thread>
#include <vector>

#include "support/TempDir.h"

namespace almanary {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
    if (!fs::is_regular_file(path))
        return {};
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned ModeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 0777) : 0;
}

// Sets or clears an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            previous_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { previous_ ? ::setenv(name_, previous_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> previous_;
};

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(store.Open(path)) << store.lastError(); }

    testing::TempDir dir;
    std::string path = dir.file("settings.sqlite");
    SettingsStore store;
};

TEST(SettingsStoreFirstRun, CreatesAPrivateStoreWhereLoadOnStartIsMissing) {
    testing::TempDir dir;
    const std::string path = dir.file("config/almanary/settings.sqlite");
    SettingsStore store;
    ASSERT_TRUE(store.Open(path));
    EXPECT_EQ(ModeOf(dir.file("config")), 0700u);
    EXPECT_EQ(ModeOf(dir.file("config/almanary")), 0700u);
    EXPECT_EQ(ModeOf(path), 0600u);
    std::int32_t loadOnStart = 7;
    EXPECT_FALSE(store.QueryNumber("LoadOnStart", loadOnStart));
    EXPECT_EQ(loadOnStart, 7);
    EXPECT_EQ(store.lastError(), SQLITE_NOTFOUND);
}

TEST_F(SettingsStoreTest, ValuesReadBackAsWritten) {
    for (std::int32_t number : {0, 1, 2, -1, INT32_MIN, INT32_MAX}) {
        ASSERT_TRUE(store.SetNumber("LoadOnStart", number));
        std::int32_t read = 99;
        EXPECT_TRUE(store.QueryNumber("LoadOnStart", read));
        EXPECT_EQ(read, number);  // 2 stays 2; the caller decides what counts
        EXPECT_EQ(store.lastError(), 0);
    }
    const std::string texts[] = {"", "/home/u/cal.alm", std::string("a\0b", 3),
                                 "\xff\xfe caf\xc3\xa9", std::string(254, 'x')};
    for (const std::string& text : texts) {
        ASSERT_TRUE(store.SetText("FileName", text));
        std::string read = "junk";
        EXPECT_TRUE(store.QueryText("FileName", read));
        EXPECT_EQ(read, text);
    }
}

TEST_F(SettingsStoreTest, QueryTextFailsEmptyWhenMissingMistypedOrTooLong) {
    ASSERT_TRUE(store.SetText("Long", std::string(255, 'x')));
    ASSERT_TRUE(store.SetText("Short", "abcd"));
    ASSERT_TRUE(store.SetNumber("Number", 1));
    struct Case {
        const char* name;
        std::size_t capacity;
        bool ok;
        int error;
    };
    const Case cases[] = {
        {"Missing", 255, false, SQLITE_NOTFOUND},
        {"Long", 255, false, SQLITE_TOOBIG},
        {"Long", 256, true, 0},
        {"Short", 5, true, 0},
        {"Short", 4, false, SQLITE_TOOBIG},
        {"Short", 0, false, SQLITE_TOOBIG},
        {"Number", 255, false, SQLITE_MISMATCH},
        {"", 255, false, SQLITE_MISUSE},
    };
    for (const Case& c : cases) {
        std::string text = "junk";
        EXPECT_EQ(store.QueryText(c.name, text, c.capacity), c.ok) << c.name << " " << c.capacity;
        EXPECT_EQ(store.lastError(), c.error) << c.name << " " << c.capacity;
        if (!c.ok) {
            EXPECT_EQ(text, "") << c.name;
        }
    }
    std::int32_t number = 0;
    EXPECT_FALSE(store.QueryNumber("Short", number));
    EXPECT_EQ(store.lastError(), SQLITE_MISMATCH);
    ASSERT_TRUE(store.SetNumber("Short", 5));  // a write may change the type
    EXPECT_TRUE(store.QueryNumber("Short", number));
    EXPECT_EQ(number, 5);
}

TEST_F(SettingsStoreTest, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    ASSERT_TRUE(store.SetText("MyShare", dir.file("a.alm")));
    ASSERT_TRUE(store.SetText("MYSHARE", dir.file("b.alm")));
    std::string text;
    EXPECT_TRUE(store.QueryText("myshare", text));
    EXPECT_EQ(text, dir.file("b.alm"));
    EXPECT_EQ(store.FindShareName(dir.file("b.alm")), "MyShare");
    EXPECT_TRUE(store.DeleteValue("mYsHaRe"));
    EXPECT_FALSE(store.QueryText("MyShare", text));
    EXPECT_FALSE(store.DeleteValue("MyShare"));
    EXPECT_EQ(store.lastError(), SQLITE_NOTFOUND);
    EXPECT_FALSE(store.SetText("", "x"));
    EXPECT_FALSE(store.SetNumber(std::string("a\0b", 3), 1));
}

TEST_F(SettingsStoreTest, FindShareNameMatchesTheWholeFileOfTextShares) {
    const std::string cal = dir.file("cal.alm");
    std::ofstream(cal) << "x";
    fs::create_symlink(cal, dir.file("link.alm"));
    fs::create_directory(dir.path() / "sub");
    struct Case {
        std::string name;
        bool isText;
        std::string data;
        bool matches;
    };
    const Case cases[] = {
        {"FileName", true, cal, false},
        {"filename", true, cal, false},
        {"LOADONSTART", true, cal, false},
        {"Number", false, "", false},
        {"Longer", true, cal + "2", false},  // cal.alm2 is not cal.alm
        {"Prefix", true, dir.file("cal"), false},
        {"Empty", true, "", false},
        {"NameOverTwentyBytes12", true, cal, false},
        {"TooLongData", true, std::string(260, '/') + cal, false},
        {"Dotted", true, dir.file("sub/.././cal.alm"), true},
        {"Linked", true, dir.file("link.alm"), true},
        {"Plain", true, cal, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(store.Open(path));
        ASSERT_TRUE(store.SetText("Other", dir.file("other.alm")));
        ASSERT_TRUE(c.isText ? store.SetText(c.name, c.data) : store.SetNumber(c.name, 1));
        EXPECT_EQ(store.FindShareName(cal), c.matches ? c.name : "");
        EXPECT_EQ(store.lastError(), c.matches ? 0 : SQLITE_NOTFOUND);
        ASSERT_TRUE(store.DeleteValue(c.name));
    }
    EXPECT_EQ(store.FindShareName(""), "");
    ASSERT_TRUE(store.SetText("Plain", cal));
    EXPECT_EQ(store.FindShareName(dir.file("./link.alm")), "Plain");
}

TEST_F(SettingsStoreTest, FirstShareInCreationOrderWins) {
    const std::string cal = dir.file("cal.alm");
    ASSERT_TRUE(store.SetText("Zeta", cal));
    ASSERT_TRUE(store.SetText("Alpha", cal));
    EXPECT_EQ(store.FindShareName(cal), "Zeta");
    ASSERT_TRUE(store.SetText("zeta", dir.file("elsewhere.alm")));
    ASSERT_TRUE(store.SetText("ZETA", cal));  // an update keeps its place
    EXPECT_EQ(store.FindShareName(cal), "Zeta");
    ASSERT_TRUE(store.DeleteValue("Zeta"));
    ASSERT_TRUE(store.SetText("Zeta", cal));  // re-created: now last
    EXPECT_EQ(store.FindShareName(cal), "Alpha");
    ASSERT_TRUE(store.Close());
    SettingsStore other;
    ASSERT_TRUE(other.Open(path));
    EXPECT_EQ(other.FindShareName(cal), "Alpha");
}

TEST_F(SettingsStoreTest, AClosedStoreDoesNothing) {
    ASSERT_TRUE(store.SetText("FileName", "kept"));
    ASSERT_TRUE(store.Close());
    EXPECT_FALSE(store.Close());
    EXPECT_FALSE(store.isOpen());
    std::int32_t number = 3;
    std::string text = "junk";
    EXPECT_FALSE(store.QueryNumber("FileName", number));
    EXPECT_FALSE(store.QueryText("FileName", text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(store.SetText("FileName", "lost"));
    EXPECT_FALSE(store.SetNumber("LoadOnStart", 1));
    EXPECT_FALSE(store.DeleteValue("FileName"));
    EXPECT_EQ(store.FindShareName("kept"), "");

    SettingsStore reader;
    ASSERT_TRUE(reader.Open(path));
    EXPECT_TRUE(reader.QueryText("FileName", text));
    EXPECT_EQ(text, "kept");
    EXPECT_FALSE(reader.QueryNumber("LoadOnStart", number));
}

TEST_F(SettingsStoreTest, AnUnusableFileLeavesTheStoreClosedAndUntouched) {
    ASSERT_TRUE(store.SetNumber("LoadOnStart", 1));
    ASSERT_TRUE(store.Close());
    // The last connection folds the journal into the file; damage its pages.
    std::string damaged = ReadFile(path);
    ASSERT_GT(damaged.size(), 4096u);
    std::fill(damaged.begin() + 4096, damaged.end(), '\xa5');
    std::ofstream(dir.file("damaged.sqlite"), std::ios::binary) << damaged;

    std::ofstream(dir.file("plain.txt")) << "BEGIN:VCALENDAR\nnot a store\n";
    std::ofstream(dir.file("file")) << "a file, not a folder";
    fs::create_directory(dir.path() / "folder");
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(dir.file("foreign.sqlite").c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "CREATE TABLE settings (key TEXT)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    const std::string paths[] = {dir.file("damaged.sqlite"),       dir.file("plain.txt"),
                                 dir.file("file/settings.sqlite"), dir.file("folder"),
                                 dir.file("foreign.sqlite"),       ""};
    for (const std::string& bad : paths) {
        SCOPED_TRACE(bad);
        const std::string before = ReadFile(bad);
        ASSERT_TRUE(store.Open(path));
        EXPECT_FALSE(store.Open(bad));  // the good store is closed too
        EXPECT_FALSE(store.isOpen());
        EXPECT_NE(store.lastError(), 0);
        std::string text = "junk";
        EXPECT_FALSE(store.QueryText("FileName", text));
        EXPECT_EQ(text, "");
        EXPECT_FALSE(store.SetNumber("LoadOnStart", 1));
        EXPECT_TRUE(ReadFile(bad) == before) << "the file was changed";
    }
}

TEST(SettingsStoreDefaultPath, FollowsTheEnvironment) {
    struct Case {
        const char* settings;
        const char* xdg;
        const char* home;
        const char* expected;
    };
    const Case cases[] = {
        {"/s/x.sqlite", "/xdg", "/home/u", "/s/x.sqlite"},
        {"", "/xdg", "/home/u", "/xdg/almanary/settings.sqlite"},
        {nullptr, "/xdg", "/home/u", "/xdg/almanary/settings.sqlite"},
        {nullptr, "relative", "/home/u", "/home/u/.config/almanary/settings.sqlite"},
        {nullptr, "", "/home/u", "/home/u/.config/almanary/settings.sqlite"},
        {nullptr, nullptr, "/home/u", "/home/u/.config/almanary/settings.sqlite"},
    };
    for (const Case& c : cases) {
        ScopedEnv settings("ALMANARY_SETTINGS", c.settings);
        ScopedEnv xdg("XDG_CONFIG_HOME", c.xdg);
        ScopedEnv home("HOME", c.home);
        EXPECT_EQ(SettingsStore::DefaultPath(), c.expected);
    }
    testing::TempDir dir;
    ScopedEnv xdg("XDG_CONFIG_HOME", dir.path().c_str());
    ScopedEnv settings("ALMANARY_SETTINGS", nullptr);
    SettingsStore store;
    ASSERT_TRUE(store.Open());
    EXPECT_TRUE(store.SetNumber("LoadOnStart", 1));
    EXPECT_EQ(ModeOf(dir.file("almanary/settings.sqlite")), 0600u);
}

// Each thread keeps its own store and writes, reads and deletes its own and
// shared values; nothing may fail or get lost.
TEST(SettingsStoreConcurrency, ThreadsWithTheirOwnStoresShareOneFile) {
    testing::TempDir dir;
    const std::string path = dir.file("settings.sqlite");
    constexpr int kThreads = 4;
    constexpr int kRounds = 40;
    std::atomic<int> failures{0};
    std::atomic<int> firstError{0};
    auto work = [&](int t) {
        SettingsStore store;
        auto check = [&](bool ok) {
            if (ok)
                return;
            ++failures;
            int none = 0;
            firstError.compare_exchange_strong(none, store.lastError());
        };
        check(store.Open(path));
        const std::string cal = dir.file("cal" + std::to_string(t) + ".alm");
        check(store.SetText("share" + std::to_string(t), cal));
        for (int r = 0; r < kRounds; ++r) {
            const std::string name = "t" + std::to_string(t) + "-" + std::to_string(r);
            std::string text;
            check(store.SetText(name, name + "-data"));
            check(store.QueryText(name, text) && text == name + "-data");
            check(store.SetText("shared", name));
            check(store.QueryText("shared", text) && text.rfind('t', 0) == 0);
            check(store.FindShareName(cal) == "share" + std::to_string(t));
            if (r % 2 == 0)
                check(store.DeleteValue(name));
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back(work, t);
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures.load(), 0) << "first error " << firstError.load();

    SettingsStore store;
    ASSERT_TRUE(store.Open(path));
    for (int t = 0; t < kThreads; ++t) {
        for (int r = 0; r < kRounds; ++r) {
            const std::string name = "t" + std::to_string(t) + "-" + std::to_string(r);
            std::string text;
            EXPECT_EQ(store.QueryText(name, text), r % 2 == 1) << name;
        }
    }
}

// Children open the fresh store together and each writes its own values.
TEST(SettingsStoreConcurrency, ProcessesWritingAtOnceLoseNothing) {
    testing::TempDir dir;
    const std::string path = dir.file("settings.sqlite");
    constexpr int kChildren = 4;
    constexpr int kValues = 25;
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> children;
    for (int c = 0; c < kChildren; ++c) {
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(gate[1]);
            char byte;
            while (::read(gate[0], &byte, 1) > 0) {
            }  // the parent closes the gate once every child exists
            SettingsStore store;
            if (!store.Open(path)) {
                ::_exit(100 + store.lastError());
            }
            for (int i = 0; i < kValues; ++i) {
                const std::string name = "p" + std::to_string(c) + "-" + std::to_string(i);
                if (!store.SetNumber(name, c * 1000 + i)) {
                    ::_exit(50 + store.lastError());
                }
            }
            store.Close();
            ::_exit(0);
        }
        children.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        // The exit code carries the SQLite error of a failed open or write.
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << WEXITSTATUS(status);
    }
    SettingsStore store;
    ASSERT_TRUE(store.Open(path));
    for (int c = 0; c < kChildren; ++c) {
        for (int i = 0; i < kValues; ++i) {
            std::int32_t number = -1;
            EXPECT_TRUE(
                store.QueryNumber("p" + std::to_string(c) + "-" + std::to_string(i), number));
            EXPECT_EQ(number, c * 1000 + i);
        }
    }
}

}  // namespace
}  // namespace almanary

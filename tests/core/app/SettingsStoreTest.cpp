#include "app/SettingsStore.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <thread>

#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(store.open(path)) << store.lastError(); }

    TempDir dir;
    std::string path = dir.file("settings.sqlite");
    SettingsStore store;
};

// Names are compared without letter case; a text read needs room for a zero.
TEST_F(SettingsStoreTest, ValuesReadBackAsWrittenOrFailWithTheirReason) {
    const std::string text = std::string("a\0b\xff", 4) + std::string(250, 'x');  // 254 bytes
    ASSERT_TRUE(store.setNumber("LoadOnStart", INT32_MIN) && store.setText("FILENAME", text));
    const std::tuple<const char*, std::size_t, int> cases[] = {
        {"FileName", 255, 0},
        {"filename", 254, SQLITE_TOOBIG},
        {"Missing", 255, SQLITE_NOTFOUND},
        {"LoadOnStart", 255, SQLITE_MISMATCH}};
    for (const auto& [name, capacity, error] : cases) {
        const std::optional<std::string> read = store.queryText(name, capacity);
        EXPECT_EQ(store.lastError(), error) << name;
        EXPECT_EQ(read, error == 0 ? std::optional(text) : std::nullopt) << name;
    }
    EXPECT_EQ(store.queryNumber("loadonstart"), INT32_MIN);
    EXPECT_TRUE(store.deleteValue("fIlEnAmE"));
    EXPECT_FALSE(store.deleteValue("FileName") || store.lastError() != SQLITE_NOTFOUND);
}

// A file that is no sound store is left as it was; the store held is closed.
TEST_F(SettingsStoreTest, OnlyASoundStoreOpensAndNoOtherFileIsTouched) {
    ASSERT_TRUE(store.setNumber("LoadOnStart", 1) && store.close());
    std::string damaged = readFile(path);  // the last connection folded the journal in
    ASSERT_GT(damaged.size(), 4096u);
    std::fill(damaged.begin() + 4096, damaged.end(), '\xa5');
    writeFile(dir.file("damaged.sqlite"), damaged);
    writeFile(dir.file("plain.txt"), "BEGIN:VCALENDAR\nnot a store\n");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(dir.file("foreign.sqlite").c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "CREATE TABLE settings (key TEXT)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    std::filesystem::create_directory(dir.file("folder"));
    for (const std::string& bad :
         {dir.file("damaged.sqlite"), dir.file("plain.txt"), dir.file("plain.txt/settings.sqlite"),
          dir.file("foreign.sqlite"), dir.file("folder"), std::string()}) {
        const std::string before = readFile(bad);
        ASSERT_TRUE(store.open(path));
        EXPECT_FALSE(store.open(bad) || store.lastError() == 0) << bad;
        EXPECT_FALSE(store.setNumber("LoadOnStart", 2)) << bad;
        EXPECT_TRUE(readFile(bad) == before) << bad << " was changed";
    }
    EXPECT_FALSE(store.close() || store.queryNumber("LoadOnStart"));
    ASSERT_TRUE(store.open(path));
    EXPECT_EQ(store.queryNumber("LoadOnStart"), 1);
}

// Nine connections at once create and share the private default store.
TEST(SettingsStoreConcurrency, ConnectionsShareOneFile) {
    const TempDir dir;
    ScopedEnvironment environment("ALMANARY_SETTINGS", nullptr);
    environment.set("XDG_CONFIG_HOME", dir.file("config").c_str());
    constexpr int kWorkers = 9, kRounds = 30;
    const auto name = [](int n) { return "v" + std::to_string(n); };
    std::atomic<int> error{0};
    {
        std::vector<std::jthread> threads;
        for (int worker = 0; worker < kWorkers; ++worker)
            threads.emplace_back([&, worker] {
                SettingsStore store;
                bool ok = store.open();
                for (int n = worker * kRounds; ok && n < (worker + 1) * kRounds; ++n) {
                    ok = store.setText(name(n), "!") && store.queryText(name(n)) == "!" &&
                         store.setText("shared", name(n)) &&
                         (n % 2 == 1 || store.deleteValue(name(n)));
                }
                if (!ok)
                    error = store.lastError() != 0 ? store.lastError() : -1;
            });
    }
    EXPECT_EQ(error, 0);
    EXPECT_EQ(modeOf(dir.file("config")), 0700u);
    EXPECT_EQ(modeOf(dir.file("config/almanary")), 0700u);
    EXPECT_EQ(modeOf(dir.file("config/almanary/settings.sqlite")), 0600u);
    SettingsStore store;
    ASSERT_TRUE(store.open());
    for (int n = 0; n < kWorkers * kRounds; ++n)
        EXPECT_EQ(store.queryText(name(n)).has_value(), n % 2 == 1) << n;
}

}  // namespace
}  // namespace almanary::testing

#pragma once
// The program-wide settings outside any almanary: named number and text
// values in one SQLite file that every running copy and thread shares.
// Each object holds its own connection and is used by one thread.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace almanary {

class SettingsStore {
public:
    // Room for a text read and its terminating zero, as every caller uses.
    static constexpr std::size_t kTextCapacity = 255;

    SettingsStore() = default;
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Closes any store held, then opens (creating when missing) the file at
    // AppPaths::settingsPath() or at the given path. A file that is not a
    // sound store leaves the store closed.
    bool open();
    bool open(const std::string& path);
    // False when nothing was open.
    bool close();
    bool isOpen() const { return db_ != nullptr; }

    // Every operation below fails and does nothing on a closed store; a
    // look-up that fails gives no value. Value names are compared without
    // ASCII letter case and keep the case they were created with.
    std::optional<std::int32_t> queryNumber(std::string_view name);
    // Fails when the value is missing, is a number, or does not fit
    // `capacity` bytes with a terminating zero.
    std::optional<std::string> queryText(std::string_view name,
                                         std::size_t capacity = kTextCapacity);
    bool setNumber(std::string_view name, std::int32_t value);
    bool setText(std::string_view name, std::string_view text);
    // False when there was no such value.
    bool deleteValue(std::string_view name);

    // Every text value, in creation order (names with their first case).
    struct TextValue {
        std::string name;
        std::string text;
    };
    std::vector<TextValue> textValues();

    // The SQLite result code of the last operation: 0 when it went well,
    // SQLITE_NOTFOUND for a missing value, SQLITE_MISMATCH for a
    // value of the other type, SQLITE_TOOBIG for a text over the capacity.
    int lastError() const { return lastError_; }

private:
    enum class ValueType : int { kNumber = 0, kText = 1 };

    bool prepare();
    bool writeValue(std::string_view name, ValueType type, std::int64_t number,
                    std::string_view text);
    bool fail(int code);

    sqlite3* db_ = nullptr;
    int lastError_ = 0;
};

}  // namespace almanary

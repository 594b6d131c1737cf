#pragma once
// The almanaries this machine shares, each under a share name, kept in the
// settings store that every running copy and the share server read. The
// rules of a share name live here, for the Options dialog and the CLI alike.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/MessageTable.h"

namespace almanary {

class SettingsStore;

class ShareRegistry {
public:
    // A share name travels in a 21-byte field with its terminating zero.
    static constexpr std::size_t kMaxNameBytes = 20;
    // The server reads a shared file's path with room for a zero byte.
    static constexpr std::size_t kMaxPathBytes = 254;

    struct Share {
        std::string name;
        std::string path;
    };

    // Works on an open store, which it does not own.
    explicit ShareRegistry(SettingsStore& store) : store_(store) {}

    // The names of the program's own settings, in any letter case: never shares.
    static bool isReservedName(std::string_view name);

    // Why the almanary at `path` (empty: never saved) cannot be shared as
    // `name`; nothing when it can.
    static std::optional<Notice> check(std::string_view name, const std::string& path);

    // The file shared as `name`: none when the name is not registered, is
    // reserved or too long, or its path is empty or too long to be served.
    std::optional<std::string> pathOf(std::string_view name);
    // The first share, in the order they were made, of the file at `path`;
    // empty when it has none.
    std::string nameOf(const std::string& path);
    // True when `name` shares a file other than the one at `path`.
    bool sharesAnotherFile(std::string_view name, const std::string& path);
    // Every share the server would serve, in the order they were made.
    std::vector<Share> all();

    // Shares the file at `path` as `name`, withdrawing `previousName` when
    // it differs. Call after check().
    bool publish(std::string_view name, const std::string& path,
                 std::string_view previousName = {});
    // Stops sharing under `name`; false when it was not shared.
    bool withdraw(std::string_view name);

private:
    // Whether a stored value is a share the server would serve.
    static bool isServed(std::string_view name, std::string_view path);

    SettingsStore& store_;
};

}  // namespace almanary

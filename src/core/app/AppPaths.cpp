#include "app/AppPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace almanary {

namespace {

// A variable that is set and not empty, or null.
const char* variable(const char* name) {
    const char* value = std::getenv(name);
    return (value != nullptr && *value != '\0') ? value : nullptr;
}

// $HOME, else the home folder of the user's account; empty when neither
// says.
std::string homeFolder() {
    if (const char* home = variable("HOME"))
        return home;
    if (const passwd* entry = ::getpwuid(::getuid())) {
        if (entry->pw_dir != nullptr)
            return entry->pw_dir;
    }
    return {};
}

// `ownVariable` when set; else `place` under the XDG base folder named by
// `xdgVariable`, which counts only when absolute (the XDG rule); else
// `place` under the home folder's `homeDefault`.
std::string pathFor(const char* ownVariable, const char* xdgVariable, const char* homeDefault,
                    const char* place) {
    if (const char* own = variable(ownVariable))
        return own;
    const char* base = variable(xdgVariable);
    if (base != nullptr && *base == '/')
        return (std::filesystem::path(base) / place).string();
    const std::string home = homeFolder();
    if (home.empty())
        return {};
    return (std::filesystem::path(home) / homeDefault / place).string();
}

}  // namespace

std::string AppPaths::settingsPath() {
    return pathFor("ALMANARY_SETTINGS", "XDG_CONFIG_HOME", ".config", "almanary/settings.sqlite");
}

std::string AppPaths::skinsFolder() {
    return pathFor("ALMANARY_SKINS", "XDG_DATA_HOME", ".local/share", "almanary/Skins");
}

std::string AppPaths::recoveryFolder() {
    return pathFor("ALMANARY_RECOVERY", "XDG_STATE_HOME", ".local/state", "almanary");
}

std::string AppPaths::lockFolder() {
    namespace fs = std::filesystem;
    const char* runtime = variable("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime == '/')
        return (fs::path(runtime) / "almanary/locks").string();
    std::error_code error;
    fs::path temporary = fs::temp_directory_path(error);
    if (error)
        temporary = "/tmp";
    const std::string own = "almanary-" + std::to_string(::geteuid());
    return (temporary / own / "locks").string();
}

}  // namespace almanary

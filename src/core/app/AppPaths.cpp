#include "app/AppPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "app/SettingsStore.h"

namespace almanary {

namespace {

// A variable that is set and not empty, or null.
const char* variable(const char* name) {
    const char* value = std::getenv(name);
    return (value != nullptr && *value != '\0') ? value : nullptr;
}

std::string homeFolder() {
    if (const char* home = variable("HOME"))
        return home;
    if (const passwd* entry = ::getpwuid(::getuid())) {
        if (entry->pw_dir != nullptr)
            return entry->pw_dir;
    }
    return {};
}

}  // namespace

std::string AppPaths::settingsPath() {
    return SettingsStore::defaultPath();
}

std::string AppPaths::skinsFolder() {
    if (const char* skins = variable("ALMANARY_SKINS"))
        return skins;
    // XDG base directories must be absolute; a relative value is ignored,
    // as the settings path does with XDG_CONFIG_HOME.
    const char* data = variable("XDG_DATA_HOME");
    if (data != nullptr && *data == '/')
        return std::string(data) + "/almanary/Skins";
    const std::string home = homeFolder();
    if (home.empty())
        return {};
    return home + "/.local/share/almanary/Skins";
}

}  // namespace almanary

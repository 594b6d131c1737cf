#include "app/AppPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "model/FileReading.h"

namespace almanary {

namespace {

namespace fs = std::filesystem;

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

// The running program's file; empty when the system does not say.
fs::path programFile() {
    std::error_code error;
    fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : program;
}

bool isInside(const fs::path& path, const fs::path& folder) {
    const auto [end, unused] =
        std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return end == folder.end();
}

// The build tree a program runs from, or nothing for an installed one
// (ALMANARY_BUILD_DIR is the tree this file was compiled in).
std::optional<fs::path> buildTreeOf(const fs::path& program) {
    std::error_code error;
    const fs::path tree = fs::weakly_canonical(ALMANARY_BUILD_DIR, error);
    if (error || program.empty() || !isInside(program, tree))
        return std::nullopt;
    return tree;
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

std::string AppPaths::dataFolder() {
    if (const char* own = variable("ALMANARY_DATA"))
        return own;
    const fs::path program = programFile();
    if (const std::optional<fs::path> tree = buildTreeOf(program))
        return (*tree / "share/almanary").string();
    if (program.empty())
        return {};
    return (program.parent_path().parent_path() / "share/almanary").lexically_normal().string();
}

std::optional<std::string> AppPaths::findSound(const std::string& name) {
    if (name.empty())
        return std::nullopt;
    std::vector<fs::path> places{fs::path(name)};
    const std::string data = dataFolder();
    if (name.find('/') == std::string::npos && !data.empty())
        places.push_back(fs::path(data) / name);
    for (const fs::path& place : places) {
        if (!FileReading::isOrdinaryFile(place.string()))
            continue;
        std::error_code error;
        const fs::path absolute = fs::absolute(place, error);
        return (error ? place : absolute).string();
    }
    return std::nullopt;
}

}  // namespace almanary

#include "app/AppPaths.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "support/ScopedCurrentFolder.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

// An own variable, then an absolute XDG folder, then HOME.
TEST(AppPathsTest, EachPathFollowsItsOwnVariablesThenXdgThenHome) {
    const struct {
        const char *settingsVariable, *skinsVariable, *configHome, *dataHome, *home;
        std::string settings, skins;
    } cases[] = {
        {"/o/s.sqlite", "/o/Skins", "/cfg", "/dat", "/h", "/o/s.sqlite", "/o/Skins"},
        {"", "", "/cfg", "/dat", "/h", "/cfg/almanary/settings.sqlite", "/dat/almanary/Skins"},
        {nullptr, nullptr, "cfg", "dat", "/h", "/h/.config/almanary/settings.sqlite",
         "/h/.local/share/almanary/Skins"}};
    for (const auto& c : cases) {
        ScopedEnvironment environment("ALMANARY_SETTINGS", c.settingsVariable);
        environment.set("ALMANARY_SKINS", c.skinsVariable);
        environment.set("XDG_CONFIG_HOME", c.configHome);
        environment.set("XDG_DATA_HOME", c.dataHome);
        environment.set("HOME", c.home);
        EXPECT_EQ(AppPaths::settingsPath(), c.settings);
        EXPECT_EQ(AppPaths::skinsFolder(), c.skins);
    }
}

// A bare name: the current folder, then the data folder; a name with a folder where it says.
TEST(AppPathsTest, ASoundIsFoundInTheCurrentFolderThenInTheDataFolder) {
    namespace fs = std::filesystem;
    TempDir dir;
    fs::create_directories(dir.file("here/sub"));
    fs::create_directories(dir.file("data/folder.wav"));
    for (const char* file :
         {"here/both.wav", "here/sub/deep.wav", "data/both.wav", "data/data.wav"})
        writeFile(dir.file(file), "RIFF");
    ASSERT_EQ(::mkfifo(dir.file("data/pipe.wav").c_str(), 0600), 0);
    // Held open, so a look-up that wrongly opens the pipe fails instead of waiting.
    const int pipe = ::open(dir.file("data/pipe.wav").c_str(), O_RDWR);
    ASSERT_GE(pipe, 0);
    const ScopedCurrentFolder here(dir.file("here"));
    ScopedEnvironment data("ALMANARY_DATA", dir.file("data").c_str());
    const fs::path current = fs::current_path();
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"both.wav", (current / "both.wav").string()},
        {"data.wav", dir.file("data/data.wav")},
        {"sub/deep.wav", (current / "sub/deep.wav").string()},
        {"./data.wav", std::nullopt},
        {dir.file("data/data.wav"), dir.file("data/data.wav")},
        {"missing.wav", std::nullopt},
        {"", std::nullopt},
        {"folder.wav", std::nullopt},
        {"pipe.wav", std::nullopt},
    };
    for (const auto& [name, found] : cases)
        EXPECT_EQ(AppPaths::findSound(name), found) << name;
    ::close(pipe);
}

}  // namespace
}  // namespace almanary::testing

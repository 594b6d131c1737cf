#include "app/AppPaths.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include "support/ScopedEnvironment.h"

namespace almanary {
namespace {

// A relative XDG folder is ignored; an empty HOME gives way to the account's.
TEST(AppPathsTest, EachPathFollowsItsOwnVariablesThenXdgThenHome) {
    const std::string account = ::getpwuid(::getuid())->pw_dir;
    const struct {
        const char *settingsVariable, *skinsVariable, *configHome, *dataHome, *home;
        std::string settings, skins;
    } cases[] = {
        {"/o/s.sqlite", "/o/Skins", "/cfg", "/dat", "/h", "/o/s.sqlite", "/o/Skins"},
        {"", "", "/cfg", "/dat", "/h", "/cfg/almanary/settings.sqlite", "/dat/almanary/Skins"},
        {nullptr, nullptr, "cfg", "dat", "/h", "/h/.config/almanary/settings.sqlite",
         "/h/.local/share/almanary/Skins"},
        {nullptr, nullptr, nullptr, nullptr, "", account + "/.config/almanary/settings.sqlite",
         account + "/.local/share/almanary/Skins"}};
    for (const auto& c : cases) {
        testing::ScopedEnvironment environment("ALMANARY_SETTINGS", c.settingsVariable);
        environment.set("ALMANARY_SKINS", c.skinsVariable);
        environment.set("XDG_CONFIG_HOME", c.configHome);
        environment.set("XDG_DATA_HOME", c.dataHome);
        environment.set("HOME", c.home);
        EXPECT_EQ(AppPaths::settingsPath(), c.settings);
        EXPECT_EQ(AppPaths::skinsFolder(), c.skins);
    }
}

}  // namespace
}  // namespace almanary

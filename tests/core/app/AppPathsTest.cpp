#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/AppPaths.h"

namespace almanary {
namespace {

// Sets or clears environment variables for one test and restores them.
class ScopedEnvironment {
public:
    void set(const char* name, const char* value) {
        const char* old = std::getenv(name);
        saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second) {
                ::setenv(it->first, it->second->c_str(), 1);
            } else {
                ::unsetenv(it->first);
            }
        }
    }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(AppPathsTest, TheSkinsFolderFollowsTheEnvironmentInOrder) {
    struct Case {
        const char* skins;
        const char* dataHome;
        const char* expected;
    };
    const Case cases[] = {
        {"/opt/skins", "/data", "/opt/skins"},
        {nullptr, "/data", "/data/almanary/Skins"},
        {nullptr, "relative/data", "/home/tester/.local/share/almanary/Skins"},
        {nullptr, nullptr, "/home/tester/.local/share/almanary/Skins"},
    };
    for (const Case& c : cases) {
        ScopedEnvironment environment;
        environment.set("HOME", "/home/tester");
        environment.set("ALMANARY_SKINS", c.skins);
        environment.set("XDG_DATA_HOME", c.dataHome);
        EXPECT_EQ(AppPaths::skinsFolder(), c.expected) << (c.dataHome ? c.dataHome : "unset");
    }
}

}  // namespace
}  // namespace almanary

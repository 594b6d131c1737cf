#pragma once
// Where the program keeps its own files outside any almanary: the settings
// store and the skins folder. Both come from the environment, never from
// the working folder, which is arbitrary for a program started from a menu.

#include <string>

namespace almanary {

class AppPaths {
public:
    // The settings store: SettingsStore::defaultPath().
    static std::string settingsPath();
    // $ALMANARY_SKINS, else $XDG_DATA_HOME/almanary/Skins (an absolute
    // XDG_DATA_HOME only), else ~/.local/share/almanary/Skins; empty when no
    // home folder is known.
    static std::string skinsFolder();
};

}  // namespace almanary

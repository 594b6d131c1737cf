#pragma once
// Where the program keeps its own files outside any almanary: the settings
// store, the skins folder and the folder of the almanaries' locks. Both come from the environment,
// never from the working folder, which is arbitrary for a program started from a menu. Every rule
// about the home folder and the XDG base folders lives here.

#include <string>

namespace almanary {

class AppPaths {
public:
    // $ALMANARY_SETTINGS, else $XDG_CONFIG_HOME/almanary/settings.sqlite (an
    // absolute XDG_CONFIG_HOME only), else ~/.config/almanary/settings.sqlite;
    // empty when no home folder is known.
    static std::string settingsPath();
    // $ALMANARY_SKINS, else $XDG_DATA_HOME/almanary/Skins (an absolute
    // XDG_DATA_HOME only), else ~/.local/share/almanary/Skins; empty when no
    // home folder is known.
    static std::string skinsFolder();
    // Where unsaved changes wait for the next start when the program had to
    // end without asking: $ALMANARY_RECOVERY, else $XDG_STATE_HOME/almanary
    // (absolute only), else ~/.local/state/almanary.
    static std::string recoveryFolder();
    // The user's folder of almanary locks (see FileLock):
    // $XDG_RUNTIME_DIR/almanary/locks (an absolute XDG_RUNTIME_DIR only),
    // else almanary-<user id>/locks in the temporary folder ($TMPDIR, else
    // /tmp). FileLock makes both levels, private to the user.
    static std::string lockFolder();
};

}  // namespace almanary

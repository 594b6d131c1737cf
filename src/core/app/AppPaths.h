#pragma once
// Where the program keeps its own files outside any almanary: the settings
// store, the skins folder, the folder of the almanaries' locks and the
// installed data (the reminder sound). They come from the environment and
// the program's own place, never from the working folder, which is
// arbitrary for a program started from a menu; only a reminder sound given
// by a bare name is looked for there first. Every rule about the home
// folder, the XDG base folders and the data folder lives here.

#include <optional>
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
    // The program's installed data: $ALMANARY_DATA, else share/almanary
    // beside the program's bin folder; a program run from the build tree
    // uses the build tree's share/almanary, where the build copies the data.
    static std::string dataFolder();
    // The readable file a reminder sound name stands for, as an absolute
    // path: a name with a folder is taken as it is; a bare name
    // ("reminder.wav") is looked for in the current folder, then in the data
    // folder. Nothing for an empty name or when no regular file can be read.
    static std::optional<std::string> findSound(const std::string& name);
};

}  // namespace almanary

#pragma once
// What the windows get from outside at construction: the seams to the
// desktop (messages, file, colour and printer choosers, sound, clock) and the places where the
// program keeps its settings and skins. Tests pass doubles and temporary
// folders.

#include <string>

namespace almanary {

class Clock;
class ColourChooser;
class FileChooser;
class PrinterChooser;
class Prompter;
class SoundPlayer;

struct AppServices {
    Prompter& prompter;
    FileChooser& files;
    ColourChooser& colours;
    PrinterChooser& printers;
    SoundPlayer& sound;
    const Clock& clock;
    std::string settingsPath;    // the SettingsStore file
    std::string skinsFolder;     // where "<name>.skn" skin files live
    std::string recoveryFolder;  // where unsaved changes wait after a forced end; empty: nowhere
};

}  // namespace almanary

#pragma once
// The settings of one almanary. loadOnStart and shareName are program-wide
// and live in the settings store; the rest are saved in the file.

#include <cstdint>
#include <string>

namespace almanary {

struct DocumentSettings {
    bool loadOnStart = false;
    bool autosave = false;
    bool playSound = false;
    bool twelveHourClock = false;
    std::int32_t autosaveMinutes = 10;
    std::string shareName;
    std::string soundFile = "reminder.wav";
    std::string password;

    bool operator==(const DocumentSettings&) const = default;
};

}  // namespace almanary

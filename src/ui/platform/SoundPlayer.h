#pragma once
// Plays a reminder sound once, without waiting for it to end.

#include <string>

namespace almanary {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // False when the file cannot be opened; then nothing plays.
    virtual bool play(const std::string& path) = 0;
};

}  // namespace almanary

#pragma once
// A SoundPlayer for tests: records every path it is asked to play and
// answers as the real one does (false when the file cannot be opened for
// reading as a regular file).

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/SoundPlayer.h"

namespace almanary::testing {

class FakeSoundPlayer : public SoundPlayer {
public:
    bool play(const std::string& path) override {
        requested_.push_back(path);
        std::error_code error;
        const bool playable = std::filesystem::is_regular_file(path, error) &&
                              std::ifstream(path, std::ios::binary).good();
        if (playable)
            played_.push_back(path);
        return playable;
    }

    // Every path asked for, and those that played.
    const std::vector<std::string>& requested() const { return requested_; }
    const std::vector<std::string>& played() const { return played_; }

private:
    std::vector<std::string> requested_;
    std::vector<std::string> played_;
};

}  // namespace almanary::testing

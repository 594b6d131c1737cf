#pragma once
// A SoundPlayer that notes every path it is asked to play.

#include <string>
#include <vector>

#include "platform/SoundPlayer.h"

namespace almanary::testing {

struct FakeSoundPlayer : SoundPlayer {
    bool play(const std::string& path) override {
        played.push_back(path);
        return true;
    }
    std::vector<std::string> played;
};

}  // namespace almanary::testing

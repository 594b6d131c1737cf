#pragma once
// SoundPlayer on QSoundEffect (wave files); silent without an audio device.

#include <memory>

#include "platform/SoundPlayer.h"

class QSoundEffect;

namespace almanary {

class QtSoundPlayer : public SoundPlayer {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    bool play(const std::string& path) override;

private:
    std::unique_ptr<QSoundEffect> effect_;
};

}  // namespace almanary

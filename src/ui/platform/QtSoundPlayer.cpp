#include "platform/QtSoundPlayer.h"

#include <QSoundEffect>
#include <QUrl>

#include "model/FileReading.h"
#include "platform/TextConversion.h"

namespace almanary {

QtSoundPlayer::QtSoundPlayer() = default;

QtSoundPlayer::~QtSoundPlayer() = default;

bool QtSoundPlayer::play(const std::string& path) {
    const QString file = toQString(path);
    // A file that cannot be read plays nothing, not even a default sound.
    // Only an ordinary file is played: a pipe would block the window.
    if (file.isEmpty() || !FileReading::isOrdinaryFile(path))
        return false;
    // The effect is made on first use, so a program that never plays a
    // sound never opens the audio device.
    if (!effect_)
        effect_ = std::make_unique<QSoundEffect>();
    const QUrl source = QUrl::fromLocalFile(file);
    if (effect_->source() != source)
        effect_->setSource(source);
    else
        effect_->stop();
    effect_->play();
    return true;
}

}  // namespace almanary

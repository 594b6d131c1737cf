#include "skineditor/SkinPictures.h"

namespace almanary {

SkinPictures::SkinPictures(const BackgroundImage& applied)
    : current_(applied), committed_(applied) {}

bool SkinPictures::choose(const std::string& path) {
    BackgroundImage chosen;
    if (!chosen.load(path))
        return false;
    preview_ = chosen;
    return true;
}

void SkinPictures::select(const std::string& path) {
    current_ = BackgroundImage();
    if (!path.empty())
        current_.load(path);
    preview_ = BackgroundImage();
}

bool SkinPictures::apply() {
    const bool fromPreview = preview_.isLoaded();
    committed_ = fromPreview ? preview_ : current_;
    current_ = committed_;
    if (fromPreview)
        preview_ = BackgroundImage();
    return fromPreview;
}

void SkinPictures::undo() {
    current_ = committed_;
}

}  // namespace almanary

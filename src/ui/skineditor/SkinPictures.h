#pragma once
// The three pictures of the skin editor: the one chosen but not yet
// applied (preview), the one of the skin being edited, drawn behind the
// editor (current), and the one last applied, which the windows show
// (committed). They are values sharing their pixels, so dropping one
// never takes a picture from a window that still paints it.

#include <string>

#include "skins/BackgroundImage.h"

namespace almanary {

class SkinPictures {
public:
    // On opening: current and committed are the windows' picture.
    explicit SkinPictures(const BackgroundImage& applied);

    const BackgroundImage& preview() const { return preview_; }
    const BackgroundImage& current() const { return current_; }
    const BackgroundImage& committed() const { return committed_; }

    // A picture file chosen: it becomes the preview. False, and nothing
    // changed, when it is no bitmap that can be read.
    bool choose(const std::string& path);
    // A saved skin selected: its picture (none for an empty path, or when
    // it cannot be read) becomes the current one; the preview empties.
    void select(const std::string& path);
    // Apply: the preview when it holds a picture, else the current one,
    // becomes current and committed; true when it was the preview, which
    // then empties.
    bool apply();
    // Cancel: the current picture is the committed one again.
    void undo();

private:
    BackgroundImage preview_;
    BackgroundImage current_;
    BackgroundImage committed_;
};

}  // namespace almanary

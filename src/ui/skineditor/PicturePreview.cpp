#include "skineditor/PicturePreview.h"

#include <QPainter>

#include "skins/BackgroundImage.h"

namespace almanary {

PicturePreview::PicturePreview(QWidget* parent) : QFrame(parent) {}

void PicturePreview::setPicture(const BackgroundImage* picture) {
    picture_ = picture;
    update();
}

void PicturePreview::paintEvent(QPaintEvent* event) {
    if (picture_ != nullptr && picture_->isLoaded()) {
        QPainter painter(this);
        picture_->draw(painter, contentsRect());
    }
    QFrame::paintEvent(event);  // the frame, over the picture's edge
}

}  // namespace almanary

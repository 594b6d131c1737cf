#pragma once
// The skin editor's preview area: a framed box that shows a picture
// stretched over its inside, or nothing (the window behind shows through).

#include <QFrame>

namespace almanary {

class BackgroundImage;

class PicturePreview : public QFrame {
    Q_OBJECT
public:
    explicit PicturePreview(QWidget* parent = nullptr);

    // The picture to show, read at each paint; null: none.
    void setPicture(const BackgroundImage* picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const BackgroundImage* picture_ = nullptr;
};

}  // namespace almanary

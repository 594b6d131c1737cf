#pragma once
// A skin's background picture: a Windows bitmap file, checked field by
// field against the bytes it holds before Qt decodes its pixels, and drawn
// stretched over a window. A failed load leaves the previous picture.

#include <QImage>
#include <QRgb>
#include <QVector>
#include <string>

class QPainter;
class QRect;

namespace almanary {

class BackgroundImage {
public:
    // Reads a ".bmp" file; false (and nothing changed) when it does not
    // open, is not a bitmap, or its header does not fit its bytes.
    bool load(const std::string& path);
    // The same for the bytes of such a file already in memory.
    bool loadBytes(std::string bytes);
    // Stretches the picture over the rectangle; a width or height of -1
    // means the picture's own. False when nothing is loaded.
    bool draw(QPainter& painter, const QRect& target) const;
    bool isLoaded() const { return !image_.isNull(); }
    // Drops the picture; true when one was held. The palette stays.
    bool unload();

    const QImage& image() const { return image_; }
    // The colour table of a palette bitmap (empty above 8 bits per pixel).
    const QVector<QRgb>& palette() const { return palette_; }

private:
    QImage image_;
    QVector<QRgb> palette_;
};

}  // namespace almanary

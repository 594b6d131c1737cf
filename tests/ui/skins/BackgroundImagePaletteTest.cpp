// A palette bitmap whose pixels index past the colours it declares is drawn
// black there: without the completed table, drawing reads past the colour
// table's end (garbage colours, or a fault under AddressSanitizer).
#include <gtest/gtest.h>
#include <QPainter>

#include "skins/BackgroundImage.h"

namespace almanary {
namespace {

TEST(BackgroundImagePalette, PixelsPastTheDeclaredColoursDrawBlack) {
    for (const char* name : {"pal8-one-colour.bmp", "pal1-one-colour.bmp"}) {
        SCOPED_TRACE(name);
        BackgroundImage picture;
        ASSERT_TRUE(picture.load(std::string(ALMANARY_FIXTURES_DIR) + "/bitmaps/" + name));
        EXPECT_EQ(picture.palette(), QVector<QRgb>{qRgb(0, 0, 255)});  // as the file says
        QImage window(8, 3, QImage::Format_ARGB32);
        window.fill(Qt::white);
        QPainter painter(&window);
        ASSERT_TRUE(picture.draw(painter, window.rect()));
        painter.end();
        for (int i = 0; i < 8 * 3; ++i)
            EXPECT_EQ(window.pixel(i % 8, i / 8), qRgb(0, 0, 0)) << i;
    }
}

}  // namespace
}  // namespace almanary

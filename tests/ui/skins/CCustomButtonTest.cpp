// The skinned button, checked by the pixels it paints in each state.

#include "skins/CCustomButton.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <algorithm>

#include "skins/SkinColours.h"

namespace almanary {
namespace {

constexpr QRgb kFace = 0xFF204060, kText = 0xFFF0E000, kShadow = 0xFF101080,
               kHighlight = 0xFF80FF80;
const std::vector<QRgb> kFlat(4, kFace), kFramed{kShadow, kShadow, kHighlight, kHighlight};

// The colours at the middles of the top, left, bottom and right edges.
std::vector<QRgb> edges(const QImage& image) {
    const int right = image.width() - 1, bottom = image.height() - 1;
    return {image.pixel(right / 2, 0), image.pixel(0, bottom / 2), image.pixel(right / 2, bottom),
            image.pixel(right, bottom / 2)};
}

// Whether a pixel inside the one-pixel frame has the colour.
bool contains(const QImage& image, QRgb colour) {
    const QImage inside = image.copy(image.rect().adjusted(1, 1, -1, -1));
    const auto* pixels = reinterpret_cast<const QRgb*>(inside.constBits());
    return std::find(pixels, pixels + inside.sizeInBytes() / 4, colour) !=
           pixels + inside.sizeInBytes() / 4;
}

// Flat at rest, framed hovered or pressed, embossed in the desktop's colours disabled.
TEST(CCustomButton, PaintsItsStates) {
    const SkinColourSet saved = SkinColours::current();
    SkinColours::setCurrent({kFace, kText, kShadow, kHighlight});
    CCustomButton button("Enter");
    QFont crisp = button.font();  // no anti-aliasing: text has exactly its colour
    crisp.setPixelSize(14);
    crisp.setStyleStrategy(QFont::NoAntialias);
    button.setFont(crisp);
    button.resize(70, 26);
    const auto render = [&button] {
        QImage image(button.size(), QImage::Format_RGB32);
        button.render(&image);
        return image;
    };
    EXPECT_EQ(edges(render()), kFlat);
    EXPECT_TRUE(contains(render(), kText));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    EXPECT_EQ(edges(render()), kFramed);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_EQ(edges(render()), kFlat);
    button.setDown(true);
    EXPECT_EQ(edges(render()), kFramed);

    button.setDown(false);
    button.setEnabled(false);
    const QImage disabled = render();
    EXPECT_FALSE(contains(disabled, kText));
    EXPECT_TRUE(contains(disabled, SkinColours::platformColours().buttonShadow.rgb()));
    EXPECT_TRUE(contains(disabled, SkinColours::platformColours().buttonHighlight.rgb()));
    SkinColours::setCurrent(saved);
}

}  // namespace
}  // namespace almanary

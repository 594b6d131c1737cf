// The skinned button, checked by the pixels it paints in each state.

#include "skins/CCustomButton.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QImage>

#include "skins/SkinColours.h"

namespace almanary {
namespace {

constexpr QRgb kFace = 0xFF204060, kText = 0xFFF0E000, kShadow = 0xFF101080,
               kHighlight = 0xFF80FF80;
const QRect kInside(1, 1, 68, 24);  // a 70x26 button inside its frame
const std::vector<QRgb> kFlat(4, kFace), kFramed{kShadow, kShadow, kHighlight, kHighlight};

// The colours at the middles of the top, left, bottom and right edges.
std::vector<QRgb> edges(const QImage& image) {
    const int right = image.width() - 1, bottom = image.height() - 1;
    return {image.pixel(right / 2, 0), image.pixel(0, bottom / 2), image.pixel(right / 2, bottom),
            image.pixel(right, bottom / 2)};
}

// Whether a pixel inside the frame has the colour.
bool contains(const QImage& image, QRgb colour) {
    for (int y = kInside.top(); y <= kInside.bottom(); ++y) {
        for (int x = kInside.left(); x <= kInside.right(); ++x) {
            if (image.pixel(x, y) == colour)
                return true;
        }
    }
    return false;
}

// Paints with a known skin; restores the skin afterwards.
class CCustomButtonTest : public ::testing::Test {
protected:
    CCustomButtonTest() { SkinColours::setCurrent({kFace, kText, kShadow, kHighlight}); }
    ~CCustomButtonTest() override { SkinColours::setCurrent(saved_); }

    // The button's pixels, in a font without anti-aliasing so that text
    // pixels have exactly the colour asked for.
    QImage render() {
        QFont crisp = button.font();
        crisp.setPixelSize(14);
        crisp.setStyleStrategy(QFont::NoAntialias);
        button.setFont(crisp);
        button.resize(70, 26);
        QImage image(button.size(), QImage::Format_RGB32);
        button.render(&image);
        return image;
    }

    SkinColourSet saved_ = SkinColours::current();
    CCustomButton button{"Enter"};
};

// Flat at rest, framed under the pointer and when pressed, embossed in the
// desktop's edge colours when disabled.
TEST_F(CCustomButtonTest, PaintsItsStates) {
    const QImage plain = render();
    EXPECT_EQ(edges(plain), kFlat);
    EXPECT_TRUE(contains(plain, kText));
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
}

}  // namespace
}  // namespace almanary

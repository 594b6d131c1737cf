// The skinned button, checked by the pixels it paints in each state.

#include "skins/CCustomButton.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QImage>

#include "skins/SkinColours.h"

namespace almanary {
namespace {

const QColor kFace(0x20, 0x40, 0x60);
const QColor kText(0xF0, 0xE0, 0x00);
const QColor kShadow(0x10, 0x10, 0x80);
const QColor kHighlight(0x80, 0xFF, 0x80);
const QRect kInside(1, 1, 68, 24);  // a 70x26 button clear of its frame

QImage render(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    widget.render(&image);
    return image;
}

// The smallest rectangle inside `area` holding every pixel of a colour `wanted` takes.
QRect pixelsWhere(const QImage& image, const QRect& area, auto wanted) {
    QRect found;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (wanted(QColor(image.pixel(x, y))))
                found |= QRect(x, y, 1, 1);
        }
    }
    return found;
}

bool contains(const QImage& image, const QColor& colour, const QRect& area) {
    return !pixelsWhere(image, area, [&](const QColor& c) {
                return c.rgb() == colour.rgb();
            }).isEmpty();
}

// The one-pixel frame when there is one: shadow along the top and left,
// highlight along the bottom and right; else the face all round.
void expectFrame(const QImage& image, bool framed) {
    const int right = image.width() - 1;
    const int bottom = image.height() - 1;
    EXPECT_EQ(QColor(image.pixel(right / 2, 0)), framed ? kShadow : kFace);
    EXPECT_EQ(QColor(image.pixel(0, bottom / 2)), framed ? kShadow : kFace);
    EXPECT_EQ(QColor(image.pixel(right / 2, bottom)), framed ? kHighlight : kFace);
    EXPECT_EQ(QColor(image.pixel(right, bottom / 2)), framed ? kHighlight : kFace);
    EXPECT_EQ(QColor(image.pixel(1, 1)), kFace);
}

// Paints with a known skin, in a font without anti-aliasing so that text
// pixels have exactly the colour asked for; restores both afterwards.
class CCustomButtonTest : public ::testing::Test {
protected:
    CCustomButtonTest() : saved_(SkinColours::current()), savedFont_(QApplication::font()) {
        SkinColours::setCurrent({kFace, kText, kShadow, kHighlight});
        QFont crisp = savedFont_;
        crisp.setPixelSize(14);
        crisp.setStyleStrategy(QFont::NoAntialias);
        QApplication::setFont(crisp);
    }
    ~CCustomButtonTest() override {
        SkinColours::setCurrent(saved_);
        QApplication::setFont(savedFont_);
    }

private:
    SkinColourSet saved_;
    QFont savedFont_;
};

// Flat at rest, framed under the pointer and when pressed (the text one
// pixel right and down), embossed in the desktop's edge colours when disabled.
TEST_F(CCustomButtonTest, PaintsItsStates) {
    CCustomButton button("Enter");
    button.resize(70, 26);
    const QImage plain = render(button);
    expectFrame(plain, false);
    EXPECT_TRUE(contains(plain, kText, kInside));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    expectFrame(render(button), true);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    expectFrame(render(button), false);

    button.setDown(true);
    const QImage pressed = render(button);
    expectFrame(pressed, true);
    const auto ink = [](const QColor& c) { return c != kFace; };
    ASSERT_FALSE(pixelsWhere(plain, kInside, ink).isEmpty());
    EXPECT_EQ(pixelsWhere(pressed, kInside, ink),
              pixelsWhere(plain, kInside, ink).translated(1, 1));

    button.setDown(false);
    button.setEnabled(false);
    const QImage disabled = render(button);
    EXPECT_FALSE(contains(disabled, kText, kInside));
    EXPECT_TRUE(contains(disabled, SkinColours::platformColours().buttonShadow, kInside));
    EXPECT_TRUE(contains(disabled, SkinColours::platformColours().buttonHighlight, kInside));
}

}  // namespace
}  // namespace almanary

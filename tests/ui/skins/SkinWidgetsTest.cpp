// The skinned controls, checked by the pixels they paint: buttons in their
// states, path labels, and dialogs with their picture and coloured labels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "skins/BackgroundImage.h"
#include "skins/CCustomButton.h"
#include "skins/SkinColours.h"
#include "skins/SkinLabel.h"
#include "skins/SkinnedDialog.h"

namespace almanary {
namespace {

const QColor kFace(0x20, 0x40, 0x60);
const QColor kText(0xF0, 0xE0, 0x00);
const QColor kShadow(0x10, 0x10, 0x80);
const QColor kHighlight(0x80, 0xFF, 0x80);
const QRect kInside(1, 1, 68, 24);  // a 70x26 button clear of its frame

QImage render(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    widget.render(&image);
    return image;
}

QColor at(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

// The smallest rectangle holding every pixel inside `area` that is not the
// face colour: where the text went.
QRect inkBounds(const QImage& image, const QRect& area) {
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (at(image, x, y) != kFace)
                ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

bool contains(const QImage& image, const QColor& colour) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const auto* pixels = reinterpret_cast<const QRgb*>(rgb.constBits());
    return std::find(pixels, pixels + rgb.width() * rgb.height(), colour.rgb()) !=
           pixels + rgb.width() * rgb.height();
}

// The one-pixel frame when there is one: shadow at the top left corner,
// highlight at the bottom right; else the face all round.
void expectFrame(const QImage& image, bool framed) {
    const int right = image.width() - 1;
    const int bottom = image.height() - 1;
    EXPECT_EQ(at(image, right / 2, 0), framed ? kShadow : kFace);
    EXPECT_EQ(at(image, 0, bottom / 2), framed ? kShadow : kFace);
    EXPECT_EQ(at(image, right / 2, bottom), framed ? kHighlight : kFace);
    EXPECT_EQ(at(image, right, bottom / 2), framed ? kHighlight : kFace);
    EXPECT_EQ(at(image, 1, 1), kFace);
}

// Every test paints with the same known skin, in a font without
// anti-aliasing so that text pixels have exactly the colour asked for, and
// leaves colours and font as it found them.
class SkinWidgets : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = SkinColours::current();
        savedFont_ = QApplication::font();
        SkinColours::setCurrent({kFace, kText, kShadow, kHighlight});
        QFont crisp = savedFont_;
        crisp.setPixelSize(14);
        crisp.setStyleStrategy(QFont::NoAntialias);
        QApplication::setFont(crisp);
    }
    void TearDown() override {
        SkinColours::setCurrent(saved_);
        QApplication::setFont(savedFont_);
    }

private:
    SkinColourSet saved_;
    QFont savedFont_;
};

// Flat at rest, framed under the pointer and when pressed (the text one
// pixel right and down), embossed in the desktop's edge colours when disabled.
TEST_F(SkinWidgets, ButtonsPaintTheirStates) {
    CCustomButton button("Enter");
    button.resize(70, 26);
    const QImage plain = render(button);
    expectFrame(plain, false);
    EXPECT_TRUE(contains(plain, kText));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    expectFrame(render(button), true);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    expectFrame(render(button), false);

    button.setDown(true);
    const QImage pressed = render(button);
    expectFrame(pressed, true);
    ASSERT_FALSE(inkBounds(plain, kInside).isEmpty());
    EXPECT_EQ(inkBounds(pressed, kInside), inkBounds(plain, kInside).translated(1, 1));

    button.setDown(false);
    button.setEnabled(false);
    const QImage disabled = render(button);
    EXPECT_FALSE(contains(disabled.copy(kInside), kText));
    EXPECT_TRUE(contains(disabled, SkinColours::platformColours().buttonShadow));
    EXPECT_TRUE(contains(disabled, SkinColours::platformColours().buttonHighlight));
}

TEST_F(SkinWidgets, PathLabelShortensInTheMiddle) {
    const QString path = "/home/someone/Documents/almanaries/a-rather-long-name-for-work.alm";
    SkinLabel label;
    label.setPathEllipsis(true);
    label.setText(path);
    label.resize(label.fontMetrics().horizontalAdvance(path) / 2, 20);
    const QString shown = label.shownText();
    EXPECT_TRUE(shown.startsWith("/home/") && shown.endsWith("work.alm") &&
                shown.contains(QChar(0x2026)))
        << shown.toStdString();
}

TEST_F(SkinWidgets, DialogPaintsThePictureItsSlotHoldsStretched) {
    SkinnedDialog dialog;
    dialog.resize(40, 20);
    const QColor plain = dialog.palette().color(QPalette::Window);
    BackgroundImage slot;
    dialog.setBackground(&slot);
    EXPECT_EQ(at(render(dialog), 20, 10), plain) << "an empty slot";

    // The 4x2 picture over 40x20: every picture pixel becomes a 10x10 block.
    ASSERT_TRUE(slot.load(ALMANARY_FIXTURES_DIR "/bitmaps/rgb24.bmp"));
    const QImage image = render(dialog);
    EXPECT_EQ(at(image, 9, 9), QColor(Qt::red));
    EXPECT_EQ(at(image, 10, 0), QColor(Qt::green));
    EXPECT_EQ(at(image, 0, 10), QColor(Qt::black));
    EXPECT_EQ(at(image, 39, 19), QColor(Qt::magenta));
}

TEST_F(SkinWidgets, ReskinColoursLabelsAlwaysAndEditableEditsOnlyWhenAsked) {
    for (const bool edits : {false, true}) {
        SkinnedDialog dialog(nullptr, edits ? SkinnedDialog::Colouring::StaticsAndEdits
                                            : SkinnedDialog::Colouring::StaticsOnly);
        auto* layout = new QVBoxLayout(&dialog);
        auto* label = new QLabel("Notes:");
        auto* editable = new QLineEdit("typed");
        auto* readOnly = new QLineEdit("shown");
        readOnly->setReadOnly(true);
        for (QWidget* widget : std::initializer_list<QWidget*>{label, editable, readOnly})
            layout->addWidget(widget);
        dialog.reskin();

        const auto skinned = [](const QWidget* w, QPalette::ColorRole ground) {
            return w->autoFillBackground() && w->palette().color(ground) == kFace;
        };
        EXPECT_TRUE(skinned(label, QPalette::Window));
        EXPECT_TRUE(skinned(readOnly, QPalette::Base));
        EXPECT_EQ(skinned(editable, QPalette::Base), edits);
    }
}

}  // namespace
}  // namespace almanary

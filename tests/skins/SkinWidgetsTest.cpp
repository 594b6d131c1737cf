// The skinned controls, checked by the pixels they paint: buttons in their
// states, path labels, and dialogs with their picture and coloured labels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QEnterEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest/QTest>
#include <string>

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

QImage Render(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    widget.render(&image);
    return image;
}

QColor At(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

// The smallest rectangle holding every pixel inside `area` that is not the
// face colour: where the text went.
QRect InkBounds(const QImage& image, const QRect& area) {
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (At(image, x, y) != kFace)
                ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

bool Contains(const QImage& image, const QColor& colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == colour.rgb())
                return true;
        }
    }
    return false;
}

// Every test paints with the same known skin, in a font without
// anti-aliasing so that text pixels have exactly the colour asked for, and
// leaves colours and font as it found them.
class SkinWidgets : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = SkinColours::Current();
        savedFont_ = QApplication::font();
        SkinColours::SetCurrent({kFace, kText, kShadow, kHighlight});
        QFont crisp = savedFont_;
        crisp.setPixelSize(14);
        crisp.setStyleStrategy(QFont::NoAntialias);
        QApplication::setFont(crisp);
    }
    void TearDown() override {
        SkinColours::SetCurrent(saved_);
        QApplication::setFont(savedFont_);
    }

private:
    SkinColourSet saved_;
    QFont savedFont_;
};

void Enter(QWidget& widget) {
    QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&widget, &event);
}

void Leave(QWidget& widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&widget, &event);
}

// True when the one-pixel frame is there: shadow along the top and left,
// highlight along the bottom and right.
void ExpectFrame(const QImage& image, bool framed) {
    const int right = image.width() - 1;
    const int bottom = image.height() - 1;
    const QColor top = framed ? kShadow : kFace;
    const QColor far = framed ? kHighlight : kFace;
    for (int x = 0; x < right; ++x) {
        EXPECT_EQ(At(image, x, 0), top) << "top " << x;
        EXPECT_EQ(At(image, x, bottom), far) << "bottom " << x;
    }
    for (int y = 0; y < bottom; ++y) {
        EXPECT_EQ(At(image, 0, y), top) << "left " << y;
        EXPECT_EQ(At(image, right, y), far) << "right " << y;
    }
    EXPECT_EQ(At(image, right, 0), far);
    EXPECT_EQ(At(image, 1, 1), kFace);
}

TEST_F(SkinWidgets, PlainButtonIsAFlatFaceWithCentredText) {
    CCustomButton button("H");
    button.resize(60, 24);
    const QImage image = Render(button);
    ExpectFrame(image, false);
    EXPECT_TRUE(Contains(image, kText));
    EXPECT_FALSE(Contains(image, kShadow));
    EXPECT_FALSE(Contains(image, kHighlight));
    // A symmetric letter sits in the middle, give or take its side bearings.
    const QRect ink = InkBounds(image, image.rect());
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LE(std::abs(ink.left() - (59 - ink.right())), 2);
    EXPECT_LE(std::abs(ink.top() - (23 - ink.bottom())), 4);
}

TEST_F(SkinWidgets, HoverFocusAndPressFrameTheButton) {
    QWidget window;
    auto* button = new CCustomButton("Go", &window);
    auto* other = new CCustomButton("Other", &window);
    // Clear of the window's corner, where the pointer rests.
    button->setGeometry(20, 20, 60, 24);
    other->setGeometry(20, 60, 60, 24);
    window.show();
    window.activateWindow();
    QCoreApplication::processEvents();
    other->setFocus();
    ASSERT_FALSE(button->hasFocus());
    ASSERT_FALSE(button->hover());

    ExpectFrame(Render(*button), false);
    Enter(*button);
    EXPECT_TRUE(button->hover());
    ExpectFrame(Render(*button), true);
    Leave(*button);
    EXPECT_FALSE(button->hover());
    ExpectFrame(Render(*button), false);

    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    ExpectFrame(Render(*button), true);
    Enter(*button);
    Leave(*button);
    ExpectFrame(Render(*button), true);  // still focused
    other->setFocus();

    button->setDown(true);
    ExpectFrame(Render(*button), true);
}

TEST_F(SkinWidgets, PressingMovesTheTextOnePixelRightAndDown) {
    CCustomButton button("Enter");
    button.resize(70, 26);
    const QRect inside = QRect(1, 1, 68, 24);  // clear of the frame
    const QRect up = InkBounds(Render(button), inside);
    button.setDown(true);
    const QRect down = InkBounds(Render(button), inside);
    ASSERT_FALSE(up.isEmpty());
    EXPECT_EQ(down, up.translated(1, 1));
}

TEST_F(SkinWidgets, DisabledTextIsEmbossedEvenWhileHovered) {
    CCustomButton button("Save");
    button.resize(70, 26);
    const QRect inside(1, 1, 68, 24);
    const QImage enabled = Render(button);
    button.setEnabled(false);
    Enter(button);
    const QImage disabled = Render(button);
    EXPECT_NE(enabled.copy(inside), disabled.copy(inside));
    EXPECT_FALSE(Contains(disabled.copy(inside), kText));
    // Raised and sunk in the desktop's own edge colours.
    const SkinColourSet desktop = SkinColours::PlatformColours();
    EXPECT_TRUE(Contains(disabled, desktop.buttonShadow));
    EXPECT_TRUE(Contains(disabled, desktop.buttonHighlight));
}

TEST_F(SkinWidgets, AnAcceleratorPressesTheButtonAndIsNotDrawnAsAnAmpersand) {
    QWidget window;
    auto* button = new CCustomButton("&Save", &window);
    button->setGeometry(0, 0, 70, 26);
    window.show();
    window.activateWindow();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window.isActiveWindow());
    // The shortcut presses the button (the click follows its animation).
    QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(button->isDown());
    EXPECT_TRUE(button->hasFocus());

    // "&Save" takes the room of "Save", not of "&Save" drawn plainly.
    CCustomButton plain("Save");
    plain.resize(70, 26);
    const QRect inside(1, 1, 68, 24);
    const QRect withMark = InkBounds(Render(*button), inside);
    const QRect without = InkBounds(Render(plain), inside);
    EXPECT_EQ(withMark.left(), without.left());
    EXPECT_LE(withMark.width(), without.width() + 1);  // the underline may reach one further
    EXPECT_GT(withMark.bottom(), without.bottom());
}

TEST_F(SkinWidgets, AColourChangeShowsAtTheNextPaint) {
    CCustomButton button("A");
    button.resize(40, 20);
    SkinLabel label;
    label.setText("path");
    label.resize(80, 20);
    EXPECT_EQ(At(Render(button), 2, 2), kFace);
    EXPECT_EQ(At(Render(label), 0, 0), kFace);

    const QColor face(0x99, 0x11, 0x22);
    const QColor text(0x00, 0xFF, 0xFF);
    SkinColours::SetButtonBackground(face);
    SkinColours::SetButtonText(text);
    const QImage buttonImage = Render(button);
    const QImage labelImage = Render(label);
    EXPECT_EQ(At(buttonImage, 2, 2), face);
    EXPECT_TRUE(Contains(buttonImage, text));
    EXPECT_EQ(At(labelImage, 0, 0), face);
    EXPECT_TRUE(Contains(labelImage, text));
}

TEST_F(SkinWidgets, ColourReferencesAreRedGreenBlueFromTheLowByte) {
    EXPECT_EQ(SkinColours::FromColourRef(0x00332211), QColor(0x11, 0x22, 0x33));
    EXPECT_EQ(SkinColours::FromColourRef(0xFF332211), QColor(0x11, 0x22, 0x33));
    EXPECT_EQ(SkinColours::ToColourRef(QColor(0x11, 0x22, 0x33)), 0x00332211u);
    SkinColours::SetPlatformColours();
    EXPECT_EQ(SkinColours::Current().buttonBackground,
              QApplication::palette().color(QPalette::Button));
}

TEST_F(SkinWidgets, PathLabelShortensInTheMiddleOrAtTheEnd) {
    const QString path = "/home/someone/Documents/almanaries/a-rather-long-name-for-work.alm";
    SkinLabel label;
    label.setText(path);
    label.resize(label.fontMetrics().horizontalAdvance(path) / 2, 20);

    const QString end = label.shownText();
    EXPECT_TRUE(end.startsWith("/home/")) << end.toStdString();
    EXPECT_TRUE(end.endsWith(QChar(0x2026))) << end.toStdString();

    label.setPathEllipsis(true);
    const QString middle = label.shownText();
    EXPECT_TRUE(middle.startsWith("/home/")) << middle.toStdString();
    EXPECT_TRUE(middle.endsWith("work.alm")) << middle.toStdString();
    EXPECT_TRUE(middle.contains(QChar(0x2026)));

    label.setText("a&b.alm");  // short, and "&" is a letter like any other
    EXPECT_EQ(label.shownText(), "a&b.alm");
}

TEST_F(SkinWidgets, PathLabelDrawsItsTextVerticallyCentred) {
    SkinLabel label;
    label.setText("Calendar");
    label.resize(120, 40);
    const QImage image = Render(label);
    const QRect ink = InkBounds(image, image.rect());
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(Contains(image, kText));
    EXPECT_LE(std::abs(ink.top() - (39 - ink.bottom())), 6);
    EXPECT_LT(ink.left(), 10);
}

std::string Bitmap(const std::string& name) {
    return std::string(ALMANARY_FIXTURES_DIR) + "/bitmaps/" + name;
}

TEST_F(SkinWidgets, DialogPaintsThePictureItsSlotHoldsStretched) {
    SkinnedDialog dialog;
    dialog.resize(40, 20);
    const QColor plain = dialog.palette().color(QPalette::Window);
    EXPECT_EQ(At(Render(dialog), 20, 10), plain);  // no slot

    BackgroundImage slot;
    dialog.setBackground(&slot);
    EXPECT_EQ(At(Render(dialog), 20, 10), plain);  // an empty slot

    ASSERT_TRUE(slot.Load(Bitmap("rgb24.bmp")));
    QImage image = Render(dialog);
    EXPECT_EQ(At(image, 0, 0), QColor(Qt::red));
    EXPECT_EQ(At(image, 9, 9), QColor(Qt::red));
    EXPECT_EQ(At(image, 10, 0), QColor(Qt::green));
    EXPECT_EQ(At(image, 39, 19), QColor(Qt::magenta));
    EXPECT_EQ(At(image, 0, 10), QColor(Qt::black));

    // Whatever the slot holds at paint time.
    ASSERT_TRUE(slot.Load(Bitmap("pal8-16.bmp")));
    image = Render(dialog);
    EXPECT_EQ(At(image, 0, 0), QColor(0, 255, 0));  // ramp entry 0
    slot.Unload();
    EXPECT_EQ(At(Render(dialog), 20, 10), plain);
}

struct Controls {
    QLabel* label;
    QCheckBox* check;
    QLineEdit* editable;
    QLineEdit* readOnly;
    CCustomButton* button;
};

Controls AddControls(SkinnedDialog& dialog) {
    auto* layout = new QVBoxLayout(&dialog);
    Controls c{new QLabel("Notes:"), new QCheckBox("Remind"), new QLineEdit("typed"),
               new QLineEdit("shown"), new CCustomButton("OK")};
    c.readOnly->setReadOnly(true);
    for (QWidget* w : {static_cast<QWidget*>(c.label), static_cast<QWidget*>(c.check),
                       static_cast<QWidget*>(c.editable), static_cast<QWidget*>(c.readOnly),
                       static_cast<QWidget*>(c.button)})
        layout->addWidget(w);
    return c;
}

bool Skinned(const QWidget* widget, QPalette::ColorRole ground, QPalette::ColorRole text) {
    return widget->autoFillBackground() && widget->palette().color(ground) == kFace &&
           widget->palette().color(text) == kText;
}

TEST_F(SkinWidgets, ReskinColoursLabelsAlwaysAndEditableEditsOnlyWhenAsked) {
    struct Case {
        SkinnedDialog::Colouring colouring;
        bool editsColoured;
    };
    for (const Case& c : {Case{SkinnedDialog::Colouring::StaticsOnly, false},
                          Case{SkinnedDialog::Colouring::StaticsAndEdits, true}}) {
        SkinnedDialog dialog(nullptr, c.colouring);
        const Controls controls = AddControls(dialog);
        dialog.reskin();
        EXPECT_TRUE(Skinned(controls.label, QPalette::Window, QPalette::WindowText));
        EXPECT_TRUE(Skinned(controls.check, QPalette::Window, QPalette::WindowText));
        EXPECT_TRUE(Skinned(controls.readOnly, QPalette::Base, QPalette::Text));
        EXPECT_EQ(Skinned(controls.editable, QPalette::Base, QPalette::Text), c.editsColoured);
        EXPECT_FALSE(controls.button->autoFillBackground());

        dialog.resize(200, 200);
        const QImage image = Render(dialog);
        const QPoint corner = controls.label->geometry().topLeft();
        EXPECT_EQ(At(image, corner.x(), corner.y()), kFace);
    }
}

TEST_F(SkinWidgets, ReskinTakesNewColoursAndGivesBackWhatNoLongerQualifies) {
    SkinnedDialog dialog;
    const Controls controls = AddControls(dialog);
    dialog.reskin();
    const QPalette before = controls.editable->palette();

    const QColor face(0x50, 0x50, 0x00);
    SkinColours::SetButtonBackground(face);
    controls.readOnly->setReadOnly(false);
    dialog.reskin();
    EXPECT_EQ(controls.label->palette().color(QPalette::Window), face);
    EXPECT_FALSE(controls.readOnly->autoFillBackground());
    EXPECT_EQ(controls.readOnly->palette().color(QPalette::Base), before.color(QPalette::Base));
}

TEST_F(SkinWidgets, ReskinLeavesOtherWindowsAlone) {
    SkinnedDialog dialog;
    auto* label = new QLabel("mine", &dialog);
    SkinnedDialog nested(&dialog);  // a child window, coloured by itself
    auto* theirs = new QLabel("theirs", &nested);
    dialog.reskin();
    EXPECT_TRUE(label->autoFillBackground());
    EXPECT_FALSE(theirs->autoFillBackground());
}

}  // namespace
}  // namespace almanary

// The skinned dialog: the picture behind it, and which controls take the
// skin's colours.

#include "skins/SkinnedDialog.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "skins/BackgroundImage.h"
#include "skins/SkinColours.h"

namespace almanary {
namespace {

TEST(SkinnedDialog, PaintsThePictureItsSlotHoldsStretched) {
    SkinnedDialog dialog;
    dialog.resize(40, 20);
    BackgroundImage slot;
    dialog.setBackground(&slot);
    QImage image(dialog.size(), QImage::Format_RGB32);
    dialog.render(&image);
    EXPECT_EQ(image.pixelColor(20, 10), dialog.palette().color(QPalette::Window)) << "empty slot";

    // The 4x2 picture over 40x20: every picture pixel becomes a 10x10 block.
    ASSERT_TRUE(slot.load(ALMANARY_FIXTURES_DIR "/bitmaps/rgb24.bmp"));
    dialog.render(&image);
    EXPECT_EQ(image.pixelColor(9, 9), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(10, 0), QColor(Qt::green));
    EXPECT_EQ(image.pixelColor(0, 10), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(39, 19), QColor(Qt::magenta));
}

// Labels and read-only edits always; editable edits only when asked.
TEST(SkinnedDialog, ReskinColoursStaticsAlwaysAndEditsOnlyWhenAsked) {
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
            return w->autoFillBackground() &&
                   w->palette().color(ground) == SkinColours::buttonBackground();
        };
        EXPECT_TRUE(skinned(label, QPalette::Window));
        EXPECT_TRUE(skinned(readOnly, QPalette::Base));
        EXPECT_EQ(skinned(editable, QPalette::Base), edits);
    }
}

}  // namespace
}  // namespace almanary

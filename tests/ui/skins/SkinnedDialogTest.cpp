// The skinned dialog: which controls take the skin's colours.

#include "skins/SkinnedDialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>

#include "skins/SkinColours.h"

namespace almanary {
namespace {

// Labels and read-only edits always; editable edits only when asked.
TEST(SkinnedDialog, ReskinColoursStaticsAlwaysAndEditsOnlyWhenAsked) {
    for (const bool edits : {false, true}) {
        SkinnedDialog dialog(nullptr, edits ? SkinnedDialog::Colouring::StaticsAndEdits
                                            : SkinnedDialog::Colouring::StaticsOnly);
        auto* label = new QLabel("Notes:", &dialog);
        auto* editable = new QLineEdit("typed", &dialog);
        auto* readOnly = new QLineEdit("shown", &dialog);
        readOnly->setReadOnly(true);
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

// The file chooser of the desktop: a name typed without a suffix is saved
// with the kind's.

#include "platform/QtFileChooser.h"

#include <gtest/gtest.h>

#include <QFileDialog>

#include "support/DialogDriving.h"
#include "support/TempDir.h"

namespace almanary::testing {
namespace {

TEST(QtFileChooser, SavesWithTheKindsSuffix) {
    TempDir dir;
    QObject context;
    whenModal<QFileDialog>(context, [](QFileDialog& dialog) {
        dialog.selectFile("plan");
        static_cast<QDialog&>(dialog).accept();  // as the Save button does
    });
    QtFileChooser chooser;
    EXPECT_EQ(chooser.chooseToSave(nullptr, FileKind::Almanary, dir.path().string()),
              dir.file("plan.alm"));
    EXPECT_FALSE(chooser.isOpen());
}

}  // namespace
}  // namespace almanary::testing

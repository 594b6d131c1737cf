// The desktop seams on Qt: message boxes, file choosers and sound. Each
// modal box is answered from inside its own loop by a zero-delay timer.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/QtFileChooser.h"
#include "platform/QtPrompter.h"
#include "platform/QtSoundPlayer.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary {
namespace {

// The visible top-level widget of type T, if any.
template <typename T>
T* OpenWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<T*>(widget); found != nullptr && found->isVisible())
            return found;
    }
    return nullptr;
}

// Runs `act` on the box of type T as soon as the modal loop shows it.
template <typename T>
void WhenShown(std::function<void(T&)> act) {
    QTimer::singleShot(0, [act] {
        T* window = OpenWindow<T>();
        if (window == nullptr) {
            ADD_FAILURE() << "no window came up";
            return;
        }
        act(*window);
    });
}

TEST(QtPrompter, ShowsTheTablesMessageAndReturnsTheButtonPressed) {
    struct Case {
        int id;
        std::vector<std::string> args;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        std::optional<QMessageBox::StandardButton> press;  // none: Escape
        MessageAnswer expected;
        QString text;
    };
    const Case cases[] = {
        {116,
         {},
         QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
         QMessageBox::No,
         MessageAnswer::No,
         "Your almanary has been updated since you last saved!  Would you like to save your "
         "changes?"},
        {116,
         {},
         QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
         std::nullopt,
         MessageAnswer::Cancel,
         ""},
        {123,
         {"/tmp/<a & b>.alm"},
         QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No,
         QMessageBox::Yes,
         MessageAnswer::Yes,
         "The almanary /tmp/<a & b>.alm already exists.  Would you like to overwrite it with the "
         "current one?"},
        {123,
         {"x"},
         QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No,
         std::nullopt,
         MessageAnswer::No,
         ""},
        {130,
         {},
         QMessageBox::Information,
         QMessageBox::Ok | QMessageBox::Cancel,
         QMessageBox::Cancel,
         MessageAnswer::Cancel,
         ""},
        {124,
         {"/home/u/x.alm"},
         QMessageBox::Critical,
         QMessageBox::Ok,
         QMessageBox::Ok,
         MessageAnswer::Ok,
         "/home/u/x.alm could not be found.  The almanary was not loaded."},
        {143, {}, QMessageBox::Warning, QMessageBox::Ok, std::nullopt, MessageAnswer::Ok, ""},
        {113,
         {"9:15"},
         QMessageBox::NoIcon,
         QMessageBox::Ok,
         QMessageBox::Ok,
         MessageAnswer::Ok,
         "You already have an event scheduled at 9:15."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        Qt::TextFormat format = Qt::AutoText;
        const std::optional<QMessageBox::StandardButton> press = c.press;
        WhenShown<QMessageBox>([&, press](QMessageBox& box) {
            title = box.windowTitle();
            text = box.text();
            icon = box.icon();
            buttons = box.standardButtons();
            format = box.textFormat();
            if (press)
                box.button(*press)->click();
            else
                QTest::keyClick(&box, Qt::Key_Escape);
        });
        QtPrompter prompter;
        EXPECT_EQ(prompter.Show(nullptr, c.id, c.args), c.expected);
        EXPECT_EQ(title, "Almanary");
        if (!c.text.isEmpty()) {
            EXPECT_EQ(text, c.text);
        }
        EXPECT_EQ(icon, c.icon);
        EXPECT_EQ(buttons, c.buttons);
        EXPECT_EQ(format, Qt::PlainText);
    }
}

TEST(QtFileChooser, SavesWithTheKindsFilterAndSuffixWithoutAnOverwriteQuestion) {
    testing::TempDir dir;
    testing::WriteFile(dir.file("old.alm"), "x");
    QtFileChooser chooser;
    struct Case {
        QString typed;
        std::string expected;
    };
    const Case cases[] = {
        {"plan", dir.file("plan.alm")},
        {"old.alm", dir.file("old.alm")},  // exists: the caller asks, not the chooser
    };
    for (const Case& c : cases) {
        QStringList filters;
        bool openMeanwhile = false;
        WhenShown<QFileDialog>([&](QFileDialog& dialog) {
            filters = dialog.nameFilters();
            openMeanwhile = chooser.IsOpen();
            dialog.selectFile(c.typed);
            static_cast<QDialog&>(dialog).accept();  // as the Save or Open button does
        });
        EXPECT_EQ(chooser.ChooseToSave(nullptr, FileKind::Almanary, dir.path().string()),
                  c.expected);
        EXPECT_EQ(filters, QStringList({"Almanary (*.alm)", "All Files (*)"}));
        EXPECT_TRUE(openMeanwhile);
        EXPECT_FALSE(chooser.IsOpen());
    }
}

TEST(QtFileChooser, OpensAnExistingFileOrNothingOnCancel) {
    testing::TempDir dir;
    testing::WriteFile(dir.file("bell.wav"), "RIFF");
    QtFileChooser chooser;

    QStringList filters;
    WhenShown<QFileDialog>([&](QFileDialog& dialog) {
        filters = dialog.nameFilters();
        dialog.selectFile(QString::fromStdString(dir.file("bell.wav")));
        static_cast<QDialog&>(dialog).accept();
    });
    EXPECT_EQ(chooser.ChooseToOpen(nullptr, FileKind::Sound, dir.path().string()),
              dir.file("bell.wav"));
    EXPECT_EQ(filters, QStringList({"Wave Files (*.wav)"}));

    WhenShown<QFileDialog>([&](QFileDialog& dialog) {
        filters = dialog.nameFilters();
        dialog.reject();
    });
    EXPECT_EQ(chooser.ChooseToOpen(nullptr, FileKind::Bitmap, dir.file("bell.wav")), std::nullopt);
    EXPECT_EQ(filters, QStringList({"Bitmaps (*.bmp)"}));
}

TEST(QtSoundPlayer, RefusesWhatCannotBeOpenedForReading) {
    testing::TempDir dir;
    QtSoundPlayer player;
    EXPECT_FALSE(player.Play(""));
    EXPECT_FALSE(player.Play(dir.file("missing.wav")));
    EXPECT_FALSE(player.Play(dir.path().string()));  // a folder
}

}  // namespace
}  // namespace almanary

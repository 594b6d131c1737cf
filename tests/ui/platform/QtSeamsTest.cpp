// The desktop seams on Qt: message boxes and file choosers. Each modal box
// is answered from inside its own loop by a zero-delay timer.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>
#include <optional>

#include "app/MessageTable.h"
#include "platform/QtFileChooser.h"
#include "platform/QtPrompter.h"
#include "support/TempDir.h"

namespace almanary {
namespace {

// Runs `act` on the visible top-level box of type T once the modal loop shows it.
template <typename T>
void whenShown(std::function<void(T&)> act) {
    QTimer::singleShot(0, [act] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<T*>(widget); found != nullptr && found->isVisible())
                return act(*found);
        }
        ADD_FAILURE() << "no window came up";
    });
}

TEST(QtPrompter, ShowsTheTablesMessageAndReturnsTheButtonPressed) {
    struct Case {
        MessageId id;
        std::vector<std::string> args;
        QMessageBox::StandardButtons buttons;
        std::optional<QMessageBox::StandardButton> press;  // none: Escape
        MessageAnswer expected;
    };
    const auto yesNoCancel = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    const Case cases[] = {
        {MessageId::UnsavedChanges, {}, yesNoCancel, QMessageBox::No, MessageAnswer::No},
        {MessageId::UnsavedChanges, {}, yesNoCancel, std::nullopt, MessageAnswer::Cancel},
        {MessageId::OverwriteAlmanary,
         {"/tmp/<a & b>.alm"},
         QMessageBox::Yes | QMessageBox::No,
         std::nullopt,
         MessageAnswer::No},
        {MessageId::FileNotFound,
         {"/home/u/x.alm"},
         QMessageBox::Ok,
         QMessageBox::Ok,
         MessageAnswer::Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.id));
        QString text;
        QMessageBox::StandardButtons buttons;
        Qt::TextFormat format = Qt::AutoText;
        whenShown<QMessageBox>([&](QMessageBox& box) {
            text = box.text();
            buttons = box.standardButtons();
            format = box.textFormat();
            if (c.press)
                box.button(*c.press)->click();
            else
                QTest::keyClick(&box, Qt::Key_Escape);
        });
        QtPrompter prompter;
        EXPECT_EQ(prompter.show(nullptr, c.id, c.args), c.expected);
        EXPECT_EQ(text.toStdString(), MessageTable::format(Notice{c.id, c.args}));
        EXPECT_EQ(buttons, c.buttons);
        EXPECT_EQ(format, Qt::PlainText) << "a path is never markup";
    }
}

TEST(QtFileChooser, SavesWithTheKindsSuffix) {
    testing::TempDir dir;
    QtFileChooser chooser;
    whenShown<QFileDialog>([](QFileDialog& dialog) {
        dialog.selectFile("plan");
        static_cast<QDialog&>(dialog).accept();  // as the Save button does
    });
    EXPECT_EQ(chooser.chooseToSave(nullptr, FileKind::Almanary, dir.path().string()),
              dir.file("plan.alm"));
    EXPECT_FALSE(chooser.isOpen());
}

}  // namespace
}  // namespace almanary

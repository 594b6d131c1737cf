// The message boxes of the desktop: the table's text, never as markup, its
// buttons, and the answer of the button pressed or of Escape.

#include "platform/QtPrompter.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>

#include "app/MessageTable.h"
#include "support/DialogDriving.h"

namespace almanary::testing {
namespace {

TEST(QtPrompter, ShowsTheTablesMessageAndReturnsTheButtonPressed) {
    const auto yesNo = QMessageBox::Yes | QMessageBox::No;
    const auto escape = QMessageBox::NoButton;
    const struct {
        MessageId id;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton press;
        MessageAnswer expected;
    } cases[] = {
        {MessageId::UnsavedChanges, yesNo | QMessageBox::Cancel, QMessageBox::No,
         MessageAnswer::No},
        {MessageId::UnsavedChanges, yesNo | QMessageBox::Cancel, escape, MessageAnswer::Cancel},
        {MessageId::OverwriteAlmanary, yesNo, QMessageBox::Yes, MessageAnswer::Yes},
        {MessageId::OverwriteAlmanary, yesNo, escape, MessageAnswer::No},
        {MessageId::FileNotFound, QMessageBox::Ok, QMessageBox::Ok, MessageAnswer::Ok},
    };
    const std::vector<std::string> args{"/tmp/<a & b>.alm"};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.id));
        QObject context;
        whenModal<QMessageBox>(context, [&](QMessageBox& box) {
            EXPECT_EQ(box.text().toStdString(), MessageTable::format(Notice{c.id, args}));
            EXPECT_EQ(box.textFormat(), Qt::PlainText);
            EXPECT_EQ(box.standardButtons(), c.buttons);
            if (c.press == escape)
                QTest::keyClick(&box, Qt::Key_Escape);
            else
                box.button(c.press)->click();
        });
        QtPrompter prompter;
        EXPECT_EQ(prompter.show(nullptr, c.id, args), c.expected);
    }
}

}  // namespace
}  // namespace almanary::testing

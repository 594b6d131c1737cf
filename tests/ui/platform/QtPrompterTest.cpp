// The desktop's message boxes: the table's text and buttons, and the answers.

#include "platform/QtPrompter.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <tuple>

#include "support/DialogDriving.h"

namespace almanary::testing {
namespace {

TEST(QtPrompter, ShowsTheTablesMessageAndReturnsTheButtonPressed) {
    using Box = QMessageBox;
    const auto yesNo = Box::Yes | Box::No;
    // The message, its buttons, the one pressed (none: Escape) and the answer.
    const std::tuple<MessageId, Box::StandardButtons, Box::StandardButton, MessageAnswer> cases[] =
        {
            {MessageId::UnsavedChanges, yesNo | Box::Cancel, Box::No, MessageAnswer::No},
            {MessageId::UnsavedChanges, yesNo | Box::Cancel, Box::NoButton, MessageAnswer::Cancel},
            {MessageId::OverwriteAlmanary, yesNo, Box::Yes, MessageAnswer::Yes},
            {MessageId::OverwriteAlmanary, yesNo, Box::NoButton, MessageAnswer::No},
            {MessageId::FileNotFound, Box::Ok, Box::Ok, MessageAnswer::Ok},
        };
    const std::vector<std::string> args{"/tmp/<a & b>.alm"};
    for (const auto& [id, buttons, pressed, answer] : cases) {
        QObject context;
        whenModal<Box>(context, [&](Box& box) {
            EXPECT_EQ(box.text().toStdString(), MessageTable::format({id, args}));
            EXPECT_EQ(box.textFormat(), Qt::PlainText);
            EXPECT_EQ(box.standardButtons(), buttons);
            pressed == Box::NoButton ? QTest::keyClick(&box, Qt::Key_Escape)
                                     : box.button(pressed)->click();
        });
        EXPECT_EQ(QtPrompter().show(nullptr, id, args), answer);
    }
}

}  // namespace
}  // namespace almanary::testing

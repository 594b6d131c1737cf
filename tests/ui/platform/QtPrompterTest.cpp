// The desktop's message boxes: the table's text and buttons, and the answers.

#include "platform/QtPrompter.h"

#include <QAbstractButton>
#include <QMessageBox>

#include "support/DialogDriving.h"

namespace almanary::testing {
namespace {

using enum MessageId;
using enum MessageAnswer;

TEST(QtPrompter, ShowsTheTablesMessageAndReturnsTheButtonPressed) {
    using Box = QMessageBox;
    const auto yesNo = Box::Yes | Box::No;
    // The message, its buttons, the one pressed (none: Escape) and the answer.
    const std::tuple<MessageId, Box::StandardButtons, Box::StandardButton, MessageAnswer> cases[] =
        {
            {UnsavedChanges, yesNo | Box::Cancel, Box::No, No},
            {UnsavedChanges, yesNo | Box::Cancel, Box::NoButton, Cancel},
            {OverwriteAlmanary, yesNo, Box::Yes, Yes},
            {OverwriteAlmanary, yesNo, Box::NoButton, No},
            {FileNotFound, Box::Ok, Box::Ok, Ok},
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

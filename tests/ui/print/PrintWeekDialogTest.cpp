// "Print Weekly Calendar": the first day and the Enter key. The preview
// moving the week printed is tried from the main window's command.

#include "print/PrintWeekDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QTest>
#include <QTimer>

#include "support/SessionHarness.h"

namespace almanary::testing {
namespace {

class PrintWeekDialogTest : public SessionHarness {
protected:
    PrintWeekDialogTest() { clock.set(localTime(2024, 3, 31, 14, 35, 20)); }

    QCalendarWidget* calendar(const PrintWeekDialog& dialog) {
        return child<QCalendarWidget>(dialog, "calendar");
    }
};

// Today until the user picks a date, then the date picked, always at 00:00.
TEST_F(PrintWeekDialogTest, TheFirstDayIsTheDateShownAtMidnight) {
    PrintWeekDialog dialog(nullptr, session, services);
    EXPECT_EQ(calendar(dialog)->selectedDate(), QDate(2024, 3, 31));
    EXPECT_EQ(dialog.firstDay(), localTime(2024, 3, 31));
    calendar(dialog)->setSelectedDate(QDate(2024, 10, 27));
    EXPECT_EQ(dialog.firstDay(), localTime(2024, 10, 27));
}

// Enter prints on Print and on the calendar, cancels on Cancel, and does
// nothing on Preview (no preview opens).
TEST_F(PrintWeekDialogTest, TheEnterKeyActsOnTheFocusedControl) {
    constexpr int kStillOpen = -1;
    const std::pair<const char*, int> cases[] = {
        {"printButton", QDialog::Accepted},
        {"calendar", QDialog::Accepted},
        {"cancelButton", QDialog::Rejected},
        {"previewButton", kStillOpen},
    };
    for (const auto& [control, expected] : cases) {
        PrintWeekDialog dialog(nullptr, session, services);
        dialog.show();
        child<QWidget>(dialog, control)->setFocus();
        QTimer::singleShot(0, &modalContext, [] {
            if (auto* opened = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "Enter opened " << opened->objectName().toStdString();
                opened->reject();
            }
        });
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
        EXPECT_EQ(dialog.isVisible(), expected == kStillOpen) << control;
        if (expected != kStillOpen) {
            EXPECT_EQ(dialog.result(), expected) << control;
        }
    }
}

}  // namespace
}  // namespace almanary::testing

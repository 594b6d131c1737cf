// "Print Weekly Calendar": the first day and the Enter key (the preview: MainWindowTest).

#include "print/PrintWeekDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QTest>
#include <QTimer>

#include "support/SessionHarness.h"

namespace almanary::testing {
namespace {

using PrintWeekDialogTest = SessionHarness;

// Today until the user picks a date, then the date picked, always at 00:00.
TEST_F(PrintWeekDialogTest, TheFirstDayIsTheDateShownAtMidnight) {
    clock.set(localTime(2024, 3, 31, 14, 35, 20));
    PrintWeekDialog dialog(nullptr, session, services);
    auto* calendar = child<QCalendarWidget>(dialog, "calendar");
    EXPECT_EQ(calendar->selectedDate(), QDate(2024, 3, 31));
    EXPECT_EQ(dialog.firstDay(), localTime(2024, 3, 31));
    calendar->setSelectedDate(QDate(2024, 10, 27));
    EXPECT_EQ(dialog.firstDay(), localTime(2024, 10, 27));
}

// Enter prints on Print and the calendar, cancels on Cancel, opens nothing on Preview.
TEST_F(PrintWeekDialogTest, TheEnterKeyActsOnTheFocusedControl) {
    const std::pair<const char*, int> cases[] = {{"printButton", QDialog::Accepted},
                                                 {"calendar", QDialog::Accepted},
                                                 {"cancelButton", QDialog::Rejected},
                                                 {"previewButton", -1}};  // still open
    for (const auto& [control, result] : cases) {
        PrintWeekDialog dialog(nullptr, session, services);
        dialog.show();
        child(dialog, control)->setFocus();
        QTimer::singleShot(0, &modalContext, [] {
            if (auto* opened = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "Enter opened " << opened->objectName().toStdString();
                opened->reject();
            }
        });
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
        EXPECT_EQ(dialog.isVisible() ? -1 : dialog.result(), result) << control;
    }
}

}  // namespace
}  // namespace almanary::testing

// "Print Weekly Calendar": the first day, the Enter key, and the preview
// moving the week the dialog prints.

#include "print/PrintWeekDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QTest>
#include <QTimer>

#include "print/PreviewWindow.h"
#include "ui/print/PrintHarness.h"

namespace almanary::testing {
namespace {

class PrintWeekDialogTest : public PrintHarness {
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

// Prev Day in the preview of a week from a Sunday shows it from Saturday;
// the calendar then shows that Saturday and Print ends with it.
TEST_F(PrintWeekDialogTest, ThePreviewMovesTheFirstDayTheDialogPrints) {
    fill({{4, 2, 8}});
    PrintWeekDialog dialog(nullptr, session, services);
    dialog.show();
    whenModal<PreviewWindow>(modalContext, [](PreviewWindow& preview) {
        EXPECT_EQ(preview.firstDay(), localTime(2024, 3, 31));
        press(preview, "nextPageButton");
        press(preview, "prevDayButton");
        EXPECT_EQ(preview.page(), 1);
        press(preview, "closeButton");
    });
    press(dialog, "previewButton");
    EXPECT_EQ(calendar(dialog)->selectedDate(), QDate(2024, 3, 30));
    EXPECT_EQ(dialog.firstDay(), localTime(2024, 3, 30));
    press(dialog, "printButton");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.firstDay(), localTime(2024, 3, 30));
}

}  // namespace
}  // namespace almanary::testing

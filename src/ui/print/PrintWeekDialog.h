#pragma once
// "Print Weekly Calendar": the first day of the week to print, picked on a
// month calendar, then Print, or Preview to see the pages first (and move
// the week there). The main window prints with the first day it ends on.

#include <memory>

#include "model/Calendar.h"
#include "skins/SkinnedDialog.h"

namespace Ui {
class PrintWeekDialog;
}

namespace almanary {

class DocumentSession;
struct AppServices;

class PrintWeekDialog : public SkinnedDialog {
    Q_OBJECT
public:
    // The first day starts as today (the services' clock), at 00:00.
    PrintWeekDialog(QWidget* owner, DocumentSession& session, const AppServices& services);
    ~PrintWeekDialog() override;

    // Times in the 12-hour form in the preview.
    void setTwelveHour(bool on) { twelveHour_ = on; }
    // The picked date at 00:00 local time, or where the preview moved it.
    DateTime firstDay() const { return firstDay_; }

public slots:
    // Runs the preview from the first day, then shows the day it ended on.
    void preview();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onSelectionChanged();
    void showFirstDay();

    std::unique_ptr<Ui::PrintWeekDialog> ui_;
    DocumentSession& session_;
    const AppServices& services_;
    DateTime firstDay_;
    bool twelveHour_ = false;
};

}  // namespace almanary

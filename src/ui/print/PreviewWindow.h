#pragma once
// The print preview: the weekly calendar drawn on white over the whole
// window, at the window's size, one page at a time. It pages through the
// week, moves the week a day back or on, and prints from there. A normal
// window, shown maximized, so the window manager can close, move and
// restore it like any other; Escape and the close box close it.

#include <memory>

#include "model/Calendar.h"
#include "skins/SkinnedDialog.h"

namespace Ui {
class PreviewWindow;
}

namespace almanary {

class DocumentSession;
class WeekPage;
struct AppServices;

class PreviewWindow : public SkinnedDialog {
    Q_OBJECT
public:
    PreviewWindow(QWidget* owner, DocumentSession& session, const AppServices& services,
                  DateTime firstDay, bool twelveHour);
    ~PreviewWindow() override;

    // The first day shown, moved by Prev Day and Next Day.
    DateTime firstDay() const { return firstDay_; }
    int page() const;
    int pageCount() const;

public slots:
    void print();
    void previousPage();
    void nextPage();
    void previousDay();
    void nextDay();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void moveDays(int days);
    // The week collected again (the first day moved, the events changed).
    void showWeekAgain();
    // Next Page while there is a next page, Prev Page while there is one.
    void updateButtons();

    std::unique_ptr<Ui::PreviewWindow> ui_;
    DocumentSession& session_;
    const AppServices& services_;
    DateTime firstDay_;
    bool twelveHour_;
    std::unique_ptr<WeekPage> week_;
};

}  // namespace almanary

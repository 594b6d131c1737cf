#include "print/PreviewWindow.h"

#include <QImage>
#include <QPainter>

#include "document/DocumentSession.h"
#include "pages/WeekPage.h"
#include "painting/PainterDevice.h"
#include "print/FirstDay.h"
#include "print/PrintWeekJob.h"
#include "ui_PreviewWindow.h"

namespace almanary {

namespace {

// Font heights for a screen 1024 units wide, scaled to the window's width.
constexpr WeekPage::FontHeights kScreenFonts{true, 14, 12};

}  // namespace

PreviewWindow::PreviewWindow(QWidget* owner, DocumentSession& session, const AppServices& services,
                             DateTime firstDay, bool twelveHour)
    : SkinnedDialog(owner),
      ui_(std::make_unique<Ui::PreviewWindow>()),
      session_(session),
      services_(services),
      firstDay_(firstDay),
      twelveHour_(twelveHour) {
    ui_->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowState(Qt::WindowMaximized);
    connect(ui_->closeButton, &QPushButton::clicked, this, &PreviewWindow::reject);
    connect(ui_->printButton, &QPushButton::clicked, this, &PreviewWindow::print);
    connect(ui_->prevPageButton, &QPushButton::clicked, this, &PreviewWindow::previousPage);
    connect(ui_->nextPageButton, &QPushButton::clicked, this, &PreviewWindow::nextPage);
    connect(ui_->prevDayButton, &QPushButton::clicked, this, &PreviewWindow::previousDay);
    connect(ui_->nextDayButton, &QPushButton::clicked, this, &PreviewWindow::nextDay);
    // Enter presses the focused button.
    setEnterKeyTable(
        {
            {ui_->closeButton, [this] { reject(); }},
            {ui_->printButton, [this] { print(); }},
            {ui_->prevPageButton, [this] { previousPage(); }},
            {ui_->nextPageButton, [this] { nextPage(); }},
            {ui_->prevDayButton, [this] { previousDay(); }},
            {ui_->nextDayButton, [this] { nextDay(); }},
        },
        {});
    session_.attach(this, WindowRole::Dialog);
    // An event changed beside the preview (a reminder's window) shows at once.
    connect(&session_, &DocumentSession::eventsChanged, this, &PreviewWindow::showWeekAgain);
    // Measured once now for the page count; each paint measures the
    // window as it is then.
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter painter(&scratch);
    PainterDevice device(painter, size());
    week_ = std::make_unique<WeekPage>(device, session_.events(), firstDay_, kScreenFonts);
    week_->setTwelveHour(twelveHour_);
    updateButtons();
    ui_->closeButton->setFocus();
    reskin();
}

PreviewWindow::~PreviewWindow() = default;

int PreviewWindow::page() const {
    return week_->page();
}

int PreviewWindow::pageCount() const {
    return week_->pageCount();
}

void PreviewWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    PainterDevice device(painter, size());
    week_->setDevice(device);
    week_->draw();
    // The page is measured on the window as it is now: a window too low for
    // seven boxes above the footer spreads the week over more pages.
    updateButtons();
}

void PreviewWindow::print() {
    PrintWeekJob::run(this, session_, services_, firstDay_, twelveHour_);
}

void PreviewWindow::previousPage() {
    const int before = week_->page();
    if (week_->previousPage() == before)
        return;
    updateButtons();
    update();
}

void PreviewWindow::nextPage() {
    const int before = week_->page();
    if (week_->nextPage() == before)
        return;
    updateButtons();
    update();
}

void PreviewWindow::previousDay() {
    moveDays(-1);
}

void PreviewWindow::nextDay() {
    moveDays(1);
}

void PreviewWindow::moveDays(int days) {
    const std::optional<DateTime> moved = FirstDay::moved(firstDay_, days);
    if (!moved)
        return;
    firstDay_ = *moved;
    showWeekAgain();
}

void PreviewWindow::showWeekAgain() {
    week_->showWeekOf(firstDay_);
    updateButtons();
    update();
}

void PreviewWindow::updateButtons() {
    ui_->nextPageButton->setEnabled(week_->page() < week_->pageCount());
    ui_->prevPageButton->setEnabled(week_->page() > 1);
}

}  // namespace almanary

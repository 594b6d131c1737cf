#include "print/PrintWeekDialog.h"

#include <QKeyEvent>
#include <QSignalBlocker>

#include "document/DocumentSession.h"
#include "platform/AppServices.h"
#include "platform/Clock.h"
#include "platform/TextConversion.h"
#include "print/FirstDay.h"
#include "print/PreviewWindow.h"
#include "ui_PrintWeekDialog.h"

namespace almanary {

PrintWeekDialog::PrintWeekDialog(QWidget* owner, DocumentSession& session,
                                 const AppServices& services)
    : SkinnedDialog(owner),
      ui_(std::make_unique<Ui::PrintWeekDialog>()),
      session_(session),
      services_(services),
      firstDay_(FirstDay::of(Calendar::localDate(services.clock.now()))) {
    ui_->setupUi(this);
    ui_->calendar->setDateRange(toQDate(FirstDay::earliest()), toQDate(FirstDay::latest()));
    showFirstDay();
    connect(ui_->calendar, &QCalendarWidget::selectionChanged, this,
            &PrintWeekDialog::onSelectionChanged);
    connect(ui_->previewButton, &QPushButton::clicked, this, &PrintWeekDialog::preview);
    connect(ui_->printButton, &QPushButton::clicked, this, &PrintWeekDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &PrintWeekDialog::reject);
    // Enter on the calendar prints the week picked; on Preview it does
    // nothing, so a slip of the key never opens the full-screen preview.
    QWidget* calendarKeys =
        ui_->calendar->focusProxy() != nullptr ? ui_->calendar->focusProxy() : ui_->calendar;
    calendarKeys->installEventFilter(this);
    setEnterKeyTable(
        {
            {ui_->printButton, [this] { accept(); }},
            {ui_->calendar, [this] { accept(); }},
            {calendarKeys, [this] { accept(); }},
            {ui_->cancelButton, [this] { reject(); }},
        },
        {});
    session_.attach(this, WindowRole::Dialog);
    ui_->calendar->setFocus();
    reskin();
}

PrintWeekDialog::~PrintWeekDialog() = default;

// The calendar takes Enter for itself; here it goes to the window's table.
bool PrintWeekDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            keyPressEvent(key);
            return true;
        }
    }
    return SkinnedDialog::eventFilter(watched, event);
}

void PrintWeekDialog::onSelectionChanged() {
    const QDate picked = ui_->calendar->selectedDate();
    firstDay_ = FirstDay::of({picked.year(), picked.month(), picked.day()});
}

void PrintWeekDialog::showFirstDay() {
    const QSignalBlocker quiet(ui_->calendar);
    ui_->calendar->setSelectedDate(toQDate(Calendar::localDate(firstDay_)));
}

void PrintWeekDialog::preview() {
    PreviewWindow window(this, session_, services_, firstDay_, twelveHour_);
    window.setWindowModality(Qt::WindowModal);
    window.exec();
    firstDay_ = window.firstDay();
    showFirstDay();
}

}  // namespace almanary

#include "app/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QFont>
#include <QIcon>
#include <QMenu>
#include <QSessionManager>
#include <QSystemTrayIcon>
#include <array>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "app/AboutDialog.h"
#include "app/MainTimers.h"
#include "app/MessageTable.h"
#include "app/OptionsDialog.h"
#include "app/RecoveryFile.h"
#include "app/Resources.h"
#include "app/SettingsStore.h"
#include "document/CalendarTransfer.h"
#include "document/DocumentSession.h"
#include "events/CategoriesDialog.h"
#include "events/EventDialog.h"
#include "events/ViewEventsDialog.h"
#include "model/DateTimeText.h"
#include "model/FilePaths.h"
#include "platform/Clock.h"
#include "platform/DesktopNotifications.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "platform/TextConversion.h"
#include "print/PrintWeekDialog.h"
#include "print/PrintWeekJob.h"
#include "reminders/ReminderAlert.h"
#include "share/InternetDialog.h"
#include "share/ShareServer.h"
#include "share/WindowShareHost.h"
#include "skineditor/SkinsDialog.h"
#include "ui_MainWindow.h"

namespace almanary {

namespace {

constexpr const char* kTitle = "Almanary";
constexpr const char* kIconPath = ":/icons/almanary.svg";
constexpr const char* kLoadOnStart = "LoadOnStart";
constexpr const char* kFileName = "FileName";

struct CommandSpec {
    MainCommand command;
    const char* text;
    const char* button;  // objectName of its button; null when it has none
    // False until the dialog behind the command exists: the command is
    // shown disabled rather than doing nothing.
    bool available;
};

// In tray menu order, which is also the order of MainCommand.
constexpr std::array<CommandSpec, 15> kCommands{{
    {MainCommand::OpenAlmanary, "&Open Almanary", nullptr, true},
    {MainCommand::EnterEvent, "&Enter Event(s)", "enterEventButton", true},
    {MainCommand::ViewEvents, "&View Event(s)", "viewEventsButton", true},
    {MainCommand::Categories, "&Categories", "categoriesButton", true},
    {MainCommand::PrintWeek, "&Print Week", "printWeekButton", true},
    {MainCommand::Internet, "&Internet", "internetButton", true},
    {MainCommand::Options, "&Options", "optionsButton", true},
    {MainCommand::Skins, "S&kins", "skinsButton", true},
    {MainCommand::Save, "&Save", "saveButton", true},
    {MainCommand::SaveAs, "Save &As...", nullptr, true},
    {MainCommand::Load, "&Load", "loadButton", true},
    {MainCommand::ImportCalendar, "I&mport iCalendar...", nullptr, true},
    {MainCommand::ExportCalendar, "Expor&t iCalendar...", nullptr, true},
    {MainCommand::About, "&About Almanary...", nullptr, true},
    {MainCommand::Exit, "E&xit", "exitButton", true},
}};

int indexOf(MainCommand command) {
    return static_cast<int>(command);
}

// Brings a dialog that is already open to the front; false when none is.
bool bringForward(QDialog* dialog) {
    if (dialog == nullptr)
        return false;
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return true;
}

}  // namespace

MainWindow::MainWindow(AppServices services, QWidget* parent)
    : SkinnedDialog(parent, Colouring::StaticsAndEdits),
      services_(std::move(services)),
      ui_(std::make_unique<Ui::MainWindow>()),
      session_(std::make_unique<DocumentSession>()),
      reminders_(std::make_unique<ReminderAlert>(
          *session_, services_, new DesktopNotifications(QDBusConnection::sessionBus(), this))),
      files_(std::make_unique<DocumentFiles>(*this, *session_, services_, *reminders_)),
      timers_(new MainTimers(this)),
      trayAvailable_(&QSystemTrayIcon::isSystemTrayAvailable) {
    initResources();
    ui_->setupUi(this);
    setWindowIcon(QIcon(QString::fromLatin1(kIconPath)));
    setBackground(&session_->background());
    ui_->fileLabel->setPathEllipsis(true);
    buildCommands();
    buildTray();
    connectSession();
    connect(timers_, &MainTimers::reminderCheckDue, this, &MainWindow::onReminderTimer);
    connect(timers_, &MainTimers::autosaveDue, this, &MainWindow::onAutosaveTimer);
    connect(timers_, &MainTimers::reviveDue, this, &MainWindow::onReviveTimer);
    timers_->start();
    refreshFileLabel();
    reskin();
}

MainWindow::~MainWindow() {
    finish();
}

void MainWindow::connectSession() {
    connect(session_.get(), &DocumentSession::pathChanged, this, &MainWindow::refreshFileLabel);
    connect(session_.get(), &DocumentSession::modifiedChanged, this,
            [this] { setWindowModified(session_->hasUnsavedChanges()); });
    connect(session_.get(), &DocumentSession::skinChanged, this, &SkinnedDialog::reskin);
    // A save or load under way keeps the reminder check and autosave
    // waiting, and starts them afresh when it ends.
    connect(session_.get(), &DocumentSession::busyChanged, this, [this](bool busy) {
        if (busy)
            stopTimers();
        else
            restartTimers();
    });
}

void MainWindow::buildCommands() {
    for (const CommandSpec& entry : kCommands) {
        auto* action = new QAction(QString::fromLatin1(entry.text), this);
        action->setEnabled(entry.available);
        connect(action, &QAction::triggered, this, [this, c = entry.command] { runCommand(c); });
        actions_.append(action);
        if (entry.button == nullptr)
            continue;
        auto* button = findChild<QPushButton*>(QString::fromLatin1(entry.button));
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setEnabled(entry.available);
        connect(button, &QPushButton::clicked, this, [this, c = entry.command] { runCommand(c); });
    }
    // Save As, the iCalendar commands and About live in the window's
    // context menu (Save As and About on keys too), as the window
    // manager's menu cannot take items.
    // Written out: some desktops' key themes give Save As no keys at all.
    const std::pair<MainCommand, QKeySequence> keyed[] = {
        {MainCommand::Save, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {MainCommand::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {MainCommand::About, QKeySequence(Qt::Key_F1)},
    };
    for (const auto& [command, keys] : keyed) {
        QAction* action = commandAction(command);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setShortcutVisibleInContextMenu(true);
        addAction(action);
    }
    insertAction(commandAction(MainCommand::About), commandAction(MainCommand::ImportCalendar));
    insertAction(commandAction(MainCommand::About), commandAction(MainCommand::ExportCalendar));
    setContextMenuPolicy(Qt::ActionsContextMenu);
    setEnterKeyTable({}, [this] { runCommand(commandForEnterKey()); });
}

void MainWindow::buildTray() {
    trayMenu_ = new QMenu(this);
    for (const CommandSpec& entry : kCommands) {
        if (entry.command == MainCommand::About || entry.command == MainCommand::Exit)
            trayMenu_->addSeparator();
        trayMenu_->addAction(commandAction(entry.command));
    }
    QAction* open = commandAction(MainCommand::OpenAlmanary);
    QFont bold = open->font();
    bold.setBold(true);
    open->setFont(bold);
    trayMenu_->setDefaultAction(open);

    tray_ = new QSystemTrayIcon(windowIcon(), this);
    tray_->setToolTip(QString::fromLatin1(kTitle));
    tray_->setContextMenu(trayMenu_);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        // Some trays report a plain click where others report a double one.
        if (r == QSystemTrayIcon::DoubleClick || r == QSystemTrayIcon::Trigger)
            runCommand(MainCommand::OpenAlmanary);
    });
    tray_->show();
}

void MainWindow::initialise() {
    readStartSettings();
    refreshFileLabel();
}

void MainWindow::readStartSettings() {
    SettingsStore store;
    if (!store.open(services_.settingsPath))
        return;
    if (store.queryNumber(kLoadOnStart) != 1)
        return;
    session_->setLoadOnStart(true);
    const std::string fileName = store.queryText(kFileName).value_or(std::string());
    store.close();
    loadDocument(fileName);
    restartTimers();
}

void MainWindow::writeExitSettings() {
    SettingsStore store;
    if (!store.open(services_.settingsPath))
        return;  // the settings cannot be kept; nothing to tell at exit
    if (session_->settings().loadOnStart) {
        store.setNumber(kLoadOnStart, 1);
        store.setText(kFileName, session_->path());
    } else {
        store.setNumber(kLoadOnStart, 0);
    }
}

void MainWindow::showAndActivate() {
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void MainWindow::offerRecovery() {
    const RecoveryFile recovery(services_.recoveryFolder);
    const std::optional<RecoveryFile::Kept> kept = recovery.find();
    if (!kept)
        return;
    const std::string name =
        kept->originalPath.empty() ? std::string("an almanary never saved") : kept->originalPath;
    if (services_.prompter.show(this, MessageId::RestoreRecovery, {name}) != MessageAnswer::Yes) {
        recovery.discard();
        return;
    }
    // A copy that cannot be read says why and stays for another try.
    if (files_->restore(kept->copyPath, kept->originalPath))
        recovery.discard();
}

void MainWindow::keepUnsavedChanges() {
    if (!session_->hasUnsavedChanges())
        return;
    const RecoveryFile recovery(services_.recoveryFolder);
    if (const auto reason = recovery.write(session_->document(), session_->path()))
        std::fprintf(stderr, "Almanary: unsaved changes could not be kept: %s\n", reason->c_str());
}

void MainWindow::endWithoutQuestions() {
    if (finished_)
        return;
    keepUnsavedChanges();
    stopTimers();
    ended_ = true;
    accept();
}

void MainWindow::commitSessionData(QSessionManager& manager) {
    if (session_->hasUnsavedChanges()) {
        if (!manager.allowsInteraction()) {
            keepUnsavedChanges();
        } else {
            const MessageAnswer answer = services_.prompter.show(this, MessageId::UnsavedChanges);
            const bool goOn =
                answer == MessageAnswer::No || (answer == MessageAnswer::Yes && saveDocument());
            manager.release();
            if (!goOn) {
                manager.cancel();
                return;
            }
        }
    }
    sessionEnding_ = true;
}

void MainWindow::openFile(const QString& path) {
    showAndActivate();
    loadDocument(toBytes(path));
}

bool MainWindow::saveDocument(SaveMode mode) {
    return files_->save(mode);
}

bool MainWindow::loadDocument(const std::optional<std::string>& path, LoadOrigin origin) {
    return files_->load(path, origin);
}

void MainWindow::applyAutosaveTimer() {
    timers_->applyAutosave(session_->settings());
}

void MainWindow::restartTimers() {
    timers_->restart(session_->settings());
}

void MainWindow::stopTimers() {
    timers_->stop();
}

const QTimer& MainWindow::reminderTimer() const {
    return timers_->reminder();
}

const QTimer& MainWindow::autosaveTimer() const {
    return timers_->autosave();
}

const QTimer& MainWindow::reviveTimer() const {
    return timers_->reviver();
}

// The file box shows the path (shortened in the middle, whole in its
// tooltip); the title says which file is open and whether it has changed.
void MainWindow::refreshFileLabel() {
    const QString path = toQString(session_->path());
    ui_->fileLabel->setText(path);
    ui_->fileLabel->setToolTip(path);
    ui_->noticeLabel->hide();
    const QString name =
        path.isEmpty() ? QStringLiteral("Untitled") : toQString(fileNameOf(session_->path()));
    setWindowTitle(name + QStringLiteral("[*] \u2014 ") + QString::fromLatin1(kTitle));
    setWindowModified(session_->hasUnsavedChanges());
}

void MainWindow::onReminderTimer() {
    if (session_->busy())
        return;
    reminders_->raiseReminders(session_->events().dueReminders(services_.clock.now()));
}

void MainWindow::onAutosaveTimer() {
    // The share server is sending the file; autosave comes back after.
    if (autosaveHolds_ > 0)
        return;
    if (saveDocument(SaveMode::Autosave) || !session_->fileChangedElsewhere())
        return;
    // Left alone, and said so where the file is named, until a save or a
    // load settles it.
    ui_->noticeLabel->setText(
        QStringLiteral("Autosave is waiting: another program has changed this file. "
                       "Save to choose whether to replace it or to save under another name."));
    ui_->noticeLabel->show();
}

void MainWindow::onReviveTimer() {
    // A save or load under way restarts the timers itself when it ends.
    if (session_->busy())
        return;
    timers_->revive(session_->settings());
}

void MainWindow::setTrayAvailableCheck(std::function<bool()> check) {
    trayAvailable_ = std::move(check);
}

QAction* MainWindow::commandAction(MainCommand command) const {
    return actions_.value(indexOf(command));
}

bool MainWindow::isCommandAvailable(MainCommand command) const {
    const QAction* action = commandAction(command);
    return action != nullptr && action->isEnabled();
}

MainCommand MainWindow::commandForEnterKey() const {
    const QWidget* focused = focusWidget();
    for (const CommandSpec& entry : kCommands) {
        if (entry.button != nullptr && focused != nullptr &&
            focused->objectName() == QLatin1String(entry.button)) {
            return entry.command;
        }
    }
    return MainCommand::EnterEvent;
}

void MainWindow::runCommand(MainCommand command) {
    if (!isCommandAvailable(command) || finished_)
        return;
    switch (command) {
        case MainCommand::OpenAlmanary:
            return showAndActivate();
        case MainCommand::Save:
            saveDocument(SaveMode::Save);
            return;
        case MainCommand::SaveAs:
            saveDocument(SaveMode::SaveAs);
            return;
        case MainCommand::Load:
            return onLoad();
        case MainCommand::About:
            return onAbout();
        case MainCommand::Exit:
            return onExit();
        case MainCommand::EnterEvent:
            return onEnterEvent();
        case MainCommand::ViewEvents:
            return onViewEvents();
        case MainCommand::Categories:
            return onCategories();
        case MainCommand::Options:
            return onOptions();
        case MainCommand::Internet:
            return onInternet();
        case MainCommand::ImportCalendar:
            return CalendarTransfer(this, *session_, services_).importFile();
        case MainCommand::ExportCalendar:
            return CalendarTransfer(this, *session_, services_).exportFile();
        case MainCommand::PrintWeek:
            return onPrintWeek();
        case MainCommand::Skins:
            return onSkins();
    }
}

int MainWindow::runDialog(QDialog& dialog, QPointer<QDialog>& slot) {
    slot = &dialog;
    dialog.setWindowModality(Qt::WindowModal);
    const int result = dialog.exec();
    // The keyboard comes back here, so the window's keys work at once.
    if (isVisible())
        activateWindow();
    return result;
}

void MainWindow::onEnterEvent() {
    if (bringForward(openDialogs_.enterEvent))
        return;
    EventDialog dialog(this, *session_, services_, &ViewEventsDialog::reviewConflicts);
    runDialog(dialog, openDialogs_.enterEvent);
}

void MainWindow::onViewEvents() {
    if (bringForward(openDialogs_.viewEvents))
        return;
    ViewEventsDialog dialog(this, *session_, services_);
    runDialog(dialog, openDialogs_.viewEvents);
}

void MainWindow::onCategories() {
    if (bringForward(openDialogs_.categories))
        return;
    CategoriesDialog dialog(this, *session_, services_);
    runDialog(dialog, openDialogs_.categories);
}

void MainWindow::onOptions() {
    if (bringForward(openDialogs_.options))
        return;
    const std::uint64_t generation = session_->generation();
    OptionsDialog dialog(this, *session_, services_);
    runDialog(dialog, openDialogs_.options);
    afterOptions(dialog.changed(), generation);
}

void MainWindow::afterOptions(bool changed, std::uint64_t generation) {
    // Closed by an exit: the timers stay stopped.
    if (finished_)
        return;
    // Closed by a load: the changes were made to a document that has gone.
    if (changed && session_->generation() == generation)
        session_->markChanged(DocumentChange::Options);
    const bool twelveHour = session_->settings().twelveHourClock;
    if (twelveHour != DateTimeText::getTwelveHourClock()) {
        DateTimeText::setTwelveHourClock(twelveHour);
        session_->notifyClockChanged();
    }
    applyAutosaveTimer();
}

void MainWindow::onPrintWeek() {
    // The dialog stays noted until its week has printed: while the print
    // dialog is up the command brings nothing back and starts nothing.
    if (openDialogs_.printWeek != nullptr) {
        if (openDialogs_.printWeek->isVisible())
            bringForward(openDialogs_.printWeek);
        return;
    }
    const bool twelveHour = session_->settings().twelveHourClock;
    PrintWeekDialog dialog(this, *session_, services_);
    dialog.setTwelveHour(twelveHour);
    // A load or an exit closes the dialog unaccepted: nothing is printed.
    if (runDialog(dialog, openDialogs_.printWeek) != QDialog::Accepted)
        return;
    PrintWeekJob::run(this, *session_, services_, dialog.firstDay(), twelveHour);
}

void MainWindow::onInternet() {
    if (bringForward(openDialogs_.internet))
        return;
    InternetDialog dialog(this, *session_, services_);
    dialog.setFields(internetServer_, internetShare_);
    runDialog(dialog, openDialogs_.internet);
    internetServer_ = dialog.server();
    internetShare_ = dialog.shareName();
    if (dialog.fetchedPath() && !finished_)
        loadDocument(*dialog.fetchedPath());
}

// The editor hands what it applied to the session, which every window
// repaints from.
void MainWindow::onSkins() {
    if (bringForward(openDialogs_.skins))
        return;
    SkinsDialog dialog(this, *session_, services_);
    runDialog(dialog, openDialogs_.skins);
}

void MainWindow::onLoad() {
    if (services_.files.isOpen()) {
        services_.files.raise();
        return;
    }
    internetServer_.clear();
    internetShare_.clear();
    loadDocument(std::nullopt);
}

void MainWindow::onAbout() {
    if (bringForward(openDialogs_.about))
        return;
    AboutDialog dialog(this);
    session_->attach(&dialog, WindowRole::Dialog);
    runDialog(dialog, openDialogs_.about);
}

void MainWindow::onExit() {
    // A chooser or the password prompt of a save or load is on screen; the
    // window cannot end under it.
    if (session_->busy()) {
        if (services_.files.isOpen())
            services_.files.raise();
        return;
    }
    if (session_->hasUnsavedChanges()) {
        switch (services_.prompter.show(this, MessageId::UnsavedChanges)) {
            case MessageAnswer::Yes:
                if (!saveDocument())
                    return;
                break;
            case MessageAnswer::No:
                break;
            default:
                return;
        }
    }
    // An event window the user keeps keeps the program running.
    if (!session_->closeWindows())
        return;
    stopTimers();
    ended_ = true;
    accept();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (sessionEnding_)
        finish();
    if (finished_) {
        event->accept();
        return;
    }
    // The program goes on in the tray; without a tray the window is only
    // minimised, so it can always be found again.
    event->ignore();
    if (trayAvailable_ && trayAvailable_()) {
        hide();
    } else {
        setWindowState(windowState() | Qt::WindowMinimized);
    }
}

void MainWindow::reject() {
    runCommand(MainCommand::Exit);
}

void MainWindow::done(int result) {
    finish();
    SkinnedDialog::done(result);
}

std::optional<std::string> MainWindow::startShareServer(std::uint16_t port) {
    if (shareServer_)
        return std::string("the share server is already running");
    shareHost_ = std::make_unique<WindowShareHost>(
        *session_,
        WindowShareHost::Steps{
            [this] {
                ++autosaveHolds_;
                timers_->stopAutosave();
            },
            [this] {
                --autosaveHolds_;
                applyAutosaveTimer();
            },
            [this] { stopTimers(); },
            [this] { restartTimers(); },
            [this](const std::string& path) { files_->load(path, LoadOrigin::ShareServer); },
        });
    shareServer_ = std::make_unique<ShareServer>(*shareHost_, services_.settingsPath);
    if (auto problem = shareServer_->start(port)) {
        shareServer_.reset();
        shareHost_.reset();
        return problem;
    }
    return std::nullopt;
}

std::uint16_t MainWindow::shareServerPort() const {
    return shareServer_ ? shareServer_->port() : 0;
}

void MainWindow::finish() {
    if (finished_)
        return;
    finished_ = true;
    writeExitSettings();
    timers_->stopAll();
    tray_->hide();
    // Exchanges under way are cut short; a save cut short writes nothing.
    shareServer_.reset();
}

}  // namespace almanary

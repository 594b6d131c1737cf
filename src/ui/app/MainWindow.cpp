#include "app/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QSystemTrayIcon>
#include <array>
#include <cstdint>
#include <utility>

#include "app/AboutDialog.h"
#include "app/DocumentFiles.h"
#include "app/MainTimers.h"
#include "app/MessageTable.h"
#include "app/SettingsStore.h"
#include "events/CategoriesDialog.h"
#include "events/EventDialog.h"
#include "events/ViewEventsDialog.h"
#include "platform/Clock.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "platform/TextConversion.h"
#include "reminders/ReminderAlert.h"
#include "ui_MainWindow.h"

// The icons live in a static library; naming their initialiser keeps the
// linker from dropping them. Outside any namespace, as the macro requires.
static void initAlmanaryResources() {
    Q_INIT_RESOURCE(almanary);
}

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
constexpr std::array<CommandSpec, 13> kCommands{{
    {MainCommand::OpenAlmanary, "&Open Almanary", nullptr, true},
    {MainCommand::EnterEvent, "&Enter Event(s)", "enterEventButton", true},
    {MainCommand::ViewEvents, "&View Event(s)", "viewEventsButton", true},
    {MainCommand::Categories, "&Categories", "categoriesButton", true},
    {MainCommand::PrintWeek, "&Print Week", "printWeekButton", false},
    {MainCommand::Internet, "&Internet", "internetButton", false},
    {MainCommand::Options, "&Options", "optionsButton", false},
    {MainCommand::Skins, "S&kins", "skinsButton", false},
    {MainCommand::Save, "&Save", "saveButton", true},
    {MainCommand::SaveAs, "Save &As...", nullptr, true},
    {MainCommand::Load, "&Load", "loadButton", true},
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

// Runs a dialog of the main window over its background, noted in `slot`
// while it runs. It blocks this window only, so the reminder pop-ups,
// which have no owner, stay usable beside it.
int runModal(SkinnedDialog& dialog, QPointer<QDialog>& slot, const BackgroundImage& background) {
    dialog.setBackground(&background);
    slot = &dialog;
    dialog.setWindowModality(Qt::WindowModal);
    return dialog.exec();
}

}  // namespace

MainWindow::MainWindow(AppServices services, QWidget* parent)
    : SkinnedDialog(parent, Colouring::StaticsAndEdits),
      services_(std::move(services)),
      ui_(std::make_unique<Ui::MainWindow>()),
      files_(std::make_unique<DocumentFiles>(*this)),
      timers_(new MainTimers(this)),
      trayAvailable_(&QSystemTrayIcon::isSystemTrayAvailable) {
    [[maybe_unused]] static const bool resourcesReady = (::initAlmanaryResources(), true);
    ui_->setupUi(this);
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowIcon(QIcon(QString::fromLatin1(kIconPath)));
    setBackground(&background);
    ui_->fileLabel->setPathEllipsis(true);
    buildCommands();
    buildTray();
    connect(timers_, &MainTimers::reminderCheckDue, this, &MainWindow::onReminderTimer);
    connect(timers_, &MainTimers::autosaveDue, this, &MainWindow::onAutosaveTimer);
    connect(timers_, &MainTimers::reviveDue, this, &MainWindow::onReviveTimer);
    timers_->start();
    refreshFileLabel();
    reskin();
}

MainWindow::~MainWindow() {
    finish();
    // The pop-ups work on the document, which goes with this window.
    for (const QPointer<QDialog>& window : std::as_const(openDialogs.eventWindows))
        delete window.data();
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
    // Save As and About live in the window's context menu and on keys, as
    // the window manager's menu cannot take items.
    const std::pair<MainCommand, QKeySequence> keyed[] = {
        {MainCommand::Save, QKeySequence::Save},
        {MainCommand::SaveAs, QKeySequence::SaveAs},
        {MainCommand::About, QKeySequence::HelpContents},
    };
    for (const auto& [command, keys] : keyed) {
        QAction* action = commandAction(command);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    setContextMenuPolicy(Qt::ActionsContextMenu);
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
    std::int32_t loadOnStart = 0;
    if (!store.queryNumber(kLoadOnStart, loadOnStart) || loadOnStart != 1)
        return;
    document.settings.loadOnStart = true;
    std::string fileName;
    store.queryText(kFileName, fileName);
    store.close();
    loadDocument(fileName, false);
    restartTimers();
}

void MainWindow::writeExitSettings() {
    SettingsStore store;
    if (!store.open(services_.settingsPath))
        return;  // the settings cannot be kept; nothing to tell at exit
    if (document.settings.loadOnStart) {
        store.setNumber(kLoadOnStart, 1);
        store.setText(kFileName, currentPath);
    } else {
        store.setNumber(kLoadOnStart, 0);
    }
}

void MainWindow::stopShareServer() {
    // The share server, once it runs in this window, is told to stop here.
}

void MainWindow::showAndActivate() {
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

bool MainWindow::saveDocument(bool chooseName) {
    return files_->save(chooseName);
}

bool MainWindow::loadDocument(const std::optional<std::string>& path, bool fromServer) {
    return files_->load(path, fromServer);
}

bool MainWindow::hasUnsavedChanges(bool ignoreOptions) const {
    return files_->hasUnsavedChanges(ignoreOptions);
}

void MainWindow::applyAutosaveTimer() {
    timers_->applyAutosave(document.settings);
}

void MainWindow::restartTimers() {
    timers_->restart(document.settings);
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

void MainWindow::closeChildWindows() {
    for (QDialog* dialog :
         {openDialogs.internet.data(), openDialogs.skins.data(), openDialogs.options.data(),
          openDialogs.categories.data(), openDialogs.printWeek.data(), openDialogs.about.data()}) {
        if (dialog != nullptr)
            dialog->reject();
    }
    // The event windows include the pop-ups and those opened from View
    // Events; each is cancelled once.
    ViewEventsDialog::closeAll();
    EventDialog::cancelAll();
    openDialogs.eventWindows.removeAll(QPointer<QDialog>());
}

void MainWindow::raiseReminders(const EventList& due) {
    ReminderAlert(*this).raiseReminders(due);
}

void MainWindow::repaintSkinnedWindows() {
    ViewEventsDialog::repaintAll();
    EventDialog::repaintAll();
    for (QDialog* dialog :
         {openDialogs.categories.data(), openDialogs.about.data(), openDialogs.options.data()}) {
        if (auto* skinned = qobject_cast<SkinnedDialog*>(dialog))
            skinned->reskin();
    }
    reskin();
}

void MainWindow::refreshFileLabel() {
    ui_->fileLabel->setText(toQString(currentPath));
}

void MainWindow::onReminderTimer() {
    if (files_->busy())
        return;
    raiseReminders(document.events.dueReminders(services_.clock.now()));
}

void MainWindow::onAutosaveTimer() {
    silentSave = true;
    saveDocument();
    silentSave = false;
}

void MainWindow::onReviveTimer() {
    // A save or load under way restarts the timers itself when it ends.
    if (files_->busy())
        return;
    timers_->revive(document.settings);
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
            return onSave();
        case MainCommand::SaveAs:
            saveDocument(true);
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
        case MainCommand::PrintWeek:
        case MainCommand::Internet:
        case MainCommand::Options:
        case MainCommand::Skins:
            return;  // disabled until their dialogs exist
    }
}

void MainWindow::onEnterEvent() {
    if (bringForward(openDialogs.enterEvent))
        return;
    EventDialog dialog(this, document.events, document.categories, services_.prompter,
                       services_.clock);
    runModal(dialog, openDialogs.enterEvent, background);
}

void MainWindow::onViewEvents() {
    if (bringForward(openDialogs.viewEvents))
        return;
    ViewEventsDialog dialog(this, document.events, document.categories, services_.prompter,
                            services_.clock);
    runModal(dialog, openDialogs.viewEvents, background);
}

void MainWindow::onCategories() {
    if (bringForward(openDialogs.categories))
        return;
    CategoriesDialog dialog(this, document.categories, document.events, services_.prompter);
    // Marked as the dialog ends, not after: a load that closes it goes on to
    // replace the document, and the new one must not count as changed.
    // Nothing done leaves an earlier unsaved change as it was.
    connect(&dialog, &QDialog::finished, this, [this, &dialog] {
        if (dialog.changed())
            documentChanged = true;
    });
    runModal(dialog, openDialogs.categories, background);
}

void MainWindow::onSave() {
    saveDocument();
}

void MainWindow::onLoad() {
    // Closing the print dialogs for a load would end a print job midway.
    if (printJobRunning) {
        bringForward(openDialogs.printWeek);
        return;
    }
    if (services_.files.isOpen()) {
        services_.files.raise();
        return;
    }
    internetServer.clear();
    internetShare.clear();
    loadDocument(std::nullopt, false);
}

void MainWindow::onAbout() {
    if (bringForward(openDialogs.about))
        return;
    AboutDialog dialog(this, &background);
    runModal(dialog, openDialogs.about, background);
}

void MainWindow::onExit() {
    if (printJobRunning) {
        bringForward(openDialogs.printWeek);
        return;
    }
    // A chooser or the password prompt of a save or load is on screen; the
    // window cannot end under it.
    if (files_->busy()) {
        if (services_.files.isOpen())
            services_.files.raise();
        return;
    }
    if (hasUnsavedChanges()) {
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
    closeChildWindows();
    stopTimers();
    ended_ = true;
    accept();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            runCommand(commandForEnterKey());
            return;
        case Qt::Key_Escape:
            runCommand(MainCommand::Exit);
            return;
        default:
            SkinnedDialog::keyPressEvent(event);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
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

void MainWindow::finish() {
    if (finished_)
        return;
    finished_ = true;
    writeExitSettings();
    timers_->stopAll();
    tray_->hide();
    stopShareServer();
}

}  // namespace almanary

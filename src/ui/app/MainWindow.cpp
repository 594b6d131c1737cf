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
static void InitAlmanaryResources() {
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

int IndexOf(MainCommand command) {
    return static_cast<int>(command);
}

// Brings a dialog that is already open to the front; false when none is.
bool BringForward(QDialog* dialog) {
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
int RunModal(SkinnedDialog& dialog, QPointer<QDialog>& slot, const BackgroundImage& background) {
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
    [[maybe_unused]] static const bool resourcesReady = (::InitAlmanaryResources(), true);
    ui_->setupUi(this);
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowIcon(QIcon(QString::fromLatin1(kIconPath)));
    setBackground(&background);
    ui_->fileLabel->setPathEllipsis(true);
    BuildCommands();
    BuildTray();
    connect(timers_, &MainTimers::reminderCheckDue, this, &MainWindow::OnReminderTimer);
    connect(timers_, &MainTimers::autosaveDue, this, &MainWindow::OnAutosaveTimer);
    connect(timers_, &MainTimers::reviveDue, this, &MainWindow::OnReviveTimer);
    timers_->Start();
    RefreshFileLabel();
    reskin();
}

MainWindow::~MainWindow() {
    Finish();
    // The pop-ups work on the document, which goes with this window.
    for (const QPointer<QDialog>& window : std::as_const(openDialogs.eventWindows))
        delete window.data();
}

void MainWindow::BuildCommands() {
    for (const CommandSpec& entry : kCommands) {
        auto* action = new QAction(QString::fromLatin1(entry.text), this);
        action->setEnabled(entry.available);
        connect(action, &QAction::triggered, this, [this, c = entry.command] { RunCommand(c); });
        actions_.append(action);
        if (entry.button == nullptr)
            continue;
        auto* button = findChild<QPushButton*>(QString::fromLatin1(entry.button));
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setEnabled(entry.available);
        connect(button, &QPushButton::clicked, this, [this, c = entry.command] { RunCommand(c); });
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

void MainWindow::BuildTray() {
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
            RunCommand(MainCommand::OpenAlmanary);
    });
    tray_->show();
}

void MainWindow::Initialise() {
    ReadStartSettings();
    RefreshFileLabel();
}

void MainWindow::ReadStartSettings() {
    SettingsStore store;
    if (!store.Open(services_.settingsPath))
        return;
    std::int32_t loadOnStart = 0;
    if (!store.QueryNumber(kLoadOnStart, loadOnStart) || loadOnStart != 1)
        return;
    document.settings.loadOnStart = true;
    std::string fileName;
    store.QueryText(kFileName, fileName);
    store.Close();
    LoadDocument(fileName, false);
    RestartTimers();
}

void MainWindow::WriteExitSettings() {
    SettingsStore store;
    if (!store.Open(services_.settingsPath))
        return;  // the settings cannot be kept; nothing to tell at exit
    if (document.settings.loadOnStart) {
        store.SetNumber(kLoadOnStart, 1);
        store.SetText(kFileName, currentPath);
    } else {
        store.SetNumber(kLoadOnStart, 0);
    }
}

void MainWindow::StopShareServer() {
    // The share server, once it runs in this window, is told to stop here.
}

void MainWindow::ShowAndActivate() {
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

bool MainWindow::SaveDocument(bool chooseName) {
    return files_->Save(chooseName);
}

bool MainWindow::LoadDocument(const std::optional<std::string>& path, bool fromServer) {
    return files_->Load(path, fromServer);
}

bool MainWindow::HasUnsavedChanges(bool ignoreOptions) const {
    return files_->HasUnsavedChanges(ignoreOptions);
}

void MainWindow::ApplyAutosaveTimer() {
    timers_->ApplyAutosave(document.settings);
}

void MainWindow::RestartTimers() {
    timers_->Restart(document.settings);
}

void MainWindow::StopTimers() {
    timers_->Stop();
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

void MainWindow::CloseChildWindows() {
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

void MainWindow::RaiseReminders(const EventList& due) {
    ReminderAlert(*this).RaiseReminders(due);
}

void MainWindow::RepaintSkinnedWindows() {
    ViewEventsDialog::repaintAll();
    EventDialog::repaintAll();
    for (QDialog* dialog :
         {openDialogs.categories.data(), openDialogs.about.data(), openDialogs.options.data()}) {
        if (auto* skinned = qobject_cast<SkinnedDialog*>(dialog))
            skinned->reskin();
    }
    reskin();
}

void MainWindow::RefreshFileLabel() {
    ui_->fileLabel->setText(ToQString(currentPath));
}

void MainWindow::OnReminderTimer() {
    if (files_->busy())
        return;
    RaiseReminders(document.events.DueReminders(services_.clock.Now()).events);
}

void MainWindow::OnAutosaveTimer() {
    silentSave = true;
    SaveDocument();
    silentSave = false;
}

void MainWindow::OnReviveTimer() {
    // A save or load under way restarts the timers itself when it ends.
    if (files_->busy())
        return;
    timers_->Revive(document.settings);
}

void MainWindow::SetTrayAvailableCheck(std::function<bool()> check) {
    trayAvailable_ = std::move(check);
}

QAction* MainWindow::commandAction(MainCommand command) const {
    return actions_.value(IndexOf(command));
}

bool MainWindow::IsCommandAvailable(MainCommand command) const {
    const QAction* action = commandAction(command);
    return action != nullptr && action->isEnabled();
}

MainCommand MainWindow::CommandForEnterKey() const {
    const QWidget* focused = focusWidget();
    for (const CommandSpec& entry : kCommands) {
        if (entry.button != nullptr && focused != nullptr &&
            focused->objectName() == QLatin1String(entry.button)) {
            return entry.command;
        }
    }
    return MainCommand::EnterEvent;
}

void MainWindow::RunCommand(MainCommand command) {
    if (!IsCommandAvailable(command) || finished_)
        return;
    switch (command) {
        case MainCommand::OpenAlmanary:
            return ShowAndActivate();
        case MainCommand::Save:
            return OnSave();
        case MainCommand::SaveAs:
            SaveDocument(true);
            return;
        case MainCommand::Load:
            return OnLoad();
        case MainCommand::About:
            return OnAbout();
        case MainCommand::Exit:
            return OnExit();
        case MainCommand::EnterEvent:
            return OnEnterEvent();
        case MainCommand::ViewEvents:
            return OnViewEvents();
        case MainCommand::Categories:
            return OnCategories();
        case MainCommand::PrintWeek:
        case MainCommand::Internet:
        case MainCommand::Options:
        case MainCommand::Skins:
            return;  // disabled until their dialogs exist
    }
}

void MainWindow::OnEnterEvent() {
    if (BringForward(openDialogs.enterEvent))
        return;
    EventDialog dialog(this, document.events, document.categories, services_.prompter,
                       services_.clock);
    RunModal(dialog, openDialogs.enterEvent, background);
}

void MainWindow::OnViewEvents() {
    if (BringForward(openDialogs.viewEvents))
        return;
    ViewEventsDialog dialog(this, document.events, document.categories, services_.prompter,
                            services_.clock);
    RunModal(dialog, openDialogs.viewEvents, background);
}

void MainWindow::OnCategories() {
    if (BringForward(openDialogs.categories))
        return;
    CategoriesDialog dialog(this, document.categories, document.events, services_.prompter);
    // Marked as the dialog ends, not after: a load that closes it goes on to
    // replace the document, and the new one must not count as changed.
    // Nothing done leaves an earlier unsaved change as it was.
    connect(&dialog, &QDialog::finished, this, [this, &dialog] {
        if (dialog.changed())
            documentChanged = true;
    });
    RunModal(dialog, openDialogs.categories, background);
}

void MainWindow::OnSave() {
    SaveDocument();
}

void MainWindow::OnLoad() {
    // Closing the print dialogs for a load would end a print job midway.
    if (printJobRunning) {
        BringForward(openDialogs.printWeek);
        return;
    }
    if (services_.files.IsOpen()) {
        services_.files.Raise();
        return;
    }
    internetServer.clear();
    internetShare.clear();
    LoadDocument(std::nullopt, false);
}

void MainWindow::OnAbout() {
    if (BringForward(openDialogs.about))
        return;
    AboutDialog dialog(this, &background);
    RunModal(dialog, openDialogs.about, background);
}

void MainWindow::OnExit() {
    if (printJobRunning) {
        BringForward(openDialogs.printWeek);
        return;
    }
    // A chooser or the password prompt of a save or load is on screen; the
    // window cannot end under it.
    if (files_->busy()) {
        if (services_.files.IsOpen())
            services_.files.Raise();
        return;
    }
    if (HasUnsavedChanges()) {
        switch (services_.prompter.Show(this, MessageId::kUnsavedChanges)) {
            case MessageAnswer::Yes:
                if (!SaveDocument())
                    return;
                break;
            case MessageAnswer::No:
                break;
            default:
                return;
        }
    }
    CloseChildWindows();
    StopTimers();
    ended_ = true;
    accept();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            RunCommand(CommandForEnterKey());
            return;
        case Qt::Key_Escape:
            RunCommand(MainCommand::Exit);
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
    RunCommand(MainCommand::Exit);
}

void MainWindow::done(int result) {
    Finish();
    SkinnedDialog::done(result);
}

void MainWindow::Finish() {
    if (finished_)
        return;
    finished_ = true;
    WriteExitSettings();
    timers_->StopAll();
    tray_->hide();
    StopShareServer();
}

}  // namespace almanary

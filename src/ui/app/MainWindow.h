#pragma once
// The program's window: ten command buttons, the open file's name, the tray
// icon with its menu, and the timers of reminders and autosave. It owns the
// open document from start to exit; every dialog works on it from here.

#include <QList>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/AppServices.h"
#include "model/AlmanaryFile.h"
#include "skins/BackgroundImage.h"
#include "skins/SkinnedDialog.h"

class QAction;
class QMenu;
class QPushButton;
class QSystemTrayIcon;

namespace Ui {
class MainWindow;
}

namespace almanary {

class DocumentFiles;
class MainTimers;
class SkinLabel;

// What the buttons, the tray menu and the keys ask the window to do.
enum class MainCommand {
    OpenAlmanary,
    EnterEvent,
    ViewEvents,
    Categories,
    PrintWeek,
    Internet,
    Options,
    Skins,
    Save,
    SaveAs,
    Load,
    About,
    Exit,
};

// The dialogs this window has open; each command brings its running dialog
// forward instead of opening a second, and a load closes them all.
struct OpenDialogs {
    QPointer<QDialog> enterEvent;
    QPointer<QDialog> viewEvents;
    QPointer<QDialog> categories;
    QPointer<QDialog> skins;
    QPointer<QDialog> options;
    QPointer<QDialog> internet;
    QPointer<QDialog> about;
    QPointer<QDialog> printWeek;
    QList<QPointer<QDialog>> eventWindows;  // edit and reminder windows
};

class MainWindow : public SkinnedDialog {
    Q_OBJECT
public:
    explicit MainWindow(AppServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Reads the start-up settings and loads the last almanary when asked
    // to; call once, before the window first shows.
    void initialise();
    // Shows the window, un-minimised, in front and active.
    void showAndActivate();

    // Save and load with every question they ask; see DocumentFiles.
    // chooseName: Save As, which always asks for the file.
    bool saveDocument(bool chooseName = false);
    // With no path the user picks the file; an empty path does nothing.
    bool loadDocument(const std::optional<std::string>& path, bool fromServer = false);
    bool hasUnsavedChanges(bool ignoreOptions = false) const;

    // Autosave from the settings, started afresh.
    void applyAutosaveTimer();
    // applyAutosaveTimer, then the reminder check afresh.
    void restartTimers();
    // Stops the reminder check and autosave while a file is read or written.
    void stopTimers();
    // Closes every dialog of the open document.
    void closeChildWindows();
    // Opens a reminder window for each event of the list.
    void raiseReminders(const EventList& due);
    // Repaints every open window in the skin now current, this one last;
    // for after a change of skin.
    void repaintSkinnedWindows();
    // Shows currentPath in the file label.
    void refreshFileLabel();

    // Runs a command unless it is not available yet.
    void runCommand(MainCommand command);
    bool isCommandAvailable(MainCommand command) const;
    // The command the Enter key runs: the focused button's, else Enter Event.
    MainCommand commandForEnterKey() const;

    // Timer handlers; public so the timers' effects can be driven directly.
    void onReminderTimer();
    void onAutosaveTimer();
    void onReviveTimer();
    const QTimer& reminderTimer() const;
    const QTimer& autosaveTimer() const;
    const QTimer& reviveTimer() const;
    const MainTimers& timers() const { return *timers_; }

    // Whether a tray holds the icon, asked when the close box is used;
    // tests replace the question.
    void setTrayAvailableCheck(std::function<bool()> check);
    QSystemTrayIcon* trayIcon() const { return tray_; }
    QMenu* trayMenu() const { return trayMenu_; }
    QAction* commandAction(MainCommand command) const;
    // True once the window has ended through Exit or Escape.
    bool hasEnded() const { return ended_; }

    const AppServices& services() const { return services_; }

    // The open document and its state.
    AlmanaryDocument document;
    std::string currentPath;
    std::string backgroundPath;
    bool documentChanged = false;
    bool skinChanged = false;
    bool optionsChanged = false;
    bool silentSave = false;
    // The skin's picture: the slot every dialog paints from.
    BackgroundImage background;
    // The Internet dialog's last server and share name.
    std::string internetServer;
    std::string internetShare;
    // True while a Print Week job runs; Load and Exit wait for its end.
    bool printJobRunning = false;
    OpenDialogs openDialogs;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void done(int result) override;

private:
    struct Command;

    void buildCommands();
    void buildTray();
    void readStartSettings();
    void writeExitSettings();
    void stopShareServer();
    // The steps that run however the window goes away; once.
    void finish();

    void onOpenAlmanary();
    void onEnterEvent();
    void onViewEvents();
    void onCategories();
    void onPrintWeek();
    void onInternet();
    void onOptions();
    void onSkins();
    void onSave();
    void onLoad();
    void onAbout();
    void onExit();

    AppServices services_;
    std::unique_ptr<Ui::MainWindow> ui_;
    std::unique_ptr<DocumentFiles> files_;
    MainTimers* timers_ = nullptr;
    QSystemTrayIcon* tray_ = nullptr;
    QMenu* trayMenu_ = nullptr;
    QList<QAction*> actions_;  // by MainCommand
    std::function<bool()> trayAvailable_;
    bool ended_ = false;
    bool finished_ = false;
};

}  // namespace almanary

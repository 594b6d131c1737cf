#pragma once
// The program's window: ten command buttons, the open file's name, the tray
// icon with its menu, and the timers of reminders and autosave. It holds
// the document session from start to exit and opens every dialog on it.

#include <QList>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/DocumentFiles.h"
#include "platform/AppServices.h"
#include "skins/SkinnedDialog.h"

class QAction;
class QMenu;
class QSessionManager;
class QSystemTrayIcon;
class QTimer;

namespace Ui {
class MainWindow;
}

namespace almanary {

class DocumentSession;
class MainTimers;
class ReminderAlert;
class ShareServer;
class WindowShareHost;

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
    ImportCalendar,
    ExportCalendar,
    About,
    Exit,
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
    // When a previous run had to end with unsaved changes, offers them back.
    void offerRecovery();
    // Ends the program at once, through its own way out, without a
    // question: unsaved changes are kept for the next start.
    void endWithoutQuestions();
    // The desktop session ends: asks about unsaved changes where it may,
    // else keeps them for the next start.
    void commitSessionData(QSessionManager& manager);
    // Serves this machine's shared almanaries on `port` (0: any free port)
    // until the window goes; the reason when it cannot listen.
    std::optional<std::string> startShareServer(std::uint16_t port);
    // The port served on; 0 when no server runs.
    std::uint16_t shareServerPort() const;

    // Brings the window forward and loads the file through the usual load,
    // questions included (a file given on the command line or by the file
    // manager, or handed over by a second start).
    void openFile(const QString& path);

    DocumentSession& session() { return *session_; }
    const AppServices& services() const { return services_; }

    // Save and load with every question they ask; see DocumentFiles.
    bool saveDocument(SaveMode mode = SaveMode::Save);
    bool loadDocument(const std::optional<std::string>& path, LoadOrigin origin = LoadOrigin::User);

    // Autosave from the settings, started afresh.
    void applyAutosaveTimer();
    // applyAutosaveTimer, then the reminder check afresh.
    void restartTimers();
    // Stops the reminder check and autosave while a file is read or written.
    void stopTimers();

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
    QAction* commandAction(MainCommand command) const;
    // True once the window has ended through Exit or Escape.
    bool hasEnded() const { return ended_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void done(int result) override;

private:
    // The dialogs this window has open; each command brings its running
    // dialog forward instead of opening a second.
    struct OpenDialogs {
        QPointer<QDialog> enterEvent;
        QPointer<QDialog> viewEvents;
        QPointer<QDialog> categories;
        QPointer<QDialog> options;
        QPointer<QDialog> about;
        QPointer<QDialog> internet;
        QPointer<QDialog> skins;
        QPointer<QDialog> printWeek;
    };

    void buildCommands();
    void buildTray();
    void connectSession();
    void readStartSettings();
    void writeExitSettings();
    // Keeps unsaved changes in the recovery file, telling standard error
    // when that fails (nobody may be there to ask).
    void keepUnsavedChanges();
    // Shows the open file's path in the file label.
    void refreshFileLabel();
    // Runs a dialog of this window, noted in `slot` while it runs. It blocks
    // this window only, so the reminder pop-ups stay usable beside it.
    int runDialog(QDialog& dialog, QPointer<QDialog>& slot);
    // The steps that run however the window goes away; once.
    void finish();

    void onEnterEvent();
    void onViewEvents();
    void onCategories();
    void onOptions();
    // After the Options dialog, however it ended: the change noted, the
    // clock and autosave as the settings now ask.
    void afterOptions(bool changed, std::uint64_t generation);
    // The week picked in the Print Weekly Calendar dialog, printed.
    void onPrintWeek();
    void onInternet();
    void onSkins();
    void onLoad();
    void onAbout();
    void onExit();

    AppServices services_;
    std::unique_ptr<Ui::MainWindow> ui_;
    std::unique_ptr<DocumentSession> session_;
    std::unique_ptr<ReminderAlert> reminders_;
    std::unique_ptr<DocumentFiles> files_;
    MainTimers* timers_ = nullptr;
    QSystemTrayIcon* tray_ = nullptr;
    QMenu* trayMenu_ = nullptr;
    QList<QAction*> actions_;  // by MainCommand
    std::function<bool()> trayAvailable_;
    OpenDialogs openDialogs_;
    // The server and share name of the last Internet exchange of this run.
    std::string internetServer_;
    std::string internetShare_;
    std::unique_ptr<WindowShareHost> shareHost_;
    std::unique_ptr<ShareServer> shareServer_;
    int autosaveHolds_ = 0;  // share-server loads under way
    bool ended_ = false;
    bool finished_ = false;
    bool sessionEnding_ = false;  // the desktop session ends: the close box ends too
};

}  // namespace almanary

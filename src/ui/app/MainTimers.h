#pragma once
// The main window's three timers: the reminder check every five seconds,
// the autosave countdown, and the five-minute timer that revives the other
// two after anything that stopped them.

#include <QObject>
#include <QTimer>
#include <optional>

namespace almanary {

struct DocumentSettings;

class MainTimers : public QObject {
    Q_OBJECT
public:
    static constexpr int kReminderMs = 5000;
    static constexpr int kReviveMs = 300000;

    explicit MainTimers(QObject* parent = nullptr);

    // The autosave period the settings ask for; nothing while autosave is
    // off or its interval is not a positive number of minutes.
    static std::optional<int> autosaveInterval(const DocumentSettings& settings);

    // Starts the reminder check and the reviver.
    void start();
    // Sets the autosave countdown from the settings, starting it afresh.
    void applyAutosave(const DocumentSettings& settings);
    // applyAutosave, then the reminder check afresh.
    void restart(const DocumentSettings& settings);
    // Stops the reminder check and autosave; the reviver keeps running.
    void stop();
    // Stops autosave only.
    void stopAutosave();
    // Starts whichever of the reminder check and autosave is stopped but
    // should run; a running autosave countdown keeps its progress unless
    // its period has changed.
    void revive(const DocumentSettings& settings);
    // Stops all three, for good.
    void stopAll();

    const QTimer& reminder() const { return reminder_; }
    const QTimer& autosave() const { return autosave_; }
    const QTimer& reviver() const { return reviver_; }
    // How often the autosave countdown has begun afresh.
    int autosaveStarts() const { return autosaveStarts_; }

signals:
    void reminderCheckDue();
    void autosaveDue();
    void reviveDue();

private:
    void startAutosave(int interval);

    QTimer reminder_;
    QTimer autosave_;
    QTimer reviver_;
    int autosaveStarts_ = 0;
};

}  // namespace almanary

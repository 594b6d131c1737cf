#pragma once
// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the window's thread,
// so the program ends through its own exit path (keeping unsaved changes)
// instead of dying where it stands.

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace almanary {

class SignalWatcher : public QObject {
    Q_OBJECT
public:
    // Watches the three signals for as long as it lives; one at a time.
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

    // False when the signals could not be watched (they then end the
    // program as the system does).
    bool watching() const { return notifier_ != nullptr; }

signals:
    void endRequested(int signalNumber);

private:
    void readSignal();

    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace almanary

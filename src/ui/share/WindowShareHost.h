#pragma once
// The share server's way into the window: each step it asks for runs on
// the window's thread, through the steps the main window gives, while the
// server's handler thread waits for it. Once the server stops, every call
// returns at once, so stopping never waits for a step that cannot run.

#include <QObject>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

#include "share/ShareHost.h"

namespace almanary {

class DocumentSession;

class WindowShareHost : public QObject, public ShareHost {
    Q_OBJECT
public:
    // What the main window does for the server.
    struct Steps {
        std::function<void()> stopAutosave;
        std::function<void()> applyAutosave;  // autosave again, from the settings
        std::function<void()> stopTimers;     // the reminder check and autosave
        std::function<void()> restartTimers;
        std::function<void(const std::string&)> reload;  // its windows closed first
    };

    WindowShareHost(DocumentSession& session, Steps steps);

    std::string openAlmanaryPath() override;
    void pauseAutosave() override;
    void resumeAutosave() override;
    void pauseTimers() override;
    void reloadReplaced(const std::string& path) override;
    void resumeTimers() override;
    void serverStopping() override;

private:
    // Runs `step` on the window's thread and waits for it, unless the
    // server is stopping.
    void onWindowThread(const std::function<void()>& step);

    DocumentSession& session_;
    const Steps steps_;
    int autosavePauses_ = 0;  // the window's thread only

    std::mutex mutex_;
    std::condition_variable stepDone_;
    bool stopping_ = false;
};

}  // namespace almanary

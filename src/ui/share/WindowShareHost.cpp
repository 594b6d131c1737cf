#include "share/WindowShareHost.h"

#include <QThread>
#include <memory>

#include "document/DocumentSession.h"

namespace almanary {

WindowShareHost::WindowShareHost(DocumentSession& session, Steps steps)
    : session_(session), steps_(std::move(steps)) {}

void WindowShareHost::onWindowThread(const std::function<void()>& step) {
    if (QThread::currentThread() == thread()) {
        step();
        return;
    }
    // The flag outlives this call when the server stops first; the queued
    // step is dropped with this object if the window goes before it runs.
    auto done = std::make_shared<bool>(false);
    QMetaObject::invokeMethod(
        this,
        [this, step, done] {
            {
                const std::lock_guard lock(mutex_);
                if (stopping_)
                    return;
            }
            step();
            const std::lock_guard lock(mutex_);
            *done = true;
            stepDone_.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    stepDone_.wait(lock, [&] { return *done || stopping_; });
}

std::string WindowShareHost::openAlmanaryPath() {
    std::string path;
    onWindowThread([&] { path = session_.path(); });
    return path;
}

void WindowShareHost::pauseAutosave() {
    onWindowThread([this] {
        if (autosavePauses_++ == 0)
            steps_.stopAutosave();
    });
}

void WindowShareHost::resumeAutosave() {
    onWindowThread([this] {
        if (autosavePauses_ > 0 && --autosavePauses_ == 0)
            steps_.applyAutosave();
    });
}

void WindowShareHost::pauseTimers() {
    onWindowThread([this] { steps_.stopTimers(); });
}

void WindowShareHost::reloadReplaced(const std::string& path) {
    onWindowThread([this, path] {
        steps_.reload(path);
        steps_.restartTimers();
    });
}

void WindowShareHost::resumeTimers() {
    onWindowThread([this] { steps_.restartTimers(); });
}

void WindowShareHost::serverStopping() {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    stepDone_.notify_all();
}

}  // namespace almanary

#pragma once
// SIGINT and SIGTERM as a request to stop, for a command that runs until
// told to stop (serve). While the object lives, both signals are blocked in
// the thread that made it and in every thread started after it, and a
// thread of its own waits for them and calls `onSignal` once.

#include <atomic>
#include <csignal>
#include <functional>
#include <thread>

namespace almanary::cli {

class StopSignals {
public:
    explicit StopSignals(std::function<void()> onSignal);
    ~StopSignals();  // ends the waiting thread and unblocks the signals
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    void wait();

    std::function<void()> onSignal_;
    sigset_t saved_{};
    std::atomic<bool> finishing_{false};
    std::thread waiter_;
};

}  // namespace almanary::cli

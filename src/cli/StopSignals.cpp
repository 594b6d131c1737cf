#include "StopSignals.h"

#include <pthread.h>

namespace almanary::cli {
namespace {

// The signals that stop, and the one that ends the waiting thread.
constexpr int kWakeSignal = SIGUSR2;

sigset_t waitedSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, kWakeSignal);
    return set;
}

}  // namespace

StopSignals::StopSignals(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
    const sigset_t set = waitedSignals();
    ::pthread_sigmask(SIG_BLOCK, &set, &saved_);
    waiter_ = std::thread(&StopSignals::wait, this);
}

StopSignals::~StopSignals() {
    finishing_ = true;
    ::pthread_kill(waiter_.native_handle(), kWakeSignal);
    waiter_.join();
    ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

void StopSignals::wait() {
    const sigset_t set = waitedSignals();
    for (;;) {
        int signal = 0;
        if (::sigwait(&set, &signal) != 0 || finishing_)
            return;
        if (signal != kWakeSignal) {
            onSignal_();
            return;
        }
    }
}

}  // namespace almanary::cli

#pragma once
// A one-way signal that ends waits on other threads: once raised it stays
// raised, and every socket wait that watches it returns at once. The share
// server raises one to stop, the client's Cancel raises another.

#include <atomic>

namespace almanary {

class CancelSignal {
public:
    CancelSignal();
    ~CancelSignal();
    CancelSignal(const CancelSignal&) = delete;
    CancelSignal& operator=(const CancelSignal&) = delete;

    // Raises the signal; safe from any thread, any number of times.
    void raise();
    bool isRaised() const { return raised_.load(); }
    // A descriptor that polls readable once the signal is raised (-1 when
    // the system refused one; waits then only see isRaised() between steps).
    int fd() const { return fd_; }

private:
    int fd_ = -1;
    std::atomic<bool> raised_{false};
};

}  // namespace almanary

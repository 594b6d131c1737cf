#pragma once
// The lock of one almanary for a read-change-write. Every copy of the
// program and the command line take it before they read a file they mean to
// change and hold it until the new contents are saved, so one writer never
// saves over another's change. It is an advisory lock (flock) on a file named
// for the almanary's canonical path in the user's private lock folder
// (AppPaths::lockFolder), so nothing is left beside the almanary.

#include <chrono>
#include <optional>
#include <string>

namespace almanary {

class FileLock {
public:
    // Waits up to `patience` for the lock of the almanary at `path`; nothing,
    // with the reason in `reason` (when given), when it cannot be had. A
    // second lock of the same almanary waits for the first even within one
    // process. Once held, the temporary files a killed writer of the almanary
    // left are removed (AtomicFile::removeLeftovers).
    static std::optional<FileLock> acquire(
        const std::string& path, std::string* reason = nullptr,
        std::chrono::milliseconds patience = std::chrono::seconds(10));

    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    ~FileLock();  // releases
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    explicit FileLock(int fd) : fd_(fd) {}
    void release();

    int fd_ = -1;  // the open lock file, locked
};

}  // namespace almanary

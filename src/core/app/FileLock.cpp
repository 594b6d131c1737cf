#include "app/FileLock.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/AppPaths.h"
#include "model/AtomicFile.h"
#include "model/FileDescriptor.h"
#include "model/FilePaths.h"
#include "model/SystemError.h"

namespace almanary {
namespace {

using std::chrono::milliseconds;

// Makes `folder` (its parent must exist) unless it is there, and checks it is
// a folder of this user that nobody else may change, so no other user can
// take or plant a lock file. Nothing when it is fit, else why not.
std::optional<std::string> privateFolder(const std::string& folder) {
    if (::mkdir(folder.c_str(), S_IRWXU) != 0 && errno != EEXIST)
        return "the lock folder " + folder + " cannot be made (" + systemErrorText(errno) + ")";
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0)
        return "the lock folder " + folder + " cannot be reached (" + systemErrorText(errno) + ")";
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid() || (info.st_mode & 022) != 0)
        return "the lock folder " + folder + " is not a private folder of this user";
    return std::nullopt;
}

// The lock file's name: a 64-bit FNV-1a hash of the canonical path, the
// same in every build, so the program and the command line agree.
std::string lockFileName(const std::string& path) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : canonicalPath(path)) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    char name[32];
    std::snprintf(name, sizeof name, "%016" PRIx64 ".lock", hash);
    return name;
}

std::string spanText(milliseconds span) {
    if (span.count() % 1000 == 0)
        return std::to_string(span.count() / 1000) + " seconds";
    return std::to_string(span.count()) + " ms";
}

}  // namespace

std::optional<FileLock> FileLock::acquire(const std::string& path, std::string* reason,
                                          milliseconds patience) {
    const auto fail = [reason](std::string why) {
        if (reason != nullptr)
            *reason = std::move(why);
        return std::nullopt;
    };
    const std::string folder = AppPaths::lockFolder();
    const std::string parent = std::filesystem::path(folder).parent_path().string();
    for (const std::string& level : {parent, folder}) {
        if (auto problem = privateFolder(level))
            return fail(std::move(*problem));
    }
    const std::string lockPath = folder + "/" + lockFileName(path);
    FileDescriptor fd(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (fd.get() < 0)
        return fail("the lock file " + lockPath + " cannot be opened (" + systemErrorText(errno) +
                    ")");

    // Polls, since a blocking flock cannot be bounded without a signal.
    const auto deadline = std::chrono::steady_clock::now() + patience;
    milliseconds pause{1};
    while (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return fail("the lock file " + lockPath + " cannot be locked (" +
                        systemErrorText(errno) + ")");
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return fail("another program is changing it and has not finished within " +
                        spanText(patience));
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, milliseconds{50});
    }
    AtomicFile::removeLeftovers(path);
    return FileLock(fd.release());
}

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FileLock::~FileLock() {
    release();
}

void FileLock::release() {
    if (fd_ >= 0) {
        ::close(fd_);  // closing the only descriptor of the open file unlocks it
        fd_ = -1;
    }
}

}  // namespace almanary

#include "model/FileReading.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/FileDescriptor.h"
#include "model/SystemError.h"

namespace almanary {
namespace {

std::string tooLarge(std::size_t limit) {
    return "it is larger than " + std::to_string(limit) + " bytes";
}

// Why an opened descriptor is not an ordinary file to read, or nothing;
// `info` is what fstat said.
std::optional<std::string> notOrdinary(int fd, struct stat& info) {
    if (::fstat(fd, &info) != 0)
        return systemErrorText(errno);
    if (S_ISDIR(info.st_mode))
        return "it is a folder";
    if (!S_ISREG(info.st_mode))
        return "it is not an ordinary file";  // a pipe or device might never end
    return std::nullopt;
}

FileContents::Problem openProblem(int error) {
    const bool missing = error == ENOENT || error == ENOTDIR;
    return missing ? FileContents::Problem::Missing : FileContents::Problem::CannotOpen;
}

// Reads to the end of the file into `bytes`, sized first for the `expected`
// bytes it had when measured; a file that has grown since is read on, up to
// one byte past `limit`, which proves it too large.
std::optional<std::string> readToEnd(int fd, std::size_t expected, std::size_t limit,
                                     std::string& bytes) {
    // One byte more than expected, so the read that meets the end needs no
    // room of its own.
    bytes.resize(expected + 1);
    std::size_t done = 0;
    for (;;) {
        if (done == bytes.size()) {
            if (done > limit)
                return tooLarge(limit);
            bytes.resize(std::min(done + done / 2 + 65536, limit + 1));
        }
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return systemErrorText(errno);
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return std::nullopt;
}

// The whole of an ordinary file within the limit, or why not; `stamp` is
// what the descriptor showed before the read.
std::optional<std::string> readOrdinaryFile(int fd, std::size_t limit, std::string& bytes,
                                            std::optional<FileStamp>& stamp) {
    struct stat info {};
    if (auto problem = notOrdinary(fd, info))
        return problem;
    stamp = FileStamp::fromStat(info);
    const auto size = static_cast<std::size_t>(info.st_size);
    if (size > limit)
        return tooLarge(limit);
    return readToEnd(fd, size, limit, bytes);
}

// Non-blocking, so opening a named pipe cannot wait for a writer; reads of
// an ordinary file are not affected.
int openToRead(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}

FileContents failed(FileContents::Problem problem, std::string reason) {
    return {{}, problem, std::move(reason), std::nullopt};
}

}  // namespace

FileContents FileReading::readWholeFile(const std::string& path, std::size_t byteLimit) {
    const FileDescriptor fd(openToRead(path));
    if (fd.get() < 0) {
        const int error = errno;
        return failed(openProblem(error), systemErrorText(error));
    }
    return readOpenFile(fd.get(), byteLimit);
}

bool FileReading::isOrdinaryFile(const std::string& path) {
    const FileDescriptor fd(openToRead(path));
    struct stat info {};
    return fd.get() >= 0 && ::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode);
}

FileContents FileReading::readOpenFile(int fd, std::size_t byteLimit) {
    FileContents contents;
    std::optional<std::string> problem;
    try {
        // Keeps one past the limit within what a string can hold.
        const std::size_t limit = std::min(byteLimit, contents.bytes.max_size() - 1);
        problem = readOrdinaryFile(fd, limit, contents.bytes, contents.stamp);
    } catch (const std::bad_alloc&) {
        problem = "there is not enough memory to read it";
    }
    if (problem)
        return failed(FileContents::Problem::CannotRead, std::move(*problem));
    return contents;
}

FileWindow::FileWindow(const std::string& path, Decode decode, std::size_t size)
    : fd_(openToRead(path)), decode_(decode) {
    if (fd_.get() < 0) {
        const int error = errno;
        problem_ = openProblem(error);
        reason_ = systemErrorText(error);
        return;
    }
    struct stat info {};
    if (auto problem = notOrdinary(fd_.get(), info)) {
        problem_ = FileContents::Problem::CannotRead;
        reason_ = std::move(*problem);
        return;
    }
    stamp_ = FileStamp::fromStat(info);
    fileSize_ = static_cast<std::uint64_t>(info.st_size);
    try {
        buffer_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(size, fileSize_ + 1)));
    } catch (const std::bad_alloc&) {
        problem_ = FileContents::Problem::CannotRead;
        reason_ = "there is not enough memory to read it";
        return;
    }
    fill();
}

std::uint64_t FileWindow::bytesAfter() const {
    if (ended_)
        return 0;
    // Counted from the size the file had when it was opened.
    const std::uint64_t seen = consumed_ + filled_;
    return fileSize_ > seen ? fileSize_ - seen : 0;
}

bool FileWindow::advance(std::size_t keepFrom) {
    keepFrom = std::min(keepFrom, filled_);
    std::memmove(buffer_.data(), buffer_.data() + keepFrom, filled_ - keepFrom);
    filled_ -= keepFrom;
    consumed_ += keepFrom;
    try {
        // What is kept fills most of the window: one item is larger than it.
        if (filled_ * 2 > buffer_.size())
            buffer_.resize(std::max(buffer_.size() * 2, filled_ + 65536));
    } catch (const std::bad_alloc&) {
        problem_ = FileContents::Problem::CannotRead;
        reason_ = "there is not enough memory to read it";
        return false;
    }
    return fill();
}

bool FileWindow::fill() {
    while (!ended_ && filled_ < buffer_.size()) {
        const ssize_t got = ::read(fd_.get(), buffer_.data() + filled_, buffer_.size() - filled_);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            problem_ = FileContents::Problem::CannotRead;
            reason_ = systemErrorText(errno);
            return false;
        }
        if (got == 0)
            ended_ = true;
        decode_(buffer_.data() + filled_, static_cast<std::size_t>(got));
        filled_ += static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace almanary

#include "model/FileReading.h"

#include <algorithm>
#include <cerrno>
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
    if (::fstat(fd, &info) != 0)
        return systemErrorText(errno);
    stamp = FileStamp::fromStat(info);
    if (S_ISDIR(info.st_mode))
        return "it is a folder";
    if (!S_ISREG(info.st_mode))
        return "it is not an ordinary file";  // a pipe or device might never end
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
        const bool missing = error == ENOENT || error == ENOTDIR;
        return failed(missing ? FileContents::Problem::Missing : FileContents::Problem::CannotOpen,
                      systemErrorText(error));
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

}  // namespace almanary

#include "model/AtomicFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/FileDescriptor.h"
#include "model/FileReading.h"
#include "model/SystemError.h"

namespace almanary {
namespace {

// How many bytes a write may put out before it fails; -1: no limit.
std::atomic<long long> failAfterBytes{-1};

// A link is followed so the file it names is replaced, not the link.
std::string resolveLink(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    std::error_code error;
    const auto target = std::filesystem::canonical(path, error);
    return error ? path : target.string();
}

std::string folderOf(const std::string& path) {
    const auto folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

// The temporary beside `target` is "." + its name + "." + six letters or
// digits (what mkostemp puts for "XXXXXX").
std::string temporaryPrefix(const std::string& target) {
    return "." + std::filesystem::path(target).filename().string() + ".";
}

bool isTemporaryOf(const std::string& name, const std::string& prefix) {
    constexpr std::size_t kRandomPart = 6;
    const auto letterOrDigit = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    };
    return name.size() == prefix.size() + kRandomPart && name.starts_with(prefix) &&
           std::ranges::all_of(name.substr(prefix.size()), letterOrDigit);
}

std::optional<std::string> checkFolder(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return "the folder " + folder + " does not exist";
        return "the folder " + folder + " cannot be reached (" + systemErrorText(errno) + ")";
    }
    if (!S_ISDIR(info.st_mode))
        return folder + " is not a folder";
    return std::nullopt;
}

// Writes every byte, or fails with errno set. `limit` is the test hook's
// budget: past it the write fails as a full disk would.
bool writeAll(int fd, std::string_view bytes, long long limit) {
    if (limit >= 0 && static_cast<unsigned long long>(limit) < bytes.size()) {
        if (!writeAll(fd, bytes.substr(0, static_cast<std::size_t>(limit)), -1))
            return false;
        errno = ENOSPC;
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Gives the new file the mode and owner of the file it replaces, or the
// owner-only mode of a private document when there is none.
void takeOverPermissions(int fd, const struct stat* replaced) {
    if (replaced == nullptr) {
        ::fchmod(fd, S_IRUSR | S_IWUSR);
        return;
    }
    if (::fchown(fd, replaced->st_uid, replaced->st_gid) != 0) {
        // Only a privileged process may give a file away; it stays ours.
    }
    ::fchmod(fd, replaced->st_mode & 07777);
}

// Makes the rename itself durable. Some file systems cannot sync a folder;
// the new contents are in place either way, so this is best effort.
void syncFolder(const std::string& folder) {
    const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::fsync(fd.get());
}

// The stamp of an open file into `written`, when asked for; false with
// errno set when the file cannot be looked at.
bool stampOf(int fd, FileStamp* written) {
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return false;
    if (written != nullptr)
        *written = FileStamp::fromStat(info);
    return true;
}

std::optional<std::string> writeAndRename(FileDescriptor& fd, const std::string& temporary,
                                          const std::string& target, const std::string& folder,
                                          const struct stat* replaced, std::string_view bytes,
                                          FileStamp* written) {
    takeOverPermissions(fd.get(), replaced);
    FileStamp stamp;
    std::optional<std::string> failure;
    if (!writeAll(fd.get(), bytes, failAfterBytes.load())) {
        failure = "the new contents cannot be written (" + systemErrorText(errno) + ")";
    } else if (::fsync(fd.get()) != 0) {
        failure = "the new contents cannot be flushed to disk (" + systemErrorText(errno) + ")";
    } else if (!stampOf(fd.get(), &stamp) || fd.close() != 0) {
        failure = "the new contents cannot be written (" + systemErrorText(errno) + ")";
    } else if (::rename(temporary.c_str(), target.c_str()) != 0) {
        failure = target + " cannot be replaced (" + systemErrorText(errno) + ")";
    }
    if (failure) {
        ::unlink(temporary.c_str());
        return failure;
    }
    syncFolder(folder);
    if (written != nullptr)
        *written = stamp;  // a rename keeps the inode and the modification time
    return std::nullopt;
}

// Puts `bytes` at the start of the open file, cuts it to their length and
// flushes it; false with errno set on the first failure. `limit` as for
// writeAll.
bool putContents(int fd, std::string_view bytes, long long limit) {
    return ::lseek(fd, 0, SEEK_SET) == 0 && writeAll(fd, bytes, limit) &&
           ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

// Rewrites an existing file where it stands, for a folder that refuses a
// new file. Not atomic: the old contents stay in memory until the new ones
// are on disk, and go back when writing the new ones fails.
std::optional<std::string> rewriteInPlace(const std::string& target, std::string_view bytes,
                                          FileStamp* written, const std::string& noNewFile) {
    const FileDescriptor fd(::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (fd.get() < 0) {
        return noNewFile + ", and " + target + " cannot be opened to rewrite it (" +
               systemErrorText(errno) + ")";
    }
    const FileContents old = FileReading::readOpenFile(fd.get(), FileReading::kNoLimit);
    if (!old.ok())
        return noNewFile + ", and " + target + " cannot be read to keep it (" + old.reason + ")";
    if (putContents(fd.get(), bytes, failAfterBytes.load()) && stampOf(fd.get(), written))
        return std::nullopt;
    const std::string failure =
        "the new contents cannot be written in place (" + systemErrorText(errno) + ")";
    if (putContents(fd.get(), old.bytes, -1))
        return failure + "; the old contents were put back";
    const std::string why = systemErrorText(errno);
    return failure + "; the old contents cannot be put back (" + why + ")";
}

}  // namespace

std::optional<std::string> AtomicFile::write(const std::string& path, std::string_view bytes,
                                             FileStamp* written) {
    if (path.empty())
        return "no file name was given";
    const std::string target = resolveLink(path);
    const std::string folder = folderOf(target);
    if (auto problem = checkFolder(folder))
        return problem;

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) {
        return target + " cannot be reached (" + systemErrorText(errno) + ")";
    }
    if (exists && S_ISDIR(existing.st_mode))
        return target + " is a folder";
    if (exists && !S_ISREG(existing.st_mode))
        return target + " is not an ordinary file";
    // Renaming would replace a read-only file as easily as any other; the
    // owner marked it so it would not change.
    if (exists && ((existing.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
        return target + " is read-only";
    }
    std::string temporary = folder + "/" + temporaryPrefix(target) + "XXXXXX";
    FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        const int error = errno;
        std::string noNewFile =
            "a new file cannot be made in " + folder + " (" + systemErrorText(error) + ")";
        // A read-only file system refuses the file's own writes as well.
        if (exists && (error == EACCES || error == EPERM))
            return rewriteInPlace(target, bytes, written, noNewFile);
        return noNewFile;
    }
    return writeAndRename(fd, temporary, target, folder, exists ? &existing : nullptr, bytes,
                          written);
}

void AtomicFile::removeLeftovers(const std::string& path) {
    namespace fs = std::filesystem;
    const std::string target = resolveLink(path);
    const std::string prefix = temporaryPrefix(target);
    std::error_code error;
    for (fs::directory_iterator entry(folderOf(target), error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code typeError;
        if (isTemporaryOf(entry->path().filename().string(), prefix) &&
            entry->symlink_status(typeError).type() == fs::file_type::regular)
            ::unlink(entry->path().c_str());
    }
}

void AtomicFile::failAfterBytesForTesting(std::optional<std::size_t> bytes) {
    failAfterBytes.store(bytes ? static_cast<long long>(*bytes) : -1);
}

}  // namespace almanary

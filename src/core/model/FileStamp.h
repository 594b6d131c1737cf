#pragma once
// What identifies one state of a file on disk: which file it is (device and
// inode) and its size and modification time. A program remembers the stamp
// of the file it read or wrote and compares it with the file's stamp now to
// learn whether someone else has changed or replaced the file since.

#include <cstdint>
#include <optional>
#include <string>

#include <sys/stat.h>

namespace almanary {

struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;  // nanoseconds since 1970-01-01 UTC

    // The stamp of what `info` describes (from stat or fstat).
    static FileStamp fromStat(const struct stat& info) {
        constexpr std::int64_t kNsPerSecond = 1'000'000'000;
        return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                static_cast<std::int64_t>(info.st_size),
                static_cast<std::int64_t>(info.st_mtim.tv_sec) * kNsPerSecond +
                    static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
    }

    // The stamp of the file at `path` now (a link is followed); nothing when
    // there is no file to stat.
    static std::optional<FileStamp> of(const std::string& path) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0)
            return std::nullopt;
        return fromStat(info);
    }

    bool operator==(const FileStamp&) const = default;
};

}  // namespace almanary

#pragma once
// Reads a whole file into memory, for the file formats that parse from
// bytes. Only an ordinary file is read: a folder, a named pipe or a device
// is refused at once, never waited on, and so is a file over the caller's
// size limit.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "model/FileDescriptor.h"
#include "model/FileStamp.h"

namespace almanary {

// The bytes of a file, or why there are none.
struct FileContents {
    enum class Problem {
        None,
        Missing,     // there is no such file (or no such folder on its way)
        CannotOpen,  // the system refused to open it: forbidden, too many files, ...
        CannotRead,  // opened, but no file to read whole, or a read failed
    };
    std::string bytes;  // empty unless read
    Problem problem = Problem::None;
    // Why not: the system's words ("No such file or directory") or the
    // reader's own ("it is a folder").
    std::string reason;
    // The file the bytes came from, as the open descriptor saw it before
    // reading; set whenever the bytes were read.
    std::optional<FileStamp> stamp;

    bool ok() const { return problem == Problem::None; }
};

class FileReading {
public:
    static constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

    // The whole file at `path`, refused when it holds more than `byteLimit`
    // bytes. Running out of memory is a reason too, not an exception.
    static FileContents readWholeFile(const std::string& path, std::size_t byteLimit);

    // Whether `path` opens for reading as an ordinary file, for a caller that
    // hands the path on (a sound to play). Checked on the opened descriptor,
    // so a pipe, device or folder is refused at once, never waited on.
    static bool isOrdinaryFile(const std::string& path);

    // The same for a file this process has just opened for reading (read
    // from where the descriptor stands); the descriptor stays open. Only
    // CannotRead is reported.
    static FileContents readOpenFile(int fd, std::size_t byteLimit);
};

// An ordinary file read a window at a time, for a format read item by item:
// a huge file is never held whole. An item that runs past the window is
// read again once the window has moved on to hold it; the window grows when
// one item is larger than it.
class FileWindow {
public:
    static constexpr std::size_t kDefaultSize = std::size_t{1} << 20;
    // Applied to each piece of the file as it is read (an unscrambling).
    using Decode = void (*)(char* bytes, std::size_t size);

    // Opens `path` and reads the first window. problem() tells whether that
    // failed, with the same kinds and refusals as FileReading::readWholeFile.
    FileWindow(const std::string& path, Decode decode, std::size_t size = kDefaultSize);

    FileContents::Problem problem() const { return problem_; }
    const std::string& reason() const { return reason_; }
    const std::optional<FileStamp>& stamp() const { return stamp_; }

    // The bytes in view, and how many of the file follow them (as the file's
    // size said when it was opened).
    std::string_view view() const { return std::string_view(buffer_).substr(0, filled_); }
    std::uint64_t bytesAfter() const;

    // Drops the bytes before `keepFrom` (an offset into the view) and reads
    // on; false, with problem() CannotRead and the reason, when a read fails.
    bool advance(std::size_t keepFrom);

private:
    bool fill();

    FileDescriptor fd_;
    Decode decode_;
    std::string buffer_;
    std::size_t filled_ = 0;
    std::uint64_t fileSize_ = 0;
    std::uint64_t consumed_ = 0;  // bytes of the file dropped from the view
    bool ended_ = false;
    FileContents::Problem problem_ = FileContents::Problem::None;
    std::string reason_;
    std::optional<FileStamp> stamp_;
};

}  // namespace almanary

#pragma once
// Reads a whole file into memory, for the file formats that parse from
// bytes. Only an ordinary file is read: a folder, a named pipe or a device
// is refused at once, never waited on, and so is a file over the caller's
// size limit.

#include <cstddef>
#include <limits>
#include <optional>
#include <string>

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

}  // namespace almanary

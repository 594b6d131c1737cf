#pragma once
// Replaces a file's contents all at once: the bytes go to a temporary file
// beside the target, are flushed to disk and renamed over it, so a reader
// (or a crash) sees either the old file or the new one, never a mixture.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "model/FileStamp.h"

namespace almanary {

class AtomicFile {
public:
    // Writes `bytes` to `path`. A replaced file keeps its permissions (and
    // its owner, where the process may set it); a new file is readable and
    // writable by its owner only. A symbolic link is followed, so the file
    // it names is replaced and the link stays. A read-only file is refused,
    // as writing it in place would be. On success `written` (when given)
    // holds the stamp of the file as written. On failure the target is
    // untouched, no temporary file is left, and the reason is returned,
    // e.g. "the folder /a/b does not exist".
    static std::optional<std::string> write(const std::string& path, std::string_view bytes,
                                            FileStamp* written = nullptr);

    // For tests only: from now on every write fails, as on a full disk,
    // after putting `bytes` bytes into its temporary file; nullopt ends it.
    static void failAfterBytesForTesting(std::optional<std::size_t> bytes);
};

}  // namespace almanary

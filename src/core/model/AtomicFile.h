#pragma once
// Replaces a file's contents all at once: the bytes go to a temporary file
// beside the target, are flushed to disk and renamed over it, so a reader
// (or a crash) sees either the old file or the new one, never a mixture.
// A file the user may write in a folder they may not is rewritten in place
// instead, with its old contents put back when that fails.

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
    // as writing it in place would be. When the folder refuses a new file
    // (no permission) and the file exists, it is rewritten in place: its
    // old contents are kept in memory, the new ones written, cut to length
    // and flushed, and on a failure the old ones are written back. On
    // success `written` (when given) holds the stamp of the file as written.
    // On failure the target holds its old contents, no temporary file is
    // left, and the reason is returned, e.g. "the folder /a/b does not
    // exist".
    static std::optional<std::string> write(const std::string& path, std::string_view bytes,
                                            FileStamp* written = nullptr);

    // Removes the temporary files that writes of `path` left beside it when
    // their process was killed mid-write (".name.XXXXXX", as write makes
    // them). Only for a caller that holds the file's lock (FileLock), which
    // every writer of an almanary holds while its temporary exists, so none
    // of them belongs to a live writer.
    static void removeLeftovers(const std::string& path);

    // For tests only: from now on every write fails, as on a full disk,
    // after putting `bytes` bytes into its temporary file (or into the file
    // itself when it is rewritten in place); nullopt ends it.
    static void failAfterBytesForTesting(std::optional<std::size_t> bytes);
};

}  // namespace almanary

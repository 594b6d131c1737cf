#pragma once
// Opening and saving the almanary a command works on: the lock a change
// holds, the load with its password check, and the atomic save, each
// reporting in the program's own words.

#include <optional>
#include <string>

#include "CliApp.h"
#include "app/FileLock.h"
#include "model/AlmanaryFile.h"

namespace almanary::cli {

class CliDocument {
public:
    // The lock of `path`, which a command that changes the file takes
    // before it reads the file and holds until it has saved it; prints why
    // and returns nothing when it cannot be had (exit status 2).
    static std::optional<FileLock> lock(const std::string& path, CliContext& context);

    // Loads `path`; a protected file needs its password from `--password`
    // (given as `password`), ALMANARY_PASSWORD or the terminal. On failure
    // the reason is printed and `status` says which exit status to use.
    // `keep` chooses the events the document holds (all when empty);
    // `eventRecords` (when given) learns how many the file holds.
    static std::optional<AlmanaryDocument> open(const std::string& path,
                                                const std::optional<std::string>& password,
                                                CliContext& context, int& status,
                                                const RecordFilter& keep = {},
                                                std::uint32_t* eventRecords = nullptr);

    // The document of a command that changes it, with the file's lock,
    // taken before the file is read and held as long as this lives.
    struct Locked {
        std::optional<FileLock> lock;
        AlmanaryDocument document;
    };
    enum class Lock { Take, Skip };  // Skip: a call that only reads
    // open() under the lock; when the lock cannot be had, says why and
    // sets `status` to 2.
    static std::optional<Locked> openLocked(const std::string& path,
                                            const std::optional<std::string>& password,
                                            CliContext& context, int& status,
                                            Lock take = Lock::Take);

    // Saves atomically; prints the reason and returns false on failure.
    static bool save(AlmanaryDocument& document, const std::string& path, CliContext& context);

    // True, with the reason printed, when `path` exists and --force was
    // not given: a file a call would write over is kept.
    static bool keepsExisting(const std::string& path, bool force, CliContext& context);
};

}  // namespace almanary::cli

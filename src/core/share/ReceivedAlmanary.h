#pragma once
// An almanary file that came over the network, accepted only when its bytes
// are a readable almanary, and written the way every writer of an almanary
// writes: holding the file's lock, atomically, keeping its permissions. So
// a dropped connection, a crash or a concurrent writer never leaves a torn
// file. The share server and the fetching client (GUI and CLI) both use it.

#include <chrono>
#include <optional>
#include <string>

#include "model/AlmanaryFile.h"

namespace almanary {

class ReceivedAlmanary {
public:
    // Which file a write may go to.
    enum class Target {
        ExistingFile,  // only a file that exists (a shared file is replaced, never made)
        NewFile,       // only where no file exists yet
        AnyFile,       // replace or create
    };

    // Why a write did not happen; the file is as it was.
    struct WriteFailure {
        enum class Kind { Busy, Exists, Missing, CannotWrite };
        Kind kind;
        std::string reason;
    };

    // The bytes, when they are a readable almanary; otherwise nothing, with
    // why in `problem` (when given). `source` names them in the problem
    // ("Work on server"). Passwords do not matter: only the file is checked.
    static std::optional<ReceivedAlmanary> accept(std::string bytes, const std::string& source,
                                                  AlmanaryProblem* problem = nullptr);

    // Writes the bytes to `path` under its lock, waiting up to `patience`
    // for another writer.
    std::optional<WriteFailure> write(
        const std::string& path, Target target,
        std::chrono::milliseconds patience = std::chrono::seconds(10)) const;

    const std::string& bytes() const { return bytes_; }

private:
    explicit ReceivedAlmanary(std::string bytes) : bytes_(std::move(bytes)) {}

    std::string bytes_;
};

}  // namespace almanary

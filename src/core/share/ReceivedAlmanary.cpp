#include "share/ReceivedAlmanary.h"

#include <filesystem>

#include "app/FileLock.h"
#include "model/AtomicFile.h"

namespace almanary {

std::optional<ReceivedAlmanary> ReceivedAlmanary::accept(std::string bytes,
                                                         const std::string& source,
                                                         AlmanaryProblem* problem) {
    // parse() unscrambles its copy in place; the bytes to write stay as sent.
    AlmanaryLoad load = AlmanaryFile::parse(bytes, source, 0);
    if (!load.ok()) {
        if (problem != nullptr)
            *problem = *load.problem;
        return std::nullopt;
    }
    return ReceivedAlmanary(std::move(bytes));
}

std::optional<ReceivedAlmanary::WriteFailure> ReceivedAlmanary::write(
    const std::string& path, Target target, std::chrono::milliseconds patience) const {
    using Kind = WriteFailure::Kind;
    std::string reason;
    const std::optional<FileLock> lock = FileLock::acquire(path, &reason, patience);
    if (!lock)
        return WriteFailure{Kind::Busy, reason};
    // Checked under the lock, so no other writer can make or remove it meanwhile.
    std::error_code error;
    const bool exists = std::filesystem::exists(std::filesystem::symlink_status(path, error));
    if (target == Target::ExistingFile && !exists)
        return WriteFailure{Kind::Missing, path + " does not exist"};
    if (target == Target::NewFile && exists)
        return WriteFailure{Kind::Exists, path + " already exists"};
    if (auto failure = AtomicFile::write(path, bytes_))
        return WriteFailure{Kind::CannotWrite, std::move(*failure)};
    return std::nullopt;
}

}  // namespace almanary

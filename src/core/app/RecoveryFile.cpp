#include "app/RecoveryFile.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "model/AtomicFile.h"
#include "model/FileReading.h"

namespace almanary {
namespace {

constexpr std::size_t kLongestPath = 64 * 1024;

}  // namespace

std::string RecoveryFile::copyPath() const {
    return folder_ + "/recovery.alm";
}

std::string RecoveryFile::originPath() const {
    return folder_ + "/recovery-of.txt";
}

std::optional<std::string> RecoveryFile::write(const AlmanaryDocument& document,
                                               const std::string& originalPath) const {
    if (folder_.empty())
        return "no folder is known for it";
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error)
        return "the folder " + folder_ + " cannot be made: " + error.message();
    ::chmod(folder_.c_str(), 0700);
    // The origin first: a copy is only ever found with the place it belongs.
    if (std::optional<std::string> reason = AtomicFile::write(originPath(), originalPath))
        return reason;
    AlmanaryDocument copy = document;  // saving marks a document saved; this one is not
    if (std::optional<AlmanaryProblem> problem = AlmanaryFile::save(copy, copyPath()))
        return problem->detail;
    return std::nullopt;
}

std::optional<RecoveryFile::Kept> RecoveryFile::find() const {
    if (folder_.empty())
        return std::nullopt;
    FileContents origin = FileReading::readWholeFile(originPath(), kLongestPath);
    std::error_code error;
    if (!origin.ok() || !std::filesystem::is_regular_file(copyPath(), error))
        return std::nullopt;
    return Kept{copyPath(), std::move(origin.bytes)};
}

void RecoveryFile::discard() const {
    std::error_code ignored;
    std::filesystem::remove(copyPath(), ignored);
    std::filesystem::remove(originPath(), ignored);
}

}  // namespace almanary

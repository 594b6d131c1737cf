#include "CliDocument.h"

#include <filesystem>

#include "app/FileProblems.h"
#include "app/MessageTable.h"

namespace almanary::cli {
namespace {

std::optional<std::string> passwordFor(const std::string& path,
                                       const std::optional<std::string>& given,
                                       CliContext& context) {
    if (given)
        return given;
    if (context.envPassword)
        return context.envPassword;
    if (context.askPassword)
        return context.askPassword(path);
    return std::nullopt;
}

}  // namespace

std::optional<FileLock> CliDocument::lock(const std::string& path, CliContext& context) {
    std::string reason;
    auto lock = FileLock::acquire(path, &reason, context.lockPatience);
    if (!lock)
        context.err << path << " cannot be changed now: " << reason << ".\n";
    return lock;
}

std::optional<AlmanaryDocument> CliDocument::open(const std::string& path,
                                                  const std::optional<std::string>& password,
                                                  CliContext& context, int& status,
                                                  const RecordFilter& keep,
                                                  std::uint32_t* eventRecords) {
    AlmanaryLoad load = AlmanaryFile::load(path, context.now, keep);
    if (eventRecords != nullptr)
        *eventRecords = load.eventRecords;
    if (!load.ok()) {
        context.err << MessageTable::format(noticeOf(*load.problem)) << '\n';
        status = kFileUnusable;
        return std::nullopt;
    }
    const std::string& expected = load.document->settings.password;
    if (!expected.empty()) {
        const auto entered = passwordFor(path, password, context);
        if (!entered) {
            context.err << path
                        << " is password protected.  Give its password with --password or "
                           "ALMANARY_PASSWORD.\n";
            status = kFileUnusable;
            return std::nullopt;
        }
        if (*entered != expected) {
            context.err << MessageTable::format(MessageId::WrongPassword) << '\n';
            status = kFileUnusable;
            return std::nullopt;
        }
    }
    status = kDone;
    return std::move(load.document);
}

std::optional<CliDocument::Locked> CliDocument::openLocked(
    const std::string& path, const std::optional<std::string>& password, CliContext& context,
    int& status, Lock take) {
    Locked opened;
    if (take == Lock::Take && !(opened.lock = lock(path, context))) {
        status = kFileUnusable;
        return std::nullopt;
    }
    auto document = open(path, password, context, status);
    if (!document)
        return std::nullopt;
    opened.document = std::move(*document);
    return opened;
}

bool CliDocument::save(AlmanaryDocument& document, const std::string& path, CliContext& context) {
    if (const auto problem = AlmanaryFile::save(document, path)) {
        context.err << MessageTable::format(noticeOf(*problem)) << '\n';
        return false;
    }
    return true;
}

bool CliDocument::keepsExisting(const std::string& path, bool force, CliContext& context) {
    std::error_code error;
    if (force || !std::filesystem::exists(std::filesystem::symlink_status(path, error)))
        return false;
    context.err << path << " already exists.  Use --force to replace it.\n";
    return true;
}

}  // namespace almanary::cli

#include "CliDocument.h"

#include "app/MessageTable.h"

namespace almanary::cli {
namespace {

std::optional<std::string> PasswordFor(const std::string& path,
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

std::optional<AlmanaryDocument> CliDocument::Open(const std::string& path,
                                                  const std::optional<std::string>& password,
                                                  CliContext& context, int& status,
                                                  const AlmanaryFile::KeepEvent& keep) {
    AlmanaryLoad load = AlmanaryFile::Load(path, context.now, keep);
    if (!load.ok()) {
        context.err << load.problem->message << '\n';
        status = kFileUnusable;
        return std::nullopt;
    }
    const std::string& expected = load.document->settings.password;
    if (!expected.empty()) {
        const auto entered = PasswordFor(path, password, context);
        if (!entered) {
            context.err << path
                        << " is password protected.  Give its password with --password or "
                           "ALMANARY_PASSWORD.\n";
            status = kFileUnusable;
            return std::nullopt;
        }
        if (*entered != expected) {
            context.err << MessageTable::Format(MessageId::kWrongPassword) << '\n';
            status = kFileUnusable;
            return std::nullopt;
        }
    }
    status = kDone;
    return std::move(load.document);
}

bool CliDocument::Save(AlmanaryDocument& document, const std::string& path, CliContext& context) {
    if (const auto problem = AlmanaryFile::Save(document, path)) {
        context.err << problem->message << '\n';
        return false;
    }
    return true;
}

}  // namespace almanary::cli

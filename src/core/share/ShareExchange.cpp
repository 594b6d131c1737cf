#include "share/ShareExchange.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "app/SettingsStore.h"
#include "model/FileDescriptor.h"
#include "model/FilePaths.h"
#include "share/ReceivedAlmanary.h"
#include "share/ShareHost.h"
#include "share/ShareProtocol.h"
#include "share/ShareRegistry.h"

namespace almanary {

ShareExchange::Ending ShareExchange::run() {
    socket_.setIdleTimeout(limits_.idleTimeout);
    const std::optional<char> command = ShareProtocol::readByte(socket_);
    if (!command)
        return Ending::Closed;
    switch (static_cast<ShareProtocol::Command>(*command)) {
        case ShareProtocol::Command::Load:
            serveLoad();
            break;
        case ShareProtocol::Command::Save:
            serveSave();
            break;
        case ShareProtocol::Command::Stop:
            // Only this machine may stop its server.
            if (socket_.peerIsLoopback())
                return Ending::StopRequested;
            break;
        default:
            break;
    }
    return Ending::Closed;
}

std::optional<std::string> ShareExchange::sharedPath(const std::string& name) {
    SettingsStore store;
    if (!store.open(settingsPath_))
        return std::nullopt;
    return ShareRegistry(store).pathOf(name);
}

std::optional<std::string> ShareExchange::answerName() {
    const std::optional<std::string> name = ShareProtocol::readName(socket_);
    if (!name)
        return std::nullopt;
    const std::optional<std::string> path = sharedPath(*name);
    if (!answer(path ? ShareProtocol::kYes : ShareProtocol::kNo))
        return std::nullopt;
    return path;
}

void ShareExchange::serveLoad() {
    const std::optional<std::string> path = answerName();
    if (!path)
        return;
    host_.pauseAutosave();
    sendShared(*path);
    host_.resumeAutosave();
}

void ShareExchange::sendShared(const std::string& path) {
    // Non-blocking, so a named pipe registered as a share cannot hold the
    // handler; only an ordinary file is served.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > static_cast<off_t>(ShareProtocol::kMaxContentBytes)) {
        answer(ShareProtocol::kNo);
        return;
    }
    const auto size = static_cast<std::uint32_t>(info.st_size);
    if (socket_.writeAll(ShareProtocol::kYes + ShareProtocol::lengthField(size)))
        socket_.sendFile(file.get(), size);
}

void ShareExchange::serveSave() {
    const std::optional<std::string> path = answerName();
    if (!path)
        return;
    const bool open = samePath(*path, host_.openAlmanaryPath());
    if (!answer(open ? ShareProtocol::kYes : ShareProtocol::kNo))
        return;
    std::optional<std::string> content = receiveReplacement(open);
    if (!content)
        return;
    // Only a readable almanary replaces a shared file.
    const std::optional<ReceivedAlmanary> accepted =
        ReceivedAlmanary::accept(std::move(*content), *path);
    if (accepted)
        replaceShared(*path, *accepted);
}

std::optional<std::string> ShareExchange::receiveReplacement(bool askedToConfirm) {
    if (askedToConfirm) {
        socket_.setIdleTimeout(limits_.answerTimeout);
        const std::optional<char> replace = ShareProtocol::readByte(socket_);
        socket_.setIdleTimeout(limits_.idleTimeout);
        if (!replace || *replace == ShareProtocol::kNo)
            return std::nullopt;
    }
    const std::optional<std::uint32_t> length = ShareProtocol::readLength(socket_);
    if (!length)
        return std::nullopt;
    return ShareProtocol::readContent(socket_, *length);
}

void ShareExchange::replaceShared(const std::string& path, const ReceivedAlmanary& almanary) {
    // Asked again: the window may have opened or left the file meanwhile.
    const bool open = samePath(path, host_.openAlmanaryPath());
    if (open)
        host_.pauseTimers();
    const bool written = !almanary.write(path, ReceivedAlmanary::Target::ExistingFile);
    if (!open)
        return;
    if (written) {
        // The sender is done; it hears so now, not after the window's
        // reload, which may wait on questions to the user.
        socket_.close();
        host_.reloadReplaced(path);
    } else
        host_.resumeTimers();
}

}  // namespace almanary

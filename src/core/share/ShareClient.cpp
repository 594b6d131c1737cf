#include "share/ShareClient.h"

#include "app/FileProblems.h"
#include "app/MessageTable.h"
#include "model/FileReading.h"
#include "share/ShareRegistry.h"

namespace almanary {
namespace {

using Outcome = ShareClient::Outcome;

// A name no server can share: too long for the field, or holding a zero
// byte. Cutting it down would ask for another share.
bool fitsField(std::string_view name) {
    return name.size() <= ShareRegistry::kMaxNameBytes && name.find('\0') == std::string_view::npos;
}

}  // namespace

ShareClient::Result ShareClient::brokenOff(std::string detail) const {
    if (cancel_.isRaised())
        return {Outcome::Cancelled, {}, {}};
    return {Outcome::CannotConnect, {}, std::move(detail)};
}

std::optional<TcpSocket> ShareClient::open(ShareProtocol::Command command,
                                           std::string_view shareName, Result& failure) {
    std::string reason;
    std::optional<TcpSocket> socket = TcpSocket::connect(server_, timeout_, &cancel_, &reason);
    if (!socket) {
        failure = brokenOff(reason);
        return std::nullopt;
    }
    socket->setIdleTimeout(timeout_);
    std::string request(1, static_cast<char>(command));
    if (command != ShareProtocol::Command::Stop)
        request += ShareProtocol::nameField(shareName);
    if (!socket->writeAll(request)) {
        failure = brokenOff(server_.text() + " broke the connection off");
        return std::nullopt;
    }
    return socket;
}

std::optional<TcpSocket> ShareClient::openShared(ShareProtocol::Command command,
                                                 std::string_view shareName, Result& failure) {
    if (!fitsField(shareName)) {
        failure = {Outcome::NotShared, {}, {}};
        return std::nullopt;
    }
    std::optional<TcpSocket> socket = open(command, shareName, failure);
    if (!socket)
        return std::nullopt;
    const std::optional<char> shared = readAnswer(*socket, failure);
    if (!shared)
        return std::nullopt;
    if (*shared == ShareProtocol::kNo) {
        failure = {Outcome::NotShared, {}, {}};
        return std::nullopt;
    }
    return socket;
}

std::optional<char> ShareClient::readAnswer(TcpSocket& socket, Result& failure) {
    const std::optional<char> answer = ShareProtocol::readByte(socket);
    if (!answer)
        failure = brokenOff(server_.text() + " did not answer");
    return answer;
}

ShareClient::Result ShareClient::fetch(std::string_view shareName) {
    Result failure;
    std::optional<TcpSocket> socket = openShared(ShareProtocol::Command::Load, shareName, failure);
    if (!socket)
        return failure;
    const std::optional<char> found = readAnswer(*socket, failure);
    if (!found)
        return failure;
    if (*found == ShareProtocol::kNo)
        return {Outcome::FileMissing, {}, {}};
    return receiveFile(*socket);
}

ShareClient::Result ShareClient::receiveFile(TcpSocket& socket) {
    const std::optional<std::uint32_t> length = ShareProtocol::readLength(socket);
    if (!length) {
        return brokenOff(server_.text() + " sent no length, or one over " +
                         std::to_string(ShareProtocol::kMaxContentBytes) + " bytes");
    }
    std::optional<std::string> content = ShareProtocol::readContent(socket, *length);
    if (!content)
        return brokenOff(server_.text() + " broke off before the whole file arrived");
    return {Outcome::Done, std::move(*content), {}};
}

ShareClient::Result ShareClient::send(std::string_view shareName, const std::string& path,
                                      const ConfirmReplace& confirmReplace) {
    Result failure;
    std::optional<TcpSocket> socket = openShared(ShareProtocol::Command::Save, shareName, failure);
    if (!socket)
        return failure;
    const std::optional<char> open = readAnswer(*socket, failure);
    if (!open)
        return failure;
    if (*open == ShareProtocol::kYes) {
        const bool replace = confirmReplace && confirmReplace(std::string(shareName));
        if (cancel_.isRaised())
            return {Outcome::Cancelled, {}, {}};
        if (!socket->writeAll(std::string(1, replace ? ShareProtocol::kYes : ShareProtocol::kNo)))
            return brokenOff(server_.text() + " broke the connection off");
        if (!replace)
            return {Outcome::Declined, {}, {}};
    }
    return sendFile(*socket, path);
}

ShareClient::Result ShareClient::sendFile(TcpSocket& socket, const std::string& path) {
    FileContents file = FileReading::readWholeFile(path, ShareProtocol::kMaxContentBytes);
    if (!file.ok())
        return {Outcome::CannotOpenToSend, {}, path + ": " + file.reason};
    // The server would refuse anything else without a word.
    const AlmanaryLoad load = AlmanaryFile::parse(file.bytes, path, 0);
    if (!load.ok())
        return {Outcome::CannotOpenToSend, {}, MessageTable::format(noticeOf(*load.problem))};
    const std::string length =
        ShareProtocol::lengthField(static_cast<std::uint32_t>(file.bytes.size()));
    if (!socket.writeAll(length) || !socket.writeAll(file.bytes) || !waitForClose(socket))
        return brokenOff(server_.text() + " broke off before it took the whole file");
    return {Outcome::Done, {}, {}};
}

bool ShareClient::waitForClose(TcpSocket& socket) {
    // Anything the server says now is no part of the protocol; its close
    // is. A server that goes on talking is not waited for long.
    char ignored[256];
    for (int reads = 0; reads < 64 && socket.readSome(ignored, sizeof ignored) > 0; ++reads) {
    }
    return !cancel_.isRaised() && socket.peerHasClosed();
}

bool ShareClient::requestStop() {
    Result failure;
    std::optional<TcpSocket> socket = open(ShareProtocol::Command::Stop, {}, failure);
    return socket && waitForClose(*socket);
}

}  // namespace almanary

#pragma once
// The server's side of one share connection: reads the command and answers
// a load or a save of an almanary shared on this machine. It runs on its
// own handler thread, looks share names up in its own settings store, and
// carries out the steps that touch the window through the ShareHost. It
// never reports anything: every refusal is an 'N' or a closed connection.

#include <chrono>
#include <optional>
#include <string>

#include "share/TcpSocket.h"

namespace almanary {

class ReceivedAlmanary;
class ShareHost;

class ShareExchange {
public:
    struct Limits {
        // How long the peer may stay silent.
        std::chrono::milliseconds idleTimeout = TcpSocket::kDefaultIdleTimeout;
        // How long a client may take to say whether to replace the open
        // almanary: a person answers that question.
        std::chrono::milliseconds answerTimeout = std::chrono::minutes(10);
    };

    // How the exchange ended.
    enum class Ending { Closed, StopRequested };

    ShareExchange(TcpSocket& socket, ShareHost& host, const std::string& settingsPath,
                  const Limits& limits)
        : socket_(socket), host_(host), settingsPath_(settingsPath), limits_(limits) {}

    // Carries the exchange out. 'Q' from this machine asks the server to
    // stop; from elsewhere, and any other unknown command, the connection
    // is closed without an answer.
    Ending run();

private:
    // The file shared as `name`, looked up in a store of this thread's own.
    std::optional<std::string> sharedPath(const std::string& name);
    // Reads the share name and answers whether it is shared: the shared
    // file's path when it is and the answer went out.
    std::optional<std::string> answerName();
    void serveLoad();
    // Answers A2 and sends the file's length and bytes.
    void sendShared(const std::string& path);
    void serveSave();
    // Receives the new contents (after A2, and A3 when asked); nothing when
    // the client declines, the connection fails or the length is refused.
    std::optional<std::string> receiveReplacement(bool askedToConfirm);
    // Writes accepted contents over the shared file, reloading the window
    // when that file is its open almanary.
    void replaceShared(const std::string& path, const ReceivedAlmanary& almanary);
    bool answer(char byte) { return socket_.writeAll(std::string_view(&byte, 1)); }

    TcpSocket& socket_;
    ShareHost& host_;
    const std::string& settingsPath_;
    const Limits& limits_;
};

}  // namespace almanary

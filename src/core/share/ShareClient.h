#pragma once
// The client side of Internet sharing: fetches the almanary shared under a
// name on another copy's server, or sends a file to replace it, step by
// step as the protocol orders them and without any user interface. The
// GUI runs an exchange on a worker thread and may cancel() it from its own;
// every wait ends after the time-out, which counts as "cannot connect".

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "share/CancelSignal.h"
#include "share/ServerAddress.h"
#include "share/ShareProtocol.h"
#include "share/TcpSocket.h"

namespace almanary {

class ShareClient {
public:
    static constexpr std::chrono::milliseconds kDefaultTimeout = std::chrono::seconds(30);

    // How an exchange ended; the message the user is shown follows from it.
    enum class Outcome {
        Done,              // fetched: the content is there; sent: message 140
        CannotConnect,     // message 135: no connection, a time-out, or the server broke off
        NotShared,         // message 136: nothing is shared under that name there
        FileMissing,       // message 137: the shared file is gone on the server
        CannotOpenToSend,  // message 139: the local file cannot be read or is no almanary
        Declined,          // the share is open on the server and the user kept it (message 148)
        Cancelled,         // cancel() ended it
    };

    struct Result {
        Outcome outcome = Outcome::CannotConnect;
        std::string content;  // a fetch's file, byte for byte, when Done
        std::string detail;   // what failed, for CannotConnect and CannotOpenToSend
    };

    // Asked, with the share name, when the share is open in the server's
    // window: true replaces it anyway.
    using ConfirmReplace = std::function<bool(const std::string& shareName)>;

    explicit ShareClient(ServerAddress server, std::chrono::milliseconds timeout = kDefaultTimeout)
        : server_(std::move(server)), timeout_(timeout) {}

    // Fetches the file shared as `shareName`. Nothing is written anywhere:
    // the caller stores the content with ReceivedAlmanary.
    Result fetch(std::string_view shareName);
    // Sends the file at `path` to replace the one shared as `shareName`.
    // The file is read only once the server has agreed, and only a readable
    // almanary is sent. Done means the server has taken the whole file and
    // closed the connection.
    Result send(std::string_view shareName, const std::string& path,
                const ConfirmReplace& confirmReplace);
    // Asks the server (one on this machine) to stop listening; true when
    // it received the request and closed the connection. A server on
    // another machine closes it too, but goes on listening.
    bool requestStop();

    // Ends the exchange under way (or the next one) as Cancelled; from any thread.
    void cancel() { cancel_.raise(); }

private:
    // Connects and sends the command and, for a load or save, the name field.
    std::optional<TcpSocket> open(ShareProtocol::Command command, std::string_view shareName,
                                  Result& failure);
    // open(), then the first answer: the socket when the name is shared
    // there, else nothing with how the exchange ended in `failure`.
    std::optional<TcpSocket> openShared(ShareProtocol::Command command, std::string_view shareName,
                                        Result& failure);
    // One answer byte; nothing, with `failure` set, when none came.
    std::optional<char> readAnswer(TcpSocket& socket, Result& failure);
    // The result for a connection that failed or was cancelled.
    Result brokenOff(std::string detail) const;
    // Reads the content's length and bytes.
    Result receiveFile(TcpSocket& socket);
    // Sends the local file's length and bytes.
    Result sendFile(TcpSocket& socket, const std::string& path);
    // Waits for the server to close the connection: it has finished then.
    bool waitForClose(TcpSocket& socket);

    ServerAddress server_;
    std::chrono::milliseconds timeout_;
    CancelSignal cancel_;
};

}  // namespace almanary

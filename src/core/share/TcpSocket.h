#pragma once
// One IPv4 TCP connection, closed when its owner goes. Every read and write
// waits at most the idle time-out for the peer, and returns at once when the
// watched cancel signal is raised, so no exchange can hang a thread.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "share/CancelSignal.h"
#include "share/ServerAddress.h"

namespace almanary {

class TcpSocket {
public:
    static constexpr std::chrono::milliseconds kDefaultIdleTimeout = std::chrono::seconds(30);

    // Takes over a connected descriptor.
    explicit TcpSocket(int fd);
    ~TcpSocket();
    TcpSocket(TcpSocket&& other) noexcept;
    TcpSocket& operator=(TcpSocket&& other) noexcept;
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Looks the host up (its first IPv4 address) and connects, waiting at
    // most `timeout`; nothing, with the reason in `reason` when given, when
    // it cannot. `cancel` (may be null) ends the wait and is watched by
    // every later read and write too.
    static std::optional<TcpSocket> connect(const ServerAddress& server,
                                            std::chrono::milliseconds timeout,
                                            const CancelSignal* cancel,
                                            std::string* reason = nullptr);

    void setIdleTimeout(std::chrono::milliseconds timeout) { idleTimeout_ = timeout; }
    void watch(const CancelSignal* cancel) { cancel_ = cancel; }

    // Fills `size` bytes, however the peer splits them; false when the
    // connection ends, fails, stays idle too long or is cancelled first.
    bool readExact(char* data, std::size_t size);
    // Reads what has arrived, at least one byte and at most `size`; 0 on
    // the same failures as readExact.
    std::size_t readSome(char* data, std::size_t size);
    // Sends every byte; false on the same failures.
    bool writeAll(std::string_view bytes);
    // Sends the first `size` bytes of the open file `fileFd` without
    // copying them through memory; false on the same failures, or when the
    // file turns out shorter. The calling thread must block SIGPIPE, which
    // the system raises when the peer has gone.
    bool sendFile(int fileFd, std::size_t size);

    // Ends the connection now rather than when its owner goes; every later
    // read and write fails.
    void close();

    // True once a read found that the peer has closed its side.
    bool peerHasClosed() const { return peerClosed_; }

    // True when the peer is on this machine (127.0.0.0/8).
    bool peerIsLoopback() const;

    // For tests only, which have no other machine to connect from: every
    // peer counts as another machine's while this is on.
    static void peersSeemRemoteForTesting(bool on);

private:
    enum class Direction { In, Out };
    // Waits until the socket is ready; false on time-out, cancel or error.
    bool waitFor(Direction direction);

    int fd_ = -1;
    std::chrono::milliseconds idleTimeout_ = kDefaultIdleTimeout;
    const CancelSignal* cancel_ = nullptr;
    bool peerClosed_ = false;
};

}  // namespace almanary

#pragma once
// A listening IPv4 TCP socket on all of this machine's addresses, closed
// when its owner goes.

#include <cstdint>
#include <optional>
#include <string>

#include "share/CancelSignal.h"
#include "share/TcpSocket.h"

namespace almanary {

class TcpListener {
public:
    // Listens on `port` (0: a free port the system picks); nothing, with
    // the reason in `reason` when given, when the port cannot be had.
    static std::optional<TcpListener> listen(std::uint16_t port, std::string* reason = nullptr);

    ~TcpListener();
    TcpListener(TcpListener&& other) noexcept;
    TcpListener& operator=(TcpListener&& other) noexcept;
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    // The port it listens on.
    std::uint16_t port() const { return port_; }

    // Waits for the next connection; nothing once `stop` is raised. A
    // failing accept (no descriptors left, say) is retried after a pause,
    // never in a busy loop.
    std::optional<TcpSocket> accept(const CancelSignal& stop);

private:
    TcpListener(int fd, std::uint16_t port) : fd_(fd), port_(port) {}

    int fd_ = -1;
    std::uint16_t port_ = 0;
};

}  // namespace almanary

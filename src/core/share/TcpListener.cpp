#include "share/TcpListener.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "model/FileDescriptor.h"
#include "model/SystemError.h"

namespace almanary {
namespace {

// How long a failing accept rests before it tries again.
constexpr int kRetryPauseMs = 100;
// Room for the connections that arrive together, beyond the system's minimum.
constexpr int kBacklog = 128;

// Waits until `fd` is readable or `stop` is raised (or `timeoutMs` passed;
// -1 waits without end); false when stopped.
bool waitReadable(int fd, const CancelSignal& stop, int timeoutMs) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stop.fd(), POLLIN, 0}};
    while (!stop.isRaised()) {
        const int ready = ::poll(fds, 2, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        return !stop.isRaised() && fds[1].revents == 0;
    }
    return false;
}

}  // namespace

std::optional<TcpListener> TcpListener::listen(std::uint16_t port, std::string* reason) {
    const auto fail = [reason](const std::string& what) {
        if (reason != nullptr)
            *reason = what + " (" + systemErrorText(errno) + ")";
        return std::nullopt;
    };
    FileDescriptor fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (fd.get() < 0)
        return fail("no socket can be made");
    const int on = 1;
    ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(port);
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return fail("port " + std::to_string(port) + " cannot be had");
    if (::listen(fd.get(), kBacklog) != 0)
        return fail("port " + std::to_string(port) + " cannot be listened on");
    socklen_t size = sizeof address;
    if (::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return fail("the port listened on is unknown");
    return TcpListener(fd.release(), ntohs(address.sin_port));
}

TcpListener::~TcpListener() {
    if (fd_ >= 0)
        ::close(fd_);
}

TcpListener::TcpListener(TcpListener&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), port_(other.port_) {}

TcpListener& TcpListener::operator=(TcpListener&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        port_ = other.port_;
    }
    return *this;
}

std::optional<TcpSocket> TcpListener::accept(const CancelSignal& stop) {
    while (waitReadable(fd_, stop, -1)) {
        const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            const int on = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            return TcpSocket(fd);
        }
        // A peer that gave up before its turn, or a signal: just go on.
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ECONNABORTED || errno == EINTR)
            continue;
        // Out of descriptors or memory: rest, so the loop does not spin.
        pollfd pause{stop.fd(), POLLIN, 0};
        ::poll(&pause, 1, kRetryPauseMs);
    }
    return std::nullopt;
}

}  // namespace almanary

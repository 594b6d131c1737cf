#include "share/TcpSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <utility>

#include "model/SystemError.h"

namespace almanary {
namespace {

using std::chrono::milliseconds;

std::atomic<bool> peersSeemRemote{false};

// Small answers go out at once instead of waiting to be joined.
void sendAtOnce(int fd) {
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

void setReason(std::string* reason, std::string text) {
    if (reason != nullptr)
        *reason = std::move(text);
}

// The first IPv4 address of `host`, in network order.
std::optional<in_addr> lookUp(const std::string& host, std::string* reason) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int error = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (error != 0 || found == nullptr) {
        setReason(reason,
                  "the server " + host + " cannot be found (" + ::gai_strerror(error) + ")");
        return std::nullopt;
    }
    const in_addr address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    ::freeaddrinfo(found);
    return address;
}

// Waits for `events` on `fd` or for the cancel signal; the events seen, 0
// on time-out or cancel.
short waitOn(int fd, short events, milliseconds timeout, const CancelSignal* cancel) {
    pollfd fds[2] = {{fd, events, 0}, {cancel ? cancel->fd() : -1, POLLIN, 0}};
    const int count = cancel && cancel->fd() >= 0 ? 2 : 1;
    for (;;) {
        if (cancel && cancel->isRaised())
            return 0;
        const int ready =
            ::poll(fds, static_cast<nfds_t>(count), static_cast<int>(timeout.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0 || (count == 2 && fds[1].revents != 0))
            return 0;
        return fds[0].revents;
    }
}

}  // namespace

TcpSocket::TcpSocket(int fd) : fd_(fd) {}

TcpSocket::~TcpSocket() {
    close();
}

TcpSocket::TcpSocket(TcpSocket&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      idleTimeout_(other.idleTimeout_),
      cancel_(other.cancel_),
      peerClosed_(other.peerClosed_) {}

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        idleTimeout_ = other.idleTimeout_;
        cancel_ = other.cancel_;
        peerClosed_ = other.peerClosed_;
    }
    return *this;
}

void TcpSocket::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

std::optional<TcpSocket> TcpSocket::connect(const ServerAddress& server, milliseconds timeout,
                                            const CancelSignal* cancel, std::string* reason) {
    const std::optional<in_addr> address = lookUp(server.host, reason);
    if (!address)
        return std::nullopt;
    TcpSocket socket(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (socket.fd_ < 0) {
        setReason(reason, "no socket can be made (" + systemErrorText(errno) + ")");
        return std::nullopt;
    }
    socket.watch(cancel);
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(server.port);
    peer.sin_addr = *address;
    if (::connect(socket.fd_, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0 &&
        errno != EINPROGRESS) {
        setReason(reason,
                  server.text() + " refuses the connection (" + systemErrorText(errno) + ")");
        return std::nullopt;
    }
    if (waitOn(socket.fd_, POLLOUT, timeout, cancel) == 0) {
        setReason(reason, server.text() + " does not answer");
        return std::nullopt;
    }
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(socket.fd_, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) {
        setReason(reason,
                  server.text() + " refuses the connection (" + systemErrorText(error) + ")");
        return std::nullopt;
    }
    sendAtOnce(socket.fd_);
    return socket;
}

bool TcpSocket::waitFor(Direction direction) {
    const short events = direction == Direction::In ? POLLIN : POLLOUT;
    return fd_ >= 0 && waitOn(fd_, events, idleTimeout_, cancel_) != 0;
}

std::size_t TcpSocket::readSome(char* data, std::size_t size) {
    // The bytes are tried first: a wait costs a system call, and mostly
    // there is something to read already.
    while (size > 0 && fd_ >= 0 && !(cancel_ && cancel_->isRaised())) {
        const ssize_t got = ::recv(fd_, data, size, 0);
        if (got > 0)
            return static_cast<std::size_t>(got);
        if (got == 0) {
            peerClosed_ = true;
            return 0;
        }
        if (errno == EINTR)
            continue;
        if ((errno != EAGAIN && errno != EWOULDBLOCK) || !waitFor(Direction::In))
            return 0;
    }
    return 0;
}

bool TcpSocket::readExact(char* data, std::size_t size) {
    for (std::size_t done = 0; done < size;) {
        const std::size_t got = readSome(data + done, size - done);
        if (got == 0)
            return false;
        done += got;
    }
    return true;
}

bool TcpSocket::writeAll(std::string_view bytes) {
    while (!bytes.empty()) {
        if (fd_ < 0 || (cancel_ && cancel_->isRaised()))
            return false;
        const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
        } else if (sent < 0 && errno != EINTR) {
            if ((errno != EAGAIN && errno != EWOULDBLOCK) || !waitFor(Direction::Out))
                return false;
        }
    }
    return true;
}

void TcpSocket::peersSeemRemoteForTesting(bool on) {
    peersSeemRemote = on;
}

bool TcpSocket::sendFile(int fileFd, std::size_t size) {
    off_t offset = 0;
    while (static_cast<std::size_t>(offset) < size) {
        if (fd_ < 0 || (cancel_ && cancel_->isRaised()))
            return false;
        const ssize_t sent =
            ::sendfile(fd_, fileFd, &offset, size - static_cast<std::size_t>(offset));
        if (sent == 0)
            return false;  // the file ended early
        if (sent < 0 && errno != EINTR) {
            if ((errno != EAGAIN && errno != EWOULDBLOCK) || !waitFor(Direction::Out))
                return false;
        }
    }
    return true;
}

bool TcpSocket::peerIsLoopback() const {
    if (peersSeemRemote)
        return false;
    sockaddr_in peer{};
    socklen_t size = sizeof peer;
    if (::getpeername(fd_, reinterpret_cast<sockaddr*>(&peer), &size) != 0 ||
        peer.sin_family != AF_INET)
        return false;
    return (ntohl(peer.sin_addr.s_addr) >> 24) == 127;
}

}  // namespace almanary

#pragma once
// What the share tests talk to and through: a raw TCP peer that sends and
// reads exact bytes, a scripted server, a ShareHost that records what the server asked of the
// window, and almanary files made in memory.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "model/AlmanaryFile.h"
#include "share/ServerAddress.h"
#include "share/ShareHost.h"
#include "share/TcpListener.h"

namespace almanary::testing {

// A connection to 127.0.0.1 with blocking sockets; every read gives up
// after 20 seconds, so a server that never answers fails the test instead
// of hanging it.
class RawPeer {
public:
    explicit RawPeer(std::uint16_t port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        const timeval patience{20, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
        const int on = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        sockaddr_in server{};
        server.sin_family = AF_INET;
        server.sin_port = htons(port);
        server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&server), sizeof server) == 0;
    }
    ~RawPeer() { ::close(fd_); }
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    bool connected() const { return connected_; }

    // All at once, or one byte per send.
    enum class Split { None, EveryByte };
    void send(std::string_view bytes, Split split = Split::None) {
        const std::size_t step = split == Split::EveryByte ? 1 : bytes.size();
        for (std::size_t at = 0; at < bytes.size(); at += step)
            ASSERT_GT(
                ::send(fd_, bytes.data() + at, std::min(step, bytes.size() - at), MSG_NOSIGNAL), 0);
    }
    // Tells the server nothing more will come.
    void finishSending() { ::shutdown(fd_, SHUT_WR); }

    // Exactly `size` bytes, or fewer when the server closes first.
    std::string read(std::size_t size) {
        std::string bytes(size, '\0');
        std::size_t got = 0;
        while (got < size) {
            const ssize_t n = ::recv(fd_, bytes.data() + got, size - got, 0);
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
        return bytes;
    }
    // Everything until the server closes; `closed` tells whether it did
    // (rather than the read giving up).
    std::string readToClose(bool* closed = nullptr) {
        std::string bytes;
        char chunk[65536];
        for (;;) {
            const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
            if (n <= 0) {
                if (closed != nullptr)
                    *closed = n == 0;
                return bytes;
            }
            bytes.append(chunk, static_cast<std::size_t>(n));
        }
    }

private:
    int fd_;
    bool connected_ = false;
};

// A server that accepts one connection and acts out `script` on it.
class FakeServer {
public:
    explicit FakeServer(std::function<void(TcpSocket&)> script)
        : listener_(*TcpListener::listen(0)), thread_([this, script = std::move(script)] {
              if (std::optional<TcpSocket> socket = listener_.accept(stop_)) {
                  socket->watch(&stop_);
                  socket->setIdleTimeout(std::chrono::seconds(20));
                  script(*socket);
              }
          }) {}
    ~FakeServer() {
        stop_.raise();
        thread_.join();
    }
    ServerAddress address() const { return {"127.0.0.1", listener_.port()}; }

private:
    CancelSignal stop_;
    TcpListener listener_;
    std::thread thread_;
};

// Records each step the server asks of the window, in order.
class RecordingHost : public ShareHost {
public:
    std::string openAlmanaryPath() override {
        std::lock_guard lock(mutex_);
        return openPath_;
    }
    void pauseAutosave() override { record("pauseAutosave"); }
    void resumeAutosave() override { record("resumeAutosave"); }
    void pauseTimers() override { record("pauseTimers"); }
    void reloadReplaced(const std::string& path) override { record("reload " + path); }
    void resumeTimers() override { record("resumeTimers"); }
    void serverStopping() override { record("serverStopping"); }

    void setOpenPath(std::string path) {
        std::lock_guard lock(mutex_);
        openPath_ = std::move(path);
    }
    std::vector<std::string> calls() {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    // The calls once there are at least `count` (the server may still be
    // at work after the peer has heard all it will), or after five seconds.
    std::vector<std::string> callsWhenAtLeast(std::size_t count) {
        std::unique_lock lock(mutex_);
        called_.wait_for(lock, std::chrono::seconds(5), [&] { return calls_.size() >= count; });
        return calls_;
    }

private:
    void record(std::string call) {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
        called_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable called_;
    std::string openPath_;
    std::vector<std::string> calls_;
};

// The file of an empty almanary whose skin name tells it apart, padded with
// `padding` bytes of skin name for a bigger file.
inline std::string almanaryBytes(const std::string& skin, std::size_t padding = 0) {
    AlmanaryDocument document;
    document.skinName = skin + std::string(padding, 'p');
    std::string bytes = AlmanaryFile::plainStream(document);
    AlmanaryFile::scramble(bytes);
    return bytes;
}

// The 4-byte little-endian length.
inline std::string lengthBytes(std::uint32_t length) {
    return {static_cast<char>(length & 0xFF), static_cast<char>((length >> 8) & 0xFF),
            static_cast<char>((length >> 16) & 0xFF), static_cast<char>(length >> 24)};
}

// The 21-byte share-name field, zero-padded.
inline std::string nameField(std::string_view name) {
    std::string field(name);
    field.resize(21, '\0');
    return field;
}

}  // namespace almanary::testing

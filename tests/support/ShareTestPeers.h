#pragma once
// Raw TCP peers, a scripted server, a recording ShareHost and almanary bytes for the share tests.

#include <arpa/inet.h>
#include <netinet/tcp.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "model/AlmanaryFile.h"
#include "share/ServerAddress.h"
#include "share/ShareHost.h"
#include "share/TcpListener.h"

namespace almanary::testing {

// A blocking connection to 127.0.0.1 whose reads give up after 20 seconds.
class RawPeer {
public:
    explicit RawPeer(std::uint16_t port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        const timeval patience{20, 0};
        const int on = 1;
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        sockaddr_in server{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&server), sizeof server) == 0;
    }
    ~RawPeer() { ::close(fd_); }
    RawPeer(const RawPeer&) = delete;

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
        bytes.resize(
            static_cast<std::size_t>(std::max(::recv(fd_, bytes.data(), size, MSG_WAITALL), 0L)));
        return bytes;
    }
    // Everything until the server closes (or resets, as a close with bytes
    // of ours unread does); nothing when the read gave up first.
    std::optional<std::string> readToClose() {
        std::string bytes;
        char chunk[65536];
        ssize_t n = 0;
        while ((n = ::recv(fd_, chunk, sizeof chunk, 0)) > 0)
            bytes.append(chunk, static_cast<std::size_t>(n));
        return n == 0 || errno == ECONNRESET ? std::optional(bytes) : std::nullopt;
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
    // The calls once there are at least `count` (the server may still be at
    // work after the peer has heard all it will), or after five seconds.
    std::vector<std::string> calls(std::size_t count = 0) {
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

// An empty almanary's file, told apart (and made bigger) by its skin name.
inline std::string almanaryBytes(const std::string& skin, std::size_t padding = 0) {
    AlmanaryDocument document;
    document.skinName = skin + std::string(padding, 'p');
    std::string bytes = AlmanaryFile::plainStream(document);
    AlmanaryFile::scramble(bytes);
    return bytes;
}

// The 4-byte little-endian length.
inline std::string lengthBytes(std::uint32_t n) {
    return {char(n & 0xFF), char(n >> 8 & 0xFF), char(n >> 16 & 0xFF), char(n >> 24)};
}

// The 21-byte share-name field, zero-padded.
inline std::string nameField(std::string_view name) {
    return std::string(name) + std::string(21 - name.size(), '\0');
}

}  // namespace almanary::testing

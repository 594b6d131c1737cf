#include "share/ShareServer.h"

#include <system_error>

#include "share/ShareHost.h"

namespace almanary {

ShareServer::ShareServer(ShareHost& host, std::string settingsPath, Limits limits)
    : host_(host), settingsPath_(std::move(settingsPath)), limits_(limits) {}

ShareServer::~ShareServer() {
    stop();
}

std::optional<std::string> ShareServer::start(std::uint16_t port) {
    if (listeningThread_.joinable() || port_ != 0)
        return "the server has already started";
    std::string reason;
    listener_ = TcpListener::listen(port, &reason);
    if (!listener_)
        return reason;
    port_ = listener_->port();
    listening_ = true;
    listeningThread_ = std::thread(&ShareServer::listen, this);
    return std::nullopt;
}

void ShareServer::listen() {
    while (std::optional<TcpSocket> socket = listener_->accept(listenStop_))
        startHandler(std::move(*socket));
    listener_.reset();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return running_ == 0; });
    joinFinished();
    listening_ = false;
    changed_.notify_all();
}

void ShareServer::startHandler(TcpSocket socket) {
    std::lock_guard lock(mutex_);
    joinFinished();
    if (running_ >= limits_.maxHandlers)
        return;  // the socket closes here, unanswered
    Handler& handler = handlers_.emplace_back();
    try {
        handler.thread = std::thread(&ShareServer::handle, this, std::move(socket), &handler);
        ++running_;
    } catch (const std::system_error&) {
        handlers_.pop_back();  // no thread to be had: the connection closes
    }
}

void ShareServer::handle(TcpSocket socket, Handler* self) {
    TcpSocket connection = std::move(socket);
    connection.watch(&handlersStop_);
    ShareExchange exchange(connection, host_, settingsPath_, limits_.exchange);
    if (exchange.run() == ShareExchange::Ending::StopRequested)
        listenStop_.raise();
    // Counted out before the connection closes, so a peer that sees the
    // close finds the handler's place free again.
    std::lock_guard lock(mutex_);
    self->done = true;
    --running_;
    changed_.notify_all();
}

void ShareServer::joinFinished() {
    for (auto it = handlers_.begin(); it != handlers_.end();) {
        if (!it->done) {
            ++it;
            continue;
        }
        it->thread.join();
        it = handlers_.erase(it);
    }
}

void ShareServer::waitUntilStopped() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !listening_; });
}

void ShareServer::stop() {
    std::lock_guard stopping(stopMutex_);
    if (!listeningThread_.joinable())
        return;
    listenStop_.raise();
    handlersStop_.raise();
    host_.serverStopping();
    listeningThread_.join();
}

}  // namespace almanary

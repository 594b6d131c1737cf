#include "share/ShareServer.h"

#include <pthread.h>

#include <csignal>
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
    std::list<Handler> ended;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return running_ == 0; });
        ended.swap(handlers_);
    }
    for (Handler& handler : ended)
        handler.thread.join();
    std::lock_guard lock(mutex_);
    listening_ = false;
    changed_.notify_all();
}

void ShareServer::startHandler(TcpSocket socket) {
    std::list<Handler> finished;
    {
        std::lock_guard lock(mutex_);
        finished = takeFinished();
        if (running_ < limits_.maxHandlers) {
            Handler& handler = handlers_.emplace_back();
            try {
                handler.thread =
                    std::thread(&ShareServer::handle, this, std::move(socket), &handler);
                ++running_;
            } catch (const std::system_error&) {
                handlers_.pop_back();  // no thread to be had: the connection closes
            }
        }
        // Beyond the limit the socket closes here, unanswered.
    }
    // Joined outside the lock: a finished thread may still be on its way out.
    for (Handler& handler : finished)
        handler.thread.join();
}

void ShareServer::handle(TcpSocket socket, Handler* self) {
    // A peer that goes while a file is sent raises SIGPIPE on this thread;
    // blocked, it only fails the send.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
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

std::list<ShareServer::Handler> ShareServer::takeFinished() {
    std::list<Handler> finished;
    for (auto it = handlers_.begin(); it != handlers_.end();) {
        const auto next = std::next(it);
        if (it->done)
            finished.splice(finished.end(), handlers_, it);
        it = next;
    }
    return finished;
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

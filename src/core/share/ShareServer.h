#pragma once
// The share server every running copy (and almanary-cli serve) runs: a
// listening thread that hands each connection to a handler thread of its
// own (ShareExchange), at most kMaxHandlers at once. It shows nothing and
// reaches the window only through its ShareHost.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "share/CancelSignal.h"
#include "share/ShareExchange.h"
#include "share/TcpListener.h"

namespace almanary {

class ShareHost;

class ShareServer {
public:
    struct Limits {
        // Connections beyond this many exchanges under way are closed at once.
        std::size_t maxHandlers = 64;
        ShareExchange::Limits exchange;
    };

    // Looks share names up in the settings store at `settingsPath`. The
    // host must outlive the server.
    ShareServer(ShareHost& host, std::string settingsPath, Limits limits);
    ShareServer(ShareHost& host, std::string settingsPath)
        : ShareServer(host, std::move(settingsPath), Limits{}) {}
    ~ShareServer();  // stop()
    ShareServer(const ShareServer&) = delete;
    ShareServer& operator=(const ShareServer&) = delete;

    // Listens on `port` of every address (0: a free port, see port()) and
    // starts the listening thread; the reason when the port cannot be had.
    // A server starts once.
    std::optional<std::string> start(std::uint16_t port);
    // The port listened on; 0 before a successful start.
    std::uint16_t port() const { return port_; }

    // Returns once listening has ended (a 'Q' from this machine, or stop())
    // and every exchange under way then has finished. Later connections
    // are refused.
    void waitUntilStopped();
    // Ends listening, cuts the exchanges under way (a save cut short writes
    // nothing) and waits for every thread. From any thread but a handler's;
    // see ShareHost::serverStopping for the host's part.
    void stop();

private:
    struct Handler {
        std::thread thread;
        bool done = false;
    };

    void listen();
    void startHandler(TcpSocket socket);
    void handle(TcpSocket socket, Handler* self);
    // Takes the handlers that have finished out of the list, to be joined
    // without the lock. Holds mutex_.
    std::list<Handler> takeFinished();

    ShareHost& host_;
    const std::string settingsPath_;
    const Limits limits_;
    std::optional<TcpListener> listener_;  // closed once listening ends
    std::uint16_t port_ = 0;
    CancelSignal listenStop_;    // ends listening: a 'Q' or stop()
    CancelSignal handlersStop_;  // cuts exchanges under way: stop()
    std::thread listeningThread_;

    std::mutex mutex_;
    std::condition_variable changed_;  // a handler ended, or listening did
    std::list<Handler> handlers_;      // a list: each handler keeps its place
    std::size_t running_ = 0;
    bool listening_ = false;

    std::mutex stopMutex_;  // one stop() joins; another waits for it
};

}  // namespace almanary

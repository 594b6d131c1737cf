// The share server's side of one connection, fed the input as everything a
// peer sent. The exchange runs on one end of a socket pair, a pump thread
// sends the input from the other and collects the answers. Four shares are
// registered in a settings store of the run's own: the host's open
// almanary, another almanary, a file that is gone and a named pipe.
//
// Checked: the host's steps come in pairs; a load of a shared file answers
// with exactly its bytes; a save answers as the protocol says and leaves
// each file as it was, or holding exactly the almanary sent when that one
// is readable; nothing is made where a share's file is missing.

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "FuzzCheck.h"
#include "app/SettingsStore.h"
#include "model/AlmanaryFile.h"
#include "model/AsciiText.h"
#include "model/AtomicFile.h"
#include "model/FileReading.h"
#include "share/ShareExchange.h"
#include "share/ShareHost.h"
#include "share/ShareProtocol.h"
#include "share/ShareRegistry.h"
#include "share/TcpSocket.h"

namespace {

using namespace almanary;
using almanary::fuzz::require;

struct Share {
    std::string name;
    std::string path;
    std::string bytes;  // as the run began; empty for the gone file and the pipe
    bool served;        // an ordinary file the server sends
};

// The folder of the run: the settings store, the shared files and the lock folder.
struct Sandbox {
    std::string folder;
    std::string settingsPath;
    std::vector<Share> shares;  // the first is the host's open almanary

    const Share* find(std::string_view name) const {
        for (const Share& share : shares) {
            if (AsciiText::equalIgnoringCase(share.name, name))
                return &share;
        }
        return nullptr;
    }
};

Sandbox* sandbox = nullptr;

std::string almanaryBytes(const std::string& notes) {
    AlmanaryDocument document;
    document.categories.append("Work");
    Event event;
    event.setHour("9");
    event.setMinute("30");
    event.setDuration("60");
    event.setNotes(notes);
    event.setCategory("Work");
    event.setDate(fuzz::kNow + 12 * 3600);
    document.events.insert(event);
    std::string bytes = AlmanaryFile::plainStream(document);
    AlmanaryFile::scramble(bytes);
    return bytes;
}

std::string fileBytes(const std::string& path) {
    FileContents file = FileReading::readWholeFile(path, FileReading::kNoLimit);
    return file.ok() ? std::move(file.bytes) : std::string();
}

void writeFile(const std::string& path, const std::string& bytes) {
    require(!AtomicFile::write(path, bytes), "the sandbox cannot be written");
}

Sandbox* makeSandbox() {
    std::string folder = std::filesystem::temp_directory_path() / "almanary-fuzz-share-XXXXXX";
    require(::mkdtemp(folder.data()) != nullptr, "no sandbox folder");
    ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);  // the lock folder
    auto* box = new Sandbox{folder, folder + "/settings.sqlite", {}};
    box->shares = {{"Open", folder + "/open.alm", almanaryBytes("The open almanary"), true},
                   {"Other", folder + "/other.alm", almanaryBytes("Another almanary"), true},
                   {"Gone", folder + "/gone.alm", {}, false},
                   {"Pipe", folder + "/pipe.alm", {}, false}};
    SettingsStore store;
    require(store.open(box->settingsPath), "no settings store");
    ShareRegistry registry(store);
    for (const Share& share : box->shares) {
        require(registry.publish(share.name, share.path), "a share cannot be registered");
        if (share.served)
            writeFile(share.path, share.bytes);
    }
    require(::mkfifo(box->shares[3].path.c_str(), 0600) == 0, "no pipe");
    std::atexit([] { std::filesystem::remove_all(sandbox->folder); });
    return box;
}

// The window's side, checking that every step is undone in order.
class CheckingHost : public ShareHost {
public:
    explicit CheckingHost(std::string openPath) : openPath_(std::move(openPath)) {}
    ~CheckingHost() override {
        require(autosavePauses_ == 0, "autosave was paused and not resumed");
        require(!timersPaused_, "the timers were paused and not resumed");
    }

    std::string openAlmanaryPath() override { return openPath_; }
    void pauseAutosave() override { ++autosavePauses_; }
    void resumeAutosave() override {
        require(autosavePauses_-- > 0, "autosave resumed without a pause");
    }
    void pauseTimers() override {
        require(!timersPaused_, "the timers paused twice");
        timersPaused_ = true;
    }
    void reloadReplaced(const std::string& path) override {
        require(timersPaused_ && path == openPath_, "a reload without its pause");
        require(AlmanaryFile::load(path, fuzz::kNow).ok(), "the reloaded almanary is unreadable");
        timersPaused_ = false;
    }
    void resumeTimers() override {
        require(timersPaused_, "the timers resumed without a pause");
        timersPaused_ = false;
    }

private:
    std::string openPath_;
    int autosavePauses_ = 0;
    bool timersPaused_ = false;
};

// Sends the request from `fd` (then ends its side) while collecting every
// answer until the server closes the connection.
std::string pump(int fd, std::string_view request) {
    std::string answers;
    bool sending = true;
    for (;;) {
        if (sending && request.empty()) {
            ::shutdown(fd, SHUT_WR);
            sending = false;
        }
        pollfd ready{fd, static_cast<short>(POLLIN | (sending ? POLLOUT : 0)), 0};
        if (::poll(&ready, 1, -1) < 0)
            continue;
        if (sending && (ready.revents & POLLOUT) != 0) {
            const ssize_t sent = ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
            if (sent > 0)
                request.remove_prefix(static_cast<std::size_t>(sent));
            else
                request = {};  // the server has gone: the rest is never read
        }
        if ((ready.revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            char buffer[4096];
            const ssize_t got = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
            if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR))
                return answers;
            if (got > 0)
                answers.append(buffer, static_cast<std::size_t>(got));
        }
    }
}

std::string exchange(std::string_view request) {
    int fds[2];
    require(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) == 0, "no socket pair");
    std::string answers;
    std::thread peer([&] { answers = pump(fds[1], request); });
    {
        TcpSocket connection(fds[0]);
        const ShareExchange::Limits limits;
        CheckingHost host(sandbox->shares.front().path);
        ShareExchange(connection, host, sandbox->settingsPath, limits).run();
    }  // the connection closes here, which ends the pump
    peer.join();
    ::close(fds[1]);
    return answers;
}

// The almanary a save request carries after its name (and, for the open
// almanary, the client's go-ahead), when it carries all of it.
std::optional<std::string> sentContent(std::string_view rest, bool open) {
    if (open) {
        if (rest.empty() || rest.front() == ShareProtocol::kNo)
            return std::nullopt;
        rest.remove_prefix(1);
    }
    if (rest.size() < ShareProtocol::kLengthSize)
        return std::nullopt;
    const std::uint32_t length = ShareProtocol::lengthOf(rest);
    rest.remove_prefix(ShareProtocol::kLengthSize);
    if (length > ShareProtocol::kMaxContentBytes || rest.size() < length)
        return std::nullopt;
    return std::string(rest.substr(0, length));
}

// What each shared file must hold after the exchange.
void checkFiles(std::string_view request, const std::string& answers) {
    const char command = request.empty() ? '\0' : request.front();
    const std::size_t nameEnd = 1 + ShareProtocol::kNameFieldSize;
    const Share* named = request.size() >= nameEnd
                             ? sandbox->find(ShareProtocol::nameOf(request.substr(1)))
                             : nullptr;
    std::optional<std::string> replacement;
    if (command == 'S' && named != nullptr && named->served) {
        const bool open = named == &sandbox->shares.front();
        require(answers == std::string("Y") + (open ? 'Y' : 'N'), "a save answered wrongly");
        replacement = sentContent(request.substr(nameEnd), open);
        if (replacement && !AlmanaryFile::parse(*replacement, "sent", fuzz::kNow).ok())
            replacement.reset();
    }
    for (const Share& share : sandbox->shares) {
        if (!share.served) {
            struct stat info {};
            const bool there = ::lstat(share.path.c_str(), &info) == 0;
            require(share.name == "Gone" ? !there : there && S_ISFIFO(info.st_mode),
                    "a save made or replaced what is no shared file");
            continue;
        }
        const std::string now = fileBytes(share.path);
        const std::string& expected = &share == named && replacement ? *replacement : share.bytes;
        require(now == expected, "a shared file holds other bytes than it should");
        if (now != share.bytes)
            writeFile(share.path, share.bytes);  // the next input starts afresh
    }
}

void checkLoad(std::string_view request, const std::string& answers) {
    if (request.size() < 1 + ShareProtocol::kNameFieldSize || request.front() != 'L')
        return;
    const Share* share = sandbox->find(ShareProtocol::nameOf(request.substr(1)));
    if (share == nullptr) {
        require(answers == "N", "a load of an unknown share was not refused");
    } else if (share->served) {
        require(
            answers ==
                "YY" + ShareProtocol::lengthField(static_cast<std::uint32_t>(share->bytes.size())) +
                    share->bytes,
            "a load did not send the shared file whole");
    } else {
        require(answers == "YN", "a share without its file was not refused");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::useFixedZone();
    sandbox = makeSandbox();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view request(reinterpret_cast<const char*>(data), size);
    const std::string answers = exchange(request);
    checkLoad(request, answers);
    checkFiles(request, answers);
    return 0;
}

// The share server byte by byte, against raw connections on loopback.
#include "share/ShareServer.h"

#include "app/SettingsStore.h"
#include "share/ShareRegistry.h"
#include "support/PrivateLockFolder.h"
#include "support/ShareTestPeers.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

using namespace std::chrono_literals;
using Calls = std::vector<std::string>;

const std::string kOld = almanaryBytes("Old", 300);
const std::string kNew = almanaryBytes("New");
const auto load = [](std::string_view name) { return "L" + nameField(name); };
const auto save = [](std::string_view name) { return "S" + nameField(name); };

// Shares of cal.alm (also by a 20-byte name), a missing, an empty file and a pipe; FileName set.
class ShareServerTest : public ::testing::Test {
protected:
    ShareServerTest() {
        EXPECT_TRUE(store.open(settings));
        writeFile(cal, kOld);
        writeFile(dir.file("empty.alm"), "");
        std::filesystem::create_symlink(cal, link);
        ShareRegistry shares(store);
        EXPECT_TRUE(shares.publish("Work", cal) && shares.publish("Gone", dir.file("gone.alm")) &&
                    shares.publish("Empty", dir.file("empty.alm")) &&
                    shares.publish(kTwentyBytes, cal) && store.setText("FileName", cal) &&
                    shares.publish("Pipe", dir.file("pipe.alm")));
        EXPECT_EQ(::mkfifo(dir.file("pipe.alm").c_str(), 0600), 0);
    }

    void start(ShareServer::Limits limits = {}) {
        server.emplace(host, settings, limits);
        ASSERT_EQ(server->start(0), std::nullopt);
    }

    // Sends a whole request, says it is done, and returns every byte the
    // server sent before it closed (nothing when it did not close).
    std::optional<std::string> exchange(std::string_view request,
                                        RawPeer::Split split = RawPeer::Split::None) {
        RawPeer peer(server->port());
        EXPECT_TRUE(peer.connected());
        peer.send(request, split);
        peer.finishSending();
        return peer.readToClose();
    }

    static constexpr const char* kTwentyBytes = "TwentyBytesShareName";
    TempDir dir;
    const std::string settings = dir.file("settings.sqlite");
    const std::string cal = dir.file("cal.alm");
    const std::string link = dir.file("link.alm");  // the open almanary, by another path
    SettingsStore store;
    RecordingHost host;
    std::optional<ShareServer> server;
};

// Every row of the server's state table, sent whole and byte by byte.
TEST_F(ShareServerTest, AnswersEveryLoadAndSaveAsTheProtocolOrders) {
    const std::string gone = dir.file("gone.alm"), loaded = "YY" + lengthBytes(kOld.size()) + kOld;
    const std::string sent = lengthBytes(kNew.size()) + kNew;
    const Calls autosave = {"pauseAutosave", "resumeAutosave"};
    const Calls replaced = {"pauseTimers", "reload " + cal},
                resumed = {"pauseTimers", "resumeTimers"};
    const std::string hello = lengthBytes(5) + "hello";
    // `open`: what the window has open (the link is cal.alm by another path).
    const struct {
        const char* what;
        std::string open, request, answer, fileAfter;
        Calls calls;
    } rows[] = {
        {"unknown command", "", "X", "", kOld, {}},
        {"nothing sent", "", "", "", kOld, {}},
        {"load", "", load("Work"), loaded, kOld, autosave},
        {"load, name in other case", "", load("wORK"), loaded, kOld, autosave},
        {"load, twenty-byte name", "", load(kTwentyBytes), loaded, kOld, autosave},
        {"load, after the zero", "", "L" + std::string("Work\0xyzxyzxyzxyzxyz", 21), loaded, kOld,
         autosave},
        {"load, no zero", "", "L" + std::string(kTwentyBytes) + "x", "N", kOld, {}},
        {"load, not shared", "", load("Home"), "N", kOld, {}},
        {"load, reserved name", "", load("FileName"), "N", kOld, {}},
        {"load, file gone", "", load("Gone"), "YN", kOld, autosave},
        {"load, a named pipe", "", load("Pipe"), "YN", kOld, autosave},
        {"load, empty file", "", load("Empty"), "YY" + lengthBytes(0), kOld, autosave},
        {"save, not open", "", save("Work") + sent, "YN", kNew, {}},
        {"save, open but declined", link, save("Work") + "N", "YY", kOld, {}},
        {"save, open and replaced", link, save("Work") + "Y" + sent, "YY", kNew, replaced},
        {"save, any byte replaces", link, save("Work") + "x" + sent, "YY", kNew, replaced},
        {"save, gone is not made", "", save("Gone") + sent, "YN", kOld, {}},
        {"save, open, unwritable", gone, save("Gone") + "Y" + sent, "YY", kOld, resumed},
        {"save, not an almanary", link, save("Work") + "Y" + hello, "YY", kOld, {}},
        {"save, cut short", "", save("Work") + sent.substr(0, sent.size() - 1), "YN", kOld, {}},
    };
    start();
    for (const auto& row : rows) {
        for (const auto split : {RawPeer::Split::None, RawPeer::Split::EveryByte}) {
            SCOPED_TRACE(std::string(row.what) + (split == RawPeer::Split::None ? "" : ", split"));
            writeFile(cal, kOld);
            host.setOpenPath(row.open);
            const std::size_t before = host.calls().size();
            EXPECT_EQ(exchange(row.request, split), row.answer);
            EXPECT_EQ(readFile(cal), row.fileAfter);
            const Calls calls = host.calls(before + row.calls.size());
            EXPECT_EQ(Calls(calls.begin() + static_cast<long>(before), calls.end()), row.calls);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(gone));
}

// 'Q' ends listening only from this machine; later connections are refused.
TEST_F(ShareServerTest, OnlyThisMachineMayStopTheServer) {
    start();
    TcpSocket::peersSeemRemoteForTesting(true);
    EXPECT_EQ(exchange("Q"), "");
    TcpSocket::peersSeemRemoteForTesting(false);
    EXPECT_EQ(exchange(load("Home")), "N");  // still listening
    EXPECT_EQ(exchange("Q"), "");
    server->waitUntilStopped();
    EXPECT_FALSE(RawPeer(server->port()).connected());
}

// stop() cuts exchanges under way instead of waiting for them.
TEST_F(ShareServerTest, StopCutsExchangesUnderWay) {
    start({.maxHandlers = 64, .exchange = {.idleTimeout = 1h, .answerTimeout = 1h}});
    host.setOpenPath(cal);
    RawPeer loading(server->port()), saving(server->port());
    loading.send("L");
    saving.send(save("Work"));
    EXPECT_EQ(saving.read(2), "YY");  // now waiting for the client's answer
    server->stop();
    EXPECT_EQ(loading.readToClose(), "");
    EXPECT_EQ(saving.readToClose(), "");
    EXPECT_EQ(host.calls(), Calls{"serverStopping"});
    EXPECT_EQ(readFile(cal), kOld);
}

// A hostile peer cannot exhaust or hang the server: beyond the handler limit a connection is
// closed unanswered, a freed place serves again, and silence ends at the idle or answer time-out.
TEST_F(ShareServerTest, HandlersAreLimitedAndSilentPeersCut) {
    const std::string loaded = "YY" + lengthBytes(kOld.size()) + kOld;
    start({.maxHandlers = 2, .exchange = {.idleTimeout = 1h, .answerTimeout = 1h}});
    {
        RawPeer first(server->port()), second(server->port());
        EXPECT_EQ(exchange(load("Work")), "");
        first.finishSending();
        EXPECT_EQ(first.readToClose(), "");
        EXPECT_EQ(exchange(load("Work")), loaded);
    }
    host.setOpenPath(cal);
    const std::tuple<ShareExchange::Limits, std::string, std::string> silences[] = {
        {{.idleTimeout = 50ms, .answerTimeout = 1h}, "S", ""},             // mid-request
        {{.idleTimeout = 1h, .answerTimeout = 50ms}, save("Work"), "YY"},  // at the question
    };
    for (const auto& [limits, request, heard] : silences) {
        server.reset();
        start({.exchange = limits});
        RawPeer silent(server->port());
        silent.send(request);
        EXPECT_EQ(silent.readToClose(), heard);
    }
    EXPECT_EQ(readFile(cal), kOld);
}

}  // namespace
}  // namespace almanary::testing

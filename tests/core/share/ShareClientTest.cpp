// The client against broken servers it must survive, and against the real
// server for every outcome of an exchange.
#include "share/ShareClient.h"

#include <gtest/gtest.h>

#include <future>

#include "app/SettingsStore.h"
#include "share/ShareRegistry.h"
#include "share/ShareServer.h"
#include "share/TcpListener.h"
#include "support/ShareTestPeers.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

using namespace std::chrono_literals;
using Outcome = ShareClient::Outcome;

// Reads until the client goes, so the client decides when the exchange ends.
void waitForClientToGo(TcpSocket& socket) {
    char byte = 0;
    while (socket.readExact(&byte, 1)) {
    }
}

// A server that answers short, announces too much or goes quiet costs the
// client its exchange, never a hang or a huge allocation.
TEST(ShareClientTest, BrokenServersMeanCannotConnect) {
    const struct {
        const char* what;
        std::function<void(TcpSocket&)> script;
        std::chrono::milliseconds timeout = 1h;
    } cases[] = {
        {"closes at once", [](TcpSocket&) {}},
        {"answers once", [](TcpSocket& s) { s.writeAll("Y"); }},
        {"over 256 MiB",
         [](TcpSocket& s) {
             s.writeAll("YY" + lengthBytes((256u << 20) + 1));
             waitForClientToGo(s);
         }},
        {"cut short",
         [](TcpSocket& s) { s.writeAll("YY" + lengthBytes(100) + std::string(10, 'x')); }},
        {"silent", waitForClientToGo, 200ms},
    };
    for (const auto& [what, script, timeout] : cases) {
        FakeServer server(script);
        ShareClient client(server.address(), timeout);
        // Were the client to wait for the server, it would be cancelled here.
        auto exchange = std::async(std::launch::async, [&] { return client.fetch("Work"); });
        if (exchange.wait_for(20s) != std::future_status::ready)
            client.cancel();
        const ShareClient::Result result = exchange.get();
        EXPECT_EQ(result.outcome, Outcome::CannotConnect) << what;
        EXPECT_EQ(result.content, "") << what;
        EXPECT_NE(result.detail, "") << what;
    }
    const std::uint16_t closedPort = TcpListener::listen(0)->port();
    EXPECT_EQ(ShareClient({"127.0.0.1", closedPort}).fetch("Work").outcome, Outcome::CannotConnect);
    // A name no server can share is not cut down to one that it might.
    EXPECT_EQ(ShareClient({"127.0.0.1", closedPort}).fetch(std::string(21, 'n')).outcome,
              Outcome::NotShared);
}

// Cancel from another thread ends a wait that would otherwise last an hour.
TEST(ShareClientTest, CancelEndsAnExchangeFromAnotherThread) {
    std::promise<void> requestRead;
    FakeServer server([&](TcpSocket& socket) {
        char request[22];
        EXPECT_TRUE(socket.readExact(request, sizeof request));
        requestRead.set_value();
        waitForClientToGo(socket);
    });
    ShareClient client(server.address(), 1h);
    auto result = std::async(std::launch::async, [&] { return client.fetch("Work"); });
    requestRead.get_future().wait();
    client.cancel();
    EXPECT_EQ(result.get().outcome, Outcome::Cancelled);
}

class ShareClientServerTest : public ::testing::Test {
protected:
    ShareClientServerTest() {
        SettingsStore store;
        EXPECT_TRUE(store.open(settings));
        writeFile(cal, kOld);
        writeFile(local, kNew);
        EXPECT_TRUE(ShareRegistry(store).publish("Work", cal) &&
                    ShareRegistry(store).publish("Gone", dir.file("gone.alm")));
        EXPECT_EQ(server.start(0), std::nullopt);
    }

    ShareClient::Result send(const std::string& path, bool replace = false) {
        return ShareClient({"localhost", server.port()})
            .send("Work", path, [this, replace](const std::string& name) {
                asked.push_back(name);
                return replace;
            });
    }

    const std::string kOld = almanaryBytes("Old");
    const std::string kNew = almanaryBytes("New", 100000);
    TempDir dir;
    const std::string settings = dir.file("settings.sqlite");
    const std::string cal = dir.file("cal.alm");
    const std::string local = dir.file("local.alm");
    RecordingHost host;
    ShareServer server{host, settings};
    std::vector<std::string> asked;
};

// Done comes once the server has the file; the open almanary is replaced
// only with the user's word; a local file that cannot be sent is not. A
// fetch gives the file or says why not.
TEST_F(ShareClientServerTest, SendReplacesTheFileOnlyWhenItMayAndFetchGivesIt) {
    EXPECT_EQ(send(local).outcome, Outcome::Done);
    EXPECT_TRUE(readFile(cal) == kNew);
    EXPECT_TRUE(asked.empty());

    writeFile(cal, kOld);
    host.setOpenPath(cal);
    EXPECT_EQ(send(local, false).outcome, Outcome::Declined);
    EXPECT_TRUE(readFile(cal) == kOld);
    EXPECT_EQ(send(local, true).outcome, Outcome::Done);
    EXPECT_TRUE(readFile(cal) == kNew);
    EXPECT_EQ(asked, (std::vector<std::string>{"Work", "Work"}));
    EXPECT_EQ(host.calls(2), (std::vector<std::string>{"pauseTimers", "reload " + cal}));

    writeFile(cal, kOld);
    host.setOpenPath("");
    writeFile(dir.file("text.alm"), "not an almanary");
    for (const std::string& path : {dir.file("missing.alm"), dir.file("text.alm")}) {
        const ShareClient::Result result = send(path);
        EXPECT_EQ(result.outcome, Outcome::CannotOpenToSend) << path;
        EXPECT_NE(result.detail.find(path), std::string::npos) << result.detail;
    }
    EXPECT_TRUE(readFile(cal) == kOld);

    ShareClient client({"localhost", server.port()});
    const ShareClient::Result fetched = client.fetch("Work");
    EXPECT_TRUE(fetched.outcome == Outcome::Done && fetched.content == kOld);
    EXPECT_EQ(client.fetch("Home").outcome, Outcome::NotShared);
    EXPECT_EQ(client.fetch("Gone").outcome, Outcome::FileMissing);
}

}  // namespace
}  // namespace almanary::testing

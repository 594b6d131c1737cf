// The client against broken servers.
#include "share/ShareClient.h"

#include <gtest/gtest.h>

#include <future>

#include "support/ShareTestPeers.h"

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

// A server that answers short, too much or not at all costs the exchange, never a hang.
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
}

}  // namespace
}  // namespace almanary::testing

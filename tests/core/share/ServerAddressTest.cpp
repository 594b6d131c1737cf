// The server addresses users type, and the port of the share service.
#include "share/ServerAddress.h"

#include <gtest/gtest.h>
#include <netdb.h>
#include <netinet/in.h>

#include "support/ScopedEnvironment.h"

namespace almanary {
namespace {

TEST(ServerAddressTest, HostAndPortAsTyped) {
    const struct {
        std::string text;
        std::optional<std::pair<std::string, std::uint16_t>> address;
    } cases[] = {
        {"example.org", {{"example.org", 4000}}},
        {"example.org:80", {{"example.org", 80}}},
        {"127.0.0.1:65535", {{"127.0.0.1", 65535}}},
        {"", std::nullopt},
        {":80", std::nullopt},
        {"host:", std::nullopt},
        {"host:0", std::nullopt},
        {"host:65536", std::nullopt},
        {"host:8o", std::nullopt},
        {"host:-1", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto parsed = ServerAddress::parse(c.text, 4000);
        EXPECT_EQ(parsed ? std::optional(std::pair(parsed->host, parsed->port)) : std::nullopt,
                  c.address)
            << c.text;
    }
}

// ALMANARY_PORT when it holds a port, else the services database's, else 3223.
TEST(ServerAddressTest, ThePortComesFromTheEnvironmentWhenItIsAPort) {
    const servent* entry = ::getservbyname("3223", "tcp");
    const std::uint16_t fallback = entry ? ntohs(static_cast<std::uint16_t>(entry->s_port)) : 3223;
    testing::ScopedEnvironment environment;
    const std::pair<const char*, std::optional<std::uint16_t>> cases[] = {
        {nullptr, std::nullopt}, {"4000", 4000}, {"0", {}}, {"70000", {}}, {"port", {}}};
    for (const auto& [variable, port] : cases) {
        environment.set("ALMANARY_PORT", variable);
        EXPECT_EQ(ServerAddress::defaultPort(), port.value_or(fallback))
            << (variable ? variable : "unset");
        EXPECT_EQ(ServerAddress::environmentProblem().has_value(), variable && !port)
            << (variable ? variable : "unset");
    }
}

}  // namespace
}  // namespace almanary

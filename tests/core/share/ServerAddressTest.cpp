// The server addresses users type.
#include "share/ServerAddress.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace almanary

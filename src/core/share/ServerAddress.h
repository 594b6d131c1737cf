#pragma once
// Where a share server listens: the port every copy agrees on, and a server
// written "host" or "host:port" as the user types it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace almanary {

struct ServerAddress {
    static constexpr std::uint16_t kStandardPort = 3223;

    std::string host;
    std::uint16_t port = kStandardPort;

    // "host" (on `defaultPort`) or "host:port"; nothing for an empty host or
    // a port that is not a number from 1 to 65535.
    static std::optional<ServerAddress> parse(std::string_view text, std::uint16_t defaultPort);

    // The port of the share service: $ALMANARY_PORT when it holds a port,
    // else the services database's tcp entry named "3223", else 3223.
    static std::uint16_t defaultPort();
    // Why $ALMANARY_PORT cannot be used (it is set but holds no port);
    // nothing when it is unset or fine.
    static std::optional<std::string> environmentProblem();

    // A decimal port from 1 to 65535, or 0 ("any free port") when allowed.
    enum class Zero { Refused, Allowed };
    static std::optional<std::uint16_t> parsePort(std::string_view text, Zero zero = Zero::Refused);

    // "host:port", as messages name it.
    std::string text() const { return host + ":" + std::to_string(port); }
};

}  // namespace almanary

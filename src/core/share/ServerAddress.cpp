#include "share/ServerAddress.h"

#include <netdb.h>
#include <netinet/in.h>

#include <array>
#include <charconv>
#include <cstdlib>

namespace almanary {
namespace {

constexpr const char* kPortVariable = "ALMANARY_PORT";

std::optional<std::uint16_t> servicesPort() {
    servent entry{};
    servent* found = nullptr;
    std::array<char, 1024> buffer{};
    if (::getservbyname_r("3223", "tcp", &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr)
        return std::nullopt;
    const std::uint16_t port = ntohs(static_cast<std::uint16_t>(found->s_port));
    return port == 0 ? std::nullopt : std::optional(port);
}

}  // namespace

std::optional<std::uint16_t> ServerAddress::parsePort(std::string_view text, Zero zero) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > 65535 ||
        (value == 0 && zero == Zero::Refused))
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

std::optional<ServerAddress> ServerAddress::parse(std::string_view text,
                                                  std::uint16_t defaultPort) {
    ServerAddress address{std::string(text), defaultPort};
    if (const auto colon = text.rfind(':'); colon != std::string_view::npos) {
        const auto port = parsePort(text.substr(colon + 1));
        if (!port)
            return std::nullopt;
        address.host = std::string(text.substr(0, colon));
        address.port = *port;
    }
    if (address.host.empty())
        return std::nullopt;
    return address;
}

std::uint16_t ServerAddress::defaultPort() {
    if (const char* variable = std::getenv(kPortVariable)) {
        if (const auto port = parsePort(variable))
            return *port;
    }
    return servicesPort().value_or(kStandardPort);
}

std::optional<std::string> ServerAddress::environmentProblem() {
    const char* variable = std::getenv(kPortVariable);
    if (variable == nullptr || parsePort(variable))
        return std::nullopt;
    return std::string(kPortVariable) + "=" + variable +
           " is not a port from 1 to 65535, so it is ignored";
}

}  // namespace almanary

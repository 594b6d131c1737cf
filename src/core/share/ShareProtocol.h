#pragma once
// The wire format of Internet sharing: one request per TCP connection, a
// command byte, a 21-byte share-name field, 'Y'/'N' answers, a 4-byte
// little-endian length and the almanary file's bytes. Both sides read each
// element whole, however the bytes are split on the way, and refuse an
// announced length over kMaxContentBytes before reading any of it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace almanary {

class TcpSocket;

class ShareProtocol {
public:
    enum class Command : char { Load = 'L', Save = 'S', Stop = 'Q' };
    static constexpr char kYes = 'Y';
    static constexpr char kNo = 'N';

    // A name of up to 20 bytes, then zero bytes.
    static constexpr std::size_t kNameFieldSize = 21;
    static constexpr std::size_t kLengthSize = 4;
    // The most either side holds in memory for one file.
    static constexpr std::uint32_t kMaxContentBytes = 256u * 1024 * 1024;

    // The field for `name`, which must fit (at most 20 bytes, no zero byte).
    static std::string nameField(std::string_view name);
    // The name a field holds: up to its first zero byte, or all 21 bytes.
    static std::string nameOf(std::string_view field);
    static std::string lengthField(std::uint32_t length);
    static std::uint32_t lengthOf(std::string_view field);

    // The elements read from a connection; nothing when it ends, fails or
    // times out first.
    static std::optional<char> readByte(TcpSocket& socket);
    static std::optional<std::string> readName(TcpSocket& socket);
    // Nothing too for a length over kMaxContentBytes.
    static std::optional<std::uint32_t> readLength(TcpSocket& socket);
    // Exactly `length` bytes. Memory grows with what has arrived, not with
    // what was announced, so a peer that announces much and sends little
    // costs little.
    static std::optional<std::string> readContent(TcpSocket& socket, std::uint32_t length);
};

}  // namespace almanary

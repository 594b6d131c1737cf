#include "share/ShareProtocol.h"

#include <algorithm>

#include "share/TcpSocket.h"

namespace almanary {
namespace {

// The first room made for a file's bytes; it doubles as they arrive.
constexpr std::size_t kFirstRoom = 64 * 1024;

}  // namespace

std::string ShareProtocol::nameField(std::string_view name) {
    std::string field(kNameFieldSize, '\0');
    name.copy(field.data(), std::min(name.size(), kNameFieldSize - 1));
    return field;
}

std::string ShareProtocol::nameOf(std::string_view field) {
    field = field.substr(0, kNameFieldSize);
    return std::string(field.substr(0, field.find('\0')));
}

std::string ShareProtocol::lengthField(std::uint32_t length) {
    std::string field(kLengthSize, '\0');
    for (std::size_t i = 0; i < kLengthSize; ++i)
        field[i] = static_cast<char>((length >> (8 * i)) & 0xFF);
    return field;
}

std::uint32_t ShareProtocol::lengthOf(std::string_view field) {
    std::uint32_t length = 0;
    for (std::size_t i = 0; i < kLengthSize && i < field.size(); ++i)
        length |= static_cast<std::uint32_t>(static_cast<unsigned char>(field[i])) << (8 * i);
    return length;
}

std::optional<char> ShareProtocol::readByte(TcpSocket& socket) {
    char byte = 0;
    if (!socket.readExact(&byte, 1))
        return std::nullopt;
    return byte;
}

std::optional<std::string> ShareProtocol::readName(TcpSocket& socket) {
    char field[kNameFieldSize];
    if (!socket.readExact(field, sizeof field))
        return std::nullopt;
    return nameOf(std::string_view(field, sizeof field));
}

std::optional<std::uint32_t> ShareProtocol::readLength(TcpSocket& socket) {
    char field[kLengthSize];
    if (!socket.readExact(field, sizeof field))
        return std::nullopt;
    const std::uint32_t length = lengthOf(std::string_view(field, sizeof field));
    if (length > kMaxContentBytes)
        return std::nullopt;
    return length;
}

std::optional<std::string> ShareProtocol::readContent(TcpSocket& socket, std::uint32_t length) {
    std::string content;
    std::size_t filled = 0;
    while (filled < length) {
        if (filled == content.size())
            content.resize(std::min<std::size_t>(length, std::max(kFirstRoom, 2 * filled)));
        const std::size_t got = socket.readSome(content.data() + filled, content.size() - filled);
        if (got == 0)
            return std::nullopt;
        filled += got;
    }
    return content;
}

}  // namespace almanary

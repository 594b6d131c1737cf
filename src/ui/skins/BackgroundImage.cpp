#include "skins/BackgroundImage.h"

#include <QByteArray>
#include <QList>
#include <QPainter>
#include <QRect>
#include <cstdint>
#include <optional>
#include <utility>

#include "model/FileReading.h"

namespace almanary {
namespace {

constexpr std::uint64_t kFileHeaderSize = 14;
// Nothing a background needs is larger: 8192 x 8192 pixels of 32 bits and
// their headers. Bigger files are refused before anything is read.
constexpr std::size_t kMaxFileSize = (256 + 1) * 1024 * 1024;
constexpr std::uint64_t kMaxSide = 32768;
constexpr std::uint64_t kMaxPixels = 8192ULL * 8192ULL;
constexpr std::uint64_t kMaxColours = 256;

// Header sizes: OS/2 core, Windows 3, version 4 and version 5.
constexpr std::uint32_t kCoreHeader = 12;
constexpr std::uint32_t kInfoHeader = 40;
constexpr std::uint32_t kV4Header = 108;
constexpr std::uint32_t kV5Header = 124;

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

// Little-endian reads; the caller has checked that the bytes are there.
std::uint32_t u16(const QByteArray& bytes, std::uint64_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + at;
    return static_cast<std::uint32_t>(p[0] | (p[1] << 8));
}

std::uint32_t u32(const QByteArray& bytes, std::uint64_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + at;
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Where the parts of a bitmap lie, as offsets into the whole file.
struct Layout {
    std::uint64_t colourCount = 0;
    std::uint64_t tableStart = 0;
    std::uint64_t entrySize = 4;
    std::uint64_t pixelStart = 0;
};

struct Header {
    std::uint32_t size = 0;
    std::uint64_t width = 0;
    std::uint64_t height = 0;  // the magnitude: negative means top-down
    bool topDown = false;
    std::uint32_t bitCount = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t imageSize = 0;
    std::uint32_t coloursUsed = 0;
};

std::optional<Header> readHeader(const QByteArray& file) {
    const auto fileSize = static_cast<std::uint64_t>(file.size());
    if (fileSize < kFileHeaderSize + 4)
        return std::nullopt;
    Header header;
    header.size = u32(file, kFileHeaderSize);
    if (header.size != kCoreHeader && header.size != kInfoHeader && header.size != kV4Header &&
        header.size != kV5Header)
        return std::nullopt;
    if (kFileHeaderSize + header.size > fileSize)
        return std::nullopt;
    const std::uint64_t at = kFileHeaderSize;
    if (header.size == kCoreHeader) {
        header.width = u16(file, at + 4);
        header.height = u16(file, at + 6);
        header.bitCount = u16(file, at + 10);
        return header;
    }
    const auto width = static_cast<std::int32_t>(u32(file, at + 4));
    const auto height = static_cast<std::int32_t>(u32(file, at + 8));
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return std::nullopt;
    header.width = static_cast<std::uint64_t>(width);
    header.topDown = height < 0;
    header.height = static_cast<std::uint64_t>(height < 0 ? -height : height);
    header.bitCount = u16(file, at + 14);
    header.compression = u32(file, at + 16);
    header.imageSize = u32(file, at + 20);
    header.coloursUsed = u32(file, at + 32);
    return header;
}

bool validFormat(const Header& header) {
    switch (header.bitCount) {
        case 1:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32:
            break;
        default:
            return false;
    }
    switch (header.compression) {
        case kRgb:
            return true;
        case kRle8:
            return header.bitCount == 8 && !header.topDown;
        case kRle4:
            return header.bitCount == 4 && !header.topDown;
        case kBitFields:
            return header.bitCount == 16 || header.bitCount == 32;
        default:
            return false;  // JPEG, PNG and the rest are no Windows bitmaps
    }
}

// Every field checked against the bytes the file holds: a crafted or cut
// file is refused here instead of being read past its end.
std::optional<Layout> check(const QByteArray& file) {
    const std::optional<Header> header = readHeader(file);
    if (!header || !validFormat(*header))
        return std::nullopt;
    if (header->width == 0 || header->height == 0 || header->width > kMaxSide ||
        header->height > kMaxSide || header->width * header->height > kMaxPixels)
        return std::nullopt;

    Layout layout;
    if (header->bitCount <= 8) {
        layout.colourCount =
            header->coloursUsed != 0 ? header->coloursUsed : (1ULL << header->bitCount);
        if (layout.colourCount > kMaxColours)
            return std::nullopt;
    }
    layout.entrySize = header->size == kCoreHeader ? 3 : 4;
    layout.tableStart = kFileHeaderSize + header->size;
    // A Windows 3 header keeps its three colour masks after itself.
    if (header->size == kInfoHeader && header->compression == kBitFields)
        layout.tableStart += 12;
    const auto fileSize = static_cast<std::uint64_t>(file.size());
    const std::uint64_t tableEnd = layout.tableStart + layout.colourCount * layout.entrySize;
    if (tableEnd > fileSize)
        return std::nullopt;

    // The file header's pixel offset when it is set and lies past the colour
    // table; otherwise the pixels follow the table.
    const std::uint64_t offset = u32(file, 10);
    layout.pixelStart = offset >= tableEnd && offset < fileSize ? offset : tableEnd;

    const std::uint64_t available = fileSize - layout.pixelStart;
    if (header->compression == kRle8 || header->compression == kRle4) {
        if (available < 2 || header->imageSize > available)
            return std::nullopt;
    } else {
        const std::uint64_t stride = (header->width * header->bitCount + 31) / 32 * 4;
        if (stride * header->height > available)
            return std::nullopt;
    }
    return layout;
}

QVector<QRgb> paletteOf(const QByteArray& file, const Layout& layout) {
    QVector<QRgb> palette;
    palette.reserve(static_cast<qsizetype>(layout.colourCount));
    for (std::uint64_t i = 0; i < layout.colourCount; ++i) {
        const auto* entry = reinterpret_cast<const unsigned char*>(file.constData()) +
                            layout.tableStart + i * layout.entrySize;
        // Stored blue, green, red (and a reserved byte).
        palette.append(qRgb(entry[2], entry[1], entry[0]));
    }
    return palette;
}

// The whole file, or nothing when it cannot be read in full. The one
// whole-file reader opens only an ordinary file, without waiting: a path
// from a skin file may name a pipe or a device.
std::optional<std::string> readWhole(const std::string& path) {
    FileContents file = FileReading::readWholeFile(path, kMaxFileSize);
    if (!file.ok())
        return std::nullopt;
    return std::move(file.bytes);
}

// A palette bitmap may declare fewer colours than its pixels index; Qt
// keeps the short table and drawing would read past its end. The entries
// it lacks are black.
void completePalette(QImage& image) {
    const QImage::Format format = image.format();
    if (format != QImage::Format_Indexed8 && format != QImage::Format_Mono &&
        format != QImage::Format_MonoLSB)
        return;
    const int needed = 1 << image.depth();
    QList<QRgb> table = image.colorTable();
    if (table.size() >= needed)
        return;
    table.resize(needed, qRgb(0, 0, 0));
    image.setColorTable(table);
}

}  // namespace

bool BackgroundImage::load(const std::string& path) {
    std::optional<std::string> bytes = readWhole(path);
    return bytes && loadBytes(std::move(*bytes));
}

bool BackgroundImage::loadBytes(std::string bytes) {
    if (bytes.size() < kFileHeaderSize || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    // Wraps the bytes without a copy; they outlive every use below.
    const QByteArray file =
        QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const std::optional<Layout> layout = check(file);
    if (!layout)
        return false;

    // Qt's reader finds the pixels through the file header's offset; give it
    // the place that was checked.
    const auto pixelStart = static_cast<std::uint32_t>(layout->pixelStart);
    for (std::size_t k = 0; k < 4; ++k)
        bytes[10 + k] = static_cast<char>((pixelStart >> (8 * k)) & 0xFF);
    QImage decoded;
    if (!decoded.loadFromData(file, "BMP") || decoded.isNull())
        return false;
    completePalette(decoded);

    image_ = std::move(decoded);
    palette_ = paletteOf(file, *layout);
    return true;
}

bool BackgroundImage::draw(QPainter& painter, const QRect& target) const {
    if (!isLoaded())
        return false;
    const int width = target.width() == -1 ? image_.width() : target.width();
    const int height = target.height() == -1 ? image_.height() : target.height();
    // Nearest-neighbour stretching, as the picture has always been drawn.
    painter.drawImage(QRect(target.x(), target.y(), width, height), image_);
    return true;
}

bool BackgroundImage::unload() {
    if (!isLoaded())
        return false;
    image_ = QImage();
    return true;
}

}  // namespace almanary

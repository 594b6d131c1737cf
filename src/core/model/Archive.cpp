#include "model/Archive.h"

#include <limits>

namespace almanary {
namespace {

constexpr std::uint32_t kLongLengthMark = 0xFFFF;
constexpr std::uint32_t kWideMark = 0xFFFE;
constexpr std::uint32_t kReplacementCharacter = 0xFFFD;

std::uint32_t littleEndian(const unsigned char* data, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | data[i];
    return value;
}

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool isHighSurrogate(std::uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(std::uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

// ---- writer ----

void ArchiveWriter::put(std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes_ += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void ArchiveWriter::writeU32(std::uint32_t value) {
    put(value, 4);
}

void ArchiveWriter::writeI32(std::int32_t value) {
    put(static_cast<std::uint32_t>(value), 4);
}

void ArchiveWriter::writeBool(bool value) {
    put(value ? 1 : 0, 4);
}

void ArchiveWriter::writeDateTime(DateTime value) {
    if (!Calendar::isStorable(value)) {
        fail("a date lies outside the range a file can hold");
        value = 0;
    }
    put(static_cast<std::uint32_t>(value), 4);
}

void ArchiveWriter::writeText(std::string_view text) {
    if (text.size() >= std::numeric_limits<std::uint32_t>::max()) {
        fail("a text is too long to store");
        text = {};
    }
    const auto length = static_cast<std::uint32_t>(text.size());
    if (length < 0xFF) {
        put(length, 1);
    } else if (length < kWideMark) {
        put(0xFF, 1);
        put(length, 2);
    } else {
        put(0xFF, 1);
        put(kLongLengthMark, 2);
        put(length, 4);
    }
    bytes_.append(text);
}

void ArchiveWriter::fail(std::string reason) {
    if (error_.empty())
        error_ = std::move(reason);
}

// ---- reader ----

void ArchiveReader::fail(std::string reason) {
    if (error_.empty())
        error_ = std::move(reason);
    offset_ = bytes_.size();  // nothing more can be read
}

std::string ArchiveReader::describe(const char* what) const {
    std::string text = "the ";
    text += what;
    if (recordLabel_ != nullptr) {
        text += " of ";
        text += recordLabel_;
        text += ' ';
        text += std::to_string(recordNumber_);
    }
    return text;
}

void ArchiveReader::failShort(const char* what, std::uint64_t needed, std::uint64_t promised) {
    const bool starved = needed <= remainingInSource();
    std::string reason = "the file ends early, in " + describe(what);
    if (promised > 0) {
        reason += " (" + std::to_string(promised) + " bytes promised, " +
                  std::to_string(remainingInSource()) + " left)";
    }
    fail(std::move(reason));
    starved_ = starved;
}

bool ArchiveReader::take(std::size_t size, const char* what, const unsigned char*& data) {
    if (!ok())
        return false;
    if (size > remaining()) {
        failShort(what, size, 0);
        return false;
    }
    data = reinterpret_cast<const unsigned char*>(bytes_.data()) + offset_;
    offset_ += size;
    return true;
}

bool ArchiveReader::readU32Slowly(std::uint32_t& value, const char* what) {
    const unsigned char* data = nullptr;
    if (!take(4, what, data))
        return false;
    value = littleEndian(data, 4);
    return true;
}

// One byte below 0xFF; else 0xFF and 16 bits below 0xFFFF; else 0xFFFF and
// 32 bits. In a first prefix 0xFFFE marks a wide text, whose own length
// prefix follows (there 0xFFFE is an ordinary length).
bool ArchiveReader::readLength(std::uint32_t& length, bool allowWide, bool& wide,
                               const char* what) {
    const unsigned char* data = nullptr;
    if (!take(1, what, data))
        return false;
    if (data[0] < 0xFF) {
        length = data[0];
        return true;
    }
    if (!take(2, what, data))
        return false;
    const std::uint32_t word = littleEndian(data, 2);
    if (word == kWideMark && allowWide) {
        wide = true;
        bool ignored = false;
        return readLength(length, false, ignored, what);
    }
    if (word < kLongLengthMark) {
        length = word;
        return true;
    }
    if (!take(4, what, data))
        return false;
    length = littleEndian(data, 4);
    return true;
}

bool ArchiveReader::readText(std::string& text, const char* what) {
    std::string_view view;
    if (!readTextView(view, text, what))
        return false;
    if (view.data() != text.data())
        text.assign(view);
    return true;
}

bool ArchiveReader::readTextViewSlowly(std::string_view& text, std::string& wide,
                                       const char* what) {
    std::uint32_t length = 0;
    bool isWide = false;
    if (!readLength(length, true, isWide, what))
        return false;
    if (isWide) {
        if (!readWide(wide, length, what))
            return false;
        text = wide;
        return true;
    }
    if (length > remaining()) {
        failShort(what, length, length);
        return false;
    }
    text = bytes_.substr(offset_, length);
    offset_ += length;
    return true;
}

bool ArchiveReader::readWide(std::string& text, std::uint32_t units, const char* what) {
    const std::uint64_t size = std::uint64_t{units} * 2;
    if (size > remaining()) {
        failShort(what, size, size);
        return false;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes_.data()) + offset_;
    offset_ += static_cast<std::size_t>(size);
    text.clear();
    text.reserve(static_cast<std::size_t>(size));  // most texts need no more
    for (std::uint32_t i = 0; i < units; ++i) {
        std::uint32_t code = littleEndian(data + 2 * i, 2);
        if (isHighSurrogate(code) && i + 1 < units) {
            const std::uint32_t low = littleEndian(data + 2 * (i + 1), 2);
            if (isLowSurrogate(low)) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (isHighSurrogate(code) || isLowSurrogate(code))
            code = kReplacementCharacter;
        appendUtf8(text, code);
    }
    return true;
}

bool ArchiveReader::checkCount(std::uint64_t count, std::size_t smallest, const char* what) {
    if (!ok())
        return false;
    const std::uint64_t room = smallest == 0 ? remainingInSource() : remainingInSource() / smallest;
    if (smallest > 0 && count > room) {
        fail("the file promises " + std::to_string(count) + " " + what +
             " but holds room for at most " + std::to_string(room));
        return false;
    }
    return true;
}

bool ArchiveStream::moveOn(std::size_t keepFrom) {
    const std::size_t kept = reader_.offset() + reader_.remaining() - keepFrom;
    const std::optional<Window> next = advance_ ? advance_(keepFrom) : std::nullopt;
    // A window that brought nothing new would be read the same way forever.
    if (!next || next->view.size() <= kept)
        return false;
    reader_ = ArchiveReader(next->view, next->bytesAfter);
    return true;
}

}  // namespace almanary

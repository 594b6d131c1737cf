#include "model/Archive.h"

#include <limits>

namespace almanary {
namespace {

constexpr std::uint32_t kLongLengthMark = 0xFFFF;
constexpr std::uint32_t kWideMark = 0xFFFE;
constexpr std::uint32_t kReplacementCharacter = 0xFFFD;

std::uint32_t LittleEndian(const unsigned char* data, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | data[i];
    return value;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
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

bool IsHighSurrogate(std::uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(std::uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

// ---- writer ----

void ArchiveWriter::Put(std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes_ += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void ArchiveWriter::WriteU32(std::uint32_t value) {
    Put(value, 4);
}

void ArchiveWriter::WriteI32(std::int32_t value) {
    Put(static_cast<std::uint32_t>(value), 4);
}

void ArchiveWriter::WriteBool(bool value) {
    Put(value ? 1 : 0, 4);
}

void ArchiveWriter::WriteDateTime(DateTime value) {
    if (!Calendar::IsStorable(value)) {
        Fail("a date lies outside the range a file can hold");
        value = 0;
    }
    Put(static_cast<std::uint32_t>(value), 4);
}

void ArchiveWriter::WriteText(std::string_view text) {
    if (text.size() >= std::numeric_limits<std::uint32_t>::max()) {
        Fail("a text is too long to store");
        text = {};
    }
    const auto length = static_cast<std::uint32_t>(text.size());
    if (length < 0xFF) {
        Put(length, 1);
    } else if (length < kWideMark) {
        Put(0xFF, 1);
        Put(length, 2);
    } else {
        Put(0xFF, 1);
        Put(kLongLengthMark, 2);
        Put(length, 4);
    }
    bytes_.append(text);
}

void ArchiveWriter::Fail(std::string reason) {
    if (error_.empty())
        error_ = std::move(reason);
}

// ---- reader ----

void ArchiveReader::Fail(std::string reason) {
    if (error_.empty())
        error_ = std::move(reason);
    offset_ = bytes_.size();  // nothing more can be read
}

std::string ArchiveReader::Describe(const char* what) const {
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

void ArchiveReader::FailShort(const char* what, std::uint64_t promised) {
    std::string reason = "the file ends early, in " + Describe(what);
    if (promised > 0) {
        reason += " (" + std::to_string(promised) + " bytes promised, " +
                  std::to_string(remaining()) + " left)";
    }
    Fail(std::move(reason));
}

bool ArchiveReader::Take(std::size_t size, const char* what, const unsigned char*& data) {
    if (!ok())
        return false;
    if (size > remaining()) {
        FailShort(what, 0);
        return false;
    }
    data = reinterpret_cast<const unsigned char*>(bytes_.data()) + offset_;
    offset_ += size;
    return true;
}

bool ArchiveReader::ReadU32(std::uint32_t& value, const char* what) {
    const unsigned char* data = nullptr;
    if (!Take(4, what, data))
        return false;
    value = LittleEndian(data, 4);
    return true;
}

bool ArchiveReader::ReadI32(std::int32_t& value, const char* what) {
    std::uint32_t raw = 0;
    if (!ReadU32(raw, what))
        return false;
    value = static_cast<std::int32_t>(raw);
    return true;
}

bool ArchiveReader::ReadBool(bool& value, const char* what) {
    std::uint32_t raw = 0;
    if (!ReadU32(raw, what))
        return false;
    value = raw != 0;
    return true;
}

bool ArchiveReader::ReadDateTime(DateTime& value, const char* what) {
    std::uint32_t raw = 0;
    if (!ReadU32(raw, what))
        return false;
    value = static_cast<DateTime>(raw);
    return true;
}

// One byte below 0xFF; else 0xFF and 16 bits below 0xFFFF; else 0xFFFF and
// 32 bits. In a first prefix 0xFFFE marks a wide text, whose own length
// prefix follows (there 0xFFFE is an ordinary length).
bool ArchiveReader::ReadLength(std::uint32_t& length, bool allowWide, bool& wide,
                               const char* what) {
    const unsigned char* data = nullptr;
    if (!Take(1, what, data))
        return false;
    if (data[0] < 0xFF) {
        length = data[0];
        return true;
    }
    if (!Take(2, what, data))
        return false;
    const std::uint32_t word = LittleEndian(data, 2);
    if (word == kWideMark && allowWide) {
        wide = true;
        bool ignored = false;
        return ReadLength(length, false, ignored, what);
    }
    if (word < kLongLengthMark) {
        length = word;
        return true;
    }
    if (!Take(4, what, data))
        return false;
    length = LittleEndian(data, 4);
    return true;
}

bool ArchiveReader::ReadText(std::string& text, const char* what) {
    std::uint32_t length = 0;
    bool wide = false;
    if (!ReadLength(length, true, wide, what))
        return false;
    if (wide)
        return ReadWide(text, length, what);
    if (length > remaining()) {
        FailShort(what, length);
        return false;
    }
    text.assign(bytes_.data() + offset_, length);
    offset_ += length;
    return true;
}

bool ArchiveReader::ReadWide(std::string& text, std::uint32_t units, const char* what) {
    const std::uint64_t size = std::uint64_t{units} * 2;
    if (size > remaining()) {
        FailShort(what, size);
        return false;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes_.data()) + offset_;
    offset_ += static_cast<std::size_t>(size);
    text.clear();
    text.reserve(static_cast<std::size_t>(size));  // most texts need no more
    for (std::uint32_t i = 0; i < units; ++i) {
        std::uint32_t code = LittleEndian(data + 2 * i, 2);
        if (IsHighSurrogate(code) && i + 1 < units) {
            const std::uint32_t low = LittleEndian(data + 2 * (i + 1), 2);
            if (IsLowSurrogate(low)) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (IsHighSurrogate(code) || IsLowSurrogate(code))
            code = kReplacementCharacter;
        AppendUtf8(text, code);
    }
    return true;
}

bool ArchiveReader::CheckCount(std::uint64_t count, std::size_t smallest, const char* what) {
    if (!ok())
        return false;
    const std::size_t room = smallest == 0 ? remaining() : remaining() / smallest;
    if (smallest > 0 && count > room) {
        Fail("the file promises " + std::to_string(count) + " " + what +
             " but holds room for at most " + std::to_string(room));
        return false;
    }
    return true;
}

}  // namespace almanary

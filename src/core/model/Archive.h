#pragma once
// The typed little-endian primitives of almanary and skin files, built and
// parsed in memory. The reader checks every field against the bytes left:
// on the first shortfall it stops, remembers what was wrong, and every
// later read fails too. Nothing is allocated from a length that has not
// been checked against the bytes that are really there.
//
// A reader may see only a window of a longer source: it is told how many
// bytes follow the window, counts them in what it reports as left, and when
// a read fails only because the window ended it says so (starved()), so the
// caller can widen the window and read that item again.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "model/Calendar.h"

namespace almanary {

class ArchiveWriter {
public:
    void writeU32(std::uint32_t value);
    void writeI32(std::int32_t value);
    void writeBool(bool value);  // 1 or 0
    // Unsigned 32 bits. A value outside 0..4294967295 cannot be stored: 0 is
    // written in its place and the writer fails.
    void writeDateTime(DateTime value);
    // Length prefix (1, 3 or 7 bytes), then the bytes. A text of 4 GiB or
    // more cannot be stored: it is written empty and the writer fails.
    void writeText(std::string_view text);

    // False once something could not be stored; error() says what.
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    // Keeps the first reason given.
    void fail(std::string reason);

    const std::string& bytes() const { return bytes_; }
    std::string take() { return std::move(bytes_); }
    void reserve(std::size_t size) { bytes_.reserve(size); }

private:
    void put(std::uint32_t value, int size);

    std::string bytes_;
    std::string error_;
};

class ArchiveReader {
public:
    explicit ArchiveReader(std::string_view bytes, std::uint64_t bytesAfter = 0)
        : bytes_(bytes), bytesAfter_(bytesAfter) {}

    // `what` names the field in error messages ("notes", "event count").
    // The common cases are read inline: a file holds millions of fields.
    bool readU32(std::uint32_t& value, const char* what) {
        if (remaining() >= 4) {
            const auto* data = reinterpret_cast<const unsigned char*>(bytes_.data()) + offset_;
            value = std::uint32_t{data[0]} | std::uint32_t{data[1]} << 8 |
                    std::uint32_t{data[2]} << 16 | std::uint32_t{data[3]} << 24;
            offset_ += 4;
            return true;
        }
        return readU32Slowly(value, what);
    }
    bool readI32(std::int32_t& value, const char* what) {
        std::uint32_t raw = 0;
        if (!readU32(raw, what))
            return false;
        value = static_cast<std::int32_t>(raw);
        return true;
    }
    // Any non-zero value is true.
    bool readBool(bool& value, const char* what) {
        std::uint32_t raw = 0;
        if (!readU32(raw, what))
            return false;
        value = raw != 0;
        return true;
    }
    // 0..4294967295.
    bool readDateTime(DateTime& value, const char* what) {
        std::uint32_t raw = 0;
        if (!readU32(raw, what))
            return false;
        value = static_cast<DateTime>(raw);
        return true;
    }
    // Accepts the wide form (0xFF 0xFFFE) and converts it to UTF-8; lone
    // surrogates become U+FFFD.
    bool readText(std::string& text, const char* what);
    // The same without a copy: a plain text is viewed where it lies, a
    // wide one is converted into `wide` and viewed there.
    bool readTextView(std::string_view& text, std::string& wide, const char* what) {
        // A length below 0xFF is its own one-byte prefix.
        if (offset_ < bytes_.size()) {
            const auto length = static_cast<unsigned char>(bytes_[offset_]);
            if (length < 0xFF && length < remaining()) {
                text = bytes_.substr(offset_ + 1, length);
                offset_ += 1 + std::size_t{length};
                return true;
            }
        }
        return readTextViewSlowly(text, wide, what);
    }

    // Refuses a count of items, each at least `smallest` bytes long, that
    // cannot fit in the bytes left: "the file promises 4000000000 events but
    // holds room for at most 3". So a count may safely size a reservation.
    bool checkCount(std::uint64_t count, std::size_t smallest, const char* what);

    // Names the record being read, so errors say "the notes of event 12";
    // `label` must outlive the reads. clearRecord() ends it.
    void setRecord(const char* label, std::uint64_t number) {
        recordLabel_ = label;
        recordNumber_ = number;
    }
    void clearRecord() { recordLabel_ = nullptr; }

    bool ok() const { return error_.empty(); }
    // What went wrong, naming the field.
    const std::string& error() const { return error_; }
    // Keeps the first reason given; every later read fails.
    void fail(std::string reason);

    // True when the last failure was only the end of the window, with the
    // rest of what was asked for among the bytes that follow it.
    bool starved() const { return starved_; }

    // Bytes left in the window, and left in the whole source.
    std::size_t remaining() const { return bytes_.size() - offset_; }
    std::uint64_t remainingInSource() const { return remaining() + bytesAfter_; }
    std::size_t offset() const { return offset_; }

private:
    bool readU32Slowly(std::uint32_t& value, const char* what);
    bool readTextViewSlowly(std::string_view& text, std::string& wide, const char* what);
    bool take(std::size_t size, const char* what, const unsigned char*& data);
    bool readLength(std::uint32_t& length, bool allowWide, bool& wide, const char* what);
    bool readWide(std::string& text, std::uint32_t units, const char* what);
    std::string describe(const char* what) const;
    // `needed` is the size that did not fit; `promised` (when not 0) is the
    // length the file gave, named in the message.
    void failShort(const char* what, std::uint64_t needed, std::uint64_t promised);

    std::string_view bytes_;
    std::uint64_t bytesAfter_ = 0;
    std::size_t offset_ = 0;
    bool starved_ = false;
    std::string error_;
    const char* recordLabel_ = nullptr;
    std::uint64_t recordNumber_ = 0;
};

// Reads items one after another from bytes that may be in view only a
// window at a time: an item the window cut short is read again from its
// start once the window has moved on to hold it.
class ArchiveStream {
public:
    struct Window {
        std::string_view view;
        std::uint64_t bytesAfter = 0;
    };
    // Drops the bytes before `keepFrom` (an offset into the view) and reads
    // on; nothing when the source cannot be read further.
    using Advance = std::function<std::optional<Window>(std::size_t keepFrom)>;

    // All the bytes in view at once.
    explicit ArchiveStream(std::string_view bytes) : reader_(bytes) {}
    ArchiveStream(Window first, Advance advance)
        : reader_(first.view, first.bytesAfter), advance_(std::move(advance)) {}

    ArchiveReader& reader() { return reader_; }

    // Runs read(reader()) for one item, again from its start while the view
    // ends inside it. False when the item cannot be read: reader() says why.
    template <typename Read>
    bool readItem(Read&& read) {
        for (;;) {
            const std::size_t start = reader_.offset();
            if (read(reader_))
                return true;
            if (!reader_.starved() || !moveOn(start))
                return false;
        }
    }

private:
    bool moveOn(std::size_t keepFrom);

    ArchiveReader reader_;
    Advance advance_;
};

}  // namespace almanary

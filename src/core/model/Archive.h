#pragma once
// The typed little-endian primitives of almanary and skin files, built and
// parsed in memory. The reader checks every field against the bytes left:
// on the first shortfall it stops, remembers what was wrong, and every
// later read fails too. Nothing is allocated from a length that has not
// been checked against the bytes that are really there.

#include <cstdint>
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
    explicit ArchiveReader(std::string_view bytes) : bytes_(bytes) {}

    // `what` names the field in error messages ("notes", "event count").
    bool readU32(std::uint32_t& value, const char* what);
    bool readI32(std::int32_t& value, const char* what);
    bool readBool(bool& value, const char* what);          // any non-zero value is true
    bool readDateTime(DateTime& value, const char* what);  // 0..4294967295
    // Accepts the wide form (0xFF 0xFFFE) and converts it to UTF-8; lone
    // surrogates become U+FFFD.
    bool readText(std::string& text, const char* what);

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

    std::size_t remaining() const { return bytes_.size() - offset_; }
    std::size_t offset() const { return offset_; }

private:
    bool take(std::size_t size, const char* what, const unsigned char*& data);
    bool readLength(std::uint32_t& length, bool allowWide, bool& wide, const char* what);
    bool readWide(std::string& text, std::uint32_t units, const char* what);
    std::string describe(const char* what) const;
    void failShort(const char* what, std::uint64_t promised);

    std::string_view bytes_;
    std::size_t offset_ = 0;
    std::string error_;
    const char* recordLabel_ = nullptr;
    std::uint64_t recordNumber_ = 0;
};

}  // namespace almanary

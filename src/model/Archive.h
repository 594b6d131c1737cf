#pragma once
// The typed little-endian primitives of almanary and skin files, built and
// parsed in memory. The reader checks every field against the bytes left:
// on the first shortfall it stops, remembers what was wrong, and every
// later read fails too.

#include <cstdint>
#include <string>
#include <string_view>

#include "model/Calendar.h"

namespace almanary {

class ArchiveWriter {
public:
    void WriteU32(std::uint32_t value);
    void WriteI32(std::int32_t value);
    void WriteBool(bool value);          // 1 or 0
    void WriteDateTime(DateTime value);  // unsigned 32 bits; callers keep values storable
    void WriteText(std::string_view text);  // length prefix, then the bytes

    const std::string& bytes() const { return bytes_; }
    std::string take() { return std::move(bytes_); }
    void reserve(std::size_t size) { bytes_.reserve(size); }

private:
    std::string bytes_;
};

class ArchiveReader {
public:
    explicit ArchiveReader(std::string_view bytes) : bytes_(bytes) {}

    bool ReadU32(std::uint32_t& value, const char* what);
    bool ReadI32(std::int32_t& value, const char* what);
    bool ReadBool(bool& value, const char* what);  // any non-zero value is true
    bool ReadDateTime(DateTime& value, const char* what);
    // Accepts the wide form (0xFF 0xFFFE) and converts it to UTF-8.
    bool ReadText(std::string& text, const char* what);

    bool ok() const { return error_.empty(); }
    // What went wrong, naming the field: "the notes of event 12 end early".
    const std::string& error() const { return error_; }
    void Fail(std::string reason);

    std::size_t remaining() const { return bytes_.size() - offset_; }
    std::size_t offset() const { return offset_; }

private:
    std::string_view bytes_;
    std::size_t offset_ = 0;
    std::string error_;
};

}  // namespace almanary

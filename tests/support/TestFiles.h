#pragma once
// Whole-file reads and writes, and permission bits.

#include <sys/stat.h>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace almanary::testing {

// The whole file; empty when it is no ordinary file.
inline std::string readFile(const std::string& path) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored))
        return {};
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The permission bits of a file; 0 when it is missing.
inline unsigned modeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 0777) : 0;
}

}  // namespace almanary::testing

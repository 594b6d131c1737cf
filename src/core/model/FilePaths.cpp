#include "model/FilePaths.h"

#include <exception>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace almanary {

namespace {

// Used when the file system cannot resolve the path (for example when the
// working folder has gone): the lexical form still compares sensibly.
fs::path lexicalForm(const fs::path& path) {
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    if (error)
        return path.lexically_normal();
    return absolute.lexically_normal();
}

}  // namespace

std::string canonicalPath(const std::string& path) {
    if (path.empty())
        return {};
    try {
        std::error_code error;
        fs::path canonical = fs::weakly_canonical(path, error);
        if (error || canonical.empty())
            return lexicalForm(path).string();
        return canonical.string();
    } catch (const std::exception&) {
        // Only allocation can fail here; the path as given is the best answer.
        return path;
    }
}

bool samePath(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty())
        return false;
    if (a == b)
        return true;
    return canonicalPath(a) == canonicalPath(b);
}

std::string fileNameOf(const std::string& path) {
    try {
        return fs::path(path).filename().string();
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace almanary

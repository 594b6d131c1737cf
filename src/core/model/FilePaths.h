#pragma once
// Path helpers. Two paths name the same file when their canonical forms
// agree, so a path given through a symbolic link or with "." and ".."
// components still finds its file. None of these functions throws.

#include <string>

namespace almanary {

// The absolute path with links of its existing part resolved and "." and ".."
// removed; a missing tail is kept as written. Empty for an empty path.
std::string canonicalPath(const std::string& path);

// True when both paths name the same file. An empty path never names a file.
bool samePath(const std::string& a, const std::string& b);

// The last component of the path ("cal.alm" of "/home/u/cal.alm").
std::string fileNameOf(const std::string& path);

}  // namespace almanary

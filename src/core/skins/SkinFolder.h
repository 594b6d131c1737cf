#pragma once
// What a skins folder holds: the names of its skin files, for the skin
// editor to offer, and the sample skins the program ships, copied in at
// start so a new user has skins to pick.

#include <optional>
#include <string>
#include <vector>

namespace almanary {

class SkinFolder {
public:
    // The names of the ".skn" files in `folder`, in byte order; none when the
    // folder is missing. "Default" is listed when a file has that name.
    static std::vector<std::string> names(const std::string& folder);

    // Copies each skin of `samples` whose name `folder` lacks into `folder`
    // (made when missing), with its picture. A sample names its picture by a
    // path relative to `samples`; the copy names the copied picture by its
    // full path, and a picture already there is kept. The reason when a
    // sample cannot be copied; the samples before it stay copied.
    static std::optional<std::string> addSamples(const std::string& samples,
                                                 const std::string& folder);
};

}  // namespace almanary

#include "skins/SkinFolder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "skins/SkinFile.h"

namespace almanary {
namespace {

namespace fs = std::filesystem;

bool isThere(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

// Copies the sample's picture beside the skin and names the copy.
std::optional<std::string> copyPicture(const fs::path& samples, const fs::path& folder,
                                       Skin& skin) {
    if (skin.picturePath.empty())
        return std::nullopt;
    const fs::path from = samples / skin.picturePath;
    const fs::path to = folder / from.filename();
    std::error_code error;
    if (!isThere(to) && !fs::copy_file(from, to, error))
        return "cannot copy " + from.string() + " to " + to.string() + ": " + error.message();
    skin.picturePath = to.string();
    return std::nullopt;
}

}  // namespace

std::vector<std::string> SkinFolder::names(const std::string& folder) {
    std::vector<std::string> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        std::error_code notFile;
        if (path.extension() != SkinFile::kExtension || !it->is_regular_file(notFile))
            continue;
        const std::string name = path.stem().string();
        if (!name.empty())
            found.push_back(name);
    }
    std::ranges::sort(found);
    return found;
}

std::optional<std::string> SkinFolder::addSamples(const std::string& samples,
                                                  const std::string& folder) {
    if (folder.empty())
        return std::string("no skins folder is known");
    for (const std::string& name : names(samples)) {
        const std::optional<std::string> target = SkinFile::pathOf(folder, name);
        if (!target || isThere(*target))
            continue;
        const SkinRead sample = SkinFile::readNamed(samples, name);
        if (!sample.skin)
            return "the sample skin " + name + ": " + sample.problem->reason;
        std::error_code error;
        fs::create_directories(folder, error);
        if (error)
            return "cannot create " + folder + ": " + error.message();
        Skin skin = *sample.skin;
        if (auto problem = copyPicture(samples, folder, skin))
            return problem;
        if (auto problem = SkinFile::writeNamed(folder, name, skin))
            return "cannot write " + *target + ": " + problem->reason;
    }
    return std::nullopt;
}

}  // namespace almanary

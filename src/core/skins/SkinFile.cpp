#include "skins/SkinFile.h"

#include "model/Archive.h"
#include "model/AtomicFile.h"
#include "model/FileReading.h"

namespace almanary {
namespace {

// A skin file is a few dozen bytes; a larger file is refused unread.
constexpr std::size_t kLargestSkinFile = 1 << 20;

SkinRead refused(SkinFileProblem::Kind kind, std::string reason) {
    SkinRead result;
    result.problem = SkinFileProblem{kind, std::move(reason)};
    return result;
}

}  // namespace

bool SkinFile::isBuiltIn(std::string_view name) {
    return name.empty() || name == kBuiltInName;
}

bool SkinFile::isFileName(std::string_view name) {
    return !isBuiltIn(name) && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

std::optional<std::string> SkinFile::pathOf(const std::string& skinsFolder, std::string_view name) {
    if (!isFileName(name))
        return std::nullopt;
    std::string path = skinsFolder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += name;
    path += kExtension;
    return path;
}

std::string SkinFile::encode(const Skin& skin) {
    ArchiveWriter out;
    out.writeU32(skin.buttonBackground);
    out.writeU32(skin.buttonText);
    out.writeU32(skin.buttonShadow);
    out.writeU32(skin.buttonHighlight);
    out.writeText(skin.picturePath);
    return out.take();
}

std::optional<Skin> SkinFile::decode(std::string_view bytes, std::string* reason) {
    ArchiveReader in(bytes);
    Skin skin;
    if (in.readU32(skin.buttonBackground, "button colour") &&
        in.readU32(skin.buttonText, "text colour") &&
        in.readU32(skin.buttonShadow, "shadow colour") &&
        in.readU32(skin.buttonHighlight, "highlight colour") &&
        in.readText(skin.picturePath, "picture path")) {
        return skin;
    }
    if (reason != nullptr)
        *reason = in.error();
    return std::nullopt;
}

SkinRead SkinFile::read(const std::string& path) {
    const FileContents file = FileReading::readWholeFile(path, kLargestSkinFile);
    if (!file.ok())
        return refused(SkinFileProblem::Kind::CannotOpen, file.reason);
    std::string reason;
    SkinRead result;
    result.skin = decode(file.bytes, &reason);
    if (!result.skin)
        result.problem = SkinFileProblem{SkinFileProblem::Kind::Damaged, reason};
    return result;
}

std::optional<std::string> SkinFile::write(const std::string& path, const Skin& skin) {
    return AtomicFile::write(path, encode(skin));
}

SkinRead SkinFile::readNamed(const std::string& skinsFolder, std::string_view name) {
    if (isBuiltIn(name)) {
        return refused(SkinFileProblem::Kind::BuiltIn, "the Default skin is built in");
    }
    const std::optional<std::string> path = pathOf(skinsFolder, name);
    if (!path) {
        return refused(SkinFileProblem::Kind::BadName,
                       "the skin name " + std::string(name) + " cannot name a file");
    }
    return read(*path);
}

std::optional<SkinFileProblem> SkinFile::writeNamed(const std::string& skinsFolder,
                                                    std::string_view name, const Skin& skin) {
    if (isBuiltIn(name)) {
        return SkinFileProblem{SkinFileProblem::Kind::BuiltIn,
                               "the Default skin is built in and cannot be saved over"};
    }
    const std::optional<std::string> path = pathOf(skinsFolder, name);
    if (!path) {
        return SkinFileProblem{SkinFileProblem::Kind::BadName,
                               "the skin name " + std::string(name) + " cannot name a file"};
    }
    if (auto reason = write(*path, skin)) {
        return SkinFileProblem{SkinFileProblem::Kind::CannotWrite, *reason};
    }
    return std::nullopt;
}

}  // namespace almanary

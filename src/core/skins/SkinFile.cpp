#include "skins/SkinFile.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/Archive.h"
#include "model/AtomicFile.h"

namespace almanary {
namespace {

// A skin file is a few dozen bytes; reading stops here, whatever follows.
constexpr std::size_t kLargestSkinFile = 1 << 20;

std::string systemReason(int error) {
    return std::generic_category().message(error);
}

// The first bytes of the file (up to the cap), or why they cannot be read.
std::optional<std::string> readStart(const std::string& path, std::string& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);  // a pipe cannot hang
    if (fd < 0)
        return systemReason(errno);
    std::optional<std::string> problem;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        problem = systemReason(errno);
    } else if (S_ISDIR(info.st_mode)) {
        problem = "it is a folder";
    } else if (!S_ISREG(info.st_mode)) {
        problem = "it is not an ordinary file";
    } else {
        // Sized by the file, so a skin costs no more than its bytes.
        bytes.resize(
            std::min<std::size_t>(static_cast<std::size_t>(info.st_size), kLargestSkinFile));
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                problem = systemReason(errno);
                break;
            }
            if (got == 0)
                break;
            done += static_cast<std::size_t>(got);
        }
        bytes.resize(done);
    }
    ::close(fd);
    return problem;
}

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
    std::string bytes;
    try {
        if (auto problem = readStart(path, bytes)) {
            return refused(SkinFileProblem::Kind::CannotOpen, *problem);
        }
    } catch (const std::bad_alloc&) {
        return refused(SkinFileProblem::Kind::CannotOpen, "there is not enough memory to read it");
    }
    std::string reason;
    SkinRead result;
    result.skin = decode(bytes, &reason);
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

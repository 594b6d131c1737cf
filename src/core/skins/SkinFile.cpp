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

std::string SystemReason(int error) {
    return std::generic_category().message(error);
}

// The first bytes of the file (up to the cap), or why they cannot be read.
std::optional<std::string> ReadStart(const std::string& path, std::string& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);  // a pipe cannot hang
    if (fd < 0)
        return SystemReason(errno);
    std::optional<std::string> problem;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        problem = SystemReason(errno);
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
                problem = SystemReason(errno);
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

SkinRead Refused(SkinFileProblem::Kind kind, std::string reason) {
    SkinRead result;
    result.problem = SkinFileProblem{kind, std::move(reason)};
    return result;
}

}  // namespace

bool SkinFile::IsBuiltIn(std::string_view name) {
    return name.empty() || name == kBuiltInName;
}

bool SkinFile::IsFileName(std::string_view name) {
    return !IsBuiltIn(name) && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

std::optional<std::string> SkinFile::PathOf(const std::string& skinsFolder, std::string_view name) {
    if (!IsFileName(name))
        return std::nullopt;
    std::string path = skinsFolder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += name;
    path += kExtension;
    return path;
}

std::string SkinFile::Encode(const Skin& skin) {
    ArchiveWriter out;
    out.WriteU32(skin.buttonBackground);
    out.WriteU32(skin.buttonText);
    out.WriteU32(skin.buttonShadow);
    out.WriteU32(skin.buttonHighlight);
    out.WriteText(skin.picturePath);
    return out.take();
}

std::optional<Skin> SkinFile::Decode(std::string_view bytes, std::string* reason) {
    ArchiveReader in(bytes);
    Skin skin;
    if (in.ReadU32(skin.buttonBackground, "button colour") &&
        in.ReadU32(skin.buttonText, "text colour") &&
        in.ReadU32(skin.buttonShadow, "shadow colour") &&
        in.ReadU32(skin.buttonHighlight, "highlight colour") &&
        in.ReadText(skin.picturePath, "picture path")) {
        return skin;
    }
    if (reason != nullptr)
        *reason = in.error();
    return std::nullopt;
}

SkinRead SkinFile::Read(const std::string& path) {
    std::string bytes;
    try {
        if (auto problem = ReadStart(path, bytes)) {
            return Refused(SkinFileProblem::Kind::CannotOpen, *problem);
        }
    } catch (const std::bad_alloc&) {
        return Refused(SkinFileProblem::Kind::CannotOpen, "there is not enough memory to read it");
    }
    std::string reason;
    SkinRead result;
    result.skin = Decode(bytes, &reason);
    if (!result.skin)
        result.problem = SkinFileProblem{SkinFileProblem::Kind::Damaged, reason};
    return result;
}

std::optional<std::string> SkinFile::Write(const std::string& path, const Skin& skin) {
    return AtomicFile::Write(path, Encode(skin));
}

SkinRead SkinFile::ReadNamed(const std::string& skinsFolder, std::string_view name) {
    if (IsBuiltIn(name)) {
        return Refused(SkinFileProblem::Kind::BuiltIn, "the Default skin is built in");
    }
    const std::optional<std::string> path = PathOf(skinsFolder, name);
    if (!path) {
        return Refused(SkinFileProblem::Kind::BadName,
                       "the skin name " + std::string(name) + " cannot name a file");
    }
    return Read(*path);
}

std::optional<SkinFileProblem> SkinFile::WriteNamed(const std::string& skinsFolder,
                                                    std::string_view name, const Skin& skin) {
    if (IsBuiltIn(name)) {
        return SkinFileProblem{SkinFileProblem::Kind::BuiltIn,
                               "the Default skin is built in and cannot be saved over"};
    }
    const std::optional<std::string> path = PathOf(skinsFolder, name);
    if (!path) {
        return SkinFileProblem{SkinFileProblem::Kind::BadName,
                               "the skin name " + std::string(name) + " cannot name a file"};
    }
    if (auto reason = Write(*path, skin)) {
        return SkinFileProblem{SkinFileProblem::Kind::CannotWrite, *reason};
    }
    return std::nullopt;
}

}  // namespace almanary

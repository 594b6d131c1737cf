#pragma once
// Skin files (".skn"): four button colours and the path of a background
// picture, in the skins folder under the skin's name. "Default" (and the
// empty name) is the built-in skin, which never lives in a file.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace almanary {

// Colours are references of the form 0x00BBGGRR.
struct Skin {
    std::uint32_t buttonBackground = 0;  // the button face
    std::uint32_t buttonText = 0;
    std::uint32_t buttonShadow = 0;
    std::uint32_t buttonHighlight = 0;
    std::string picturePath;  // empty: no picture

    bool operator==(const Skin&) const = default;
};

struct SkinFileProblem {
    enum class Kind { BuiltIn, BadName, CannotOpen, Damaged, CannotWrite };
    Kind kind = Kind::Damaged;
    std::string reason;
};

// A skin read from a file, or why there is none.
struct SkinRead {
    std::optional<Skin> skin;
    std::optional<SkinFileProblem> problem;
};

class SkinFile {
public:
    static constexpr std::string_view kBuiltInName = "Default";
    static constexpr std::string_view kExtension = ".skn";

    // "Default" and the empty name: the built-in skin.
    static bool isBuiltIn(std::string_view name);
    // A name that can name a file in the skins folder: not built in, no "/"
    // or NUL, not "." or "..". A skin name comes from documents that may
    // have come from elsewhere; it must never reach outside the folder.
    static bool isFileName(std::string_view name);
    // The file of skin `name` in `skinsFolder`; nothing when the name is
    // built in or cannot name a file.
    static std::optional<std::string> pathOf(const std::string& skinsFolder, std::string_view name);

    // The bytes of a skin file, and back. Decoding refuses bytes that end
    // before the five fields are complete (the reason says where); anything
    // after the picture path is ignored.
    static std::string encode(const Skin& skin);
    static std::optional<Skin> decode(std::string_view bytes, std::string* reason = nullptr);

    // A whole skin file by path: all of it or nothing. What is no ordinary
    // file, or holds more than 1 MiB, is refused as CannotOpen.
    static SkinRead read(const std::string& path);
    // Written atomically; the reason when it cannot be.
    static std::optional<std::string> write(const std::string& path, const Skin& skin);

    // By name in a skins folder. The built-in skin is refused (BuiltIn), so
    // a file named "Default.skn" is never read or written.
    static SkinRead readNamed(const std::string& skinsFolder, std::string_view name);
    static std::optional<SkinFileProblem> writeNamed(const std::string& skinsFolder,
                                                     std::string_view name, const Skin& skin);
};

}  // namespace almanary

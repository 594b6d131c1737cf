// The skin reader on any bytes: a skin it accepts is written and read back
// unchanged. The same bytes taken as a skin name (as a document may carry
// one) must never lead outside the skins folder.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "skins/SkinFile.h"

namespace {

using almanary::Skin;
using almanary::SkinFile;
using almanary::fuzz::require;

constexpr std::string_view kFolder = "/skins";

void checkDecoding(std::string_view bytes) {
    std::string reason;
    const std::optional<Skin> skin = SkinFile::decode(bytes, &reason);
    if (!skin) {
        require(!reason.empty(), "a refused skin without a reason");
        return;
    }
    const std::optional<Skin> again = SkinFile::decode(SkinFile::encode(*skin));
    require(again && *again == *skin, "a skin changed when written and read back");
}

void checkName(std::string_view name) {
    const std::optional<std::string> path = SkinFile::pathOf(std::string(kFolder), name);
    if (!path)
        return;
    require(path->starts_with(std::string(kFolder) + "/") && path->ends_with(".skn"),
            "a skin's path outside its folder");
    const std::string_view file = std::string_view(*path).substr(kFolder.size() + 1, name.size());
    require(file == name && file.find('/') == std::string_view::npos && file != "." && file != "..",
            "a skin name that reaches another folder");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkDecoding(bytes);
    checkName(bytes);
    return 0;
}

#include "share/ShareRegistry.h"

#include "app/SettingsStore.h"
#include "model/AsciiText.h"
#include "model/FilePaths.h"

namespace almanary {

bool ShareRegistry::isReservedName(std::string_view name) {
    return AsciiText::equalIgnoringCase(name, "FileName") ||
           AsciiText::equalIgnoringCase(name, "LoadOnStart");
}

std::optional<Notice> ShareRegistry::check(std::string_view name, const std::string& path) {
    if (name.empty())
        return Notice{MessageId::ShareNameRequired, {}};
    if (name.size() > kMaxNameBytes)
        return Notice{MessageId::TooManyCharacters, {std::to_string(kMaxNameBytes)}};
    if (path.empty())
        return Notice{MessageId::SaveBeforeSharing, {}};
    if (isReservedName(name) || name.find('\0') != std::string_view::npos)
        return Notice{MessageId::InvalidShareName, {}};
    if (path.size() > kMaxPathBytes)
        return Notice{MessageId::SharePathTooLong, {path, std::to_string(kMaxPathBytes)}};
    return std::nullopt;
}

bool ShareRegistry::isServed(std::string_view name, std::string_view path) {
    return !name.empty() && name.size() <= kMaxNameBytes && !isReservedName(name) &&
           !path.empty() && path.size() <= kMaxPathBytes;
}

std::optional<std::string> ShareRegistry::pathOf(std::string_view name) {
    if (!isServed(name, "/"))
        return std::nullopt;
    std::optional<std::string> path = store_.queryText(name);
    if (!path || !isServed(name, *path))
        return std::nullopt;
    return path;
}

std::string ShareRegistry::nameOf(const std::string& path) {
    for (const Share& share : all()) {
        if (samePath(share.path, path))
            return share.name;
    }
    return {};
}

bool ShareRegistry::sharesAnotherFile(std::string_view name, const std::string& path) {
    const std::optional<std::string> shared = pathOf(name);
    return shared && !samePath(*shared, path);
}

std::vector<ShareRegistry::Share> ShareRegistry::all() {
    std::vector<Share> shares;
    for (SettingsStore::TextValue& value : store_.textValues()) {
        if (isServed(value.name, value.text))
            shares.push_back({std::move(value.name), std::move(value.text)});
    }
    return shares;
}

bool ShareRegistry::publish(std::string_view name, const std::string& path,
                            std::string_view previousName) {
    if (!previousName.empty() && previousName != name && !isReservedName(previousName))
        store_.deleteValue(previousName);
    return store_.setText(name, path);
}

bool ShareRegistry::withdraw(std::string_view name) {
    return !isReservedName(name) && store_.deleteValue(name);
}

}  // namespace almanary

#include "skins/SkinColours.h"

#include <QGuiApplication>
#include <QPalette>
#include <optional>

#include "skins/SkinFile.h"

namespace almanary::SkinColours {
namespace {

// Set on first use from the desktop's colours. Only the window thread
// reads and writes it.
std::optional<SkinColourSet>& slot() {
    static std::optional<SkinColourSet> colours;
    return colours;
}

SkinColourSet& get() {
    auto& colours = slot();
    if (!colours)
        colours = platformColours();
    return *colours;
}

}  // namespace

QColor buttonBackground() {
    return get().buttonBackground;
}

QColor buttonText() {
    return get().buttonText;
}

QColor buttonShadow() {
    return get().buttonShadow;
}

QColor buttonHighlight() {
    return get().buttonHighlight;
}

SkinColourSet current() {
    return get();
}

void setCurrent(const SkinColourSet& colours) {
    slot() = colours;
}

SkinColourSet platformColours() {
    const QPalette palette = QGuiApplication::palette();
    return {palette.color(QPalette::Active, QPalette::Button),
            palette.color(QPalette::Active, QPalette::ButtonText),
            palette.color(QPalette::Active, QPalette::Dark),
            palette.color(QPalette::Active, QPalette::Light)};
}

void setPlatformColours() {
    slot() = platformColours();
}

QColor fromColourRef(std::uint32_t reference) {
    return QColor(static_cast<int>(reference & 0xFF), static_cast<int>((reference >> 8) & 0xFF),
                  static_cast<int>((reference >> 16) & 0xFF));
}

std::uint32_t toColourRef(const QColor& colour) {
    return static_cast<std::uint32_t>(colour.red()) |
           (static_cast<std::uint32_t>(colour.green()) << 8) |
           (static_cast<std::uint32_t>(colour.blue()) << 16);
}

SkinColourSet fromSkin(const Skin& skin) {
    return {fromColourRef(skin.buttonBackground), fromColourRef(skin.buttonText),
            fromColourRef(skin.buttonShadow), fromColourRef(skin.buttonHighlight)};
}

Skin toSkin(const SkinColourSet& colours, const std::string& picturePath) {
    return {toColourRef(colours.buttonBackground), toColourRef(colours.buttonText),
            toColourRef(colours.buttonShadow), toColourRef(colours.buttonHighlight), picturePath};
}

}  // namespace almanary::SkinColours

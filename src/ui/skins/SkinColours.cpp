#include "skins/SkinColours.h"

#include <QGuiApplication>
#include <QPalette>
#include <optional>

namespace almanary::SkinColours {
namespace {

// Set on first use from the desktop's colours. Only the window thread
// reads and writes it.
std::optional<SkinColourSet>& Colours() {
    static std::optional<SkinColourSet> colours;
    return colours;
}

SkinColourSet& Get() {
    auto& colours = Colours();
    if (!colours)
        colours = PlatformColours();
    return *colours;
}

}  // namespace

QColor ButtonBackground() {
    return Get().buttonBackground;
}

QColor ButtonText() {
    return Get().buttonText;
}

QColor ButtonShadow() {
    return Get().buttonShadow;
}

QColor ButtonHighlight() {
    return Get().buttonHighlight;
}

void SetButtonBackground(const QColor& colour) {
    Get().buttonBackground = colour;
}

void SetButtonText(const QColor& colour) {
    Get().buttonText = colour;
}

void SetButtonShadow(const QColor& colour) {
    Get().buttonShadow = colour;
}

void SetButtonHighlight(const QColor& colour) {
    Get().buttonHighlight = colour;
}

SkinColourSet Current() {
    return Get();
}

void SetCurrent(const SkinColourSet& colours) {
    Colours() = colours;
}

SkinColourSet PlatformColours() {
    const QPalette palette = QGuiApplication::palette();
    return {palette.color(QPalette::Active, QPalette::Button),
            palette.color(QPalette::Active, QPalette::ButtonText),
            palette.color(QPalette::Active, QPalette::Dark),
            palette.color(QPalette::Active, QPalette::Light)};
}

void SetPlatformColours() {
    Colours() = PlatformColours();
}

QColor FromColourRef(std::uint32_t reference) {
    return QColor(static_cast<int>(reference & 0xFF), static_cast<int>((reference >> 8) & 0xFF),
                  static_cast<int>((reference >> 16) & 0xFF));
}

std::uint32_t ToColourRef(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return static_cast<std::uint32_t>(rgb.red()) | (static_cast<std::uint32_t>(rgb.green()) << 8) |
           (static_cast<std::uint32_t>(rgb.blue()) << 16);
}

}  // namespace almanary::SkinColours

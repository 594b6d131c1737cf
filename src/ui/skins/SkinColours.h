#pragma once
// The four colours of the current skin, shared by every window: button
// faces and label backgrounds, text, and the two edges of a framed button.
// Read at paint time, so a change shows at the next repaint.

#include <QColor>
#include <cstdint>
#include <string>

namespace almanary {

struct Skin;

struct SkinColourSet {
    QColor buttonBackground;
    QColor buttonText;
    QColor buttonShadow;
    QColor buttonHighlight;
};

namespace SkinColours {

QColor buttonBackground();
QColor buttonText();
QColor buttonShadow();
QColor buttonHighlight();

SkinColourSet current();
void setCurrent(const SkinColourSet& colours);
// The desktop's own button colours: the default skin.
SkinColourSet platformColours();
void setPlatformColours();

// A skin file keeps colours as 0x00BBGGRR.
QColor fromColourRef(std::uint32_t reference);
std::uint32_t toColourRef(const QColor& colour);
// The colours of a skin file, and a skin of these colours and picture.
SkinColourSet fromSkin(const Skin& skin);
Skin toSkin(const SkinColourSet& colours, const std::string& picturePath);

}  // namespace SkinColours
}  // namespace almanary

#pragma once
// The four colours of the current skin, shared by every window: button
// faces and label backgrounds, text, and the two edges of a framed button.
// Read at paint time, so a change shows at the next repaint.

#include <QColor>
#include <cstdint>

namespace almanary {

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

}  // namespace SkinColours
}  // namespace almanary

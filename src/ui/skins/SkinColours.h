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

QColor ButtonBackground();
QColor ButtonText();
QColor ButtonShadow();
QColor ButtonHighlight();
void SetButtonBackground(const QColor& colour);
void SetButtonText(const QColor& colour);
void SetButtonShadow(const QColor& colour);
void SetButtonHighlight(const QColor& colour);

SkinColourSet Current();
void SetCurrent(const SkinColourSet& colours);
// The desktop's own button colours: the default skin.
SkinColourSet PlatformColours();
void SetPlatformColours();

// A skin file keeps colours as 0x00BBGGRR.
QColor FromColourRef(std::uint32_t reference);
std::uint32_t ToColourRef(const QColor& colour);

}  // namespace SkinColours
}  // namespace almanary

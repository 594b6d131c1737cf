#pragma once
// What the printed pages draw on: a printer page, a PDF page or the
// preview's screen, all in the device's own units. The page layouts use
// nothing else, so tests record what they draw on a device of their own.

#include <string>
#include <string_view>

namespace almanary {

// A font asked for by face, cell height in device units and weight
// (400 regular, 700 bold). An empty face with height 0 is the device's
// default font; a width of 0 keeps the face's own proportions.
struct FontSpec {
    std::string face;
    int height = 0;
    int weight = 400;
    int width = 0;
    bool operator==(const FontSpec&) const = default;
};

struct PageRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const PageRect&) const = default;
};

class DrawingDevice {
public:
    virtual ~DrawingDevice() = default;

    // The printable area, in device units.
    virtual int pageWidth() const = 0;
    virtual int pageHeight() const = 0;

    // The font of the texts that follow; the previous one is returned so
    // a layout can put it back.
    virtual FontSpec selectFont(const FontSpec& font) = 0;
    // The current font's character height plus its external leading.
    virtual int lineHeight() const = 0;

    // Text (UTF-8) with its top-left corner at the point, in one line.
    virtual void drawText(int x, int y, std::string_view text) = 0;
    // The same, cut off where it would pass `right`, so a line never runs
    // into the next column or off the page. A device that cannot measure
    // text shows the words of the first line that fit.
    virtual void drawTextWithin(int x, int y, int right, std::string_view text) {
        drawWrappedText({x, y, right, y + lineHeight()}, text);
    }
    // Text broken into lines at word boundaries inside the rectangle and
    // cut off at its edges; "&" is an ordinary character.
    virtual void drawWrappedText(const PageRect& box, std::string_view text) = 0;
    // A black frame inside the rectangle's edges, `thickness` units wide.
    virtual void frameRect(const PageRect& box, int thickness) = 0;

    // Page boundaries of a printed document; false when the device could
    // not start or finish that page.
    virtual bool startPage() = 0;
    virtual bool endPage() = 0;
};

}  // namespace almanary

#pragma once
// The drawing device of the printed pages on a QPainter: the preview's
// window, a printer or a PDF writer. Fonts come from the system's font
// configuration ("Arial" is the metric-compatible Liberation Sans). Texts
// and frames are black, drawn over what is beneath (no text background).

#include <QFont>
#include <QSize>
#include <QString>
#include <utility>
#include <vector>

#include "pages/DrawingDevice.h"

class QPagedPaintDevice;
class QPainter;

namespace almanary {

class PainterDevice : public DrawingDevice {
public:
    // `printable` is the page's printable area in the painter's units;
    // `pages` is the paged device behind the painter, when it has pages.
    // The painter must be active; its font now is the device's default.
    PainterDevice(QPainter& painter, QSize printable, QPagedPaintDevice* pages = nullptr);

    int pageWidth() const override { return printable_.width(); }
    int pageHeight() const override { return printable_.height(); }

    FontSpec selectFont(const FontSpec& font) override;
    int lineHeight() const override;

    void drawText(int x, int y, std::string_view text) override;
    void drawTextWithin(int x, int y, int right, std::string_view text) override;
    void drawWrappedText(const PageRect& box, std::string_view text) override;
    void frameRect(const PageRect& box, int thickness) override;

    // The first page is the document's own; each later one is a new page
    // of the paged device. False when the device could not make it or the
    // painter stopped.
    bool startPage() override;
    bool endPage() override;

private:
    // The Qt font whose cell (ascent plus descent) is close to the asked
    // height, made once per font asked for.
    QFont fontFor(const FontSpec& wanted);
    QFont makeFont(const FontSpec& wanted) const;

    QPainter& painter_;
    QSize printable_;
    QPagedPaintDevice* pages_;
    QFont defaultFont_;
    FontSpec current_;
    std::vector<std::pair<FontSpec, QFont>> fonts_;
    int pagesStarted_ = 0;
};

}  // namespace almanary

#pragma once
// The drawing device of the printed pages on a QPainter: the preview's
// window, a printer or a PDF writer. Fonts come from the system's font
// configuration ("Arial" is the metric-compatible Liberation Sans).

#include <QSize>

#include "pages/DrawingDevice.h"

class QPagedPaintDevice;
class QPainter;

namespace almanary {

class PainterDevice : public DrawingDevice {
public:
    // `printable` is the page's printable area in the painter's units;
    // `pages` is the paged device behind the painter, when it has pages.
    PainterDevice(QPainter& painter, QSize printable, QPagedPaintDevice* pages = nullptr);
    // ... the DrawingDevice operations
};

}  // namespace almanary

#include "platform/QtColourChooser.h"

#include <QColorDialog>

namespace almanary {

std::optional<QColor> QtColourChooser::chooseColour(QWidget* parent, const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, parent, QObject::tr("Color"));
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

}  // namespace almanary

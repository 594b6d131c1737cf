#pragma once
// ColourChooser on QColorDialog.

#include "platform/ColourChooser.h"

namespace almanary {

class QtColourChooser : public ColourChooser {
public:
    std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) override;
};

}  // namespace almanary

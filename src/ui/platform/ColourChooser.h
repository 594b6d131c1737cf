#pragma once
// Asks the user for a colour (the skin editor's four button colours).
// Tests give a chooser that answers from a list.

#include <QColor>
#include <optional>

class QWidget;

namespace almanary {

class ColourChooser {
public:
    virtual ~ColourChooser() = default;
    // The colour picked, starting from `initial`; nothing when the user
    // cancels.
    virtual std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) = 0;
};

}  // namespace almanary

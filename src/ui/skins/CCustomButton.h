#pragma once
// The skinned push button of every dialog: a flat face in the skin's
// background colour with centred text, framed in the shadow and highlight
// colours while pressed, hovered or focused. It is never a default button.

#include <QPushButton>

namespace almanary {

class CCustomButton : public QPushButton {
    Q_OBJECT
public:
    explicit CCustomButton(QWidget* parent = nullptr);
    CCustomButton(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // The text at `place` in `colour`, "&" marking the accelerator.
    void drawLabel(QPainter& painter, const QRect& place, const QColor& colour) const;

    bool hover_ = false;  // the mouse is over the button
};

}  // namespace almanary

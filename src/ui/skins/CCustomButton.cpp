#include "skins/CCustomButton.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <QStyle>

#include "skins/SkinColours.h"

namespace almanary {
namespace {

// The one-pixel edge of a pressed, hovered or focused button: shadow along
// the top and left, highlight along the bottom and right (which take the
// two far corners).
void drawFrame(QPainter& painter, const QRect& rect) {
    const QColor shadow = SkinColours::buttonShadow();
    const QColor highlight = SkinColours::buttonHighlight();
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width() - 1, 1), shadow);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height() - 1), shadow);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), highlight);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), highlight);
}

}  // namespace

CCustomButton::CCustomButton(QWidget* parent) : QPushButton(parent) {
    // Enter never presses a default button: the dialogs dispatch it on the
    // focused control themselves.
    setAutoDefault(false);
    setDefault(false);
}

CCustomButton::CCustomButton(const QString& text, QWidget* parent) : CCustomButton(parent) {
    setText(text);
}

void CCustomButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect whole = rect();
    painter.fillRect(whole, SkinColours::buttonBackground());

    const bool pressed = isDown();
    if (pressed || hover_ || hasFocus())
        drawFrame(painter, whole);
    // Keyboard focus looks unlike the pointer's hover: a dotted ring inside.
    if (hasFocus()) {
        painter.setPen(QPen(SkinColours::buttonText(), 1, Qt::DotLine));
        painter.drawRect(whole.adjusted(3, 3, -4, -4));
    }

    QRect inner = whole.adjusted(2, 2, -2, -2);
    if (pressed)
        inner.translate(1, 1);

    // Centred by integer division: a text wider than the button starts left
    // of the inner rectangle, as it always has.
    const QString label = text();
    const QSize size = fontMetrics().size(Qt::TextShowMnemonic, label);
    const QRect place(inner.left() + (inner.width() - size.width()) / 2,
                      inner.top() + (inner.height() - size.height()) / 2, size.width(),
                      size.height());
    if (isEnabled()) {
        drawLabel(painter, place, SkinColours::buttonText());
    } else {
        // Embossed in the desktop's own edge colours, hovered or not.
        const SkinColourSet desktop = SkinColours::platformColours();
        drawLabel(painter, place.translated(1, 1), desktop.buttonHighlight);
        drawLabel(painter, place, desktop.buttonShadow);
    }
}

void CCustomButton::drawLabel(QPainter& painter, const QRect& place, const QColor& colour) const {
    QPalette palette = this->palette();
    palette.setColor(QPalette::ButtonText, colour);
    style()->drawItemText(&painter, place, Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic,
                          palette, true, text(), QPalette::ButtonText);
}

void CCustomButton::enterEvent(QEnterEvent* event) {
    if (!hover_) {
        hover_ = true;
        update();
    }
    QPushButton::enterEvent(event);
}

void CCustomButton::leaveEvent(QEvent* event) {
    hover_ = false;
    update();
    QPushButton::leaveEvent(event);
}

}  // namespace almanary

#include "skins/SkinLabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "skins/SkinColours.h"

namespace almanary {
namespace {

// Space at each side of the text, as a platform label leaves.
constexpr int kMargin = 2;

}  // namespace

SkinLabel::SkinLabel(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void SkinLabel::setText(const QString& text) {
    if (text == text_)
        return;
    text_ = text;
    updateGeometry();
    update();
}

void SkinLabel::setPathEllipsis(bool on) {
    if (on == pathEllipsis_)
        return;
    pathEllipsis_ = on;
    update();
}

QString SkinLabel::shownText() const {
    const Qt::TextElideMode mode = pathEllipsis_ ? Qt::ElideMiddle : Qt::ElideRight;
    return fontMetrics().elidedText(text_, mode, std::max(0, width() - 2 * kMargin));
}

void SkinLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), SkinColours::buttonBackground());
    painter.setPen(SkinColours::buttonText());
    painter.setFont(font());
    // No mnemonic flag: "&" in a path is drawn as itself.
    painter.drawText(rect().adjusted(kMargin, 0, -kMargin, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shownText());
}

QSize SkinLabel::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    return {metrics.horizontalAdvance(text_) + 2 * kMargin, metrics.height() + 2 * kMargin};
}

QSize SkinLabel::minimumSizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    return {metrics.horizontalAdvance(QStringLiteral("...")) + 2 * kMargin,
            metrics.height() + 2 * kMargin};
}

}  // namespace almanary

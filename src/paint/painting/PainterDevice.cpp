#include "painting/PainterDevice.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRect>
#include <algorithm>

namespace almanary {
namespace {

QString textOf(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Notes typed on Windows break their lines with CR LF; Qt breaks at LF.
QString withLineFeeds(std::string_view text) {
    QString lines = textOf(text);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QChar(u'\r'), QChar(u'\n'));
    return lines;
}

QRect rectOf(const PageRect& box) {
    return {box.left, box.top, box.right - box.left, box.bottom - box.top};
}

}  // namespace

PainterDevice::PainterDevice(QPainter& painter, QSize printable, QPagedPaintDevice* pages)
    : painter_(painter), printable_(printable), pages_(pages), defaultFont_(painter.font()) {
    painter_.setPen(Qt::black);
    painter_.setBackgroundMode(Qt::TransparentMode);
}

QFont PainterDevice::makeFont(const FontSpec& wanted) const {
    QFont font = defaultFont_;
    if (!wanted.face.empty())
        font.setFamily(QString::fromStdString(wanted.face));
    font.setWeight(static_cast<QFont::Weight>(std::clamp(wanted.weight, 1, 1000)));
    if (wanted.height > 0) {
        // A face's em is smaller than its cell: measure at the asked size,
        // then shrink the em by the cell's excess.
        font.setPixelSize(wanted.height);
        const int cell = QFontMetrics(font, painter_.device()).height();
        if (cell > 0)
            font.setPixelSize(std::max(1, qRound(double(wanted.height) * wanted.height / cell)));
    }
    if (wanted.width > 0) {
        const int natural = QFontMetrics(font, painter_.device()).averageCharWidth();
        if (natural > 0)
            font.setStretch(std::clamp(qRound(100.0 * wanted.width / natural), 1, 4000));
    }
    return font;
}

QFont PainterDevice::fontFor(const FontSpec& wanted) {
    if (wanted == FontSpec{})
        return defaultFont_;
    const auto made = std::find_if(fonts_.begin(), fonts_.end(),
                                   [&](const auto& entry) { return entry.first == wanted; });
    if (made != fonts_.end())
        return made->second;
    return fonts_.emplace_back(wanted, makeFont(wanted)).second;
}

FontSpec PainterDevice::selectFont(const FontSpec& font) {
    painter_.setFont(fontFor(font));
    return std::exchange(current_, font);
}

int PainterDevice::lineHeight() const {
    const QFontMetrics metrics = painter_.fontMetrics();
    return metrics.height() + metrics.leading();
}

void PainterDevice::drawText(int x, int y, std::string_view text) {
    painter_.drawText(x, y + painter_.fontMetrics().ascent(), textOf(text));
}

void PainterDevice::drawTextWithin(int x, int y, int right, std::string_view text) {
    if (right <= x)
        return;
    const QFontMetrics metrics = painter_.fontMetrics();
    painter_.drawText(x, y + metrics.ascent(),
                      metrics.elidedText(textOf(text), Qt::ElideRight, right - x));
}

void PainterDevice::drawWrappedText(const PageRect& box, std::string_view text) {
    const QRect area = rectOf(box);
    if (area.isEmpty())
        return;
    // An "&" is printed as it stands: no mnemonic flag is given.
    painter_.save();
    painter_.setClipRect(area, Qt::IntersectClip);
    painter_.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, withLineFeeds(text));
    painter_.restore();
}

void PainterDevice::frameRect(const PageRect& box, int thickness) {
    const QRect area = rectOf(box);
    if (area.isEmpty() || thickness <= 0)
        return;
    const int across = std::min(thickness, area.width());
    const int down = std::min(thickness, area.height());
    painter_.fillRect(area.left(), area.top(), area.width(), down, Qt::black);
    painter_.fillRect(area.left(), area.bottom() + 1 - down, area.width(), down, Qt::black);
    painter_.fillRect(area.left(), area.top(), across, area.height(), Qt::black);
    painter_.fillRect(area.right() + 1 - across, area.top(), across, area.height(), Qt::black);
}

bool PainterDevice::startPage() {
    const bool started = pages_ == nullptr || pagesStarted_ == 0 || pages_->newPage();
    ++pagesStarted_;
    return started && painter_.isActive();
}

bool PainterDevice::endPage() {
    return painter_.isActive();
}

}  // namespace almanary

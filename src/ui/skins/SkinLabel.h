#pragma once
// A one-line label in the skin colours that shows a path: vertically
// centred, "&" drawn as itself, and a text too long for it shortened with
// an ellipsis in the middle (pathEllipsis) or at the end.

#include <QWidget>

namespace almanary {

class SkinLabel : public QWidget {
    Q_OBJECT
public:
    explicit SkinLabel(QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);

    void setPathEllipsis(bool on);

    // The text as drawn at the label's present width.
    QString shownText() const;

    QSize sizeHint() const override;
    // Room for an ellipsis: a long path shrinks rather than widening its
    // window.
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    bool pathEllipsis_ = false;
};

}  // namespace almanary

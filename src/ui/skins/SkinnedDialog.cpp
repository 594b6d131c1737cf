#include "skins/SkinnedDialog.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>

#include "skins/BackgroundImage.h"
#include "skins/SkinColours.h"

namespace almanary {
namespace {

// Marks the controls this dialog coloured, so a later pass can give one
// back its ordinary look (an edit that became editable).
constexpr char kColouredProperty[] = "almanarySkinColoured";

enum class ControlKind { Other, Static, Edit };

bool IsReadOnlyEdit(const QWidget* widget) {
    if (const auto* line = qobject_cast<const QLineEdit*>(widget))
        return line->isReadOnly();
    if (const auto* text = qobject_cast<const QTextEdit*>(widget))
        return text->isReadOnly();
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(widget))
        return plain->isReadOnly();
    const auto* spin = qobject_cast<const QAbstractSpinBox*>(widget);
    return spin != nullptr && spin->isReadOnly();
}

bool IsEdit(const QWidget* widget) {
    if (qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QTextEdit*>(widget) ||
        qobject_cast<const QPlainTextEdit*>(widget))
        return true;
    // Number boxes are edits; date pickers are controls of their own.
    return qobject_cast<const QAbstractSpinBox*>(widget) &&
           !qobject_cast<const QDateTimeEdit*>(widget);
}

// What the platform coloured as a static (labels, group boxes, check and
// radio boxes, read-only edits) and as an edit (editable edit fields).
ControlKind KindOf(const QWidget* widget) {
    if (qobject_cast<const QLabel*>(widget) || qobject_cast<const QGroupBox*>(widget) ||
        qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget))
        return ControlKind::Static;
    if (IsEdit(widget))
        return IsReadOnlyEdit(widget) ? ControlKind::Static : ControlKind::Edit;
    return ControlKind::Other;
}

// Plain containers are searched for controls; compound controls (a combo
// box's edit, a spin box's edit, a calendar's labels) and other windows
// are left alone.
bool SearchInside(const QWidget* widget) {
    return !widget->isWindow() && !qobject_cast<const QComboBox*>(widget) &&
           !qobject_cast<const QAbstractSpinBox*>(widget) &&
           !qobject_cast<const QAbstractScrollArea*>(widget) &&
           !qobject_cast<const QCalendarWidget*>(widget) &&
           !qobject_cast<const QLineEdit*>(widget) && !qobject_cast<const QAbstractButton*>(widget);
}

// The skin text on a solid face-colour ground. A group box keeps its inside
// clear, so the picture behind it still shows; only its title is coloured.
void Colour(QWidget* widget) {
    const QColor face = SkinColours::ButtonBackground();
    const QColor text = SkinColours::ButtonText();
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, face);
    palette.setColor(QPalette::Base, face);
    // Disabled controls keep the desktop's greyed text.
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Text, text);
    }
    widget->setPalette(palette);
    widget->setAutoFillBackground(!qobject_cast<QGroupBox*>(widget));
    widget->setProperty(kColouredProperty, true);
}

void Uncolour(QWidget* widget) {
    if (!widget->property(kColouredProperty).toBool())
        return;
    widget->setPalette(QPalette());
    widget->setAutoFillBackground(false);
    widget->setProperty(kColouredProperty, QVariant());
}

}  // namespace

SkinnedDialog::SkinnedDialog(QWidget* parent, Colouring colouring)
    : QDialog(parent), colouring_(colouring) {}

void SkinnedDialog::setBackground(const BackgroundImage* background) {
    background_ = background;
    update();
}

void SkinnedDialog::reskin() {
    ColourChildren(this);
    update();
}

void SkinnedDialog::ColourChildren(QWidget* container) {
    for (QObject* child : container->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr || widget->isWindow())
            continue;
        const ControlKind kind = KindOf(widget);
        const bool coloured =
            kind == ControlKind::Static ||
            (kind == ControlKind::Edit && colouring_ == Colouring::StaticsAndEdits);
        if (coloured)
            Colour(widget);
        else
            Uncolour(widget);
        if (SearchInside(widget))
            ColourChildren(widget);
    }
}

void SkinnedDialog::paintEvent(QPaintEvent* event) {
    if (background_ == nullptr || !background_->IsLoaded()) {
        QDialog::paintEvent(event);
        return;
    }
    QPainter painter(this);
    background_->Draw(painter, rect());
}

}  // namespace almanary

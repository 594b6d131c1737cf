#include "skins/SkinnedDialog.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <algorithm>

#include "skins/BackgroundImage.h"
#include "skins/SkinColours.h"

namespace almanary {
namespace {

// Marks the controls this dialog coloured, so a later pass can give one
// back its ordinary look (an edit that became editable).
constexpr char kColouredProperty[] = "almanarySkinColoured";

enum class ControlKind { Other, Static, Edit };

bool isReadOnlyEdit(const QWidget* widget) {
    if (const auto* line = qobject_cast<const QLineEdit*>(widget))
        return line->isReadOnly();
    if (const auto* text = qobject_cast<const QTextEdit*>(widget))
        return text->isReadOnly();
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(widget))
        return plain->isReadOnly();
    const auto* spin = qobject_cast<const QAbstractSpinBox*>(widget);
    return spin != nullptr && spin->isReadOnly();
}

bool isEdit(const QWidget* widget) {
    if (qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QTextEdit*>(widget) ||
        qobject_cast<const QPlainTextEdit*>(widget))
        return true;
    // Number boxes are edits; date pickers are controls of their own.
    return qobject_cast<const QAbstractSpinBox*>(widget) &&
           !qobject_cast<const QDateTimeEdit*>(widget);
}

// What the platform coloured as a static (labels, group boxes, check and
// radio boxes, read-only edits) and as an edit (editable edit fields).
ControlKind kindOf(const QWidget* widget) {
    if (qobject_cast<const QLabel*>(widget) || qobject_cast<const QGroupBox*>(widget) ||
        qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget))
        return ControlKind::Static;
    if (isEdit(widget))
        return isReadOnlyEdit(widget) ? ControlKind::Static : ControlKind::Edit;
    return ControlKind::Other;
}

// Plain containers are searched for controls; compound controls (a combo
// box's edit, a spin box's edit, a calendar's labels) and other windows
// are left alone.
bool searchInside(const QWidget* widget) {
    return !widget->isWindow() && !qobject_cast<const QComboBox*>(widget) &&
           !qobject_cast<const QAbstractSpinBox*>(widget) &&
           !qobject_cast<const QAbstractScrollArea*>(widget) &&
           !qobject_cast<const QCalendarWidget*>(widget) &&
           !qobject_cast<const QLineEdit*>(widget) && !qobject_cast<const QAbstractButton*>(widget);
}

// The skin text on a solid face-colour ground. A group box keeps its inside
// clear, so the picture behind it still shows; only its title is coloured.
void colour(QWidget* widget) {
    const QColor face = SkinColours::buttonBackground();
    const QColor text = SkinColours::buttonText();
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

void uncolour(QWidget* widget) {
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
    colourChildren(this);
    update();
}

void SkinnedDialog::colourChildren(QWidget* container) {
    for (QObject* child : container->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr || widget->isWindow())
            continue;
        const ControlKind kind = kindOf(widget);
        const bool coloured =
            kind == ControlKind::Static ||
            (kind == ControlKind::Edit && colouring_ == Colouring::StaticsAndEdits);
        if (coloured)
            colour(widget);
        else
            uncolour(widget);
        if (searchInside(widget))
            colourChildren(widget);
    }
}

void SkinnedDialog::setEnterKeyTable(std::vector<EnterKeyAction> table,
                                     std::function<void()> otherwise) {
    enterKeyTable_ = std::move(table);
    enterOtherwise_ = std::move(otherwise);
}

void SkinnedDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    const QWidget* focused = focusWidget();
    const auto entry = std::ranges::find(enterKeyTable_, focused, &EnterKeyAction::focus);
    // The action may end and delete this window: nothing of it is used after.
    if (entry != enterKeyTable_.end()) {
        const std::function<void()> action = entry->action;
        action();
    } else if (enterOtherwise_) {
        const std::function<void()> action = enterOtherwise_;
        action();
    }
}

void SkinnedDialog::paintEvent(QPaintEvent* event) {
    if (background_ == nullptr || !background_->isLoaded()) {
        QDialog::paintEvent(event);
        return;
    }
    QPainter painter(this);
    background_->draw(painter, rect());
}

}  // namespace almanary

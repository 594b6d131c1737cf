#pragma once
// The base of every window of the program: it paints the skin's background
// picture stretched behind its controls and colours its labels (and, where
// asked, its edit fields) in the skin colours. Buttons are CCustomButtons
// and paint themselves. The Enter key never presses a default button: it
// runs the action of the control that has the focus, from a table each
// window gives.

#include <QDialog>
#include <functional>
#include <vector>

namespace almanary {

class BackgroundImage;

class SkinnedDialog : public QDialog {
    Q_OBJECT
public:
    // Which child controls take the skin colours besides the labels, group
    // boxes, check boxes and read-only edits.
    enum class Colouring { StaticsOnly, StaticsAndEdits };

    explicit SkinnedDialog(QWidget* parent = nullptr, Colouring colouring = Colouring::StaticsOnly);

    // The skin's picture slot; the dialog draws whatever it holds at paint
    // time. Null: no picture.
    void setBackground(const BackgroundImage* background);
    const BackgroundImage* background() const { return background_; }

    // Applies the current skin colours to the child controls and repaints.
    // A window calls it at the end of its constructor, after setupUi (the
    // controls must exist), and whoever changes the skin colours calls it
    // again on every open window: labels and edits keep the colours they
    // were given, while buttons and SkinLabels read them at each paint.
    void reskin();

protected:
    // What Enter does while `focus` has the keyboard focus.
    struct EnterKeyAction {
        const QWidget* focus;
        std::function<void()> action;
    };
    // The window's Enter-key table, and what Enter does on any other
    // control (nothing when empty).
    void setEnterKeyTable(std::vector<EnterKeyAction> table, std::function<void()> otherwise);

    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void colourChildren(QWidget* container);

    const BackgroundImage* background_ = nullptr;
    Colouring colouring_;
    std::vector<EnterKeyAction> enterKeyTable_;
    std::function<void()> enterOtherwise_;
};

}  // namespace almanary

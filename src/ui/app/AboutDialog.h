#pragma once
// "About Almanary": the program icon, its name and version, and OK.

#include <memory>

#include "skins/SkinnedDialog.h"

namespace Ui {
class AboutDialog;
}

namespace almanary {

class AboutDialog : public SkinnedDialog {
    Q_OBJECT
public:
    AboutDialog(QWidget* parent, const BackgroundImage* background);
    ~AboutDialog() override;

    // "Almanary Version <version>".
    static QString versionLine();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Ui::AboutDialog> ui_;
};

}  // namespace almanary

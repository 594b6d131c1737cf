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
    explicit AboutDialog(QWidget* parent);
    ~AboutDialog() override;

    // "Almanary Version <version>".
    static QString versionLine();

private:
    std::unique_ptr<Ui::AboutDialog> ui_;
};

}  // namespace almanary

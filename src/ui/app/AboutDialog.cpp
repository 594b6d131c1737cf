#include "app/AboutDialog.h"

#include <QIcon>

#include "app/Resources.h"
#include "ui_AboutDialog.h"

#ifndef ALMANARY_VERSION
#error "ALMANARY_VERSION must be defined by the build"
#endif

namespace almanary {

namespace {

constexpr int kIconSize = 48;

}  // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : SkinnedDialog(parent, Colouring::StaticsAndEdits), ui_(std::make_unique<Ui::AboutDialog>()) {
    initResources();
    ui_->setupUi(this);
    const QIcon icon(QStringLiteral(":/icons/almanary.svg"));
    setWindowIcon(icon);
    ui_->iconLabel->setPixmap(icon.pixmap(kIconSize, kIconSize));
    ui_->versionLabel->setText(versionLine());
    connect(ui_->okButton, &QPushButton::clicked, this, &AboutDialog::accept);
    // OK is the dialog's only action.
    setEnterKeyTable({}, [this] { accept(); });
    ui_->okButton->setFocus();
    reskin();
}

AboutDialog::~AboutDialog() = default;

QString AboutDialog::versionLine() {
    return QStringLiteral("Almanary Version " ALMANARY_VERSION);
}

}  // namespace almanary

#include "app/AboutDialog.h"

#include <QIcon>
#include <QKeyEvent>

#include "ui_AboutDialog.h"

#ifndef ALMANARY_VERSION
#error "ALMANARY_VERSION must be defined by the build"
#endif

// The icons live in a static library; naming their initialiser keeps the
// linker from dropping them. Outside any namespace, as the macro requires.
static void initAlmanaryResources() {
    Q_INIT_RESOURCE(almanary);
}

namespace almanary {

namespace {

constexpr int kIconSize = 48;

}  // namespace

AboutDialog::AboutDialog(QWidget* parent, const BackgroundImage* background)
    : SkinnedDialog(parent, Colouring::StaticsAndEdits), ui_(std::make_unique<Ui::AboutDialog>()) {
    [[maybe_unused]] static const bool resourcesReady = (::initAlmanaryResources(), true);
    ui_->setupUi(this);
    setBackground(background);
    const QIcon icon(QStringLiteral(":/icons/almanary.svg"));
    setWindowIcon(icon);
    ui_->iconLabel->setPixmap(icon.pixmap(kIconSize, kIconSize));
    ui_->versionLabel->setText(versionLine());
    connect(ui_->okButton, &QPushButton::clicked, this, &AboutDialog::accept);
    ui_->okButton->setFocus();
    reskin();
}

AboutDialog::~AboutDialog() = default;

QString AboutDialog::versionLine() {
    return QStringLiteral("Almanary Version " ALMANARY_VERSION);
}

void AboutDialog::keyPressEvent(QKeyEvent* event) {
    // OK is the dialog's only action.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    SkinnedDialog::keyPressEvent(event);
}

}  // namespace almanary

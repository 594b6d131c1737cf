#include "app/PasswordDialog.h"

#include "app/MessageTable.h"
#include "platform/Prompter.h"
#include "platform/TextConversion.h"
#include "ui_PasswordDialog.h"

namespace almanary {

PasswordDialog::PasswordDialog(QWidget* parent, Prompter& prompter,
                               const BackgroundImage* background)
    : SkinnedDialog(parent, Colouring::StaticsAndEdits),
      ui_(std::make_unique<Ui::PasswordDialog>()),
      prompter_(prompter) {
    ui_->setupUi(this);
    setBackground(background);
    connect(ui_->okButton, &QPushButton::clicked, this, &PasswordDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &PasswordDialog::reject);
    setEnterKeyTable({{ui_->cancelButton, [this] { reject(); }}}, [this] { accept(); });
    ui_->passwordEdit->setFocus();
    reskin();
}

PasswordDialog::~PasswordDialog() = default;

void PasswordDialog::setExpected(const std::string& password) {
    expected_ = password;
}

void PasswordDialog::setFileName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    fileName_ = slash == std::string::npos ? path : path.substr(slash + 1);
    prompt_ = fileName_ + "\nis password protected.  Please enter the password:";
    ui_->promptLabel->setText(toQString(prompt_));
}

bool PasswordDialog::run() {
    return exec() == QDialog::Accepted;
}

bool PasswordDialog::entryMatches() const {
    // Compared as the user sees the text, so a password stored in an older
    // 8-bit encoding can still be typed; letter case matters.
    return ui_->passwordEdit->text() == toQString(expected_);
}

void PasswordDialog::accept() {
    if (entryMatches()) {
        SkinnedDialog::accept();
        return;
    }
    prompter_.show(this, MessageId::WrongPassword);
    ui_->passwordEdit->clear();
    ui_->passwordEdit->setFocus();
}

}  // namespace almanary

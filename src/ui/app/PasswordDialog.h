#pragma once
// "Password Required": asks for the password of a protected almanary until
// it is right or the user cancels. A wrong entry says so, empties the edit
// and keeps the dialog open.

#include <memory>
#include <string>

#include "skins/SkinnedDialog.h"

namespace Ui {
class PasswordDialog;
}

namespace almanary {

class Prompter;

class PasswordDialog : public SkinnedDialog {
    Q_OBJECT
public:
    PasswordDialog(QWidget* parent, Prompter& prompter, const BackgroundImage* background);
    ~PasswordDialog() override;

    void setExpected(const std::string& password);
    // Shows the file's name (the part after the last "/") in the prompt.
    void setFileName(const std::string& path);
    // Modal run: true for OK with the right password, false for Cancel.
    bool run();

    std::string prompt() const { return prompt_; }
    std::string fileName() const { return fileName_; }

    // OK: closes when the entry is the password, else says so and asks again.
    void accept() override;

private:
    bool entryMatches() const;

    std::unique_ptr<Ui::PasswordDialog> ui_;
    Prompter& prompter_;
    std::string expected_;
    std::string fileName_;
    std::string prompt_;
};

}  // namespace almanary

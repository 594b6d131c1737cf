#pragma once
// "Almanary Skins", the skin editor: pick a saved skin, change the four
// button colours and the background picture with a live look in the
// editor itself, apply the result to every window, and save it under a
// name. Cancel undoes what was changed since the last Apply. When the
// editor ends with OK, or after an Apply, the session takes the skin.

#include <memory>
#include <string>

#include "skineditor/SkinPictures.h"
#include "skins/SkinColours.h"
#include "skins/SkinnedDialog.h"

namespace Ui {
class SkinsDialog;
}

class QPushButton;

namespace almanary {

class DocumentSession;
struct AppServices;

class SkinsDialog : public SkinnedDialog {
    Q_OBJECT
public:
    SkinsDialog(QWidget* owner, DocumentSession& session, const AppServices& services);
    ~SkinsDialog() override;

    // What the editor hands back: the skin's name (empty for a skin no
    // file holds) and its picture's path.
    const std::string& skinName() const { return skinName_; }
    const std::string& backgroundPath() const { return backgroundPath_; }
    const SkinPictures& pictures() const { return pictures_; }
    bool applied() const { return applied_; }

    // OK: applies, warns about a skin no file holds, and ends.
    void accept() override;
    // Cancel and Escape: back to the last Apply, and ends.
    void reject() override;

public slots:
    void selectSkin(int index);
    void loadBackgroundImage();
    void apply();
    void saveSkin();

protected:
    // After the editor: the session takes what was applied.
    void done(int result) override;

private:
    void connectControls();
    void setEnterKeys();
    void listSavedSkins();
    void addSkinName(const QString& name);
    // One of the four colours, through the colour chooser.
    void chooseColour(QColor SkinColourSet::*colour);
    // Writes the skin file, making the skins folder when it is missing.
    bool writeSkin();
    // The members shown in the controls, and the typed name read back.
    void showMembers();
    void readName();

    std::unique_ptr<Ui::SkinsDialog> ui_;
    DocumentSession& session_;
    const AppServices& services_;
    SkinPictures pictures_;
    std::string enteredName_;  // the combo box's text
    std::string skinName_;
    std::string backgroundPath_;
    // As of the last Apply (at opening, as the windows show them).
    SkinColourSet committedColours_;
    std::string committedName_;
    std::string committedPath_;
    bool unsavedNewSkin_ = false;  // colours or a picture no skin file holds
    bool applied_ = false;
    bool insideOk_ = false;
};

}  // namespace almanary

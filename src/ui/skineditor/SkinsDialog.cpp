#include "skineditor/SkinsDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/MessageTable.h"
#include "document/DocumentSession.h"
#include "platform/AppServices.h"
#include "platform/ColourChooser.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "platform/TextConversion.h"
#include "skins/SkinFile.h"
#include "skins/SkinFolder.h"
#include "ui_SkinsDialog.h"

namespace almanary {
namespace {

const QString kDefaultName = QString::fromLatin1(SkinFile::kBuiltInName);

bool opensForReading(const std::string& path) {
    return std::ifstream(path, std::ios::binary).is_open();
}

// The combo box's order: letter case ignored, then minding it.
bool sortsBefore(const QString& a, const QString& b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : QString::compare(a, b) < 0;
}

}  // namespace

SkinsDialog::SkinsDialog(QWidget* owner, DocumentSession& session, const AppServices& services)
    : SkinnedDialog(owner, Colouring::StaticsAndEdits),
      ui_(std::make_unique<Ui::SkinsDialog>()),
      session_(session),
      services_(services),
      pictures_(session.background()),
      enteredName_(session.document().skinName),
      skinName_(enteredName_),
      backgroundPath_(session.backgroundPath()),
      committedColours_(SkinColours::current()),
      committedName_(skinName_),
      committedPath_(backgroundPath_) {
    ui_->setupUi(this);
    ui_->backgroundLabel->setPathEllipsis(true);
    // A typed name is only taken by Save Skin, never added by Enter.
    ui_->skinsCombo->setInsertPolicy(QComboBox::NoInsert);
    ui_->previewArea->setPicture(&pictures_.preview());
    listSavedSkins();
    connectControls();
    setEnterKeys();
    session_.attach(this, WindowRole::Dialog);
    setBackground(&pictures_.current());  // the skin being edited, not the windows'
    showMembers();
    ui_->skinsCombo->setFocus();
    reskin();
}

SkinsDialog::~SkinsDialog() = default;

void SkinsDialog::connectControls() {
    connect(ui_->skinsCombo, &QComboBox::activated, this, &SkinsDialog::selectSkin);
    connect(ui_->saveSkinButton, &QPushButton::clicked, this, &SkinsDialog::saveSkin);
    connect(ui_->loadBackgroundButton, &QPushButton::clicked, this,
            &SkinsDialog::loadBackgroundImage);
    const std::pair<QPushButton*, QColor SkinColourSet::*> colourButtons[] = {
        {ui_->buttonBackgroundButton, &SkinColourSet::buttonBackground},
        {ui_->buttonTextButton, &SkinColourSet::buttonText},
        {ui_->buttonHighlightButton, &SkinColourSet::buttonHighlight},
        {ui_->buttonShadowButton, &SkinColourSet::buttonShadow},
    };
    for (const auto& [button, colour] : colourButtons)
        connect(button, &QPushButton::clicked, this, [this, c = colour] { chooseColour(c); });
    connect(ui_->okButton, &QPushButton::clicked, this, &SkinsDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &SkinsDialog::reject);
    connect(ui_->applyButton, &QPushButton::clicked, this, &SkinsDialog::apply);
}

// Enter presses the focused button; on the name box it does nothing.
void SkinsDialog::setEnterKeys() {
    std::vector<EnterKeyAction> table;
    for (QPushButton* button : findChildren<QPushButton*>())
        table.push_back({button, [button] { button->click(); }});
    setEnterKeyTable(std::move(table), {});
}

// Every skin file of the folder once, and the built-in skin, which no
// file can stand for.
void SkinsDialog::listSavedSkins() {
    for (const std::string& name : SkinFolder::names(services_.skinsFolder)) {
        if (name != SkinFile::kBuiltInName)
            addSkinName(toQString(name));
    }
    addSkinName(kDefaultName);
}

void SkinsDialog::addSkinName(const QString& name) {
    QComboBox& combo = *ui_->skinsCombo;
    int at = 0;
    while (at < combo.count() && sortsBefore(combo.itemText(at), name))
        ++at;
    combo.insertItem(at, name);
}

void SkinsDialog::showMembers() {
    ui_->skinsCombo->setCurrentIndex(-1);  // so picking the same skin again reloads it
    ui_->skinsCombo->setEditText(toQString(enteredName_));
    ui_->backgroundLabel->setText(toQString(backgroundPath_));
    ui_->backgroundLabel->setToolTip(toQString(backgroundPath_));
    ui_->previewArea->update();
    update();
}

void SkinsDialog::readName() {
    enteredName_ = toBytes(ui_->skinsCombo->currentText());
}

// ---- picking a saved skin ----

void SkinsDialog::selectSkin(int index) {
    const std::string name = toBytes(ui_->skinsCombo->itemText(index));
    if (name == SkinFile::kBuiltInName) {
        SkinColours::setPlatformColours();
        backgroundPath_.clear();
    } else {
        const SkinRead read = SkinFile::readNamed(services_.skinsFolder, name);
        if (!read.skin) {
            // Gone or damaged: it is offered no more, and nothing changes.
            services_.prompter.show(this, MessageId::SkinLoadError);
            ui_->skinsCombo->removeItem(index);
            showMembers();
            return;
        }
        SkinColours::setCurrent(SkinColours::fromSkin(*read.skin));
        backgroundPath_ = read.skin->picturePath;
    }
    skinName_ = enteredName_ = name;
    pictures_.select(backgroundPath_);
    unsavedNewSkin_ = false;
    showMembers();
    reskin();
}

// ---- colours and picture ----

void SkinsDialog::chooseColour(QColor SkinColourSet::*colour) {
    SkinColourSet colours = SkinColours::current();
    const std::optional<QColor> chosen = services_.colours.chooseColour(this, colours.*colour);
    if (!chosen)
        return;
    colours.*colour = *chosen;
    SkinColours::setCurrent(colours);
    unsavedNewSkin_ = true;
    enteredName_.clear();
    skinName_.clear();
    showMembers();
    reskin();
}

void SkinsDialog::loadBackgroundImage() {
    const std::optional<std::string> chosen =
        services_.files.chooseToOpen(this, FileKind::Bitmap, backgroundPath_);
    if (!chosen)
        return;  // nothing changed, so the skin keeps its name
    if (!pictures_.choose(*chosen)) {
        services_.prompter.show(this, MessageId::BackgroundMissing, {*chosen, enteredName_});
        return;
    }
    backgroundPath_ = *chosen;
    enteredName_.clear();
    skinName_.clear();
    showMembers();
}

// ---- Apply, OK, Cancel ----

void SkinsDialog::apply() {
    // A picture chosen since the skin was last named is one no file holds.
    if (pictures_.apply() && skinName_.empty())
        unsavedNewSkin_ = true;
    session_.background() = pictures_.committed();
    if (!backgroundPath_.empty() &&
        (!opensForReading(backgroundPath_) || !pictures_.committed().isLoaded())) {
        services_.prompter.show(this, MessageId::BackgroundMissing,
                                {backgroundPath_, enteredName_});
    }
    committedColours_ = SkinColours::current();
    committedName_ = skinName_;
    committedPath_ = backgroundPath_;
    applied_ = true;
    session_.notifySkinChanged();
    if (unsavedNewSkin_ && !insideOk_)
        services_.prompter.show(this, MessageId::UnsavedSkinOnApply);
}

void SkinsDialog::accept() {
    insideOk_ = true;
    apply();
    insideOk_ = false;
    if (unsavedNewSkin_ &&
        services_.prompter.show(this, MessageId::UnsavedSkinOnOk) != MessageAnswer::Ok)
        return;
    readName();
    SkinnedDialog::accept();
}

// The name and path go back with the colours and picture, so what the
// session takes after an Apply is all of one skin.
void SkinsDialog::reject() {
    SkinColours::setCurrent(committedColours_);
    pictures_.undo();
    skinName_ = committedName_;
    backgroundPath_ = committedPath_;
    SkinnedDialog::reject();
}

void SkinsDialog::done(int result) {
    if (result == Accepted || applied_)
        session_.setSkin(skinName_, backgroundPath_, pictures_.current());
    else
        session_.notifySkinChanged();  // nothing kept: every window as it was
    SkinnedDialog::done(result);
}

// ---- Save Skin ----

void SkinsDialog::saveSkin() {
    readName();
    if (QString::compare(toQString(enteredName_), kDefaultName, Qt::CaseInsensitive) == 0) {
        services_.prompter.show(this, MessageId::DefaultSkinReadOnly);
        return;
    }
    if (enteredName_.empty()) {
        services_.prompter.show(this, MessageId::SkinNameRequired);
        return;
    }
    skinName_ = enteredName_;
    const std::optional<std::string> path = SkinFile::pathOf(services_.skinsFolder, enteredName_);
    const bool overwriting = path && opensForReading(*path);
    if (overwriting && services_.prompter.show(this, MessageId::OverwriteSkin, {enteredName_}) !=
                           MessageAnswer::Yes)
        return;
    if (!writeSkin()) {
        services_.prompter.show(this, MessageId::SkinSaveError);
        return;
    }
    const QString name = toQString(enteredName_);
    if (!overwriting &&
        ui_->skinsCombo->findText(name, Qt::MatchFixedString | Qt::MatchCaseSensitive) < 0)
        addSkinName(name);
    unsavedNewSkin_ = false;
    showMembers();
}

bool SkinsDialog::writeSkin() {
    const Skin skin = SkinColours::toSkin(SkinColours::current(), backgroundPath_);
    if (!SkinFile::writeNamed(services_.skinsFolder, enteredName_, skin))
        return true;
    std::error_code ignored;  // the second try says whether it helped
    std::filesystem::create_directories(services_.skinsFolder, ignored);
    return !SkinFile::writeNamed(services_.skinsFolder, enteredName_, skin);
}

}  // namespace almanary

#include "app/OptionsDialog.h"

#include <QTimer>
#include <utility>

#include "app/AppPaths.h"
#include "app/AutosaveMinutes.h"
#include "app/MessageTable.h"
#include "app/SettingsStore.h"
#include "document/DocumentSession.h"
#include "model/DocumentSettings.h"
#include "platform/AppServices.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "platform/SoundPlayer.h"
#include "platform/TextConversion.h"
#include "share/ShareRegistry.h"
#include "ui_OptionsDialog.h"

namespace almanary {

OptionsDialog::OptionsDialog(QWidget* owner, DocumentSession& session, const AppServices& services)
    : SkinnedDialog(owner, Colouring::StaticsAndEdits),
      ui_(std::make_unique<Ui::OptionsDialog>()),
      session_(session),
      services_(services),
      previousShareName_(session.settings().shareName) {
    ui_->setupUi(this);
    ui_->shareNameEdit->setMaxLength(static_cast<int>(ShareRegistry::kMaxNameBytes));
    showSettings(session_.settings());
    connectControls();
    // The Enter key presses the focused button; on any other control it
    // does nothing.
    setEnterKeyTable(
        {
            {ui_->okButton, [this] { accept(); }},
            {ui_->cancelButton, [this] { reject(); }},
            {ui_->selectSoundButton, [this] { selectSound(); }},
            {ui_->playButton, [this] { playSound(); }},
            {ui_->defaultSoundButton, [this] { defaultSound(); }},
        },
        {});
    session_.attach(this, WindowRole::Dialog);
    ui_->loadOnStartCheck->setFocus();
    reskin();
}

OptionsDialog::~OptionsDialog() = default;

// Only the user's own edits and clicks count as changes, not the values
// the dialog puts in at opening.
void OptionsDialog::connectControls() {
    const auto changes = [this](QAbstractButton* check) {
        connect(check, &QAbstractButton::clicked, this, [this] {
            changed_ = true;
            enableControls();
        });
    };
    changes(ui_->passwordCheck);
    changes(ui_->twelveHourCheck);
    changes(ui_->playSoundCheck);
    connect(ui_->autosaveCheck, &QAbstractButton::clicked, this, [this] {
        changed_ = true;
        enableControls();
        if (ui_->autosaveCheck->isChecked())
            checkedMinutes();
    });
    // Whether the almanary is shared is kept outside it: no change to save.
    connect(ui_->shareCheck, &QAbstractButton::clicked, this, &OptionsDialog::enableControls);
    connect(ui_->minutesEdit, &QLineEdit::textEdited, this, &OptionsDialog::onMinutesEdited);
    connect(ui_->passwordEdit, &QLineEdit::textEdited, this, [this] { changed_ = true; });
    connect(ui_->selectSoundButton, &QPushButton::clicked, this, &OptionsDialog::selectSound);
    connect(ui_->playButton, &QPushButton::clicked, this, &OptionsDialog::playSound);
    connect(ui_->defaultSoundButton, &QPushButton::clicked, this, &OptionsDialog::defaultSound);
    connect(ui_->okButton, &QPushButton::clicked, this, &OptionsDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &OptionsDialog::reject);
}

void OptionsDialog::showSettings(const DocumentSettings& settings) {
    ui_->loadOnStartCheck->setChecked(settings.loadOnStart);
    ui_->autosaveCheck->setChecked(settings.autosave);
    autosaveMinutes_ = settings.autosaveMinutes;
    ui_->minutesEdit->setText(QString::number(settings.autosaveMinutes));
    ui_->passwordCheck->setChecked(!settings.password.empty());
    ui_->passwordEdit->setText(toQString(settings.password));
    ui_->twelveHourCheck->setChecked(settings.twelveHourClock);
    const std::string shareName = registeredShareName(settings.shareName);
    ui_->shareCheck->setChecked(!shareName.empty());
    ui_->shareNameEdit->setText(toQString(shareName));
    soundFile_ = settings.soundFile;
    ui_->soundEdit->setText(toQString(soundFile_));
    // A sound file that has gone is not offered as playing.
    const bool soundGone = !soundFile_.empty() && !AppPaths::findSound(soundFile_);
    ui_->playSoundCheck->setChecked(settings.playSound && !soundGone);
    enableControls();
}

std::string OptionsDialog::registeredShareName(const std::string& name) const {
    SettingsStore store;
    if (name.empty() || !store.open(services_.settingsPath))
        return {};
    return ShareRegistry(store).pathOf(name) ? name : std::string();
}

void OptionsDialog::enableControls() {
    ui_->minutesEdit->setEnabled(ui_->autosaveCheck->isChecked());
    ui_->passwordEdit->setEnabled(ui_->passwordCheck->isChecked());
    ui_->shareNameEdit->setEnabled(ui_->shareCheck->isChecked());
    // Default Sound stays usable: it also repairs a sound that has gone.
    const bool sound = ui_->playSoundCheck->isChecked();
    ui_->soundEdit->setEnabled(sound);
    ui_->selectSoundButton->setEnabled(sound);
    ui_->playButton->setEnabled(sound);
}

void OptionsDialog::showEvent(QShowEvent* event) {
    SkinnedDialog::showEvent(event);
    if (std::exchange(shown_, true))
        return;
    // A period outside the range (from a file this dialog did not write) is
    // pointed out at once, over the dialog once it is on screen.
    QTimer::singleShot(0, this, [this] {
        if (ui_->autosaveCheck->isChecked())
            checkedMinutes();
    });
}

// Checked as the user types, so a wrong period is pointed out at once.
void OptionsDialog::onMinutesEdited() {
    const AutosaveMinutes::Reading reading =
        AutosaveMinutes::read(toBytes(ui_->minutesEdit->text()));
    if (reading.number && *reading.number != autosaveMinutes_) {
        autosaveMinutes_ = *reading.number;
        changed_ = true;
    }
    if (reading.problem)
        refuse(*reading.problem, ui_->minutesEdit);
}

std::optional<std::int32_t> OptionsDialog::checkedMinutes() {
    const AutosaveMinutes::Reading reading =
        AutosaveMinutes::read(toBytes(ui_->minutesEdit->text()));
    // Without autosave the period is not in use: one that is no good
    // leaves the document's as it was.
    if (!ui_->autosaveCheck->isChecked())
        return reading.problem ? session_.settings().autosaveMinutes : *reading.number;
    if (reading.problem) {
        refuse(*reading.problem, ui_->minutesEdit);
        return std::nullopt;
    }
    return reading.number;
}

void OptionsDialog::refuse(const Notice& notice, QWidget* box) {
    services_.prompter.show(this, notice);
    box->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(box))
        edit->selectAll();
}

void OptionsDialog::selectSound() {
    changed_ = true;
    const std::string start = AppPaths::findSound(soundFile_).value_or(std::string());
    const std::optional<std::string> chosen =
        services_.files.chooseToOpen(this, FileKind::Sound, start);
    if (!chosen)
        return;
    soundFile_ = *chosen;
    ui_->soundEdit->setText(toQString(soundFile_));
}

void OptionsDialog::playSound() {
    if (const std::optional<std::string> file = AppPaths::findSound(soundFile_)) {
        services_.sound.play(*file);
        return;
    }
    services_.prompter.show(this, MessageId::SoundMissing, {soundFile_});
}

void OptionsDialog::defaultSound() {
    changed_ = true;
    soundFile_ = DocumentSettings{}.soundFile;
    ui_->soundEdit->setText(toQString(soundFile_));
}

// ---- OK ----

void OptionsDialog::accept() {
    const std::optional<DocumentSettings> chosen = checkedEntries();
    if (!chosen)
        return;
    SettingsStore shares;
    // A store that cannot be opened shares nothing and says nothing, as a
    // value that cannot be written.
    shares.open(services_.settingsPath);
    if (!mayTakeShareName(shares, chosen->shareName))
        return;
    store(shares, *chosen);
    SkinnedDialog::accept();
}

std::optional<DocumentSettings> OptionsDialog::checkedEntries() {
    const std::optional<std::int32_t> minutes = checkedMinutes();
    if (!minutes || !passwordGiven() || !shareNameAccepted())
        return std::nullopt;
    const SoundCheck sound = checkSound();
    if (sound == SoundCheck::ReturnToDialog)
        return std::nullopt;
    DocumentSettings chosen = session_.settings();
    chosen.loadOnStart = ui_->loadOnStartCheck->isChecked();
    chosen.autosave = ui_->autosaveCheck->isChecked();
    chosen.autosaveMinutes = *minutes;
    chosen.password =
        ui_->passwordCheck->isChecked() ? toBytes(ui_->passwordEdit->text()) : std::string();
    chosen.twelveHourClock = ui_->twelveHourCheck->isChecked();
    chosen.shareName =
        ui_->shareCheck->isChecked() ? toBytes(ui_->shareNameEdit->text()) : std::string();
    chosen.soundFile = soundFile_;
    chosen.playSound = ui_->playSoundCheck->isChecked() && sound == SoundCheck::Found;
    return chosen;
}

bool OptionsDialog::passwordGiven() {
    if (!ui_->passwordCheck->isChecked() || !ui_->passwordEdit->text().isEmpty())
        return true;
    refuse({MessageId::PasswordRequired, {}}, ui_->passwordEdit);
    return false;
}

bool OptionsDialog::shareNameAccepted() {
    if (!ui_->shareCheck->isChecked())
        return true;
    const std::optional<Notice> refusal =
        ShareRegistry::check(toBytes(ui_->shareNameEdit->text()), session_.path());
    if (refusal)
        refuse(*refusal, ui_->shareNameEdit);
    return !refusal;
}

// The sound is checked whether or not it is to be played: a sound kept for
// later should still be there.
OptionsDialog::SoundCheck OptionsDialog::checkSound() {
    if (AppPaths::findSound(soundFile_))
        return SoundCheck::Found;
    return services_.prompter.show(this, MessageId::SoundMissingOnOk, {soundFile_}) ==
                   MessageAnswer::Yes
               ? SoundCheck::GoOnWithout
               : SoundCheck::ReturnToDialog;
}

bool OptionsDialog::mayTakeShareName(SettingsStore& store, const std::string& name) {
    if (name.empty() || !ShareRegistry(store).sharesAnotherFile(name, session_.path()))
        return true;
    return services_.prompter.show(this, MessageId::ShareNameTaken, {name}) == MessageAnswer::Yes;
}

void OptionsDialog::store(SettingsStore& store, const DocumentSettings& chosen) {
    session_.setSettings(chosen);
    ShareRegistry shares(store);
    if (!chosen.shareName.empty())
        shares.publish(chosen.shareName, session_.path(), previousShareName_);
    else if (!previousShareName_.empty())
        shares.withdraw(previousShareName_);
}

}  // namespace almanary

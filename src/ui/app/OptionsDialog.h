#pragma once
// "Options": the settings of the open almanary (reload at start, autosave,
// password, 12-hour clock, reminder sound) and the name it is shared under.
// OK checks every entry and stores them only when all pass; Cancel, and a
// check that fails, leave the document and the shares as they were.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "skins/SkinnedDialog.h"

namespace Ui {
class OptionsDialog;
}

namespace almanary {

class DocumentSession;
class SettingsStore;
struct AppServices;
struct DocumentSettings;
struct Notice;

class OptionsDialog : public SkinnedDialog {
    Q_OBJECT
public:
    OptionsDialog(QWidget* owner, DocumentSession& session, const AppServices& services);
    ~OptionsDialog() override;

    // True once the user changed a setting, however the dialog ended.
    bool changed() const { return changed_; }

    // OK: stores the settings and the share when every check passes.
    void accept() override;

public slots:
    void selectSound();
    void playSound();
    void defaultSound();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void connectControls();
    void showSettings(const DocumentSettings& settings);
    // The share name the settings store still knows for this document.
    std::string registeredShareName(const std::string& name) const;
    // Each edit box is usable only while its check box is ticked.
    void enableControls();
    void onMinutesEdited();

    // The minutes to keep; nothing, once the refusal is shown, when the
    // box is in use and holds no whole number from 1 to 60.
    std::optional<std::int32_t> checkedMinutes();
    // Says why an entry is refused, then puts the focus on its box with the
    // text selected.
    void refuse(const Notice& notice, QWidget* box);
    // The checks of OK before any question about the share: the settings to
    // store, or nothing when a check refused them.
    std::optional<DocumentSettings> checkedEntries();
    bool passwordGiven();
    bool shareNameAccepted();
    // Whether the sound is found, else whether the user goes on without it.
    enum class SoundCheck { Found, GoOnWithout, ReturnToDialog };
    SoundCheck checkSound();
    // Asks before taking a share name that another almanary is shared under.
    bool mayTakeShareName(SettingsStore& store, const std::string& name);
    void store(SettingsStore& store, const DocumentSettings& chosen);

    std::unique_ptr<Ui::OptionsDialog> ui_;
    DocumentSession& session_;
    const AppServices& services_;
    std::string previousShareName_;
    std::string soundFile_;
    std::int32_t autosaveMinutes_ = 0;  // the last whole number the minutes box held
    bool changed_ = false;
    bool shown_ = false;
};

}  // namespace almanary

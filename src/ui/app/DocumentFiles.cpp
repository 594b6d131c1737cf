#include "app/DocumentFiles.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "app/MainWindow.h"
#include "app/MessageTable.h"
#include "app/PasswordDialog.h"
#include "app/SettingsStore.h"
#include "model/DateTimeText.h"
#include "model/FilePaths.h"
#include "platform/Clock.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "skins/SkinColours.h"
#include "skins/SkinFile.h"

namespace almanary {

namespace {

// True when something other than a folder already has that name; a folder
// is not offered for overwriting (the save then fails with its reason).
bool FileExists(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

// The skin's title as messages show it: the file name without ".skn".
std::string SkinTitle(const std::string& skinPath) {
    std::string name = FileNameOf(skinPath);
    if (name.size() >= SkinFile::kExtension.size())
        name.resize(name.size() - SkinFile::kExtension.size());
    return name;
}

}  // namespace

// Keeps the reminder check and autosave stopped while a file is read or
// written, and starts them again on every way out of the outermost step.
class DocumentFiles::Pause {
public:
    explicit Pause(DocumentFiles& files) : files_(files) {
        if (files_.busy_++ == 0)
            files_.window_.StopTimers();
    }
    ~Pause() {
        if (--files_.busy_ == 0)
            files_.window_.RestartTimers();
    }
    Pause(const Pause&) = delete;
    Pause& operator=(const Pause&) = delete;

private:
    DocumentFiles& files_;
};

DocumentFiles::DocumentFiles(MainWindow& window) : window_(window) {}

bool DocumentFiles::HasUnsavedChanges(bool ignoreOptions) const {
    return window_.documentChanged || window_.document.events.IsModified() || window_.skinChanged ||
           (window_.optionsChanged && !ignoreOptions);
}

bool DocumentFiles::RaiseOpenChooser() {
    FileChooser& files = window_.services().files;
    if (!files.IsOpen())
        return false;
    files.Raise();
    return true;
}

bool DocumentFiles::Save(bool chooseName) {
    if (RaiseOpenChooser() || busy())
        return false;
    Pause pause(*this);
    return SaveUnpaused(chooseName);
}

bool DocumentFiles::SaveUnpaused(bool chooseName) {
    const std::optional<std::string> target = ChooseSaveTarget(chooseName);
    if (!target || !ConfirmOverwrite(*target))
        return false;
    if (const std::optional<AlmanaryProblem> problem =
            AlmanaryFile::Save(window_.document, *target)) {
        // Nothing was written: the document stays changed under its old name.
        ShowProblem(*problem);
        return false;
    }
    const std::string oldPath = std::exchange(window_.currentPath, *target);
    window_.documentChanged = false;
    window_.optionsChanged = false;
    window_.skinChanged = false;
    // A copy under a new name is not the published file.
    if (!oldPath.empty() && !SamePath(oldPath, *target))
        window_.document.settings.shareName.clear();
    window_.RefreshFileLabel();
    return true;
}

std::optional<std::string> DocumentFiles::ChooseSaveTarget(bool chooseName) {
    // A document with a file saves to it without a question; autosave and
    // the Save command alike. Save As always asks.
    if (!chooseName && !window_.currentPath.empty())
        return window_.currentPath;
    std::optional<std::string> chosen =
        window_.services().files.ChooseToSave(&window_, FileKind::Almanary, window_.currentPath);
    if (!chosen || chosen->empty())
        return std::nullopt;
    return chosen;
}

bool DocumentFiles::ConfirmOverwrite(const std::string& target) {
    if (SamePath(target, window_.currentPath) || !FileExists(target))
        return true;
    return window_.services().prompter.Show(&window_, MessageId::kOverwriteAlmanary, {target}) ==
           MessageAnswer::Yes;
}

bool DocumentFiles::Load(const std::optional<std::string>& path, bool fromServer) {
    if (path && path->empty())
        return false;  // nothing named, nothing said
    if (window_.printJobRunning || RaiseOpenChooser() || busy())
        return false;
    Pause pause(*this);
    if (!SettlePendingChanges(fromServer))
        return false;
    std::string source;
    if (path) {
        source = *path;
    } else {
        std::optional<std::string> chosen = window_.services().files.ChooseToOpen(
            &window_, FileKind::Almanary, window_.currentPath);
        if (!chosen || chosen->empty())
            return true;
        source = std::move(*chosen);
    }
    AlmanaryLoad loaded = AlmanaryFile::Load(source, window_.services().clock.Now());
    if (!loaded.ok()) {
        ShowProblem(*loaded.problem);
        return false;
    }
    const std::string& password = loaded.document->settings.password;
    if (!password.empty() && !AskPassword(source, password))
        return false;
    Replace(source, loaded);
    return true;
}

bool DocumentFiles::SettlePendingChanges(bool fromServer) {
    if (!HasUnsavedChanges(fromServer))
        return true;
    switch (window_.services().prompter.Show(&window_, MessageId::kUnsavedChanges)) {
        case MessageAnswer::Yes:
            return SaveUnpaused(false);
        case MessageAnswer::No:
            return true;
        default:
            return false;
    }
}

bool DocumentFiles::AskPassword(const std::string& path, const std::string& password) {
    PasswordDialog dialog(&window_, window_.services().prompter, &window_.background);
    dialog.SetExpected(password);
    dialog.SetFileName(path);
    return dialog.Run();
}

void DocumentFiles::Replace(const std::string& path, AlmanaryLoad& loaded) {
    AlmanaryDocument& fresh = *loaded.document;
    // Whether to reload at start is the program's choice, not the file's.
    fresh.settings.loadOnStart = window_.document.settings.loadOnStart;
    DateTimeText::SetTwelveHourClock(fresh.settings.twelveHourClock);
    window_.CloseChildWindows();
    window_.document = std::move(fresh);
    window_.skinChanged = false;
    ApplySkin();
    window_.RaiseReminders(loaded.dueReminders.events);
    window_.currentPath = path;
    window_.RefreshFileLabel();
    // Reminders raised just now leave the new document unchanged.
    window_.documentChanged = false;
    window_.optionsChanged = false;
    SettingsStore store;
    window_.document.settings.shareName =
        store.Open(window_.services().settingsPath) ? store.FindShareName(path) : std::string();
}

void DocumentFiles::ApplySkin() {
    const std::string& name = window_.document.skinName;
    if (SkinFile::IsBuiltIn(name)) {
        ApplyDefaultLook();
        return;
    }
    const std::string& folder = window_.services().skinsFolder;
    const std::string skinPath =
        SkinFile::PathOf(folder, name)
            .value_or(folder + "/" + name + std::string(SkinFile::kExtension));
    const SkinRead read = SkinFile::ReadNamed(folder, name);
    if (!read.skin) {
        // The name stays, so the next save keeps it for a restored skin.
        window_.services().prompter.Show(&window_, MessageId::kSkinInvalid, {skinPath});
        ApplyDefaultLook();
        return;
    }
    const Skin& skin = *read.skin;
    SkinColours::SetCurrent({SkinColours::FromColourRef(skin.buttonBackground),
                             SkinColours::FromColourRef(skin.buttonText),
                             SkinColours::FromColourRef(skin.buttonShadow),
                             SkinColours::FromColourRef(skin.buttonHighlight)});
    window_.backgroundPath = skin.picturePath;
    if (skin.picturePath.empty()) {
        window_.background.Unload();  // a skin of colours only
    } else if (!window_.background.Load(skin.picturePath)) {
        window_.services().prompter.Show(&window_, MessageId::kBackgroundMissing,
                                         {skin.picturePath, SkinTitle(skinPath)});
        window_.background.Unload();
    }
    window_.reskin();
}

void DocumentFiles::ApplyDefaultLook() {
    SkinColours::SetPlatformColours();
    window_.background.Unload();
    window_.backgroundPath.clear();
    window_.reskin();
}

void DocumentFiles::ShowProblem(const AlmanaryProblem& problem) {
    window_.services().prompter.Show(&window_, problem.messageId, problem.arguments);
}

}  // namespace almanary

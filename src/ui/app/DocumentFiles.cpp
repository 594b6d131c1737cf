#include "app/DocumentFiles.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "app/FileProblems.h"
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
bool fileExists(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

// The skin's title as messages show it: the file name without ".skn".
std::string skinTitle(const std::string& skinPath) {
    std::string name = fileNameOf(skinPath);
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
            files_.window_.stopTimers();
    }
    ~Pause() {
        if (--files_.busy_ == 0)
            files_.window_.restartTimers();
    }
    Pause(const Pause&) = delete;
    Pause& operator=(const Pause&) = delete;

private:
    DocumentFiles& files_;
};

DocumentFiles::DocumentFiles(MainWindow& window) : window_(window) {}

bool DocumentFiles::hasUnsavedChanges(bool ignoreOptions) const {
    return window_.documentChanged || window_.document.events.isModified() || window_.skinChanged ||
           (window_.optionsChanged && !ignoreOptions);
}

bool DocumentFiles::raiseOpenChooser() {
    FileChooser& files = window_.services().files;
    if (!files.isOpen())
        return false;
    files.raise();
    return true;
}

bool DocumentFiles::save(bool chooseName) {
    if (raiseOpenChooser() || busy())
        return false;
    Pause pause(*this);
    return saveUnpaused(chooseName);
}

bool DocumentFiles::saveUnpaused(bool chooseName) {
    const std::optional<std::string> target = chooseSaveTarget(chooseName);
    if (!target || !confirmOverwrite(*target))
        return false;
    if (const std::optional<AlmanaryProblem> problem =
            AlmanaryFile::save(window_.document, *target)) {
        // Nothing was written: the document stays changed under its old name.
        showProblem(*problem);
        return false;
    }
    const std::string oldPath = std::exchange(window_.currentPath, *target);
    window_.documentChanged = false;
    window_.optionsChanged = false;
    window_.skinChanged = false;
    // A copy under a new name is not the published file.
    if (!oldPath.empty() && !samePath(oldPath, *target))
        window_.document.settings.shareName.clear();
    window_.refreshFileLabel();
    return true;
}

std::optional<std::string> DocumentFiles::chooseSaveTarget(bool chooseName) {
    // A document with a file saves to it without a question; autosave and
    // the Save command alike. Save As always asks.
    if (!chooseName && !window_.currentPath.empty())
        return window_.currentPath;
    std::optional<std::string> chosen =
        window_.services().files.chooseToSave(&window_, FileKind::Almanary, window_.currentPath);
    if (!chosen || chosen->empty())
        return std::nullopt;
    return chosen;
}

bool DocumentFiles::confirmOverwrite(const std::string& target) {
    if (samePath(target, window_.currentPath) || !fileExists(target))
        return true;
    return window_.services().prompter.show(&window_, MessageId::OverwriteAlmanary, {target}) ==
           MessageAnswer::Yes;
}

bool DocumentFiles::load(const std::optional<std::string>& path, bool fromServer) {
    if (path && path->empty())
        return false;  // nothing named, nothing said
    if (window_.printJobRunning || raiseOpenChooser() || busy())
        return false;
    Pause pause(*this);
    if (!settlePendingChanges(fromServer))
        return false;
    std::string source;
    if (path) {
        source = *path;
    } else {
        std::optional<std::string> chosen = window_.services().files.chooseToOpen(
            &window_, FileKind::Almanary, window_.currentPath);
        if (!chosen || chosen->empty())
            return true;
        source = std::move(*chosen);
    }
    AlmanaryLoad loaded = AlmanaryFile::load(source, window_.services().clock.now());
    if (!loaded.ok()) {
        showProblem(*loaded.problem);
        return false;
    }
    const std::string& password = loaded.document->settings.password;
    if (!password.empty() && !askPassword(source, password))
        return false;
    replace(source, loaded);
    return true;
}

bool DocumentFiles::settlePendingChanges(bool fromServer) {
    if (!hasUnsavedChanges(fromServer))
        return true;
    switch (window_.services().prompter.show(&window_, MessageId::UnsavedChanges)) {
        case MessageAnswer::Yes:
            return saveUnpaused(false);
        case MessageAnswer::No:
            return true;
        default:
            return false;
    }
}

bool DocumentFiles::askPassword(const std::string& path, const std::string& password) {
    PasswordDialog dialog(&window_, window_.services().prompter, &window_.background);
    dialog.setExpected(password);
    dialog.setFileName(path);
    return dialog.run();
}

void DocumentFiles::replace(const std::string& path, AlmanaryLoad& loaded) {
    AlmanaryDocument& fresh = *loaded.document;
    // Whether to reload at start is the program's choice, not the file's.
    fresh.settings.loadOnStart = window_.document.settings.loadOnStart;
    DateTimeText::setTwelveHourClock(fresh.settings.twelveHourClock);
    window_.closeChildWindows();
    window_.document = std::move(fresh);
    window_.skinChanged = false;
    applySkin();
    window_.raiseReminders(loaded.dueReminders);
    window_.currentPath = path;
    window_.refreshFileLabel();
    // Reminders raised just now leave the new document unchanged.
    window_.documentChanged = false;
    window_.optionsChanged = false;
    SettingsStore store;
    window_.document.settings.shareName =
        store.open(window_.services().settingsPath) ? store.findShareName(path) : std::string();
}

void DocumentFiles::applySkin() {
    const std::string& name = window_.document.skinName;
    if (SkinFile::isBuiltIn(name)) {
        applyDefaultLook();
        return;
    }
    const std::string& folder = window_.services().skinsFolder;
    const std::string skinPath =
        SkinFile::pathOf(folder, name)
            .value_or(folder + "/" + name + std::string(SkinFile::kExtension));
    const SkinRead read = SkinFile::readNamed(folder, name);
    if (!read.skin) {
        // The name stays, so the next save keeps it for a restored skin.
        window_.services().prompter.show(&window_, MessageId::SkinInvalid, {skinPath});
        applyDefaultLook();
        return;
    }
    const Skin& skin = *read.skin;
    SkinColours::setCurrent({SkinColours::fromColourRef(skin.buttonBackground),
                             SkinColours::fromColourRef(skin.buttonText),
                             SkinColours::fromColourRef(skin.buttonShadow),
                             SkinColours::fromColourRef(skin.buttonHighlight)});
    window_.backgroundPath = skin.picturePath;
    if (skin.picturePath.empty()) {
        window_.background.unload();  // a skin of colours only
    } else if (!window_.background.load(skin.picturePath)) {
        window_.services().prompter.show(&window_, MessageId::BackgroundMissing,
                                         {skin.picturePath, skinTitle(skinPath)});
        window_.background.unload();
    }
    window_.reskin();
}

void DocumentFiles::applyDefaultLook() {
    SkinColours::setPlatformColours();
    window_.background.unload();
    window_.backgroundPath.clear();
    window_.reskin();
}

void DocumentFiles::showProblem(const AlmanaryProblem& problem) {
    window_.services().prompter.show(&window_, noticeOf(problem));
}

}  // namespace almanary

#include "app/DocumentFiles.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "app/FileLock.h"
#include "app/FileProblems.h"
#include "app/MessageTable.h"
#include "app/PasswordDialog.h"
#include "app/SettingsStore.h"
#include "document/DocumentSession.h"
#include "model/DateTimeText.h"
#include "model/FilePaths.h"
#include "platform/AppServices.h"
#include "platform/Clock.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "reminders/ReminderAlert.h"
#include "share/ShareRegistry.h"
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

DocumentFiles::DocumentFiles(QWidget& window, DocumentSession& session, const AppServices& services,
                             ReminderAlert& reminders)
    : window_(window), session_(session), services_(services), reminders_(reminders) {}

bool DocumentFiles::raiseOpenChooser() {
    if (!services_.files.isOpen())
        return false;
    services_.files.raise();
    return true;
}

bool DocumentFiles::save(SaveMode mode) {
    if (raiseOpenChooser() || session_.busy())
        return false;
    const DocumentSession::Busy busy(session_);
    return saveUnpaused(mode);
}

bool DocumentFiles::saveUnpaused(SaveMode mode) {
    // Another program changed the file since it was read or written here:
    // it is not replaced without the user's word.
    if (mode != SaveMode::SaveAs && session_.fileChangedElsewhere()) {
        if (mode == SaveMode::Autosave)
            return false;
        switch (services_.prompter.show(&window_, MessageId::ChangedOnDisk, {session_.path()})) {
            case MessageAnswer::Yes:
                break;
            case MessageAnswer::No:
                mode = SaveMode::SaveAs;
                break;
            default:
                return false;
        }
    }
    const std::optional<std::string> target = chooseSaveTarget(mode);
    if (!target || !confirmOverwrite(*target))
        return false;
    return writeLocked(*target);
}

bool DocumentFiles::writeLocked(const std::string& target) {
    std::string reason;
    const std::optional<FileLock> lock = FileLock::acquire(target, &reason);
    if (!lock) {
        showProblem({AlmanaryProblem::Kind::CannotWrite, target, reason});
        return false;
    }
    if (const std::optional<AlmanaryProblem> problem = session_.saveTo(target)) {
        // Nothing was written: the document stays changed under its old name.
        showProblem(*problem);
        return false;
    }
    return true;
}

std::optional<std::string> DocumentFiles::chooseSaveTarget(SaveMode mode) {
    // A document with a file saves to it without a question; autosave and
    // the Save command alike. Save As always asks.
    if (mode != SaveMode::SaveAs && !session_.path().empty())
        return session_.path();
    std::optional<std::string> chosen =
        services_.files.chooseToSave(&window_, FileKind::Almanary, session_.path());
    if (!chosen || chosen->empty())
        return std::nullopt;
    return chosen;
}

bool DocumentFiles::confirmOverwrite(const std::string& target) {
    if (samePath(target, session_.path()) || !fileExists(target))
        return true;
    return services_.prompter.show(&window_, MessageId::OverwriteAlmanary, {target}) ==
           MessageAnswer::Yes;
}

bool DocumentFiles::load(const std::optional<std::string>& path, LoadOrigin origin) {
    if (path && path->empty())
        return false;  // nothing named, nothing said
    if (raiseOpenChooser() || session_.busy())
        return false;
    const DocumentSession::Busy busy(session_);
    if (!settlePendingChanges(origin))
        return false;
    std::string source;
    if (path) {
        source = *path;
    } else {
        std::optional<std::string> chosen =
            services_.files.chooseToOpen(&window_, FileKind::Almanary, session_.path());
        if (!chosen || chosen->empty())
            return true;
        source = std::move(*chosen);
    }
    AlmanaryLoad loaded = AlmanaryFile::load(source, services_.clock.now());
    if (!loaded.ok()) {
        showProblem(*loaded.problem);
        return false;
    }
    const std::string& password = loaded.document->settings.password;
    if (!password.empty() && !askPassword(source, password))
        return false;
    // An event window the user keeps (its input not to be discarded) keeps
    // the document it was opened on.
    if (!session_.closeWindows())
        return false;
    replace(source, loaded);
    return true;
}

bool DocumentFiles::settlePendingChanges(LoadOrigin origin) {
    const ChangeScope scope =
        origin == LoadOrigin::ShareServer ? ChangeScope::IgnoringOptions : ChangeScope::All;
    if (!session_.hasUnsavedChanges(scope))
        return true;
    switch (services_.prompter.show(&window_, MessageId::UnsavedChanges)) {
        case MessageAnswer::Yes:
            return saveUnpaused(SaveMode::Save);
        case MessageAnswer::No:
            return true;
        default:
            return false;
    }
}

bool DocumentFiles::askPassword(const std::string& path, const std::string& password) {
    PasswordDialog dialog(&window_, services_.prompter, &session_.background());
    dialog.setExpected(password);
    dialog.setFileName(path);
    return dialog.run();
}

void DocumentFiles::replace(const std::string& path, AlmanaryLoad& loaded) {
    DateTimeText::setTwelveHourClock(loaded.document->settings.twelveHourClock);
    session_.replace(std::move(*loaded.document), path, loaded.stamp);
    applySkin();
    reminders_.raiseReminders(loaded.dueReminders);
    // Reminders raised just now leave the new document unchanged.
    session_.markUnchanged();
    SettingsStore store;
    session_.setShareName(store.open(services_.settingsPath) ? ShareRegistry(store).nameOf(path)
                                                             : std::string());
}

bool DocumentFiles::restore(const std::string& copyPath, const std::string& originalPath) {
    const DocumentSession::Busy busy(session_);
    AlmanaryLoad loaded = AlmanaryFile::load(copyPath, services_.clock.now());
    if (!loaded.ok()) {
        showProblem(*loaded.problem);
        return false;
    }
    if (!session_.closeWindows())
        return false;
    // The file as it is now is the one these changes go back into.
    loaded.stamp = originalPath.empty() ? std::nullopt : FileStamp::of(originalPath);
    replace(originalPath, loaded);
    session_.markChanged();
    return true;
}

void DocumentFiles::applySkin() {
    const std::string& name = session_.document().skinName;
    if (SkinFile::isBuiltIn(name)) {
        applyDefaultLook();
        return;
    }
    const std::string& folder = services_.skinsFolder;
    const std::string skinPath =
        SkinFile::pathOf(folder, name)
            .value_or(folder + "/" + name + std::string(SkinFile::kExtension));
    const SkinRead read = SkinFile::readNamed(folder, name);
    if (!read.skin) {
        // The name stays, so the next save keeps it for a restored skin.
        services_.prompter.show(&window_, MessageId::SkinInvalid, {skinPath});
        applyDefaultLook();
        return;
    }
    const Skin& skin = *read.skin;
    SkinColours::setCurrent({SkinColours::fromColourRef(skin.buttonBackground),
                             SkinColours::fromColourRef(skin.buttonText),
                             SkinColours::fromColourRef(skin.buttonShadow),
                             SkinColours::fromColourRef(skin.buttonHighlight)});
    session_.setBackgroundPath(skin.picturePath);
    BackgroundImage& background = session_.background();
    if (skin.picturePath.empty()) {
        background.unload();  // a skin of colours only
    } else if (!background.load(skin.picturePath)) {
        services_.prompter.show(&window_, MessageId::BackgroundMissing,
                                {skin.picturePath, skinTitle(skinPath)});
        background.unload();
    }
    session_.notifySkinChanged();
}

void DocumentFiles::applyDefaultLook() {
    SkinColours::setPlatformColours();
    session_.background().unload();
    session_.setBackgroundPath({});
    session_.notifySkinChanged();
}

void DocumentFiles::showProblem(const AlmanaryProblem& problem) {
    services_.prompter.show(&window_, noticeOf(problem));
}

}  // namespace almanary

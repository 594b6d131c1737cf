#include "document/DocumentSession.h"

#include <QDialog>
#include <algorithm>
#include <utility>

#include "model/FilePaths.h"
#include "skins/SkinnedDialog.h"

namespace almanary {

DocumentSession::DocumentSession(QObject* parent) : QObject(parent) {}

DocumentSession::~DocumentSession() {
    for (const Attached& attached : std::as_const(windows_)) {
        if (attached.window && attached.window->parent() == nullptr)
            delete attached.window.data();
    }
}

bool DocumentSession::markOpen(const StartKey& key) {
    const bool marked = document_.events.markOpen(key);
    if (marked)
        emit openMarksChanged();
    return marked;
}

void DocumentSession::clearOpen(const StartKey& key) {
    document_.events.clearOpen(key);
    emit openMarksChanged();
}

EventEntry::Stored DocumentSession::storeEvent(const Event& candidate, const Event* replaced) {
    const EventEntry::Stored stored = EventEntry::store(document_.events, candidate, replaced);
    if (stored == EventEntry::Stored::Yes) {
        emit modifiedChanged();
        emit eventsChanged();
    }
    return stored;
}

bool DocumentSession::removeEvent(const StartKey& key) {
    if (!document_.events.removeByKey(key))
        return false;
    emit modifiedChanged();
    emit eventsChanged();
    return true;
}

ImportResult DocumentSession::importCalendar(std::string_view text, const ImportOptions& options) {
    ImportResult result = importICalendar(text, document_, options);
    if (result.report.added > 0 || !result.report.categoriesAdded.empty()) {
        markChanged(DocumentChange::Content);
        emit eventsChanged();
    }
    return result;
}

void DocumentSession::renameCategory(const std::string& oldName, const std::string& newName) {
    document_.events.renameCategory(oldName, newName);
    emit modifiedChanged();
    emit eventsChanged();
}

void DocumentSession::setCategories(CategoryList categories) {
    document_.categories = std::move(categories);
}

void DocumentSession::snooze(const StartKey& key, DateTime until) {
    std::erase_if(snoozed_, [until](const auto& entry) { return entry.second < until - 86400; });
    snoozed_[key] = until;
}

bool DocumentSession::isSnoozed(const StartKey& key, DateTime now) const {
    const auto found = snoozed_.find(key);
    return found != snoozed_.end() && now < found->second;
}

void DocumentSession::markChanged(DocumentChange what) {
    switch (what) {
        case DocumentChange::Content:
            contentChanged_ = true;
            break;
        case DocumentChange::Options:
            optionsChanged_ = true;
            break;
        case DocumentChange::Skin:
            skinChanged_ = true;
            break;
    }
    emit modifiedChanged();
}

void DocumentSession::setSkin(std::string name, std::string picturePath,
                              const BackgroundImage& picture) {
    document_.skinName = std::move(name);
    backgroundPath_ = std::move(picturePath);
    background_ = picture;
    markChanged(DocumentChange::Skin);
    emit skinChanged();
}

bool DocumentSession::fileChangedElsewhere() const {
    if (path_.empty() || !stamp_)
        return false;
    const std::optional<FileStamp> now = FileStamp::of(path_);
    return now && *now != *stamp_;
}

void DocumentSession::markUnchanged() {
    contentChanged_ = optionsChanged_ = skinChanged_ = false;
    document_.events.setModified(false);
    emit modifiedChanged();
}

bool DocumentSession::hasUnsavedChanges(ChangeScope scope) const {
    return contentChanged_ || document_.events.isModified() || skinChanged_ ||
           (optionsChanged_ && scope == ChangeScope::All);
}

std::optional<AlmanaryProblem> DocumentSession::saveTo(const std::string& path) {
    FileStamp written;
    if (std::optional<AlmanaryProblem> problem = AlmanaryFile::save(document_, path, &written))
        return problem;  // the document stays changed under its old name
    stamp_ = written;
    const std::string oldPath = std::exchange(path_, path);
    if (!oldPath.empty() && !samePath(oldPath, path))
        document_.settings.shareName.clear();
    markUnchanged();
    emit pathChanged();
    return std::nullopt;
}

void DocumentSession::replace(AlmanaryDocument fresh, const std::string& path,
                              std::optional<FileStamp> stamp) {
    fresh.settings.loadOnStart = document_.settings.loadOnStart;
    document_ = std::move(fresh);
    path_ = path;
    stamp_ = stamp;
    ++generation_;
    snoozed_.clear();
    markUnchanged();
    emit documentReplaced();
    emit pathChanged();
}

DocumentSession::Busy::Busy(DocumentSession& session) : session_(session) {
    if (session_.busy_++ == 0)
        emit session_.busyChanged(true);
}

DocumentSession::Busy::~Busy() {
    if (--session_.busy_ == 0)
        emit session_.busyChanged(false);
}

void DocumentSession::attach(SkinnedDialog* window, WindowRole role) {
    window->setBackground(&background_);
    connect(this, &DocumentSession::skinChanged, window, &SkinnedDialog::reskin);
    windows_.removeIf([](const Attached& attached) { return attached.window.isNull(); });
    windows_.append({window, role});
}

bool DocumentSession::closeWindows() {
    // A window's ending may run code (a message box, a refresh) that opens or
    // ends others, so the list is taken first and each checked in its turn.
    // The event windows go first, the latest (an editor opened from another
    // window) before the one it came from, as only they can be kept.
    QList<Attached> snapshot = windows_;
    std::reverse(snapshot.begin(), snapshot.end());
    for (const WindowRole role :
         {WindowRole::EventWindow, WindowRole::Browser, WindowRole::Dialog}) {
        for (const Attached& attached : std::as_const(snapshot)) {
            if (attached.role != role || !attached.window || attached.window->isHidden())
                continue;
            if (role == WindowRole::Browser)
                attached.window->accept();
            else
                attached.window->reject();
            if (attached.window && attached.window->isVisible())
                return false;  // the user kept it
        }
    }
    windows_.removeIf([](const Attached& attached) { return attached.window.isNull(); });
    return true;
}

QList<QDialog*> DocumentSession::windows(WindowRole role) const {
    QList<QDialog*> live;
    for (const Attached& attached : windows_) {
        if (attached.role == role && attached.window)
            live.append(attached.window.data());
    }
    return live;
}

}  // namespace almanary

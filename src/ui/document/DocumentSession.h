#pragma once
// The open almanary of the window: the document, its file's path, what has
// changed since it was saved, the skin's picture, the open marks of events
// shown in windows, and the windows open on it. Every window takes the
// session, changes the document through it and hears from it what changed;
// none reaches into another window.

#include <QList>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "ical/ICalendarImport.h"
#include "model/AlmanaryFile.h"
#include "model/EventEntry.h"
#include "model/FileStamp.h"
#include "skins/BackgroundImage.h"

class QDialog;

namespace almanary {

class SkinnedDialog;

// What kind of change a document has: its events and categories, the
// settings of the Options dialog, or its skin.
enum class DocumentChange { Content, Options, Skin };
// Whether option changes count as unsaved (a reload asked by another copy
// does not count them).
enum class ChangeScope { All, IgnoringOptions };
// How a window on the document is closed when the document goes: the
// event windows are cancelled (the latest first; each may ask about input
// and be kept), then the browsers (View Events) end with Done, then every
// other dialog is rejected.
enum class WindowRole { Dialog, Browser, EventWindow };

class DocumentSession : public QObject {
    Q_OBJECT
public:
    explicit DocumentSession(QObject* parent = nullptr);
    // Deletes the windows that have no owner (the reminder pop-ups): they
    // work on this session.
    ~DocumentSession() override;

    const AlmanaryDocument& document() const { return document_; }
    const EventList& events() const { return document_.events; }
    const CategoryList& categories() const { return document_.categories; }
    const DocumentSettings& settings() const { return document_.settings; }
    // The file the document was loaded from or last saved to; empty for none.
    const std::string& path() const { return path_; }
    // Counts the documents this session has held: a window remembers it,
    // so it never writes into a document that replaced its own.
    std::uint64_t generation() const { return generation_; }

    // ---- the document's changes ----

    // The open mark of the event at that start; markOpen is true when it
    // set a clear mark. Both tell the windows (openMarksChanged).
    bool markOpen(const StartKey& key);
    void clearOpen(const StartKey& key);
    // Enters an event, in place of `replaced` when given (see EventEntry).
    EventEntry::Stored storeEvent(const Event& candidate, const Event* replaced);
    // False when there was no event at that start.
    bool removeEvent(const StartKey& key);
    // Adds the events of iCalendar text, with the categories they bring;
    // a text that fails as a whole changes nothing.
    ImportResult importCalendar(std::string_view text, const ImportOptions& options);
    void renameCategory(const std::string& oldName, const std::string& newName);
    void setCategories(CategoryList categories);
    void setLoadOnStart(bool on) { document_.settings.loadOnStart = on; }
    void setSettings(const DocumentSettings& settings) { document_.settings = settings; }

    // A reminder put off until `until`: in memory only, not a change of the
    // document, and gone with it.
    void snooze(const StartKey& key, DateTime until);
    bool isSnoozed(const StartKey& key, DateTime now) const;

    // Marks the document changed in one respect.
    void markChanged(DocumentChange what = DocumentChange::Content);
    // The document is as its file holds it: nothing to save.
    void markUnchanged();
    bool hasUnsavedChanges(ChangeScope scope = ChangeScope::All) const;

    // Writes the document to `path`; on success it is saved under that
    // path, unchanged. A copy under a new name is no longer the shared file.
    std::optional<AlmanaryProblem> saveTo(const std::string& path);
    // Takes a freshly loaded document as a whole, unchanged, under `path`;
    // `stamp` is what the file was when it was read. Whether to reload at
    // start stays the program's choice, not the file's.
    void replace(AlmanaryDocument fresh, const std::string& path,
                 std::optional<FileStamp> stamp = std::nullopt);
    // True when the document's file is on disk but no longer the one this
    // session last read or wrote: another program has changed it.
    bool fileChangedElsewhere() const;
    void setShareName(std::string name) { document_.settings.shareName = std::move(name); }

    // ---- the skin ----

    // The skin's picture: the slot every window paints from.
    const BackgroundImage& background() const { return background_; }
    BackgroundImage& background() { return background_; }
    const std::string& backgroundPath() const { return backgroundPath_; }
    void setBackgroundPath(std::string path) { backgroundPath_ = std::move(path); }
    // The skin chosen in the skin editor, with the skin colours now current:
    // its name (empty for one no file holds), its picture's path and the
    // picture. A change to save; every window takes it at once.
    void setSkin(std::string name, std::string picturePath, const BackgroundImage& picture);
    // Tells every window to take the skin colours and picture now current.
    void notifySkinChanged() { emit skinChanged(); }
    // Tells the windows that show times to show them again: the 12-hour
    // clock (DateTimeText's process-wide flag) was switched.
    void notifyClockChanged() { emit clockChanged(); }

    // ---- work under way ----

    // While one lives, a save or load is under way: the reminder check and
    // autosave wait (busyChanged).
    class Busy {
    public:
        explicit Busy(DocumentSession& session);
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

    private:
        DocumentSession& session_;
    };
    bool busy() const { return busy_ > 0; }

    // ---- the windows on the document ----

    // Paints the window over the skin's picture, repaints it when the skin
    // changes, and closes it with the others (closeWindows).
    void attach(SkinnedDialog* window, WindowRole role);
    // Closes every window on the document, each once, including those that
    // go away meanwhile. False when the user keeps a window (answering No
    // to discarding its input): then nothing else is closed, and a load or
    // exit that asked must not go on.
    bool closeWindows();
    // The live windows of one role, in the order they were attached.
    QList<QDialog*> windows(WindowRole role) const;

signals:
    // The events changed: a browser searches again.
    void eventsChanged();
    // An event was marked open or its mark cleared.
    void openMarksChanged();
    void skinChanged();
    void clockChanged();
    // A load replaced the whole document.
    void documentReplaced();
    void pathChanged();
    void modifiedChanged();
    // A save or load began (true) or ended (false).
    void busyChanged(bool busy);

private:
    struct Attached {
        QPointer<QDialog> window;
        WindowRole role;
    };

    AlmanaryDocument document_;
    std::string path_;
    std::optional<FileStamp> stamp_;  // the file as last read or written
    std::uint64_t generation_ = 0;
    std::map<StartKey, DateTime> snoozed_;
    bool contentChanged_ = false;
    bool optionsChanged_ = false;
    bool skinChanged_ = false;
    BackgroundImage background_;
    std::string backgroundPath_;
    int busy_ = 0;
    QList<Attached> windows_;
};

}  // namespace almanary

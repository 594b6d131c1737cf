#pragma once
// Saving and loading the open almanary, with every question these ask: the
// file choosers, overwrite, unsaved changes, the password of a protected
// file, and the skin a loaded document names. A load changes nothing of the
// open document until the new one has been read whole and its password
// given.

#include <optional>
#include <string>

class QWidget;

namespace almanary {

class DocumentSession;
class ReminderAlert;
struct AlmanaryLoad;
struct AlmanaryProblem;
struct AppServices;

// Save writes a document that has a file to it; Save As always asks;
// Autosave is Save that never asks about a file another program changed
// (it leaves that file alone).
enum class SaveMode { Save, SaveAs, Autosave };
// Who asks for a load: the user, or another copy sending the shared file
// (then option changes do not count as unsaved).
enum class LoadOrigin { User, ShareServer };

class DocumentFiles {
public:
    DocumentFiles(QWidget& window, DocumentSession& session, const AppServices& services,
                  ReminderAlert& reminders);

    // Writes the document to its file, asking for a name when it has none
    // or for Save As. True when the file was written.
    bool save(SaveMode mode = SaveMode::Save);
    // Replaces the document with the file at `path`, or one the user picks
    // when there is none. True when a file was loaded and when the user
    // cancelled the file chooser; false otherwise (also when the user keeps
    // an event window open), and then the open document is exactly as it
    // was. An empty path does nothing.
    bool load(const std::optional<std::string>& path, LoadOrigin origin = LoadOrigin::User);

    // Takes back the copy of unsaved changes a forced end kept, as the
    // changed document of `originalPath`; false when the copy cannot be read.
    bool restore(const std::string& copyPath, const std::string& originalPath);

    // Applies the document's skin: colours and picture, or the default look.
    void applySkin();

private:
    bool saveUnpaused(SaveMode mode);
    std::optional<std::string> chooseSaveTarget(SaveMode mode);
    bool confirmOverwrite(const std::string& target);
    // Writes the document to `target` holding the file's lock, so no other
    // copy or almanary-cli writes it meanwhile.
    bool writeLocked(const std::string& target);
    // Asks whether to save pending changes; false when the load should stop.
    bool settlePendingChanges(LoadOrigin origin);
    bool askPassword(const std::string& path, const std::string& password);
    void replace(const std::string& path, AlmanaryLoad& loaded);
    void applyDefaultLook();
    void showProblem(const AlmanaryProblem& problem);
    // When a chooser is on screen, brings it forward: true.
    bool raiseOpenChooser();

    QWidget& window_;
    DocumentSession& session_;
    const AppServices& services_;
    ReminderAlert& reminders_;
};

}  // namespace almanary

#pragma once
// Saving and loading the main window's document, with every question these
// ask: the file choosers, overwrite, unsaved changes, the password of a
// protected file, and the skin a loaded document names. A load changes
// nothing of the open document until the new one has been read whole and
// its password given.

#include <optional>
#include <string>

namespace almanary {

class MainWindow;
struct AlmanaryLoad;
struct AlmanaryProblem;

class DocumentFiles {
public:
    explicit DocumentFiles(MainWindow& window);

    // Writes the document to its file, asking for a name when it has none
    // or when `chooseName` (Save As). True when the file was written.
    bool save(bool chooseName = false);
    // Replaces the document with the file at `path`, or one the user picks
    // when there is none. True when a file was loaded and when the user
    // cancelled the file chooser; false otherwise, and then the open
    // document is exactly as it was.
    bool load(const std::optional<std::string>& path, bool fromServer);

    // Changes since the last save or load; a reload asked by the share
    // server does not count option changes.
    bool hasUnsavedChanges(bool ignoreOptions) const;
    // Applies the document's skin: colours and picture, or the default look.
    void applySkin();

    // True while a save or load is under way (a chooser, question or the
    // password prompt may be on screen).
    bool busy() const { return busy_ > 0; }

private:
    class Pause;

    bool saveUnpaused(bool chooseName);
    std::optional<std::string> chooseSaveTarget(bool chooseName);
    bool confirmOverwrite(const std::string& target);
    // Asks whether to save pending changes; false when the load should stop.
    bool settlePendingChanges(bool fromServer);
    bool askPassword(const std::string& path, const std::string& password);
    void replace(const std::string& path, AlmanaryLoad& loaded);
    void applyDefaultLook();
    void showProblem(const AlmanaryProblem& problem);
    // When a chooser is on screen, brings it forward: true.
    bool raiseOpenChooser();

    MainWindow& window_;
    int busy_ = 0;
};

}  // namespace almanary

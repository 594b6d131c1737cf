#pragma once
// Asks the user for a file to open or to save: almanaries, sounds,
// background pictures and iCalendar files. Tests give a chooser that
// answers from a list.

#include <optional>
#include <string>

class QWidget;

namespace almanary {

enum class FileKind { Almanary, Sound, Bitmap, Calendar };

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // An existing file, or nothing when the user cancels.
    virtual std::optional<std::string> chooseToOpen(QWidget* parent, FileKind kind,
                                                    const std::string& start) = 0;
    // A file name to write (no overwrite question: the caller asks its
    // own), or nothing when the user cancels.
    virtual std::optional<std::string> chooseToSave(QWidget* parent, FileKind kind,
                                                    const std::string& start) = 0;
    // True while a chooser is on screen; Raise brings it to the front.
    virtual bool isOpen() const = 0;
    virtual void raise() = 0;
};

}  // namespace almanary

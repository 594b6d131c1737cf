#pragma once
// FileChooser on QFileDialog, with the program's filters and default
// extensions.

#include <QPointer>

#include "platform/FileChooser.h"

class QFileDialog;

namespace almanary {

class QtFileChooser : public FileChooser {
public:
    std::optional<std::string> chooseToOpen(QWidget* parent, FileKind kind,
                                            const std::string& start) override;
    std::optional<std::string> chooseToSave(QWidget* parent, FileKind kind,
                                            const std::string& start) override;
    bool isOpen() const override;
    void raise() override;

private:
    // Runs a chooser of the kind's filters, open or save; the path chosen.
    std::optional<std::string> choose(QWidget* parent, FileKind kind, const std::string& start,
                                      bool toSave);

    QPointer<QFileDialog> open_;  // the chooser on screen, if any
};

}  // namespace almanary

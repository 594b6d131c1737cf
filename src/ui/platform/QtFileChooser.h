#pragma once
// FileChooser on QFileDialog, with the program's filters and default
// extensions.

#include <QPointer>

#include "platform/FileChooser.h"

class QFileDialog;

namespace almanary {

class QtFileChooser : public FileChooser {
public:
    std::optional<std::string> ChooseToOpen(QWidget* parent, FileKind kind,
                                            const std::string& start) override;
    std::optional<std::string> ChooseToSave(QWidget* parent, FileKind kind,
                                            const std::string& start) override;
    bool IsOpen() const override;
    void Raise() override;

private:
    // Runs a chooser of the kind's filters, open or save; the path chosen.
    std::optional<std::string> Choose(QWidget* parent, FileKind kind, const std::string& start,
                                      bool toSave);

    QPointer<QFileDialog> open_;  // the chooser on screen, if any
};

}  // namespace almanary

#include "platform/QtFileChooser.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "platform/TextConversion.h"

namespace almanary {
namespace {

struct KindFilters {
    QStringList filters;
    QString suffix;
};

KindFilters filtersOf(FileKind kind) {
    switch (kind) {
        case FileKind::Sound:
            return {{QStringLiteral("Wave Files (*.wav)")}, QStringLiteral("wav")};
        case FileKind::Bitmap:
            return {{QStringLiteral("Bitmaps (*.bmp)")}, QStringLiteral("bmp")};
        case FileKind::Calendar:
            return {{QStringLiteral("iCalendar (*.ics)"), QStringLiteral("All Files (*)")},
                    QStringLiteral("ics")};
        case FileKind::Almanary:
            break;
    }
    return {{QStringLiteral("Almanary (*.alm)"), QStringLiteral("All Files (*)")},
            QStringLiteral("alm")};
}

// `start` names a folder to look in or a file to propose.
void applyStart(QFileDialog& dialog, const std::string& start) {
    if (start.empty())
        return;
    const QString path = toQString(start);
    if (QFileInfo(path).isDir())
        dialog.setDirectory(path);
    else
        dialog.selectFile(path);
}

}  // namespace

std::optional<std::string> QtFileChooser::chooseToOpen(QWidget* parent, FileKind kind,
                                                       const std::string& start) {
    return choose(parent, kind, start, false);
}

std::optional<std::string> QtFileChooser::chooseToSave(QWidget* parent, FileKind kind,
                                                       const std::string& start) {
    return choose(parent, kind, start, true);
}

bool QtFileChooser::isOpen() const {
    return !open_.isNull();
}

void QtFileChooser::raise() {
    if (open_.isNull())
        return;
    open_->raise();
    open_->activateWindow();
}

std::optional<std::string> QtFileChooser::choose(QWidget* parent, FileKind kind,
                                                 const std::string& start, bool toSave) {
    const KindFilters filters = filtersOf(kind);
    auto* dialog = new QFileDialog(parent);
    open_ = dialog;
    dialog->setWindowTitle(toSave ? QStringLiteral("Save As") : QStringLiteral("Open"));
    dialog->setNameFilters(filters.filters);
    dialog->setDefaultSuffix(filters.suffix);
    if (toSave) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        // The callers ask their own overwrite question.
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    applyStart(*dialog, start);

    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (open_.isNull())  // its parent went away while it was open
        return std::nullopt;
    const QStringList chosen = dialog->selectedFiles();
    delete dialog;
    if (!accepted || chosen.isEmpty() || chosen.first().isEmpty())
        return std::nullopt;
    return toBytes(chosen.first());
}

}  // namespace almanary

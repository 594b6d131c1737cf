#include "platform/QtPrinterChooser.h"

#include <QPrintDialog>
#include <QPrinter>

namespace almanary {

std::unique_ptr<QPrinter> QtPrinterChooser::choosePrinter(QWidget* parent) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return printer;
}

}  // namespace almanary

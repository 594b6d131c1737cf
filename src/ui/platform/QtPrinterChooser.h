#pragma once
// PrinterChooser on QPrintDialog: every CUPS printer, and printing to a
// PDF file. A job always prints all of its pages, so no page range or
// selection is offered.

#include "platform/PrinterChooser.h"

namespace almanary {

class QtPrinterChooser : public PrinterChooser {
public:
    std::unique_ptr<QPrinter> choosePrinter(QWidget* parent) override;
};

}  // namespace almanary

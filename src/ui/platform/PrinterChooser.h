#pragma once
// Asks the user where to print: one of the system's printers or a PDF
// file. Tests give a chooser that hands out a PDF printer on a file of
// their own, or cancels.

#include <memory>

class QPrinter;
class QWidget;

namespace almanary {

class PrinterChooser {
public:
    virtual ~PrinterChooser() = default;
    // A printer set up as the user chose it; nothing when the user cancels.
    virtual std::unique_ptr<QPrinter> choosePrinter(QWidget* parent) = 0;
};

}  // namespace almanary

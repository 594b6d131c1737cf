#pragma once
// The steps every print of the program shares: the printer the user
// chooses, the document's name in the print queue, the pages drawn, and a
// message naming the printer and the reason when they did not all print.

#include <functional>
#include <optional>
#include <string>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace almanary {

class DocumentSession;
struct AppServices;

namespace PrintJob {

enum class Outcome {
    Printed,
    // The user cancelled the print dialog, or there was nothing to print.
    NotPrinted,
    // The pages did not all print; the user has been told why.
    Failed,
};

// Draws every page on the device; the reason when they did not all print.
using PrintPages = std::function<std::optional<std::string>(QPagedPaintDevice&)>;

// Asks for a printer over `parent` and prints on it. A document replaced
// while the print dialog was up (a load, a reload asked by another copy)
// is not printed: the pages would no longer be the ones asked for.
Outcome run(QWidget* parent, const DocumentSession& session, const AppServices& services,
            const PrintPages& printPages);

// The printer set up for the program's pages: the job's name and a
// resolution of 300 dots an inch, whatever the printer or file.
void prepare(QPrinter& printer);

// How the message names where the pages went: the file of a print to a
// file, else the printer.
std::string destinationName(const QPrinter& printer);

}  // namespace PrintJob
}  // namespace almanary

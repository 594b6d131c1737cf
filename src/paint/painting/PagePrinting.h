#pragma once
// Printing the weekly calendar and the found events on a paged Qt device:
// a QPrinter from the print dialog, or a QPdfWriter for the command line.
// The same routine for both, so the window and almanary-cli print the same
// pages.

#include <optional>
#include <string>

#include "model/EventList.h"
#include "pages/ResultsPage.h"

class QPagedPaintDevice;

namespace almanary {

// Each prints every page and gives nothing, or says why the pages did not
// all print (the device could not start the document, a page failed, the
// output could not be written).
// The week is printed landscape, fonts 42 and 26 units.
std::optional<std::string> printWeek(QPagedPaintDevice& target, const EventList& events,
                                     DateTime firstDay, bool twelveHour);
// The found events keep the device's own orientation; an empty list
// starts no document.
std::optional<std::string> printResults(QPagedPaintDevice& target, const EventList& results,
                                        const ResultsHeading& heading, bool twelveHour);

}  // namespace almanary

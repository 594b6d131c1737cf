#pragma once
// The printed pages as a PDF file, for the command line: 300 dots an inch,
// no margins, on US Letter or A4. The file is written whole or not at all:
// the pages go to a temporary file beside it, which takes its place only
// when every page printed and was written. Needs a PaintingApplication.

#include <optional>
#include <string>

#include "model/EventList.h"
#include "pages/ResultsPage.h"

namespace almanary {

enum class PdfPaper { Letter, A4 };

// Each gives nothing when the file was written, or why it was not.
std::optional<std::string> printWeekPdf(const std::string& path, PdfPaper paper,
                                        const EventList& events, DateTime firstDay,
                                        bool twelveHour);
// An empty list writes no file.
std::optional<std::string> printResultsPdf(const std::string& path, PdfPaper paper,
                                           const EventList& results, const ResultsHeading& heading,
                                           bool twelveHour);

}  // namespace almanary

#include "painting/PdfPrinting.h"

#include <QMarginsF>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

#include "painting/PagePrinting.h"

namespace almanary {
namespace {

constexpr int kDotsPerInch = 300;

// Runs `print` on a PDF writer over a temporary file that replaces `path`
// only when `print` and the writing succeeded.
template <typename Print>
std::optional<std::string> writePdf(const std::string& path, PdfPaper paper, Print&& print) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        return "the file could not be made: " + file.errorString().toStdString();
    QPdfWriter writer(&file);
    writer.setResolution(kDotsPerInch);
    writer.setPageSize(QPageSize(paper == PdfPaper::A4 ? QPageSize::A4 : QPageSize::Letter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(QStringLiteral("Almanary"));
    writer.setCreator(QStringLiteral("Almanary"));
    if (auto reason = print(writer)) {
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return "the file could not be written: " + file.errorString().toStdString();
    return std::nullopt;
}

}  // namespace

std::optional<std::string> printWeekPdf(const std::string& path, PdfPaper paper,
                                        const EventList& events, DateTime firstDay,
                                        bool twelveHour) {
    return writePdf(path, paper, [&](QPdfWriter& writer) {
        return printWeek(writer, events, firstDay, twelveHour);
    });
}

std::optional<std::string> printResultsPdf(const std::string& path, PdfPaper paper,
                                           const EventList& results, const ResultsHeading& heading,
                                           bool twelveHour) {
    if (results.isEmpty())
        return std::string("no events were found");
    return writePdf(path, paper, [&](QPdfWriter& writer) {
        return printResults(writer, results, heading, twelveHour);
    });
}

}  // namespace almanary

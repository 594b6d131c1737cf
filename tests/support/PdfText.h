#pragma once
// What a printed PDF says, as pdftotext reads it back: the text of each
// page in turn, each ending in a form feed, and how tall a word stands.

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace almanary::testing {

inline std::string runPdfToText(const std::string& path, const QString& mode) {
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {mode, QString::fromStdString(path), "-"});
    EXPECT_TRUE(reader.waitForFinished(60000)) << "pdftotext " << path;
    EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    return reader.readAllStandardOutput().toStdString();
}

inline std::string pdfText(const std::string& path) {
    return runPdfToText(path, QStringLiteral("-layout"));
}

// The height in points of the first `word` printed; 0 when there is none.
inline double wordHeight(const std::string& path, const std::string& word) {
    const QString boxes = QString::fromStdString(runPdfToText(path, QStringLiteral("-bbox")));
    const char* pattern =
        R"re(<word xMin="[\d.]+" yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">%1</word>)re";
    const QRegularExpression box(
        QString::fromLatin1(pattern).arg(QRegularExpression::escape(QString::fromStdString(word))));
    const QRegularExpressionMatch found = box.match(boxes);
    return found.hasMatch() ? found.captured(2).toDouble() - found.captured(1).toDouble() : 0;
}

inline int pageCountOf(const std::string& text) {
    return static_cast<int>(std::ranges::count(text, '\f'));
}

// The first line of each page that says something, without its indent.
inline std::vector<std::string> pageHeads(const std::string& text) {
    std::vector<std::string> heads;
    std::istringstream pages(text);
    for (std::string page; std::getline(pages, page, '\f');) {
        std::istringstream lines(page);
        std::string line;
        while (std::getline(lines, line) && line.find_first_not_of(' ') == std::string::npos) {
        }
        if (const auto first = line.find_first_not_of(' '); first != std::string::npos)
            heads.push_back(line.substr(first, line.find_last_not_of(' ') + 1 - first));
    }
    return heads;
}

// How often `part` stands in `text`.
inline int occurrences(const std::string& text, const std::string& part) {
    int found = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

}  // namespace almanary::testing

#pragma once
// What a printed PDF says, as pdftotext reads it (pages end in form feeds).

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <algorithm>

namespace almanary::testing {

inline QString runPdfToText(const std::string& path, const QString& mode) {
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {mode, QString::fromStdString(path), "-"});
    EXPECT_TRUE(reader.waitForFinished(60000)) << "pdftotext " << path;
    EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    return QString::fromUtf8(reader.readAllStandardOutput());
}

inline std::string pdfText(const std::string& path) {
    return runPdfToText(path, QStringLiteral("-layout")).toStdString();
}

// The height in points of the first `word` printed; 0 when there is none.
inline double wordHeight(const std::string& path, const std::string& word) {
    const char* pattern =
        R"re(<word xMin="[\d.]+" yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">%1</word>)re";
    const QRegularExpressionMatch found =
        QRegularExpression(QString::fromLatin1(pattern).arg(
                               QRegularExpression::escape(QString::fromStdString(word))))
            .match(runPdfToText(path, QStringLiteral("-bbox")));
    return found.hasMatch() ? found.captured(2).toDouble() - found.captured(1).toDouble() : 0;
}

// The first line of each page that says something, trimmed.
inline std::vector<std::string> pageHeads(const std::string& text) {
    std::vector<std::string> heads;
    for (const QString& page : QString::fromStdString(text).split(u'\f', Qt::SkipEmptyParts)) {
        const QStringList lines = page.split(u'\n', Qt::SkipEmptyParts);
        const auto said =
            std::ranges::find_if(lines, [](auto& l) { return !l.trimmed().isEmpty(); });
        if (said != lines.end())
            heads.push_back(said->trimmed().toStdString());
    }
    return heads;
}

// How often `part` stands in `text`.
inline int occurrences(const std::string& text, const std::string& part) {
    return static_cast<int>(QString::fromStdString(text).count(QString::fromStdString(part)));
}

}  // namespace almanary::testing

#pragma once
// What poppler's tools read in a PDF file, as an independent check of the pages we wrote:
// the page count (pdfinfo) and the text (pdftotext, laid out as on the page).

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// The page count pdfinfo reports; -1 when it cannot read the file.
inline int pdfPages(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return -1;
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"),
                                   QRegularExpression::MultilineOption);
    const auto m = pages.match(QString::fromLocal8Bit(p.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The whole text; pages end with a form feed.
inline QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000)) return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of each page.
inline QStringList pdfPageTexts(const QString& path) {
    QStringList pages = pdfText(path).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

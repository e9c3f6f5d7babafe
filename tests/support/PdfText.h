#pragma once
// What poppler's tools read in a PDF file, as an independent check of the pages we wrote:
// the page count (pdfinfo) and the text (pdftotext, laid out as on the page).

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#ifdef Q_OS_WIN
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#endif

// Whether poppler's tools are there (under Wine: the Linux ones, by their Unix names).
inline bool pdfToolsFound() {
#ifdef Q_OS_WIN
    return QFile::exists(QStringLiteral("/usr/bin/pdftotext")) &&
           QFile::exists(QStringLiteral("/usr/bin/pdfinfo"));
#else
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
#endif
}

// What the tool printed, and whether it ended with status 0 within 30 s.
inline QByteArray pdfToolOutput(const QString& tool, const QStringList& args, bool* ok) {
#ifdef Q_OS_WIN
    // Under Wine poppler's tools are the Linux ones, which Wine starts without a process
    // handle: there is nothing to wait for and no pipe to read. A Unix shell runs the tool
    // into a file and writes its status last; file names go through the prefix's drive links.
    const QString prefix = qEnvironmentVariable("WINEPREFIX");
    const auto unixName = [&prefix](const QString& name) {
        if (name.size() < 3 || name[1] != QLatin1Char(':')) return name;
        return prefix + QStringLiteral("/dosdevices/") + name.left(2).toLower() +
               QDir::fromNativeSeparators(name.mid(2));
    };
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out"));
    QStringList shellArgs = {
        QStringLiteral("-c"),
        QStringLiteral("out=$1; shift; \"$@\" > \"$out\"; echo $? > \"$out.part\"; "
                       "/bin/mv \"$out.part\" \"$out.status\""),
        QStringLiteral("sh"), unixName(out), QStringLiteral("/usr/bin/") + tool};
    for (const QString& a : args)
        shellArgs << unixName(a);
    *ok = false;
    if (!QProcess::startDetached(QStringLiteral("/bin/sh"), shellArgs)) return {};
    QFile status(out + QStringLiteral(".status"));
    QDeadlineTimer deadline(30000);
    while (!status.exists() && !deadline.hasExpired())
        QThread::msleep(50);
    if (!status.open(QIODevice::ReadOnly)) return {};
    *ok = status.readAll().trimmed() == "0";
    QFile printed(out);
    return printed.open(QIODevice::ReadOnly) ? printed.readAll() : QByteArray();
#else
    QProcess p;
    p.start(tool, args);
    *ok = p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return p.readAllStandardOutput();
#endif
}

// The page count pdfinfo reports; -1 when it cannot read the file.
inline int pdfPages(const QString& path) {
    bool ok = false;
    const QByteArray info = pdfToolOutput(QStringLiteral("pdfinfo"), {path}, &ok);
    if (!ok) return -1;
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"),
                                   QRegularExpression::MultilineOption);
    const auto m = pages.match(QString::fromLocal8Bit(info));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The whole text; pages end with a form feed.
inline QString pdfText(const QString& path) {
    bool ok = false;
    const QByteArray text = pdfToolOutput(
        QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")}, &ok);
    return ok ? QString::fromUtf8(text) : QString();
}

// The text of each page.
inline QStringList pdfPageTexts(const QString& path) {
    QStringList pages = pdfText(path).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

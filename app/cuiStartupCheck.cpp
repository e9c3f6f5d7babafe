#include "cuiStartupCheck.h"

#include "cmcFileStamp.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
cuiStartupCheck g_last{QString()};
bool g_hasLast = false;
} // namespace

cuiStartupCheck::cuiStartupCheck(const QString& cacheFile) : m_cacheFile(cacheFile) {}

QString cuiStartupCheck::defaultCacheFile() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return dir.isEmpty() ? QString() : QDir(dir).filePath(QStringLiteral("overlay-check.txt"));
}

const cuiStartupCheck* cuiStartupCheck::last() {
    return g_hasLast ? &g_last : nullptr;
}

void cuiStartupCheck::run(const QStringList& files, const std::function<void()>& fullCheck) {
    QElapsedTimer timer;
    timer.start();
    // The files' stamps, taken once: compared with the cache, and kept after a full check.
    const QString stamps = m_cacheFile.isEmpty() ? QString() : stampsOf(files);
    m_skipped = knownGood(stamps);
    // Known before the check, which may stop the program (or, in tests, throw).
    g_last = *this;
    g_hasLast = true;
    if (!m_skipped) {
        fullCheck(); // returns only when the files are sound
        remember(stamps);
    }
    m_ms = double(timer.nsecsElapsed()) / 1e6;
    g_last = *this;
}

QString cuiStartupCheck::stampsOf(const QStringList& files) {
    // The program's size and time stand for its code: another build may know other keys
    // or other limits. Its bytes are not hashed (megabytes, on every start).
    const QFileInfo program(QCoreApplication::applicationFilePath());
    QString text = QStringLiteral("program %1 %2 %3\n")
                       .arg(program.size())
                       .arg(program.lastModified().toMSecsSinceEpoch())
                       .arg(QCoreApplication::applicationVersion());
    for (const QString& file : files) {
        const cmcFileStamp stamp = cmcFileStamp::of(file);
        if (!stamp.isValid()) return QString();
        text += QFileInfo(file).absoluteFilePath() + QLatin1Char('\t') + stamp.toText() +
                QLatin1Char('\n');
    }
    return text;
}

bool cuiStartupCheck::knownGood(const QString& stamps) const {
    if (stamps.isEmpty()) return false;
    QFile cache(m_cacheFile);
    return cache.open(QIODevice::ReadOnly) && QString::fromUtf8(cache.readAll()) == stamps;
}

void cuiStartupCheck::remember(const QString& stamps) const {
    if (stamps.isEmpty()) return;
    QDir().mkpath(QFileInfo(m_cacheFile).absolutePath());
    QSaveFile cache(m_cacheFile);
    if (!cache.open(QIODevice::WriteOnly)) return; // the next start checks in full again
    cache.write(stamps.toUtf8());
    cache.commit();
}

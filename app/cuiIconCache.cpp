#include "cuiIconCache.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStandardPaths>
#include <cstring>

namespace {
constexpr QImage::Format kFormat = QImage::Format_ARGB32_Premultiplied;

qsizetype bytesOf(int size) {
    return qsizetype(size) * size * 4;
}
} // namespace

QString cuiIconCache::defaultFile(const QString& name) {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return dir.isEmpty() ? QString() : QDir(dir).filePath(name);
}

QByteArray cuiIconCache::stampOf(const QStringList& names, int size) {
    // The program's size and time stand for its drawing code, as in the overlay check.
    const QFileInfo program(QCoreApplication::applicationFilePath());
    const QString text = QStringLiteral("icons 1\nprogram %1 %2\nqt %3 %4\nfont %5\nsize %6\n%7\n")
                             .arg(program.size())
                             .arg(program.lastModified().toMSecsSinceEpoch())
                             .arg(QString::fromLatin1(qVersion()), QGuiApplication::platformName(),
                                  QGuiApplication::font().toString())
                             .arg(size)
                             .arg(names.join(QLatin1Char(' ')));
    return text.toUtf8();
}

QList<QImage> cuiIconCache::images(const QStringList& names, int size, const Draw& draw) {
    const QByteArray stamp = m_file.isEmpty() || size <= 0 ? QByteArray() : stampOf(names, size);
    QList<QImage> out;
    m_read = !stamp.isEmpty() && readInto(out, stamp, int(names.size()), size);
    if (m_read) return out;
    out.clear();
    bool keepable = !stamp.isEmpty();
    for (const QString& name : names) {
        const QImage image = draw(name, size);
        // A picture the file cannot hold (none for an unknown name) is not kept.
        keepable = keepable && image.format() == kFormat && image.width() == size &&
                   image.height() == size;
        out.append(image);
    }
    if (keepable) keep(stamp, out);
    return out;
}

bool cuiIconCache::readInto(QList<QImage>& out, const QByteArray& stamp, int count,
                            int size) const {
    QFile file(m_file);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith(stamp) || bytes.size() != stamp.size() + count * bytesOf(size))
        return false;
    const char* pixels = bytes.constData() + stamp.size();
    for (int i = 0; i < count; ++i) {
        QImage image(size, size, kFormat);
        if (image.isNull() || image.sizeInBytes() != bytesOf(size)) return false;
        std::memcpy(image.bits(), pixels + i * bytesOf(size), size_t(bytesOf(size)));
        out.append(image);
    }
    return true;
}

void cuiIconCache::keep(const QByteArray& stamp, const QList<QImage>& images) const {
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    QSaveFile file(m_file);
    if (!file.open(QIODevice::WriteOnly)) return; // the next start draws them again
    file.write(stamp);
    for (const QImage& image : images)
        file.write(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    file.commit();
}

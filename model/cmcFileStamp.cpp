#include "cmcFileStamp.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

cmcFileStamp cmcFileStamp::of(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return cmcFileStamp();
    return ofBytes(path, file.readAll());
}

cmcFileStamp cmcFileStamp::ofBytes(const QString& path, const QByteArray& bytes) {
    cmcFileStamp stamp;
    stamp.m_size = bytes.size();
    stamp.m_modifiedMs = QFileInfo(path).lastModified().toMSecsSinceEpoch();
    stamp.m_hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    return stamp;
}

bool cmcFileStamp::changedOnDisk(const QString& path) const {
    if (!isValid()) return false;
    const QFileInfo info(path);
    if (!info.exists()) return true;
    // Size and time decide at once; equal ones may still hide a change made within the
    // file system's time resolution, which the hash finds.
    if (info.size() != m_size || info.lastModified().toMSecsSinceEpoch() != m_modifiedMs)
        return true;
    const cmcFileStamp now = of(path);
    return !now.isValid() || now.m_hash != m_hash;
}

QString cmcFileStamp::toText() const {
    if (!isValid()) return QString();
    return QStringLiteral("%1 %2 %3")
        .arg(m_size)
        .arg(m_modifiedMs)
        .arg(QString::fromLatin1(m_hash.toHex()));
}

cmcFileStamp cmcFileStamp::fromText(const QString& text) {
    const QStringList f = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    cmcFileStamp stamp;
    bool sizeOk = false, timeOk = false;
    const qint64 size = f.value(0).toLongLong(&sizeOk);
    const qint64 time = f.value(1).toLongLong(&timeOk);
    const QByteArray hash = QByteArray::fromHex(f.value(2).toLatin1());
    if (f.size() != 3 || !sizeOk || !timeOk || size < 0 || hash.size() != 32) return stamp;
    stamp.m_size = size;
    stamp.m_modifiedMs = time;
    stamp.m_hash = hash;
    return stamp;
}

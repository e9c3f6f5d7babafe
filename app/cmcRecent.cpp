#include "cmcRecent.h"

#include <QDir>

namespace {

bool isSeparator(QChar c) {
    return c == QLatin1Char('/') || c == QDir::separator();
}

// Index of the last directory separator in path, or -1.
qsizetype lastSeparator(const QString& path) {
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (isSeparator(path.at(i))) return i;
    return -1;
}

} // namespace

cmcRecent::cmcRecent(int maxCount) : m_max(maxCount < 1 ? 1 : maxCount) {}

void cmcRecent::removeAll(const QString& path) {
    m_paths.removeIf([&](const QString& p) { return p.compare(path, Qt::CaseInsensitive) == 0; });
}

void cmcRecent::trim() {
    while (m_paths.size() > m_max)
        m_paths.removeLast();
}

void cmcRecent::addToFront(const QString& path) {
    removeAll(path);
    m_paths.prepend(path);
    trim();
}

void cmcRecent::addToBack(const QString& path) {
    removeAll(path);
    m_paths.append(path);
    trim();
}

QString cmcRecent::entryText(int index, const QString& directory) const {
    if (index < 0 || index >= m_paths.size()) return QString();
    const QString& path = m_paths.at(index);
    if (directory.isEmpty()) return path;
    const qsizetype sep = lastSeparator(path);
    if (sep < 0) return path;
    // A trailing separator on the directory does not make it a different directory.
    QString dir = directory;
    while (dir.size() > 1 && isSeparator(dir.back()))
        dir.chop(1);
    if (path.left(sep).compare(dir, Qt::CaseInsensitive) == 0) return path.mid(sep + 1);
    return path;
}

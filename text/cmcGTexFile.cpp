#include "cmcGTexFile.h"

#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace {
constexpr qint64 BlockSize = 64 * 1024;
// Memory reserved up front for the whole file; larger files grow as they are read.
constexpr qint64 MaxReserve = 64 * 1024 * 1024;
} // namespace

bool cmcGTexFile::open(const QString& path) {
    close();
    m_error.clear();
    if (path.isEmpty()) {
        m_error = QStringLiteral("no file name");
        return false;
    }
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        m_error = QStringLiteral("not a regular file");
        return false;
    }
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        m_error = m_file.errorString();
        return false;
    }
    m_data.reserve(std::min(m_file.size(), MaxReserve));
    return true;
}

void cmcGTexFile::close() {
    m_file.close();
    m_data = QByteArray();
    m_atEnd = false;
}

void cmcGTexFile::fill(qint64 upTo) {
    while (!m_atEnd && m_data.size() < upTo) {
        const qsizetype old = m_data.size();
        m_data.resize(old + BlockSize);
        const qint64 got = m_file.read(m_data.data() + old, BlockSize);
        m_data.resize(old + std::max<qint64>(got, 0));
        if (got <= 0) m_atEnd = true;
    }
}

bool cmcGTexFile::readLine(qint64 pos, QByteArrayView& text, qint64& bytes) {
    if (!isOpen() || pos < 0) return false;
    // Enough for the longest line plus a CR LF end.
    fill(pos + MaxLineLength + 2);
    if (pos >= m_data.size()) return false;

    const char* line = m_data.constData() + pos;
    const qint64 avail = m_data.size() - pos;
    const qint64 look = std::min<qint64>(avail, MaxLineLength + 2);
    const char* lf = static_cast<const char*>(std::memchr(line, '\n', size_t(look)));
    const qint64 at = lf ? lf - line : -1;

    if (at >= 0 && at <= MaxLineLength) {
        // A whole line: LF, or CR LF, ends it.
        qint64 len = at;
        if (len > 0 && line[len - 1] == '\r') --len;
        text = QByteArrayView(line, len);
        bytes = at + 1;
    } else if (at == MaxLineLength + 1 && line[MaxLineLength] == '\r') {
        // The longest line, ended by CR LF.
        text = QByteArrayView(line, MaxLineLength);
        bytes = at + 1;
    } else if (avail > MaxLineLength) {
        // Too long: its first part now, the rest as the next line.
        text = QByteArrayView(line, MaxLineLength);
        bytes = MaxLineLength;
    } else {
        // The last line of the file, without a line end.
        text = QByteArrayView(line, avail);
        bytes = avail;
    }
    return true;
}

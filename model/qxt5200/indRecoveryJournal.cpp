#include "indRecoveryJournal.h"

#include "cmcIcfFile.h"
#include "cmcTick.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>
#include <algorithm>

namespace {

const QString InfoSuffix = QStringLiteral(".info");

QString ownToken() {
    // The process, the moment and a count: unique among the editors that share the folder
    // (and among the journals of one process, as tests make them).
    static int count = 0;
    return QStringLiteral("%1-%2-%3")
        .arg(QCoreApplication::applicationPid())
        .arg(QString::number(QDateTime::currentMSecsSinceEpoch(), 36))
        .arg(++count);
}

QString valueOf(const QStringList& lines, const QString& key) {
    const QString start = key + QLatin1Char('=');
    for (const QString& line : lines)
        if (line.startsWith(start)) return line.mid(start.size());
    return QString();
}

} // namespace

indRecoveryJournal::indRecoveryJournal(const QString& folder, const QString& owner)
    : m_folder(folder), m_owner(owner) {
    const QString base = QDir(folder).filePath(QLatin1String(FilePrefix) + ownToken());
    m_imagePath = base + QStringLiteral(".icf");
    m_infoPath = base + InfoSuffix;
}

bool indRecoveryJournal::exists() const {
    return QFileInfo::exists(m_imagePath);
}

bool indRecoveryJournal::poll(const cmcEeprom& image, bool modified, const QString& original,
                              const cmcFileStamp& stamp) {
    if (!modified) {
        if (m_waiting || m_written.GetSize() > 0) remove();
        return false;
    }
    const uint32_t now = cmcTick::now();
    if (m_seen.GetSize() == 0 || image != m_seen) {
        m_seen = image;
        m_lastChange = now;
        if (!m_waiting) m_firstChange = now;
        m_waiting = image != m_written;
    }
    if (!m_waiting) return false;
    if (now - m_lastChange < QuietMs && now - m_firstChange < LongestDelayMs) return false;
    if (write(image, original, stamp)) return true;
    // A failed write is tried again after the same delays, not on every poll.
    m_firstChange = m_lastChange = now;
    return false;
}

bool indRecoveryJournal::writeNow(const cmcEeprom& image, bool modified, const QString& original,
                                  const cmcFileStamp& stamp) {
    if (!modified) return true;
    if (image == m_written && exists()) return true;
    return write(image, original, stamp);
}

bool indRecoveryJournal::write(const cmcEeprom& image, const QString& original,
                               const cmcFileStamp& stamp) {
    QElapsedTimer timer;
    timer.start();
    if (!QDir().mkpath(m_folder)) return false;
    cmcEeprom copy = image; // the writer wants a modifiable image
    cmcIcfFile file(copy);
    file.setModelCode(QxRadio::ModelCode);
    file.setExtraCode(QxRadio::ExtraCode);
    file.setMapRevision(QxRadio::CloneMapRevision);
    file.setComment(indCloneFile::commentOf(copy));
    if (file.write(m_imagePath, QxRadio::WholeImage) != ICF_Ok) return false;

    QSaveFile info(m_infoPath);
    if (!info.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
    QTextStream out(&info);
    out.setEncoding(QStringConverter::Utf8);
    out << "owner=" << m_owner << '\n'
        << "original=" << original << '\n'
        << "written=" << QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs) << '\n'
        << "stamp=" << stamp.toText() << '\n';
    out.flush();
    if (!info.commit()) return false;

    m_written = image;
    m_seen = image;
    m_waiting = false;
    m_lastWriteMs = double(timer.nsecsElapsed()) / 1e6;
    return true;
}

void indRecoveryJournal::remove() {
    QFile::remove(m_infoPath);
    QFile::remove(m_imagePath);
    m_written = cmcEeprom();
    m_seen = cmcEeprom();
    m_waiting = false;
}

QList<indRecoveryJournal::Entry> indRecoveryJournal::entries(const QString& folder) {
    QList<Entry> list;
    const QDir dir(folder);
    const QStringList names = dir.entryList({QLatin1String(FilePrefix) + QStringLiteral("*.icf")},
                                            QDir::Files, QDir::Name);
    for (const QString& name : names) {
        Entry e;
        e.imagePath = dir.filePath(name);
        e.infoPath = e.imagePath.left(e.imagePath.size() - 4) + InfoSuffix;
        e.written = QFileInfo(e.imagePath).lastModified();
        QFile info(e.infoPath);
        if (info.open(QIODevice::ReadOnly | QIODevice::Text)) {
            const QStringList lines =
                QString::fromUtf8(info.read(64 * 1024)).split(QLatin1Char('\n'));
            e.owner = valueOf(lines, QStringLiteral("owner"));
            e.original = valueOf(lines, QStringLiteral("original"));
            const QDateTime written =
                QDateTime::fromString(valueOf(lines, QStringLiteral("written")), Qt::ISODateWithMs);
            if (written.isValid()) e.written = written.toLocalTime();
            e.stamp = cmcFileStamp::fromText(valueOf(lines, QStringLiteral("stamp")));
        }
        list.append(e);
    }
    return list;
}

QList<indRecoveryJournal::Entry> indRecoveryJournal::orphans(const OwnerCheck& running) const {
    QList<Entry> list;
    for (const Entry& e : entries(m_folder)) {
        if (e.imagePath == m_imagePath) continue;
        // A journal under this editor's own name was left by the editor that had the name
        // before it: that one is not running any more.
        const bool owned = !e.owner.isEmpty() && e.owner != m_owner && running && running(e.owner);
        if (!owned) list.append(e);
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const Entry& a, const Entry& b) { return a.written > b.written; });
    return list;
}

int indRecoveryJournal::readImage(const Entry& entry, cmcEeprom& image) {
    return indCloneFile::open(entry.imagePath, image);
}

bool indRecoveryJournal::discard(const Entry& entry) {
    const bool info = !QFileInfo::exists(entry.infoPath) || QFile::remove(entry.infoPath);
    const bool image = !QFileInfo::exists(entry.imagePath) || QFile::remove(entry.imagePath);
    return info && image;
}

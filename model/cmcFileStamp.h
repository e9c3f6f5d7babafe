#pragma once
// What a file looked like when the editor last read or wrote it: its size, its time of last
// change and a hash of its bytes. Compared with the file as it is now, it tells whether
// another program (or another editor) saved over it meanwhile, so that a save does not
// silently throw that work away.

#include <QByteArray>
#include <QString>

class cmcFileStamp {
  public:
    cmcFileStamp() = default;

    // The stamp of the file as it is now; an invalid stamp when it cannot be read.
    static cmcFileStamp of(const QString& path);
    // The stamp of these bytes, read from path just now.
    static cmcFileStamp ofBytes(const QString& path, const QByteArray& bytes);

    bool isValid() const { return m_size >= 0; }
    // Whether the file at path is no longer the one stamped: another size, time or content,
    // or gone. An invalid stamp knows nothing and never reports a change.
    bool changedOnDisk(const QString& path) const;

    // One line of text and back (the recovery journal keeps the stamp of its document).
    QString toText() const;
    static cmcFileStamp fromText(const QString& text);

    qint64 size() const { return m_size; }
    qint64 modifiedMs() const { return m_modifiedMs; }
    const QByteArray& hash() const { return m_hash; }

  private:
    qint64 m_size = -1;
    qint64 m_modifiedMs = 0;
    QByteArray m_hash;
};

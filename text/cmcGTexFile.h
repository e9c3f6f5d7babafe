#pragma once
// An overlay file read into memory lazily, one block at a time, as far as the lines asked
// for reach. Lines are addressed by the byte position of their first byte; a CR LF line end
// reads as a line feed, and a line longer than MaxLineLength characters is delivered in
// pieces of that length.

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

class cmcGTexFile {
  public:
    static constexpr qsizetype MaxLineLength = 8191;

    // Opens the file for reading; false when it is missing, unreadable or not a regular file
    // (a folder, a FIFO or a device, which would block or never end). errorString() then
    // tells why.
    bool open(const QString& path);
    QString errorString() const { return m_error; }
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    qint64 size() const { return m_file.size(); }

    // The line starting at byte pos: text is its characters without the line end (valid
    // until the next call), bytes the number of bytes it occupies in the file, line end
    // included. False at or past the end of the file.
    bool readLine(qint64 pos, QByteArrayView& text, qint64& bytes);

  private:
    // Reads blocks until the first `upTo` bytes are held or the file ends.
    void fill(qint64 upTo);

    QFile m_file;
    QString m_error;
    QByteArray m_data;
    bool m_atEnd = false;
};

#pragma once
// The main form's image lists kept between starts. Drawing them (paths, and the numbers of
// the bank and port pictures, whose text loads two bold font faces) is a few milliseconds of
// every start; once drawn, a list is kept in a file of the user's cache folder and read back
// by a later start of the same program build with the same default font on the same
// platform. Anything else (another build, font, platform, size or list, a damaged or missing
// file) draws the pictures again and keeps them for the next start.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class cuiIconCache {
  public:
    using Draw = std::function<QImage(const QString& name, int size)>;

    // file: where the list is kept (empty: nowhere, every call draws).
    explicit cuiIconCache(const QString& file) : m_file(file) {}

    // The pictures of names at size x size pixels, in the order of names: read from the
    // file when it holds exactly these, else drawn by draw and kept.
    QList<QImage> images(const QStringList& names, int size, const Draw& draw);

    // Whether the last images() read its pictures from the file.
    bool read() const { return m_read; }

    // A file of that name in the user's cache folder; empty when there is none.
    static QString defaultFile(const QString& name);

  private:
    // What the pictures depend on besides their drawing code: the program's build, Qt's
    // version, the platform, the default font, the size and the names.
    static QByteArray stampOf(const QStringList& names, int size);
    bool readInto(QList<QImage>& out, const QByteArray& stamp, int count, int size) const;
    void keep(const QByteArray& stamp, const QList<QImage>& images) const;

    QString m_file;
    bool m_read = false;
};

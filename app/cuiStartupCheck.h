#pragma once
// The overlay check of a start, done in full only for files not yet seen. A damaged overlay
// must stop the program at start-up, never at first use; but checking the same files again
// on every start costs more than the rest of the start. After a full check that let the
// program go on, the stamps (size, time of last change, hash) of the overlays it read and
// the program's own size and time are kept in a small cache file; a later start whose files
// all carry the same stamps skips the full check. Any difference (another file, an edited
// overlay, another build of the program, a damaged or missing cache) checks in full again.

#include <QString>
#include <QStringList>
#include <functional>

class cuiStartupCheck {
  public:
    // cacheFile: where the stamps are kept; by default in the user's cache folder.
    explicit cuiStartupCheck(const QString& cacheFile = defaultCacheFile());

    // Runs fullCheck (which stops the program on a fault) unless files were checked, as they
    // are now, by this program before; remembers them after a full check.
    void run(const QStringList& files, const std::function<void()>& fullCheck);

    bool skipped() const { return m_skipped; }
    // Time the last run took, the stamps included.
    double milliseconds() const { return m_ms; }

    // The last run of the process (the start-up measurement prints it).
    static const cuiStartupCheck* last();

    static QString defaultCacheFile();

  private:
    // The cache's text for these files as they are now: one line for the program, then a
    // line per file. Empty when a file cannot be read.
    static QString stampsOf(const QStringList& files);
    // Whether the cache holds exactly these stamps (empty: the files cannot be stamped).
    bool knownGood(const QString& stamps) const;
    void remember(const QString& stamps) const;

    QString m_cacheFile;
    bool m_skipped = false;
    double m_ms = 0;
};

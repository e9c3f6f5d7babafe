#pragma once
// The recovery journal: the unsaved state of a running editor's document, kept in the
// backups folder so that a kill, a crash of the desktop or a power cut loses at most the
// last few seconds of work. One journal per running editor, two files named after a token
// of its own: the working image as a clone file ("QXT5200_journal_TOKEN.icf", readable by
// any editor) and a few lines about it (".info": the owner, the document's file, the time
// of writing and the stamp of the file as the editor knew it). Both are written safely, as
// a save is: a temporary file renamed over the old one.
//
// poll() is called often (the shell's task): the journal is written a short while after
// the last change (and at the latest a little longer after the first unwritten one, so
// that long typing is covered too), never while nothing changed, and removed as soon as
// the document is no longer modified (saved, undone back, another document). A clean
// exit removes it; a kill leaves it.
//
// The owner is the name under which the editor answers while it runs (its single-instance
// guard). At start a journal is offered only when no running editor answers under its
// owner's name: two editors on two displays each keep and see their own.

#include "cmcEeprom.h"
#include "cmcFileStamp.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <cstdint>
#include <functional>

class indRecoveryJournal {
  public:
    // A journal in the folder.
    struct Entry {
        QString imagePath;  // the clone file
        QString infoPath;   // its companion (may be missing: the editor stopped before it)
        QString owner;      // the running editor's name when written
        QString original;   // the document's file; empty while untitled
        QDateTime written;  // when it was last written: the editor stopped soon after
        cmcFileStamp stamp; // the document's file as that editor read or saved it
    };
    // Whether an editor answers under this owner name now.
    using OwnerCheck = std::function<bool(const QString& owner)>;

    static constexpr uint32_t QuietMs = 2000;        // after the last change
    static constexpr uint32_t LongestDelayMs = 8000; // after the first unwritten change
    static constexpr const char* FilePrefix = "QXT5200_journal_";

    indRecoveryJournal(const QString& folder, const QString& owner);
    indRecoveryJournal(const indRecoveryJournal&) = delete;
    indRecoveryJournal& operator=(const indRecoveryJournal&) = delete;

    // Brings the journal up to date with the document; true when it was written now.
    bool poll(const cmcEeprom& image, bool modified, const QString& original,
              const cmcFileStamp& stamp);
    // Writes at once when the document is modified and changed since the last write (before
    // a clone write). False when writing failed.
    bool writeNow(const cmcEeprom& image, bool modified, const QString& original,
                  const cmcFileStamp& stamp);
    // Removes the journal (clean save, clean exit).
    void remove();

    bool exists() const;
    QString imagePath() const { return m_imagePath; }
    QString infoPath() const { return m_infoPath; }
    QString folder() const { return m_folder; }
    QString owner() const { return m_owner; }
    // The time the last write took, in ms (for the benchmark and the log).
    double lastWriteMs() const { return m_lastWriteMs; }

    // The journals of the folder that no running editor owns, newest first; this editor's
    // own journal is never among them.
    QList<Entry> orphans(const OwnerCheck& running) const;
    // Every journal of a folder, as read from its files.
    static QList<Entry> entries(const QString& folder);
    // Reads an entry's image (the clone-file error code).
    static int readImage(const Entry& entry, cmcEeprom& image);
    // Deletes an entry's files; false when one could not be removed.
    static bool discard(const Entry& entry);

  private:
    bool write(const cmcEeprom& image, const QString& original, const cmcFileStamp& stamp);

    QString m_folder;
    QString m_owner;
    QString m_imagePath;
    QString m_infoPath;
    cmcEeprom m_seen;    // the image as the last poll saw it
    cmcEeprom m_written; // the image as last written
    bool m_waiting = false;
    uint32_t m_firstChange = 0;
    uint32_t m_lastChange = 0;
    double m_lastWriteMs = 0;
};

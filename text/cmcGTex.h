#pragma once
// The keyed text table. Every user-visible text and every definition (menus, tool bars,
// tree, sheets, cells) is looked up by a key and a line index. Tables are read from overlay
// files beside the executable, or from an in-memory array of lines.
//
// The key index grows lazily, one line at a time, as far as the keys asked for so far;
// keys met often move to the front of the key list; each key remembers where a sequential
// read left off; 64 recently read lines are cached by file position. A hash finds the keys
// already indexed, and the file's bytes stay in memory as far as they have been read (see
// cmcGTexFile), so that lookups need no disk access once made. A failed lookup is a
// fatal stop ("GTEX Error !\nThe index '%s' was not found."), with a paragraph naming the
// overlay file when the table reads one.

#include <QString>
#include <QStringList>

class cmcGTex {
  public:
    cmcGTex();
    virtual ~cmcGTex();
    cmcGTex(const cmcGTex&) = delete;
    cmcGTex& operator=(const cmcGTex&) = delete;

    // Clears the whole state and uses the file at path; the file is opened at the first
    // lookup. Returns true.
    virtual bool openFile(const QString& path);
    // Uses an array of lines (key lines start with '#', the last is "#End_Of_Ovl"); only
    // accepted while no source is set.
    bool attachLines(const QStringList& lines);

    // The value at index of key, without its line feed. Fatal when not found.
    QString getText(const QString& key, int index = 0);
    // Values 0, 1, 2 ... joined with '\n', stopping before the first value starting '#' (or
    // at the end of the source). Fatal when the key is not found.
    QString getTextBlock(const QString& key);
    // Whether the key exists (a lookup that is not fatal; scans as far as needed).
    bool hasKey(const QString& key);

    // Frees everything and closes the file; the table then has no source.
    void close();

    QString fileName() const;

    // The keys indexed so far, in key-list order (file order except for keys moved to the
    // front); for diagnostics.
    QStringList indexedKeys() const;

    // The program's process-wide tables.
    static cmcGTex& mainTable();
    static cmcGTex& languageTable();

  protected:
    struct Impl;
    Impl* d;
};

class cmcHelpGTex : public cmcGTex {
  public:
    // Accepts only the first file: later calls return false and change nothing.
    bool openFile(const QString& path) override;
    // Help data comes from files only.
    bool attachLines(const QStringList& lines) = delete;
    static cmcHelpGTex& helpTable();
};

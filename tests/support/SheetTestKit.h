#pragma once
// Fixtures for the sheet tests: an in-memory text table built from key/line pairs, an
// environment that records what the sheets store, and a cell source that answers from a
// map and records the commands it receives.

#include "cmcGTex.h"
#include "cuiCell.h"
#include "cuiCellSource.h"
#include "cuiSheetEnv.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <memory>

// A text table of definitions: add(key, lines...) then table().
class SheetTable {
  public:
    SheetTable& add(const QString& key, const QStringList& lines);
    // A sheet K with style, basic cell and cells.
    SheetTable& sheet(const QString& key, const QString& style, const QString& basic,
                      const QStringList& cells);
    cmcGTex& table();

  private:
    QStringList m_lines;
    std::unique_ptr<cmcGTex> m_table;
};

class RecordingSheetEnv : public cuiSheetEnv {
  public:
    RecordingSheetEnv() { install(this); }
    ~RecordingSheetEnv() override { install(nullptr); }

    bool isMobile() const override { return mobile; }
    bool makerMode() const override { return maker; }
    int sheetFontScale() const override { return fontScale; }
    bool readInt(const QString& path, const QString& name, int& value) override;
    void writeInt(const QString& path, const QString& name, int value) override;
    void deleteKey(const QString& path) override;

    bool mobile = false;
    bool maker = false;
    int fontScale = 100;
    QMap<QString, int> store; // "path/name" -> value
    QStringList calls;        // "read path/name", "write path/name=v", "delete path"
};

class RecordingCellSource : public cuiCellSource {
  public:
    RecordingCellSource() { setGlobal(this); }
    ~RecordingCellSource() override { setGlobal(nullptr); }

    cuiCellView view(const cuiCell& cell, bool selected, bool printing) override;
    cuiCellResult execute(const cuiCell& cell, const cuiCellCommand& command,
                          const cuiCellContext& context) override;
    void menuState(cuiCell& cell, const cuiCell* owner) override;
    void activate(const cuiCell& cell, const cuiCell* owner) override;

    // Menu cells: state flags and caption by label; activations received.
    QMap<int, int> menuFlags;
    QMap<int, QString> menuCaptions;
    QList<int> activated;

    // Display text by (label, index); a committed text is stored here.
    QMap<QPair<int, int>, QString> texts;
    struct Received {
        int label, index, code, argument;
        QString text;
        bool hasText;
    };
    QList<Received> received;
    // Result returned for the next commands (Enter starts the editor by default).
    bool enterStartsEditor = true;
};

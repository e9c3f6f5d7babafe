#pragma once
// What changed between two images of this radio, in the radio's own terms: every cell of
// the lists and settings whose shown value differs (list, row, column heading, old and new
// value, as the sheets show them; settings by their captions), then the changed bytes
// that no cell shows, by address.
//
// Headings, captions and the sheet of each cell are read from the sheet definitions of the
// text table given (the tree's sheets); without them the lists' CSV column names and the
// labels' names stand in. A list row is looked at only when its own bytes differ, so a
// name changed in one list does not show as a change of every row naming it elsewhere.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

class cmcEeprom;
class cmcGTex;

struct imcCellChange {
    QString where;   // the list or sheet, as the tree names it ("Channel List")
    int32_t row = 0; // the row as the sheet numbers it (from 1); 0 for settings
    QString column;  // the column heading, or the setting's caption
    QString before;
    QString after;
    // The cell, and the tree command of its sheet (to open the sheet at it).
    QString sheet;
    int32_t category = 0;
    int32_t label = 0;
    int32_t index = 0;
    int32_t group = -1; // channel groups: the group the cell shows

    // "Channel List, row 6, Mode: USB -> LSB"
    QString describe() const;
};

struct imcImageDiffResult {
    std::vector<imcCellChange> cells;
    std::vector<int32_t> bytes; // addresses of changed bytes no cell shows, ascending
    bool equal() const { return cells.empty() && bytes.empty(); }
    // One line per changed cell, then one per unshown byte ("0x1234: FF -> 00").
    QStringList lines(const cmcEeprom& before, const cmcEeprom& after) const;
};

class imcImageDiff {
  public:
    // texts: the table holding the sheet definitions (nullptr: the cells' table).
    static imcImageDiffResult compare(const cmcEeprom& before, const cmcEeprom& after,
                                      cmcGTex* texts = nullptr);
};

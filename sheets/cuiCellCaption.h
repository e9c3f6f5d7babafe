#pragma once
// A cell's name as the sheet shows it: the column's heading and the row's number or item
// ("RX Frequency, CH 6", "LCD contrast"). Undo steps, the in-place editor and the pick
// list are named by it.

#include <QString>
#include <cstdint>

class cuiSheet;

class cuiCellCaption {
  public:
    // What a cell shows, first line only, without the mnemonic marks of menu captions.
    static QString shown(cuiSheet& sheet, int col, int row);
    // The name of the cell (col, row); heading, when given, gets the column's heading.
    static QString of(cuiSheet& sheet, int col, int row, QString* heading = nullptr);
    // The cell below the headings that shows the value (category, label, index); false
    // when the sheet does not show it.
    static bool find(cuiSheet& sheet, int32_t category, int32_t label, int32_t index, int& col,
                     int& row);
};

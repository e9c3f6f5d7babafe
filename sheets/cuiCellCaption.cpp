#include "cuiCellCaption.h"

#include "cuiSheet.h"

#include <algorithm>

QString cuiCellCaption::shown(cuiSheet& sheet, int col, int row) {
    return sheet.cellText(col, row)
        .section(QLatin1Char('\n'), 0, 0)
        .section(QLatin1Char('\t'), 0, 0)
        .remove(QLatin1Char('&'))
        .trimmed();
}

QString cuiCellCaption::of(cuiSheet& sheet, int col, int row, QString* columnHeading) {
    const int fixedRows = sheet.fixedRowsStyle(), fixedCols = sheet.fixedColsStyle();
    if (col < 0 || row < 0 || col >= sheet.colCount() || row >= sheet.rowCount()) return QString();
    QString heading;
    for (int h = std::min(fixedRows, sheet.rowCount()) - 1; h >= 0 && heading.isEmpty(); --h)
        heading = shown(sheet, col, h);
    if (columnHeading) *columnHeading = heading;
    QString rowName, rowHeading;
    for (int c = 0; c < fixedCols && c < col && rowName.isEmpty(); ++c) {
        rowName = shown(sheet, c, row);
        if (fixedRows > 0) rowHeading = shown(sheet, c, 0);
    }
    bool number = false;
    rowName.toInt(&number);
    if (rowName.isEmpty()) return heading;
    if (!number) return rowName;
    const QString where = rowHeading.isEmpty() ? rowName : rowHeading + QLatin1Char(' ') + rowName;
    return heading.isEmpty() ? where : heading + QStringLiteral(", ") + where;
}

bool cuiCellCaption::find(cuiSheet& sheet, int32_t category, int32_t label, int32_t index, int& col,
                          int& row) {
    for (int r = sheet.fixedRowsStyle(); r < sheet.rowCount(); ++r)
        for (int c = 0; c < sheet.colCount(); ++c) {
            const cuiCell& cell = sheet.CellObjectAt(c, r);
            if (cell.label == label && cell.index == index && cell.category == category) {
                col = c;
                row = r;
                return true;
            }
        }
    return false;
}

#include "cuiChangeNames.h"

#include "cmcCellNames.h"
#include "cmcCellRequest.h"
#include "cmcGTex.h"
#include "cuiCellSource.h"
#include "cuiMenu.h"
#include "cuiSheet.h"

#include <QAction>

namespace {

const QString UndoKey = QStringLiteral("GI_Sys_UndoCaption");

// What a cell shows: its value through the sheet's source, else its own text; the first
// line only, without the mnemonic marks of menu captions.
QString shownText(cuiSheet& sheet, const cuiCell& cell) {
    QString text = cell.displayText;
    if (cell.hasLabel())
        if (cuiCellSource* source =
                sheet.cellSource() ? sheet.cellSource() : cuiCellSource::global())
            text = source->view(cell, false, false).text;
    return text.section(QLatin1Char('\n'), 0, 0)
        .section(QLatin1Char('\t'), 0, 0)
        .remove(QLatin1Char('&'))
        .trimmed();
}

// The cell's name; heading, when given, gets the column's heading alone.
QString cellName(cuiSheet& sheet, const cmcCellRequest& r, QString* columnHeading = nullptr) {
    const int fixedRows = sheet.fixedRowsStyle(), fixedCols = sheet.fixedColsStyle();
    for (int row = fixedRows; row < sheet.rowCount(); ++row)
        for (int col = 0; col < sheet.colCount(); ++col) {
            const cuiCell& cell = sheet.CellObjectAt(col, row);
            if (cell.label != r.label || cell.index != r.index || cell.category != r.category)
                continue;
            QString heading;
            for (int h = fixedRows - 1; h >= 0 && heading.isEmpty(); --h)
                heading = shownText(sheet, sheet.CellObjectAt(col, h));
            if (columnHeading) *columnHeading = heading;
            QString rowName, rowHeading;
            for (int c = 0; c < fixedCols && c < col && rowName.isEmpty(); ++c) {
                rowName = shownText(sheet, sheet.CellObjectAt(c, row));
                if (fixedRows > 0) rowHeading = shownText(sheet, sheet.CellObjectAt(c, 0));
            }
            bool number = false;
            rowName.toInt(&number);
            if (rowName.isEmpty()) return heading;
            if (!number) return rowName;
            const QString where =
                rowHeading.isEmpty() ? rowName : rowHeading + QLatin1Char(' ') + rowName;
            return heading.isEmpty() ? where : heading + QStringLiteral(", ") + where;
        }
    return QString();
}

} // namespace

QString cuiChangeNames::of(const cmcCellRequest& r, cuiSheet* sheet, cmcGTex& text) {
    // The bits of an image byte, set in the bit-field window of the Debug menu.
    if (r.label == CL_EeDebugWin_Bits && r.menuCommand == CL_None)
        return text.getText(QStringLiteral("GI_AppInd_FBits_Title"), 2)
            .replace(QLatin1String("%s"), QString::asprintf("%04X", unsigned(r.index)));
    if (!sheet) return QString();
    // A value stored into many rows: "Mode, 40 rows".
    if (r.menuCommand == CL_None && r.fillRange && r.rangeLast > r.rangeFirst) {
        QString heading;
        const QString name = cellName(*sheet, r, &heading);
        if (heading.isEmpty()) return name;
        return text.getText(UndoKey, 4)
            .replace(QLatin1String("%s"), heading)
            .replace(QLatin1String("%d"), QString::number(r.rangeLast - r.rangeFirst + 1));
    }
    if (r.menuCommand == CL_None) return cellName(*sheet, r);
    QString command;
    if (cuiMenu* menu = sheet->cellMenu())
        if (QAction* item = menu->actionOf(r.menuCommand))
            command =
                item->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&')).trimmed();
    const int rows =
        r.rangeFirst >= 0 && r.rangeLast >= r.rangeFirst ? r.rangeLast - r.rangeFirst + 1 : 1;
    if (command.isEmpty() || rows <= 1) return command;
    return text.getText(UndoKey, 4)
        .replace(QLatin1String("%s"), command)
        .replace(QLatin1String("%d"), QString::number(rows));
}

QString cuiChangeNames::mergeKey(const cmcCellRequest& r) {
    if (r.menuCommand != CL_None || r.fillRange) return QString();
    return QStringLiteral("%1/%2/%3").arg(r.category).arg(r.label).arg(r.index);
}

QString cuiChangeNames::menuCaption(bool redo, const QString& stepName, cmcGTex& text) {
    if (stepName.isEmpty()) return text.getText(UndoKey, redo ? 1 : 0);
    return text.getText(UndoKey, redo ? 3 : 2).replace(QLatin1String("%s"), stepName);
}

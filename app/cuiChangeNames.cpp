#include "cuiChangeNames.h"

#include "cmcCellNames.h"
#include "cmcCellRequest.h"
#include "cmcGTex.h"
#include "cuiCellCaption.h"
#include "cuiMenu.h"
#include "cuiSheet.h"

#include <QAction>

namespace {

const QString UndoKey = QStringLiteral("GI_Sys_UndoCaption");

// The name of the request's cell; heading, when given, gets the column's heading alone.
QString cellName(cuiSheet& sheet, const cmcCellRequest& r, QString* columnHeading = nullptr) {
    int col = 0, row = 0;
    if (!cuiCellCaption::find(sheet, r.category, r.label, r.index, col, row)) return QString();
    return cuiCellCaption::of(sheet, col, row, columnHeading);
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

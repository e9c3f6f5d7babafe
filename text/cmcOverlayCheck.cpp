#include "cmcOverlayCheck.h"

#include "cmcGTex.h"
#include "qxTextKeys.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

const QString ScanToTheEnd = QStringLiteral("QX_No_Such_Key_Scan_To_The_End");

// Every key of the table, sorted.
QStringList allKeys(cmcGTex& table) {
    table.hasKey(ScanToTheEnd);
    QStringList keys = table.indexedKeys();
    keys.sort();
    return keys;
}

// The key itself, or the base of keys built from it ("GI_Menu_Main" of "GI_Menu_Main_Body").
bool hasKeyOrBase(const QStringList& sortedKeys, const QString& key) {
    const auto it = std::lower_bound(sortedKeys.begin(), sortedKeys.end(), key);
    if (it == sortedKeys.end()) return false;
    return *it == key || it->startsWith(key + QLatin1Char('_'));
}

} // namespace

QStringList cmcOverlayCheck::codeKeys() {
    QStringList keys;
    for (const char* key : qxCodeTextKeys)
        keys.append(QString::fromLatin1(key));
    return keys;
}

QString cmcOverlayCheck::firstMissing(const QStringList& codeKeys, cmcGTex& main, cmcGTex& help,
                                      cmcGTex& languages) {
    const QStringList mainKeys = allKeys(main), helpKeys = allKeys(help),
                      languageKeys = allKeys(languages);
    for (const QString& key : codeKeys)
        if (!hasKeyOrBase(mainKeys, key) && !hasKeyOrBase(helpKeys, key) &&
            !hasKeyOrBase(languageKeys, key))
            return key;
    for (const QString& key : referencedDefinitions(main))
        if (!main.hasKey(key)) return key;
    return QString();
}

QStringList cmcOverlayCheck::referencedDefinitions(cmcGTex& main) {
    // Reading past the last key indexes the whole table.
    main.hasKey(ScanToTheEnd);
    // "[state]key,arguments" names a sheet of any key; without a state, a sheet's key
    // starts with GI_Sheet_.
    static const QRegularExpression sheetCommand(
        QStringLiteral(":(?:\\[[A-Za-z0-9_]*\\]([A-Za-z0-9_]+)|(GI_Sheet_[A-Za-z0-9_]+))[,)]"));
    static const QRegularExpression popupMenu(QStringLiteral("PopupMenu=([A-Za-z0-9_]+)"));
    QStringList wanted;
    for (const QString& key : main.indexedKeys()) {
        const QString block = main.getTextBlock(key);
        for (auto it = sheetCommand.globalMatch(block); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const QString sheet = m.hasCaptured(1) ? m.captured(1) : m.captured(2);
            for (const char* part : {"_Style", "_BasicCell", "_Cells"})
                wanted.append(sheet + QLatin1String(part));
        }
        for (auto it = popupMenu.globalMatch(block); it.hasNext();) {
            const QString menu = it.next().captured(1);
            wanted.append(menu + QStringLiteral("_BasicCell"));
            wanted.append(menu + QStringLiteral("_Body"));
        }
    }
    wanted.removeDuplicates();
    return wanted;
}

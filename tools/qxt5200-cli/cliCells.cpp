#include "cliCells.h"

#include "cliFiles.h"
#include "cliVerb.h"
#include "cmcCellObj.h"
#include "cmcCellTexts.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcFatal.h"
#include "cmcGTex.h"
#include "cmcOverlayFiles.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

cmcGTex& ownTable() {
    static cmcGTex table;
    return table;
}

// The main overlay named by the language list of the data folder, if it serves cells.
bool useMainOverlay() {
    const QDir dir(cmcOverlayFiles::dataDir());
    const QString list = dir.filePath(QStringLiteral("QXT5200.OVL"));
    if (!QFileInfo(list).isFile()) return false;
    cmcGTex languages;
    languages.openFile(list);
    if (!languages.hasKey(QStringLiteral("GI_Sys_Language"))) return false;
    const QStringList fields = languages.getText(QStringLiteral("GI_Sys_Language"), 0).split(u'\t');
    if (fields.size() < 2 || !QFileInfo(dir.filePath(fields[1])).isFile()) return false;
    cmcGTex& table = ownTable();
    table.openFile(dir.filePath(fields[1]));
    if (!cmcCellTexts::hasKeys(table)) return false;
    cmcFCache::instance().setTable(&table);
    return true;
}

} // namespace

namespace cliCells {

bool setUpTexts(QStringList& args) {
    const int at = int(args.indexOf(QStringLiteral("--overlay")));
    if (at >= 0) {
        if (at + 1 >= args.size() || !QFileInfo(args[at + 1]).isFile()) {
            cliError(QStringLiteral("qxt5200-cli: --overlay needs an existing file"));
            return false;
        }
        ownTable().openFile(args[at + 1]);
        cmcFCache::instance().setTable(&ownTable());
        args.remove(at, 2);
        return true;
    }
    if (useMainOverlay()) return true;
    cmcGTex& table = ownTable();
    table.close();
    table.attachLines(cmcCellTexts::lines());
    cmcFCache::instance().setTable(&table);
    return true;
}

bool parseReference(const QString& reference, cmcCellObj& cell, QString* error) {
    // Faults in a reference stop the program; here they become a message.
    cmcFatal::setShowMessage(false);
    cmcFatal::setEndingHook([](const QString& text) { throw cmcFatalError(text); });
    bool ok = true;
    try {
        cell.parseReference(reference);
    } catch (const cmcFatalError& e) {
        ok = false;
        if (error) *error = QString(e.message).replace(u'\n', u' ');
    }
    cmcFatal::setEndingHook({});
    cmcFatal::setShowMessage(true);
    return ok;
}

int openImage(const QString& path, cmcEeprom& image) {
    image.SetSize(QxRadio::ImageSize);
    const int code = indCloneFile::open(path, image);
    if (code != 0) cliError(cliFiles::errorLine(code));
    return code;
}

} // namespace cliCells

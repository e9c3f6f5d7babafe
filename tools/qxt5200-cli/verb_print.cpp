// print FILE [--sheet KEY] -o OUT.pdf: the pages that printing gives, as a PDF file, with no
// printer and no window.

#include "cliCells.h"
#include "cliFiles.h"
#include "cliVerb.h"
#include "cmcCellDispatch.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcFatal.h"
#include "cmcGTex.h"
#include "cmcOverlayFiles.h"
#include "cuiDefinitionCheck.h"
#include "cuiDispatchSource.h"
#include "cuiPrinter.h"
#include "cuiSheetList.h"
#include "imcRadioFacts.h"
#include "imcRowUse.h"
#include "indCloneFile.h"
#include "qxVersion.h"

#include <QDir>
#include <QFileInfo>

namespace {

enum printExit : int {
    CLI_DamagedOverlay = 3, // as the editor's fatal stop
    CLI_NoSuchSheet = 36,
    CLI_PdfNotWritten = 37,
    CLI_NoPages = 38
};

// The main overlay of the data folder (its first language), or the one given.
bool openOverlay(const QString& given, QString* error) {
    QString path = given;
    if (!path.isEmpty()) {
        if (!QFileInfo(path).isFile()) {
            *error = QStringLiteral("qxt5200-cli: --overlay needs an existing file");
            return false;
        }
    } else {
        const QDir dir(cmcOverlayFiles::dataDir());
        path = dir.filePath(QStringLiteral("QXT5200_ENG.OVL"));
        cmcGTex languages;
        languages.openFile(dir.filePath(QStringLiteral("QXT5200.OVL")));
        if (languages.hasKey(QStringLiteral("GI_Sys_Language"))) {
            const QStringList fields =
                languages.getText(QStringLiteral("GI_Sys_Language"), 0).split(u'\t');
            if (fields.size() >= 2 && QFileInfo(dir.filePath(fields[1])).isFile())
                path = dir.filePath(fields[1]);
        }
        if (!QFileInfo(path).isFile()) {
            *error = QStringLiteral("qxt5200-cli: no overlay file beside the program");
            return false;
        }
    }
    cmcGTex& table = cmcGTex::mainTable();
    table.openFile(path);
    cmcFCache::instance().setTable(&table);
    return true;
}

int runPrint(const QStringList& arguments) {
    QStringList args = arguments;
    QString sheet, out, points, overlay;
    QString error;
    const bool options = cliTakeOption(args, QStringLiteral("--sheet"), &sheet) &&
                         cliTakeOption(args, QStringLiteral("-o"), &out) &&
                         cliTakeOption(args, QStringLiteral("--font-size"), &points) &&
                         cliTakeOption(args, QStringLiteral("--overlay"), &overlay);
    const bool usedRows = args.removeAll(QStringLiteral("--used-rows")) > 0;
    bool ok = true;
    const int fontPoints = points.isEmpty() ? 10 : points.toInt(&ok);
    if (!options || out.isEmpty() || args.size() != 1 || !ok || fontPoints < 4 || fontPoints > 40) {
        cliError(QStringLiteral("usage: qxt5200-cli print FILE [--sheet KEY] [--font-size N] "
                                "[--used-rows] [--overlay OVL] -o OUT.pdf"));
        return CLI_USAGE;
    }
    if (!openOverlay(overlay, &error)) {
        cliError(error);
        return CLI_USAGE;
    }
    // The overlay's numbers are checked first, as at the editor's start: a damaged one is
    // named with its file, key and line.
    const cuiDefinitionCheck::Fault fault =
        cuiDefinitionCheck::firstFault(cmcGTex::mainTable().fileName());
    if (fault.isFault()) {
        cliError(QStringLiteral("qxt5200-cli: definition error: %1").arg(fault.message()));
        return CLI_DamagedOverlay;
    }
    // A fault in the sheet definitions is printed, not shown in a box.
    cmcFatal::setShowMessage(false);
    cmcFatal::setEndingHook([](const QString& text) {
        cliError(QStringLiteral("qxt5200-cli: definition error: %1").arg(text));
    });

    cmcEeprom image(QxRadio::ImageSize);
    const int code = cliCells::openImage(args[0], image);
    if (code != 0) return code;

    const std::vector<cuiSheetList::Sheet> sheets = cuiSheetList::treeSheets(cmcGTex::mainTable());
    QStringList commands;
    if (sheet.isEmpty()) {
        for (const cuiSheetList::Sheet& s : sheets)
            commands << s.command;
    } else {
        const QString command = cuiSheetList::find(sheets, sheet);
        if (command.isEmpty()) {
            cliError(QStringLiteral("qxt5200-cli: no sheet '%1'; the sheets are:").arg(sheet));
            for (const cuiSheetList::Sheet& s : sheets)
                cliError(QStringLiteral("  %1\t%2").arg(s.caption, s.command));
            return CLI_NoSuchSheet;
        }
        commands << command;
    }

    cmcCellDispatch::global().setImage(&image);
    cuiDispatchSource source(&cmcCellDispatch::global());
    cuiCellSource::setGlobal(&source);
    cuiPrinter printer(nullptr, cmcGTex::mainTable());
    printer.setRevision(QStringLiteral(QX_VERSION));
    printer.setFontSize(fontPoints);
    printer.setDocumentName(QFileInfo(args[0]).fileName());
    printer.setRowUse([&image](int32_t category, int32_t label, int32_t index) {
        return int(imcRowUse::of(image, category, label, index));
    });
    printer.setUsedRowsOnly(usedRows);
    const int pages = printer.exportPdf(commands, out);
    cuiCellSource::setGlobal(nullptr);
    cmcCellDispatch::global().setImage(nullptr);
    if (pages < 0) {
        cliError(QStringLiteral("error: %1 could not be written").arg(out));
        return CLI_PdfNotWritten;
    }
    if (pages == 0) {
        cliError(QStringLiteral("error: nothing to print: the sheets give no pages"));
        return CLI_NoPages;
    }
    cliOut(QStringLiteral("%1 pages into %2").arg(pages).arg(QFileInfo(out).filePath()));
    return CLI_OK;
}

const cliVerbRegistrar registrar({
    QStringLiteral("print"),
    QStringLiteral(
        "print FILE [--sheet KEY] [--font-size N] [--used-rows] [--overlay OVL] -o OUT.pdf"),
    QStringLiteral(
        "Writes the pages that the editor's printing gives for the clone file FILE into the\n"
        "PDF file OUT.pdf, with no printer and no display: the same layout, frames, headings,\n"
        "font fitting and page count. Without --sheet every sheet of the editor's tree is\n"
        "printed, in the tree's order (as Print All Sheets); --sheet names one by its tree\n"
        "caption (\"Channel List\") or its sheet command (\"GI_Sheet_AddrL\"). --font-size\n"
        "sets the print font size in points (4..40, default 10). --used-rows leaves out\n"
        "the list rows not in use. Every page's footer names its page number, the file\n"
        "and the date. The texts come from OVL,\n"
        "else from the first language beside the program. OUT.pdf is written whole or not\n"
        "at all.\n\n"
        "Exit status: 0; 1..9 the clone file could not be read; 3 the overlay is damaged\n"
        "(its file, key and line on standard error); 36 no such sheet; 37 the PDF could not\n"
        "be written; 38 the sheets give no pages; 64 wrong arguments."),
    &runPrint,
    /*gui=*/true,
});

} // namespace

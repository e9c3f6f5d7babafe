// get FILE REF...: the display text of cells of a clone file.

#include "cliCells.h"
#include "cliVerb.h"
#include "cmcCellDispatch.h"
#include "cmcCellObj.h"
#include "cmcEeprom.h"

namespace {

int runGet(const QStringList& arguments) {
    QStringList args = arguments;
    if (!cliCells::setUpTexts(args)) return CLI_USAGE;
    if (args.size() < 2) {
        cliError(QStringLiteral("usage: qxt5200-cli get FILE REF..."));
        return CLI_USAGE;
    }
    // Every reference is checked before anything is printed.
    std::vector<cmcCellObj> cells(size_t(args.size() - 1));
    for (int i = 1; i < args.size(); ++i) {
        QString error;
        if (!cliCells::parseReference(args[i], cells[size_t(i - 1)], &error)) {
            cliError(QStringLiteral("%1: %2").arg(args[i], error));
            return CLI_BadReference;
        }
    }
    cmcEeprom image;
    if (const int code = cliCells::openImage(args[0], image)) return code;
    cmcCellDispatch dispatch(&image);
    for (const cmcCellObj& c : cells)
        cliOut(dispatch.text(c.category, c.label, c.index));
    return CLI_OK;
}

const cliVerbRegistrar registrar({
    QStringLiteral("get"),
    QStringLiteral("get FILE REF... [--overlay OVL]"),
    QStringLiteral(
        "Prints, one per line, what the editor shows in each cell REF of the clone file\n"
        "FILE. A reference reads as in sheet definitions: CATEGORY.LABEL[INDEX], for\n"
        "example CT_ChannelList.CL_ChL_FreqR[12] (rows count from 0). Cells of rows\n"
        "not in use print empty lines.\n\n"
        "The selection texts come from OVL, else from the overlay beside the program,\n"
        "else from built-in English texts.\n\n"
        "Exit status: 0; the file error code 1..9; 12 a reference names no cell;\n"
        "64 wrong arguments."),
    &runGet,
});

} // namespace

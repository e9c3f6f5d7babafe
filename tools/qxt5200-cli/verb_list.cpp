// list FILE CATEGORY: the rows in use of a list, as tab-separated columns.

#include "cliCells.h"
#include "cliVerb.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcEeprom.h"
#include "datCh.h"

namespace {

int runList(const QStringList& arguments)
{
    QStringList args = arguments;
    if (!cliCells::setUpTexts(args)) return CLI_USAGE;
    if (args.size() != 2) {
        cliError(QStringLiteral("usage: qxt5200-cli list FILE CATEGORY"));
        return CLI_USAGE;
    }
    int32_t category = CT_None;
    if (!cmcCellNames::findCategory(args[1], &category) || category == CT_None) {
        cliError(QStringLiteral("%1: no such category").arg(args[1]));
        return CLI_BadReference;
    }
    const int32_t list = cmcCellNames::listOf(category);
    std::vector<int32_t> columns;
    for (int32_t label = 0; label < CL_None; ++label)
        if (cmcCellDispatch::listOfLabel(label) == list) columns.push_back(label);
    const cmcListLayout* layout = cmcListInfo::layout(list);
    if (!layout || columns.empty()) {
        cliError(QStringLiteral("%1: the category has no list rows in the image").arg(args[1]));
        return CLI_BadReference;
    }

    cmcEeprom image;
    if (const int code = cliCells::openImage(args[0], image)) return code;
    cmcCellDispatch dispatch(&image);
    QStringList header{QStringLiteral("row")};
    for (int32_t label : columns) header << cmcCellNames::labelName(label);
    cliOut(header.join(u'\t'));
    datCh rec;
    for (int32_t row = 0; row < layout->rows; ++row) {
        if (!rec.load(image, list, row) || !rec.inUse) continue;
        QStringList line{QString::number(row)};
        for (int32_t label : columns) line << dispatch.text(category, label, row);
        cliOut(line.join(u'\t'));
    }
    return CLI_OK;
}

const cliVerbRegistrar registrar({
    QStringLiteral("list"),
    QStringLiteral("list FILE CATEGORY [--overlay OVL]"),
    QStringLiteral("Prints the rows in use of the list CATEGORY (CT_ChannelList, CT_AddressList,\n"
                   "CT_NetworkList, CT_MessageList, CT_PhoneLinkList, CT_ProfileList,\n"
                   "CT_AleNetId, CT_AleSelfIndId, CT_AleCallIndId, CT_AleMessage) of the clone\n"
                   "file FILE: a header line of column labels, then one line per row with the\n"
                   "row number (from 0) and what the editor shows in each column, separated by\n"
                   "tabs.\n\n"
                   "Exit status: 0; the file error code 1..9; 12 the category has no rows;\n"
                   "64 wrong arguments."),
    &runList,
});

} // namespace

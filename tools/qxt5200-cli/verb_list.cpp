// list FILE CATEGORY: the rows in use of a list, as tab-separated columns; list FILE: the
// categories that have list rows, with how many rows of each the file uses.

#include "cliCells.h"
#include "cliVerb.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcEeprom.h"
#include "datCh.h"

namespace {

// The label columns of a category's list; empty when the category has no list rows.
std::vector<int32_t> listColumns(int32_t category) {
    std::vector<int32_t> columns;
    const int32_t list = cmcCellNames::listOf(category);
    if (!cmcListInfo::layout(list)) return columns;
    for (int32_t label = 0; label < CL_None; ++label)
        if (cmcCellDispatch::listOfLabel(label) == list) columns.push_back(label);
    return columns;
}

int rowsInUse(const cmcEeprom& image, int32_t list) {
    const cmcListLayout* layout = cmcListInfo::layout(list);
    int used = 0;
    datCh rec;
    for (int32_t row = 0; layout && row < layout->rows; ++row)
        if (rec.load(image, list, row) && rec.inUse) ++used;
    return used;
}

int listCategories(const QString& file) {
    cmcEeprom image;
    if (const int code = cliCells::openImage(file, image)) return code;
    cliOut(QStringLiteral("category\trows in use\trows"));
    for (int32_t category = 0; category < cmcCellNames::CategoryCount; ++category) {
        if (listColumns(category).empty()) continue;
        const int32_t list = cmcCellNames::listOf(category);
        cliOut(QStringLiteral("%1\t%2\t%3")
                   .arg(cmcCellNames::categoryName(category))
                   .arg(rowsInUse(image, list))
                   .arg(cmcListInfo::layout(list)->rows));
    }
    return CLI_OK;
}

int runList(const QStringList& arguments) {
    QStringList args = arguments;
    if (!cliCells::setUpTexts(args)) return CLI_USAGE;
    if (args.size() == 1) return listCategories(args[0]);
    if (args.size() != 2) {
        cliError(QStringLiteral("usage: qxt5200-cli list FILE [CATEGORY]"));
        return CLI_USAGE;
    }
    int32_t category = CT_None;
    if (!cmcCellNames::findCategory(args[1], &category) || category == CT_None) {
        cliError(QStringLiteral("%1: no such category").arg(args[1]));
        return CLI_BadReference;
    }
    const int32_t list = cmcCellNames::listOf(category);
    const std::vector<int32_t> columns = listColumns(category);
    const cmcListLayout* layout = cmcListInfo::layout(list);
    if (columns.empty()) {
        cliError(QStringLiteral("%1: the category has no list rows in the image").arg(args[1]));
        return CLI_BadReference;
    }

    cmcEeprom image;
    if (const int code = cliCells::openImage(args[0], image)) return code;
    cmcCellDispatch dispatch(&image);
    QStringList header{QStringLiteral("row")};
    for (int32_t label : columns)
        header << cmcCellNames::labelName(label);
    cliOut(header.join(u'\t'));
    datCh rec;
    for (int32_t row = 0; row < layout->rows; ++row) {
        if (!rec.load(image, list, row) || !rec.inUse) continue;
        QStringList line{QString::number(row)};
        for (int32_t label : columns)
            line << dispatch.text(category, label, row);
        cliOut(line.join(u'\t'));
    }
    return CLI_OK;
}

const cliVerbRegistrar registrar({
    QStringLiteral("list"),
    QStringLiteral("list FILE [CATEGORY] [--overlay OVL]"),
    QStringLiteral(
        "Without CATEGORY, prints the categories that have list rows: name, rows in\n"
        "use in FILE and rows in all, separated by tabs.\n\n"
        "With CATEGORY (CT_ChannelList, CT_AddressList, CT_NetworkList, CT_MessageList,\n"
        "CT_PhoneLinkList, CT_ProfileList, CT_AleNetId, CT_AleSelfIndId, CT_AleCallIndId,\n"
        "CT_AleMessage), prints the rows in use of that list in the clone file FILE:\n"
        "a header line of column labels, then one line per row with the\n"
        "row number (from 0) and what the editor shows in each column, separated by\n"
        "tabs.\n\n"
        "Exit status: 0; the file error code 1..9; 12 the category has no rows;\n"
        "64 wrong arguments."),
    &runList,
});

} // namespace

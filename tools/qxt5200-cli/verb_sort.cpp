// sort FILE LIST COLUMN[,COLUMN] [-o OUT]: a list of a clone file in a new order, every
// reference to its rows following them.

#include "cliCells.h"
#include "cliFiles.h"
#include "cliLists.h"
#include "cliVerb.h"
#include "cmcCsvList.h"
#include "cmcEeprom.h"
#include "imcListTidy.h"
#include "indCloneFile.h"

namespace {

int runSort(const QStringList& arguments) {
    const QString verb = QStringLiteral("sort");
    QStringList args = arguments;
    if (!cliCells::setUpTexts(args)) return CLI_USAGE;
    QString out;
    if (!cliLists::takeOption(args, QStringLiteral("-o"), &out, verb)) return CLI_USAGE;
    if (args.size() != 3) {
        cliError(QStringLiteral(
            "usage: qxt5200-cli sort FILE LIST COLUMN[:desc][,COLUMN[:desc]] [-o OUT]"));
        return CLI_USAGE;
    }
    const QString file = args[0];
    if (out.isEmpty()) out = file;
    const cmcCsvTable* list = cliLists::findList(args[1], verb);
    if (!list) return CLI_BadReference;
    if (!imcListTidy::serves(list->list)) {
        cliError(QStringLiteral("qxt5200-cli sort: the %1 list is no list of records; sort the "
                                "channels instead")
                     .arg(QString::fromLatin1(list->name)));
        return CLI_BadReference;
    }
    std::vector<imcSortKey> keys;
    QString error;
    if (!imcListTidy::parseKeys(*list, args[2], &keys, &error)) {
        cliError(QStringLiteral("qxt5200-cli sort: ") + error);
        return CLI_BadReference;
    }
    cmcEeprom image;
    if (const int code = cliCells::openImage(file, image)) return code;
    const cmcEeprom own(image); // the file keeps its own map revision and maker text
    const int32_t moved = imcListTidy::sort(image, *list, 0, list->rows - 1, keys);
    const int code = indCloneFile::save(out, image, own);
    if (code != 0) {
        cliError(cliFiles::errorLine(code));
        return code;
    }
    cliOut(QStringLiteral("%1: %2 row(s) moved, every reference following")
               .arg(QString::fromLatin1(list->name))
               .arg(moved));
    return CLI_OK;
}

const cliVerbRegistrar registrar({
    QStringLiteral("sort"),
    QStringLiteral("sort FILE LIST COLUMN[:desc][,COLUMN[:desc]] [-o OUT] [--overlay OVL]"),
    QStringLiteral("Sorts a list of the clone file FILE by one or more of its columns (as export\n"
                   "names them: channels by name, rx_frequency or mode; addresses by name or\n"
                   "address; the ALE lists by address ...), each ascending or, with :desc,\n"
                   "descending, and saves the result to OUT (else FILE, in place, through a\n"
                   "temporary file). Rows not in use go last, empty values after the others.\n"
                   "Every reference to a moved row follows it: addresses and phone links keep\n"
                   "their channels, networks and messages, profiles their networks, ALE self\n"
                   "addresses their network addresses, and networks and ALE channel groups keep\n"
                   "their member channels.\n\n"
                   "Exit status: 0; the file error code 1..9; 12 no such list or column;\n"
                   "64 wrong arguments."),
    &runSort,
});

} // namespace

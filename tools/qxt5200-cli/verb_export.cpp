// export FILE LIST [-o OUT] [--layout native|common]: a list of a clone file as CSV.

#include "cliCells.h"
#include "cliConsole.h"
#include "cliLists.h"
#include "cliVerb.h"
#include "cmcEeprom.h"
#include "imcCsvLists.h"

#include <cstdio>

namespace {

int runExport(const QStringList& arguments) {
    const QString verb = QStringLiteral("export");
    QStringList args = arguments;
    if (!cliCells::setUpTexts(args)) return CLI_USAGE;
    QString out, layoutName = QStringLiteral("native");
    if (!cliLists::takeOption(args, QStringLiteral("-o"), &out, verb) ||
        !cliLists::takeOption(args, QStringLiteral("--layout"), &layoutName, verb))
        return CLI_USAGE;
    if (args.size() != 2) {
        cliError(QStringLiteral(
            "usage: qxt5200-cli export FILE LIST [-o OUT] [--layout native|common]"));
        return CLI_USAGE;
    }
    const cmcCsvTable* list = cliLists::findList(args[1], verb);
    if (!list) return CLI_BadReference;
    const cmcCsvTable* layout = imcCsvLists::layout(*list, layoutName);
    if (!layout) {
        cliError(QStringLiteral("qxt5200-cli export: the %1 list has no layout '%2'")
                     .arg(QString::fromLatin1(list->name), layoutName));
        return CLI_USAGE;
    }

    cmcEeprom image;
    if (const int code = cliCells::openImage(args[0], image)) return code;
    const QByteArray text = cmcCsvList::write(image, *layout);
    if (out.isEmpty() || out == QLatin1String("-")) {
        cliWriteBytes(text);
        return CLI_OK;
    }
    QString error;
    if (!cmcCsvList::writeFile(out, text, &error)) {
        cliError(QStringLiteral("qxt5200-cli export: ") + error);
        return CLI_ListFileError;
    }
    return CLI_OK;
}

const cliVerbRegistrar registrar({
    QStringLiteral("export"),
    QStringLiteral("export FILE LIST [-o OUT] [--layout native|common] [--overlay OVL]"),
    QStringLiteral(
        "Writes the rows in use of a list of the clone file FILE as CSV (UTF-8, commas,\n"
        "RFC 4180 quoting, CRLF line ends) to OUT, or to standard output. A header\n"
        "line names the columns; each row starts with its number as the editor\n"
        "shows it (from 1); selections are written by their item names, rows of\n"
        "other lists by number and name.\n\n"
        "LIST: channels, addresses, networks, net-channels, messages, phone-links,\n"
        "profiles, ale-networks, ale-self, ale-individual, channel-groups,\n"
        "amd-messages (or the list's category name, CT_ChannelList ...).\n\n"
        "--layout common writes the channel list as other radio programming tools\n"
        "do: Location, Name, Frequency, Duplex, Offset, Mode, Comment.\n\n"
        "Exit status: 0; the file error code 1..9; 12 no such list; 14 OUT cannot be\n"
        "written; 64 wrong arguments."),
    &runExport,
});

} // namespace

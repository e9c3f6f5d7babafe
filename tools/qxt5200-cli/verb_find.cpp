// find FILE TEXT: every cell of a clone file's lists that shows TEXT, by its cell name.

#include "cliCells.h"
#include "cliVerb.h"
#include "cmcEeprom.h"
#include "imcFind.h"

namespace {

constexpr int FindNothing = 15; // no cell shows the text (above the file error codes)

int runFind(const QStringList& arguments) {
    QStringList args = arguments;
    if (!cliCells::setUpTexts(args)) return CLI_USAGE;
    if (args.size() != 2 || args[1].trimmed().isEmpty()) {
        cliError(QStringLiteral("usage: qxt5200-cli find FILE TEXT [--overlay OVL]"));
        return CLI_USAGE;
    }
    cmcEeprom image;
    if (const int code = cliCells::openImage(args[0], image)) return code;
    const std::vector<imcFindMatch> found = imcFind::all(image, args[1]);
    for (const imcFindMatch& m : found)
        cliOut(m.reference() + u'\t' + m.describe());
    return found.empty() ? FindNothing : CLI_OK;
}

const cliVerbRegistrar registrar({
    QStringLiteral("find"),
    QStringLiteral("find FILE TEXT [--overlay OVL]"),
    QStringLiteral("Prints every cell of the clone file FILE that shows TEXT, one per line: the\n"
                   "cell's name as get and set take it, a tab, then where the editor shows it:\n"
                   "  CT_ChannelList.CL_ChL_Name[12]\tChannel List, row 13, Name: NET CONTROL\n"
                   "Names, texts, identifiers and digits match as the sheets show them, in any\n"
                   "case and anywhere in the cell; a number matches frequencies by value (14.23\n"
                   "finds 14.230000, not 14.235000). Rows not in use hold nothing. The matches\n"
                   "come in the order of the editor's tree, row by row.\n\n"
                   "Exit status: 0 found; the file error code 1..9; 15 nothing found; 64 wrong\n"
                   "arguments."),
    &runFind,
});

} // namespace

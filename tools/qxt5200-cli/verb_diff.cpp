// diff A.icf B.icf: what changed between two clone files, cell by cell.

#include "cliCells.h"
#include "cliVerb.h"
#include "cmcEeprom.h"
#include "imcImageDiff.h"

namespace {

// Exit statuses: 0 equal, 1 different, 2 a file could not be read.
constexpr int DiffDiffers = 1;
constexpr int DiffTrouble = 2;

int runDiff(const QStringList& arguments) {
    QStringList args = arguments;
    if (!cliCells::setUpTexts(args)) return CLI_USAGE;
    if (args.size() != 2) {
        cliError(QStringLiteral("usage: qxt5200-cli diff A.icf B.icf [--overlay OVL]"));
        return CLI_USAGE;
    }
    cmcEeprom a, b;
    if (cliCells::openImage(args[0], a) || cliCells::openImage(args[1], b)) return DiffTrouble;
    const imcImageDiffResult result = imcImageDiff::compare(a, b);
    for (const QString& line : result.lines(a, b))
        cliOut(line);
    return result.equal() ? CLI_OK : DiffDiffers;
}

const cliVerbRegistrar registrar({
    QStringLiteral("diff"),
    QStringLiteral("diff A.icf B.icf [--overlay OVL]"),
    QStringLiteral("Compares two clone files in the radio's own terms. One line per changed\n"
                   "cell: the list and row, the column heading, the old and the new value as\n"
                   "the editor's sheets show them (settings by their captions):\n"
                   "  Channel List, row 6, Mode: USB -> LSB\n"
                   "then one line per changed byte that no cell shows, by address:\n"
                   "  0xA9F0: FF -> 12\n\n"
                   "Exit status: 0 the files hold the same data; 1 they differ; 2 a file\n"
                   "cannot be read (its error on standard error); 64 wrong arguments."),
    &runDiff,
});

} // namespace

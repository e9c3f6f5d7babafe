// set FILE REF=TEXT... [-o OUT]: types texts into cells of a clone file and saves it.

#include "cliCells.h"
#include "cliFiles.h"
#include "cliVerb.h"
#include "cmcCellDispatch.h"
#include "cmcCellObj.h"
#include "cmcEeprom.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

namespace {

struct Assignment {
    QString ref;
    QString text;
    cmcCellObj cell;
};

int runSet(const QStringList& arguments) {
    QStringList args = arguments;
    if (!cliCells::setUpTexts(args)) return CLI_USAGE;
    QString out;
    const int o = int(args.indexOf(QStringLiteral("-o")));
    if (o >= 0) {
        if (o + 1 >= args.size()) {
            cliError(QStringLiteral("qxt5200-cli set: -o needs a file name"));
            return CLI_USAGE;
        }
        out = args[o + 1];
        args.remove(o, 2);
    }
    if (args.size() < 2) {
        cliError(QStringLiteral("usage: qxt5200-cli set FILE REF=TEXT... [-o OUT]"));
        return CLI_USAGE;
    }
    const QString file = args[0];
    if (out.isEmpty()) out = file;

    std::vector<Assignment> work;
    for (int i = 1; i < args.size(); ++i) {
        const int eq = int(args[i].indexOf(u'='));
        if (eq <= 0) {
            cliError(QStringLiteral("qxt5200-cli set: '%1' is not REF=TEXT").arg(args[i]));
            return CLI_USAGE;
        }
        Assignment a;
        a.ref = args[i].left(eq);
        a.text = args[i].mid(eq + 1);
        QString error;
        if (!cliCells::parseReference(a.ref, a.cell, &error)) {
            cliError(QStringLiteral("%1: %2").arg(a.ref, error));
            return CLI_BadReference;
        }
        work.push_back(std::move(a));
    }

    cmcEeprom image;
    if (const int code = cliCells::openImage(file, image)) return code;
    // The file keeps its own map revision and maker text.
    const cmcEeprom own(image);
    cmcCellDispatch dispatch(&image);
    // Rows that come into use start from the factory data where it has some for them.
    cmcEeprom initial(QxRadio::ImageSize);
    if (indCloneFile::readInitial(cliFiles::initialFilePath(), initial) == 0)
        dispatch.setDefaultImage(&initial);
    for (const Assignment& a : work) {
        cmcCellRequest r;
        if (!dispatch.commit(a.cell.category, a.cell.label, a.cell.index, a.text, &r)) {
            QString why = QStringLiteral("the cell did not take '%1'").arg(a.text);
            if (!r.handled)
                why = QStringLiteral("the cell cannot be set");
            else if (r.blank)
                why = QStringLiteral("the row is not in use (set %1 first)")
                          .arg(cmcCellNames::labelName(cmcCellDispatch::keyColumn(
                              cmcCellDispatch::listOfLabel(a.cell.label))));
            cliError(QStringLiteral("%1: %2; nothing saved").arg(a.ref, why));
            return CLI_ValueRefused;
        }
    }
    const int code = indCloneFile::save(out, image, own);
    if (code != 0) {
        cliError(cliFiles::errorLine(code));
        return code;
    }
    return CLI_OK;
}

const cliVerbRegistrar registrar({
    QStringLiteral("set"),
    QStringLiteral("set FILE REF=TEXT... [-o OUT] [--overlay OVL]"),
    QStringLiteral("Types each TEXT into the cell REF of the clone file FILE as if it were typed\n"
                   "into the cell and Enter pressed: the cell's own parsing and limits apply\n"
                   "(frequencies in MHz, texts cut to their length, selections by their text).\n"
                   "Assignments run in order, so a row's key column (a channel's receive\n"
                   "frequency, an address's name) comes before its other cells. Then the file\n"
                   "is saved to OUT, else in place, through a temporary file.\n\n"
                   "Example: set f.icf 'CT_ChannelList.CL_ChL_FreqR[0]=7.1'\n\n"
                   "Exit status: 0; the file error code 1..9; 12 a reference names no cell;\n"
                   "13 a cell did not take its text (nothing is saved); 64 wrong arguments."),
    &runSet,
});

} // namespace

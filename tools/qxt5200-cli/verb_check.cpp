// check FILE: reads a clone file exactly as the editor's Open does and tells the result.

#include "cliFiles.h"
#include "cliVerb.h"
#include "cmcEeprom.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

namespace {

int runCheck(const QStringList& args) {
    if (args.size() != 1) {
        cliError(QStringLiteral("usage: qxt5200-cli check FILE"));
        return CLI_USAGE;
    }
    cmcEeprom image(QxRadio::ImageSize);
    // The reader stays silent: the one line below is the whole report.
    const int code = indCloneFile::open(args[0], image);
    if (code != ICF_Ok) {
        cliError(cliFiles::errorLine(code));
        return code;
    }
    cliOut(QStringLiteral("OK"));
    return CLI_OK;
}

const cliVerbRegistrar registrar({
    QStringLiteral("check"),
    QStringLiteral("check FILE"),
    QStringLiteral(
        "Reads the clone file FILE as the editor's Open does: header codes 7041 0001,\n"
        "map revision 2, identity text and map revision byte, and every address\n"
        "0000..FFEF present once. Prints OK, or \"error N: message\" on standard error.\n\n"
        "Exit status: 0 when the file is good, otherwise the file error code N:\n"
        "  1 cannot open, 3 other model, 4 other extra code, 5 map revision,\n"
        "  6 format, 7 data missing, 8 data outside the image or bad identity,\n"
        "  9 newer version; 64 wrong arguments."),
    &runCheck,
});

} // namespace

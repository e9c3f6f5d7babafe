// new FILE: writes the initial data as a clone file, as the editor's New then Save would.

#include "cliFiles.h"
#include "cliVerb.h"
#include "cmcEeprom.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QFileInfo>

namespace {

int runNew(const QStringList& arguments) {
    QStringList args = arguments;
    const bool force = args.removeAll(QStringLiteral("--force")) > 0;
    if (args.size() != 1) {
        cliError(QStringLiteral("usage: qxt5200-cli new [--force] FILE"));
        return CLI_USAGE;
    }
    const QString target = args[0];
    if (QFileInfo::exists(target) && !force) {
        cliError(
            QStringLiteral("qxt5200-cli: '%1' exists; give --force to replace it").arg(target));
        return CLI_TargetExists;
    }
    const QString initial = cliFiles::initialFilePath();
    cmcEeprom loaded(QxRadio::ImageSize);
    int code = indCloneFile::readInitial(initial, loaded);
    if (code != ICF_Ok) {
        cliError(QStringLiteral("qxt5200-cli: cannot use the initial data '%1': %2")
                     .arg(initial, cliFiles::errorLine(code)));
        return CLI_NoInitialData;
    }
    cmcEeprom image(loaded);
    code = indCloneFile::save(target, image, loaded);
    if (code != ICF_Ok) {
        cliError(cliFiles::errorLine(code));
        return code;
    }
    return CLI_OK;
}

const cliVerbRegistrar registrar({
    QStringLiteral("new"),
    QStringLiteral("new [--force] FILE"),
    QStringLiteral(
        "Writes the initial data (the factory state beside the executable) to the\n"
        "clone file FILE, as the editor's Save writes a new document. An existing\n"
        "FILE is replaced only with --force, and only once the whole file is written.\n\n"
        "Exit status: 0; 1 cannot create FILE, 2 writing FILE failed, 10 the initial\n"
        "data is missing or invalid, 11 FILE exists; 64 wrong arguments."),
    &runNew,
});

} // namespace

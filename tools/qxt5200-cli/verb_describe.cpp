// describe FILE: the header codes, comment, map revision and contents of a clone file.

#include "cliFiles.h"
#include "cliVerb.h"
#include "cmcEeprom.h"
#include "cmcIcfFile.h"
#include "imcRadioFacts.h"

namespace {

// Every header and map revision is taken, so that files of other models can be described.
bool anyModel(void*, uint32_t, uint32_t, int*) {
    return true;
}
bool anyMapRevision(void*, int32_t) {
    return true;
}

int runDescribe(const QStringList& args) {
    if (args.size() != 1) {
        cliError(QStringLiteral("usage: qxt5200-cli describe FILE"));
        return CLI_USAGE;
    }
    cmcEeprom image(QxRadio::ImageSize);
    cmcIcfFile file(image);
    file.setModelCheck(&anyModel, nullptr);
    file.setMapRevCheck(&anyMapRevision, nullptr);
    const int code = file.read(args[0]);
    if (code != ICF_Ok) {
        cliError(cliFiles::errorLine(code));
        return code;
    }
    cliOut(QStringLiteral("model code:   %1").arg(QString::asprintf("%04X", file.fileModelCode())));
    cliOut(QStringLiteral("extra code:   %1").arg(QString::asprintf("%04X", file.fileExtraCode())));
    cliOut(QStringLiteral("comment:      %1").arg(file.fileComment()));
    cliOut(QStringLiteral("map revision: %1").arg(file.mapRevision()));
    cliOut(QStringLiteral("data lines:   %1").arg(file.dataLineCount()));
    cliOut(QStringLiteral("bytes:        %1").arg(file.loadedCount()));
    cliOut(QStringLiteral("channels:     %1").arg(cliFiles::usedChannelRows(image)));
    return CLI_OK;
}

const cliVerbRegistrar registrar({
    QStringLiteral("describe"),
    QStringLiteral("describe FILE"),
    QStringLiteral("Prints the header codes, the comment, the map revision, the number of data\n"
                   "lines and bytes, and the number of used channel-list rows of the clone file\n"
                   "FILE. Files of any model and map revision are read.\n\n"
                   "Exit status: 0, or the file error code (1 cannot open, 6 format, 8 data\n"
                   "outside the image); 64 wrong arguments."),
    &runDescribe,
});

} // namespace

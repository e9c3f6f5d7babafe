// write FILE [--maker]: clones a clone file into the radio, as the editor's clone write does.

#include "cliFiles.h"
#include "cliLink.h"
#include "cliVerb.h"
#include "cmcEeprom.h"
#include "imcCloneCheck.h"
#include "indCloneFile.h"

namespace {

int runWrite(const QStringList& arguments) {
    QStringList args = arguments;
    cliLink link;
    QString error;
    bool maker = false;
    if (link.parse(args, &error)) {
        maker = args.removeAll(QStringLiteral("--maker")) > 0;
    }
    if (args.size() != 1) {
        cliError(error.isEmpty()
                     ? QStringLiteral("usage: qxt5200-cli write FILE [--maker] [LINK OPTIONS]")
                     : error);
        return CLI_USAGE;
    }
    cmcEeprom image(QxMap::ImageSize);
    const int code = indCloneFile::open(args[0], image, false);
    if (code != 0) {
        cliError(cliFiles::errorLine(code));
        return CLI_CloneFileError;
    }
    // Prepared as for saving: map revision and maker text from the initial data.
    cmcEeprom loaded(QxMap::ImageSize);
    if (indCloneFile::readInitial(cliFiles::initialFilePath(), loaded, false) != 0) loaded = image;
    indCloneFile::prepareImage(image, loaded, true);

    cmcCloneDrv drv;
    drv.SetCodes(imcCloneCheck::ModelCode, 0);
    drv.SetImageSize(QxMap::ImageSize);
    link.configure(drv);
    // Two information exchanges, as the editor makes around its confirmation.
    int status = 0;
    for (int i = 0; i < 2 && status == 0; ++i)
        status = link.run(
            drv, [&](cmcCloneDrv::Callback cb, void* ctx) { return drv.StartInfo(cb, ctx); },
            [](dst_CDrv_Result& r) { return imcCloneCheck::CheckInfo(r); });
    if (status == 0) {
        // The write's own time-outs: the radio takes its time to store each block.
        drv.SetStepTimeout(5000);
        drv.SetAckTimeout(5000);
        const cmcAdrRange* ranges = imcCloneCheck::WriteRanges(maker);
        status = link.run(
            drv,
            [&](cmcCloneDrv::Callback cb, void* ctx) {
                return drv.StartWrite(image, ranges, cb, ctx);
            },
            {}, imcCloneCheck::RangeBytes(ranges), QStringLiteral("writing"));
    }
    if (status != 0) {
        link.reportStatus(status);
        return status;
    }
    cliOut(QStringLiteral("wrote %1 bytes")
               .arg(imcCloneCheck::RangeBytes(imcCloneCheck::WriteRanges(maker))));
    return CLI_OK;
}

const cliVerbRegistrar registrar({
    QStringLiteral("write"),
    QStringLiteral("write FILE [--maker] [LINK OPTIONS]"),
    QString::fromLatin1(
        "Writes the clone file FILE into the radio as the editor's clone write does: the\n"
        "file is read and checked as by Open, prepared as for saving, the radio is\n"
        "identified twice, then 0500..AA5F is written (0000..FFEF with --maker, which\n"
        "also writes the maker's settings).\n\n") +
        QString::fromLatin1(cliLink::OptionsHelp) +
        QStringLiteral(
            "\n\nExit status: 0, or the clone status (2 link, 4 echo, 5 time-out, 6 refused,\n"
            "10 write not confirmed, 11 other model, 14 other version, 17 serial write\n"
            "error); 33 the file could not be read; 64 wrong arguments."),
    &runWrite,
});

} // namespace

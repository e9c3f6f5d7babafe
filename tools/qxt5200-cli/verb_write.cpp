// write FILE [--maker] [--force]: clones a clone file into the radio, as the editor's clone
// write does, after the editor's checks of the data.

#include "cliCells.h"
#include "cliFiles.h"
#include "cliLink.h"
#include "cliVerb.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcGTex.h"
#include "imcCloneCheck.h"
#include "imcWriteCheck.h"
#include "indCloneFile.h"

namespace {

// The editor's checks before a write; false (with the editor's message and what the checks
// found on standard error) when the editor would refuse the image.
bool passesChecks(const cmcEeprom& image) {
    QStringList findings;
    const imcWriteCheck::Result result = imcWriteCheck::check(image, &findings);
    if (result == imcWriteCheck::Ok) return true;
    const QString key = QString::fromLatin1(imcWriteCheck::messageKey(result));
    cliError(cmcFCache::instance()
                 .table()
                 .getTextBlock(key)
                 .replace(QLatin1Char('\n'), QLatin1Char(' '))
                 .trimmed());
    for (const QString& line : findings)
        cliError(QStringLiteral("  ") + line);
    cliError(
        QStringLiteral("Nothing was sent to the radio; --force writes the file all the same."));
    return false;
}

int runWrite(const QStringList& arguments) {
    QStringList args = arguments;
    cliLink link;
    QString error;
    bool maker = false;
    bool force = false;
    if (link.parse(args, &error)) {
        maker = args.removeAll(QStringLiteral("--maker")) > 0;
        force = args.removeAll(QStringLiteral("--force")) > 0;
    }
    if (error.isEmpty() && !cliCells::setUpTexts(args)) return CLI_USAGE;
    if (args.size() != 1) {
        cliError(error.isEmpty() ? QStringLiteral("usage: qxt5200-cli write FILE [--maker] "
                                                  "[--force] [--overlay OVL] [LINK OPTIONS]")
                                 : error);
        return CLI_USAGE;
    }
    cmcEeprom image(QxMap::ImageSize);
    const int code = indCloneFile::open(args[0], image, false);
    if (code != 0) {
        cliError(cliFiles::errorLine(code));
        return CLI_CloneFileError;
    }
    if (!force && !passesChecks(image)) return CLI_WriteRefused;
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
    QStringLiteral("write FILE [--maker] [--force] [--overlay OVL] [LINK OPTIONS]"),
    QString::fromLatin1(
        "Writes the clone file FILE into the radio as the editor's clone write does: the\n"
        "file is read and checked as by Open, then its data passes the editor's checks\n"
        "before a write (at least one channel holds data; no check of the warning list\n"
        "finds an error, such as a channel with an unknown mode). Data that fails them\n"
        "is refused with the editor's message and what the checks found, and nothing is\n"
        "sent; --force skips these checks. Then the image is prepared as for saving, the\n"
        "radio is identified twice, and 0500..AA5F is written (0000..FFEF with --maker,\n"
        "which also writes the maker's settings).\n\n"
        "The messages come from OVL, else from the overlay beside the program, else from\n"
        "built-in English texts.\n\n") +
        QString::fromLatin1(cliLink::OptionsHelp) +
        QStringLiteral(
            "\n\nExit status: 0, or the clone status (2 link, 4 echo, 5 time-out, 6 refused,\n"
            "10 write not confirmed, 11 other model, 14 other version, 17 serial write\n"
            "error); 33 the file could not be read; 34 the data failed the checks before a\n"
            "write (nothing was sent); 64 wrong arguments."),
    &runWrite,
});

} // namespace

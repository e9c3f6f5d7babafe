// write FILE [--maker] [--force]: clones a clone file into the radio, as the editor's clone
// write does, after the editor's checks of the data.

#include "cliCells.h"
#include "cliFiles.h"
#include "cliFleet.h"
#include "cliFleetSheet.h"
#include "cliLink.h"
#include "cliVerb.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcGTex.h"
#include "imcCloneCheck.h"
#include "imcRadioFacts.h"
#include "imcWriteCheck.h"
#include "indCloneBackup.h"
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
    QList<imcFleetClone::Link> links;
    QString error;
    bool maker = false;
    bool force = false;
    bool verify = false;
    bool plainForUnlisted = false;
    QString perRadio;
    if (cliFleet::parseLinks(args, &links, &error)) {
        maker = args.removeAll(QStringLiteral("--maker")) > 0;
        force = args.removeAll(QStringLiteral("--force")) > 0;
        verify = args.removeAll(QStringLiteral("--verify")) > 0;
        plainForUnlisted = args.removeAll(QStringLiteral("--plain-for-unlisted")) > 0;
        if (!cliTakeOption(args, QStringLiteral("--per-radio"), &perRadio))
            error = QStringLiteral("--per-radio needs a CSV file");
        else if (plainForUnlisted && perRadio.isEmpty())
            error = QStringLiteral("--plain-for-unlisted goes with --per-radio");
    }
    if (error.isEmpty() && !cliCells::setUpTexts(args)) return CLI_USAGE;
    if (args.size() != 1 || !error.isEmpty()) {
        cliError(error.isEmpty() ? QStringLiteral("usage: qxt5200-cli write FILE [--maker] "
                                                  "[--force] [--verify] [--per-radio CSV "
                                                  "[--plain-for-unlisted]] [--overlay OVL] "
                                                  "[LINK OPTIONS]...")
                                 : error);
        return CLI_USAGE;
    }
    cmcEeprom image(QxRadio::ImageSize);
    const int code = indCloneFile::open(args[0], image);
    if (code != 0) {
        cliError(cliFiles::errorLine(code));
        return CLI_CloneFileError;
    }
    if (!force && !passesChecks(image)) return CLI_WriteRefused;
    // Prepared as for saving: map revision and maker text from the initial data.
    cmcEeprom loaded(QxRadio::ImageSize);
    const bool haveInitial = indCloneFile::readInitial(cliFiles::initialFilePath(), loaded) == 0;
    if (!haveInitial) loaded = image;
    indCloneFile::prepareImage(image, loaded, true);

    // Per-radio values: every row checked against the image before any radio is asked.
    imcFleetSheet sheet;
    const cmcEeprom* defaults = haveInitial ? &loaded : nullptr;
    if (!perRadio.isEmpty() && !cliFleetSheet::load(perRadio, image, defaults, force, &sheet))
        return CLI_SheetRefused;

    // Every radio at once, each identified twice as the editor does around its
    // confirmation, then written (and read back with --verify).
    imcFleetClone fleet;
    fleet.setLinks(links);
    fleet.setVerify(verify);
    fleet.setInfoExchanges(2);
    if (!perRadio.isEmpty()) fleet.setSheet(&sheet, plainForUnlisted, defaults);
    // Asked for it, so written; but radios sharing one identity break a network quietly.
    fleet.setPlainReview([](const QStringList& radios) {
        cliError(QStringLiteral("warning: FILE as it is goes to %1 radios without a row in the "
                                "per-radio values, which all get the same ALE self addresses "
                                "and selective-call identifiers: %2")
                     .arg(radios.size())
                     .arg(radios.join(QStringLiteral(", "))));
        return true;
    });
    const cmcAdrRange* ranges = imcCloneCheck::WriteRanges(maker);
    fleet.startWrite(image, ranges);
    cliFleet::run(fleet, QStringLiteral("writing"));

    // Every image written is kept, and so is what a verification read back.
    const QString folder = indCloneBackup::defaultFolder();
    for (int i = 0; i < fleet.count(); ++i) {
        const imcFleetClone::Radio& r = fleet.radio(i);
        cliFleet::reportFailure(fleet, i);
        if (r.status == 0) {
            const QString kept = indCloneBackup::write(
                folder, fleet.sentImage(i), fleet.identity(i).backupKind(QStringLiteral("write")));
            if (kept.isEmpty())
                cliError(QStringLiteral("warning: no backup could be kept in %1").arg(folder));
        }
        if (r.hasImage) {
            const QString kept = indCloneBackup::write(
                folder, r.image, fleet.identity(i).backupKind(QStringLiteral("readback")));
            if (!kept.isEmpty() && r.status != 0)
                cliError(QStringLiteral("the memory read back is kept in %1").arg(kept));
        }
    }
    if (fleet.count() > 1 || !perRadio.isEmpty())
        cliFleet::printTable(fleet);
    else if (fleet.worstStatus() == 0)
        cliOut(QStringLiteral("wrote %1 bytes%2")
                   .arg(imcCloneCheck::RangeBytes(ranges))
                   .arg(verify ? QStringLiteral(", verified") : QString()));
    return fleet.worstStatus();
}

const cliVerbRegistrar registrar({
    QStringLiteral("write"),
    QStringLiteral("write FILE [--maker] [--force] [--verify] [--per-radio CSV "
                   "[--plain-for-unlisted]] [--overlay OVL] [LINK OPTIONS]..."),
    QString::fromLatin1(
        "Writes the clone file FILE into the radio as the editor's clone write does: the\n"
        "file is read and checked as by Open, then its data passes the editor's checks\n"
        "before a write (at least one channel holds data; no check of the warning list\n"
        "finds an error, such as a channel with an unknown mode). Data that fails them\n"
        "is refused with the editor's message and what the checks found, and nothing is\n"
        "sent; --force skips these checks. Then the image is prepared as for saving, the\n"
        "radio is identified twice, and 0500..AA5F is written (0000..FFEF with --maker,\n"
        "which also writes the maker's settings).\n\n"
        "Several --port and --tcp options write the file into every radio given, all at the\n"
        "same time, with one progress line per radio on a terminal and a closing table (link,\n"
        "serial number from the radio's information block, status, message). A radio that\n"
        "fails does not stop the others. --verify reads the written range back after the\n"
        "write and compares it with what was sent; a difference fails the write (status 20)\n"
        "and names the first differing addresses. Every image written, and every memory\n"
        "read back, is kept as a clone file in the backups folder\n"
        "(~/.local/share/Vexo/QX-T5200/backups), named by the radio's serial number.\n\n"
        "--per-radio CSV gives each radio values of its own (its ALE self addresses,\n"
        "profile identifiers, name ...): a sheet with a column 'radio' (the serial number\n"
        "the radio reports, or its link: the port device or HOST:PORT) and one column per\n"
        "cell reference, as fleet-sheet writes it. Before any radio is asked, every value is\n"
        "checked by its cell's format, every row applied to a copy of FILE must pass the\n"
        "checks above, and no two radios may hold the same ALE self address or profile\n"
        "identifier; each error names its line and column, and nothing is sent. Each radio\n"
        "is identified, its row found by serial number, then by link, and written with its\n"
        "row applied; an empty field keeps FILE's value. A radio without a row stops the\n"
        "whole batch before anything is written (status 21 for every radio) unless\n"
        "--plain-for-unlisted writes FILE as it is into such radios (when two or more get\n"
        "it, a warning on standard error names them: they all hold the same identity). The\n"
        "closing table names the values each radio got.\n\n"
        "The messages come from OVL, else from the overlay beside the program, else from\n"
        "built-in English texts.\n\n") +
        QString::fromLatin1(cliLink::OptionsHelp) +
        QStringLiteral(
            "\n\nExit status: 0 when every radio succeeded, else the highest clone status (2 "
            "link,\n"
            "4 echo, 5 time-out, 6 refused, 10 write not confirmed, 11 other model, 14 other\n"
            "version, 17 serial write error, 19 the adapter closed the connection, 20\n"
            "verification failed, 21 not written: no per-radio row, or the batch was stopped);\n"
            "33 the file could not be read; 34 the data failed the checks before a write\n"
            "(nothing was sent); 35 the per-radio values were refused (nothing was sent);\n"
            "64 wrong arguments."),
    &runWrite,
});

} // namespace

// read -o FILE: clones the radio's whole memory into a clone file, with the checks of the
// editor's clone read.

#include "cliFiles.h"
#include "cliFleet.h"
#include "cliLink.h"
#include "cliRead.h"
#include "cliVerb.h"
#include "cmcEeprom.h"
#include "imcCloneCheck.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Several radios read at once into a folder, one clone file per radio named by its serial
// number (a second radio with the same number gets "-2" …).
int readFleet(const QList<imcFleetClone::Link>& links, const QString& dir) {
    if (!QDir().mkpath(dir) || !QFileInfo(dir).isWritable()) {
        cliError(QStringLiteral("error: the folder %1 cannot be written").arg(dir));
        return CLI_CloneFileError;
    }
    imcFleetClone fleet;
    fleet.setLinks(links);
    fleet.startRead();
    cliFleet::run(fleet, QStringLiteral("reading"));
    cmcEeprom loaded(QxRadio::ImageSize);
    const bool haveInitial = indCloneFile::readInitial(cliFiles::initialFilePath(), loaded) == 0;
    QStringList taken;
    int worst = fleet.worstStatus();
    for (int i = 0; i < fleet.count(); ++i) {
        const imcFleetClone::Radio& r = fleet.radio(i);
        cliFleet::reportFailure(fleet, i);
        if (r.status != 0 || !r.hasImage) continue;
        // Named by the serial number the radio gives ("radio" when it gives none).
        const QString key = fleet.identity(i).key;
        const QString base = key.isEmpty() ? QStringLiteral("radio") : key;
        QString name = base;
        for (int n = 2;
             taken.contains(name) || QFileInfo::exists(QDir(dir).filePath(name + ".icf")); ++n)
            name = base + QStringLiteral("-%1").arg(n);
        taken << name;
        const QString path = QDir(dir).filePath(name + QStringLiteral(".icf"));
        cmcEeprom image = r.image;
        const int code = indCloneFile::save(path, image, haveInitial ? loaded : r.image);
        if (code != 0) {
            cliError(cliFiles::errorLine(code));
            worst = std::max(worst, int(CLI_CloneFileError));
            continue;
        }
        cliOut(QStringLiteral("read %1 bytes into %2").arg(QxRadio::ImageSize).arg(path));
    }
    cliFleet::printTable(fleet);
    return worst;
}

int runRead(const QStringList& arguments) {
    QStringList args = arguments;
    QString error;
    QString out;
    QList<imcFleetClone::Link> links;
    const QStringList given = args;
    if (cliFleet::parseLinks(args, &links, &error)) {
        const int o = int(args.indexOf(QStringLiteral("-o")));
        if (o >= 0 && o + 1 < args.size()) {
            out = args[o + 1];
            args.remove(o, 2);
        }
    }
    if (out.isEmpty() || !args.isEmpty() || !error.isEmpty()) {
        cliError(error.isEmpty()
                     ? QStringLiteral("usage: qxt5200-cli read -o FILE|DIR [LINK OPTIONS]...")
                     : error);
        return CLI_USAGE;
    }
    if (links.size() > 1 || QFileInfo(out).isDir()) return readFleet(links, out);

    // One radio into one file.
    cliLink link;
    args = given;
    link.parse(args, &error);

    // A file that could not be written would throw the whole read away: look first.
    if (!cliRead::canSave(out)) return CLI_CloneFileError;
    cmcEeprom image(QxRadio::ImageSize);
    const int status = cliRead::readRadio(link, image);
    if (status != 0) {
        link.reportStatus(status);
        return status;
    }
    if (cliRead::save(out, image) != 0) return CLI_CloneFileError;
    return CLI_OK;
}

const cliVerbRegistrar registrar({
    QStringLiteral("read"),
    QStringLiteral("read -o FILE|DIR [LINK OPTIONS]..."),
    QString::fromUtf8(
        "Reads the radio's whole memory (0000..FFEF) into the clone file FILE, with the\n"
        "checks of the editor's clone read: the information exchange first (model code\n"
        "7041, information block), then the read, then the image's identity. FILE is\n"
        "written only when everything passed, and never half-written. A FILE that could\n"
        "not be written (no such folder, no permission, not a regular file) is refused\n"
        "before the radio is asked.\n\n"
        "Several --port and --tcp options read every radio given at the same time into the\n"
        "folder DIR (made when missing; -o naming an existing folder does the same for one\n"
        "radio): one clone file per radio, named by the serial number of its information\n"
        "block (SERIAL.icf, then SERIAL-2.icf … when taken), one progress line per radio on\n"
        "a terminal, and a closing table of link, serial number, status and message. The\n"
        "exit status is then the highest status of all radios.\n\n") +
        QString::fromLatin1(cliLink::OptionsHelp) +
        QStringLiteral(
            "\n\nExit status: 0, or the clone status (2 link, 4 echo, 5 time-out, 6 bad frame,\n"
            "7 frame count, 8 data missing, 9 address out of range, 11 other model,\n"
            "14 other version, 15 image not valid, 17 serial write error, 19 the adapter\n"
            "closed the connection); 33 the file could not be written; 64 wrong arguments."),
    &runRead,
});

} // namespace

// adjust: the technician's adjustment read, in the editor's sequence: the clone read of the
// radio's whole memory first (kept with -o like read), over a network adapter the wait
// while the radio restarts, then the command that puts the radio into its adjustment state
// and the seventeen values. They are printed one item a line and, with --csv, kept as a
// service record.

#include "cliFiles.h"
#include "cliLink.h"
#include "cliRead.h"
#include "cliVerb.h"
#include "imcAdjustValues.h"
#include "imcRadioFacts.h"
#include "imcRadioIdentity.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QThread>

namespace {

constexpr int CLI_RecordFileError = 35;
// The restart wait when the overlay gives none.
constexpr int DefaultRebootWait = 30;

// The adjustment link: on the serial port a speed-change script at 9,600 baud, then
// 38,400 whatever --speed says; no echo check.
void configureAdjust(const cliLink& link, imcCloneDrv& drv) {
    link.configure(drv);
    if (!drv.IsTcp()) {
        drv.SetScript(imcCloneDrv::SpeedChangeScript(drv.Code1()));
        drv.SetLink(drv.Port(), QStringLiteral("38400,N,8,1"));
    }
    drv.SetEchoCheck(false);
}

// The restart wait of the editor's sequence, from the overlay.
int configuredRebootWait() {
    bool ok = false;
    const int seconds =
        cliFiles::overlayValue(QStringLiteral("GI_Mess_AdjRead_RebootWait_Time")).toInt(&ok);
    return ok && seconds >= 0 ? seconds : DefaultRebootWait;
}

int runAdjust(const QStringList& arguments) {
    QStringList args = arguments;
    cliLink link;
    QString error;
    QString image;
    QString record;
    QString wait;
    const QString usage = QStringLiteral("usage: qxt5200-cli adjust [LINK OPTIONS] [-o FILE.icf] "
                                         "[--csv FILE.csv] [--reboot-wait SECONDS]");
    if (!link.parse(args, &error)) {
        cliError(error);
        return CLI_USAGE;
    }
    if (!cliTakeOption(args, QStringLiteral("-o"), &image) ||
        !cliTakeOption(args, QStringLiteral("--csv"), &record) ||
        !cliTakeOption(args, QStringLiteral("--reboot-wait"), &wait) || !args.isEmpty()) {
        cliError(usage);
        return CLI_USAGE;
    }
    int waitSeconds = configuredRebootWait();
    if (!wait.isEmpty()) {
        bool ok = false;
        waitSeconds = wait.toInt(&ok);
        if (!ok || waitSeconds < 0 || waitSeconds > 3600) {
            cliError(QStringLiteral("--reboot-wait takes seconds from 0 to 3600"));
            return CLI_USAGE;
        }
    }
    // Files that could not be kept are found out before the radio is touched.
    if (!image.isEmpty() && !cliRead::canSave(image)) return CLI_CloneFileError;
    if (!record.isEmpty()) {
        const QFileInfo target(record);
        if (target.isDir() || !target.absoluteDir().exists()) {
            cliError(QStringLiteral("cannot write '%1': no such folder")
                         .arg(QDir::toNativeSeparators(record)));
            return CLI_RecordFileError;
        }
    }

    // The clone read that opens the sequence.
    cmcEeprom memory(QxRadio::ImageSize);
    QByteArray block;
    int status = cliRead::readRadio(link, memory, &block);
    if (status != 0) {
        link.reportStatus(status);
        return status;
    }
    if (!image.isEmpty() && cliRead::save(image, memory) != 0) return CLI_CloneFileError;
    const imcAdjustValues::Radio radio = imcRadioIdentity::FromInfo(block);
    cliError(
        QStringLiteral("radio: model %1, serial number %2")
            .arg(radio.model.isEmpty() ? QStringLiteral("-") : radio.model, radio.shownSerial()));

    // A radio behind a network adapter restarts after the read.
    if (link.isTcp() && waitSeconds > 0) {
        cliError(QStringLiteral("waiting %1 s while the radio restarts").arg(waitSeconds));
        QThread::sleep(static_cast<unsigned long>(waitSeconds));
    }

    imcCloneDrv drv;
    drv.SetCodes(QxRadio::ModelCode, QxRadio::FrameCode2);
    configureAdjust(link, drv);
    drv.SetCommand(imcAdjustValues::EnterSubCommand, imcAdjustValues::EnterArgument, nullptr);
    status = link.run(
        drv, [&](cmcCloneDrv::Callback cb, void* ctx) { return drv.StartCommand(cb, ctx); }, {});
    imcAdjustValues values;
    if (status == 0) {
        configureAdjust(link, drv);
        drv.SetCommandTable(values.table());
        status = link.run(
            drv, [&](cmcCloneDrv::Callback cb, void* ctx) { return drv.StartTable(cb, ctx); }, {});
    }
    values.finishRead(status == 0, radio, QDateTime::currentDateTime());
    if (status != 0) {
        link.reportStatus(status);
        return status;
    }

    for (int i = 0; i < imcAdjustValues::Count; ++i)
        cliOut(QStringLiteral("%1\t%2\t%3\t%4")
                   .arg(i + 1)
                   .arg(imcAdjustValues::argumentText(imcAdjustValues::argument(i)),
                        imcAdjustValues::hexText(values.value(i)))
                   .arg(values.value(i)));
    if (!record.isEmpty() && !values.writeCsv(record, &error)) {
        cliError(
            QStringLiteral("cannot write '%1': %2").arg(QDir::toNativeSeparators(record), error));
        return CLI_RecordFileError;
    }
    return CLI_OK;
}

const cliVerbRegistrar registrar({
    QStringLiteral("adjust"),
    QStringLiteral("adjust [LINK OPTIONS] [-o FILE.icf] [--csv FILE.csv] [--reboot-wait SECONDS]"),
    QString::fromLatin1(
        "Reads the radio's adjustment values (a service function) in the editor's sequence:\n"
        "first the clone read of the whole memory (with the checks of read), then, over a\n"
        "network adapter, a wait while the radio restarts, then the command that puts the\n"
        "radio into its adjustment state and the 17 values, printed one item a line:\n"
        "item, argument, value in hexadecimal and in decimal, separated by tabs\n"
        "(\"11\\t0x0A\\t0x0A8A\\t2698\"). The radio's model name and serial number go to\n"
        "standard error. On the serial port the radio is switched to 38,400 baud for the\n"
        "adjustment commands.\n"
        "  -o FILE.icf            keep the memory read as a clone file, as read -o does\n"
        "  --csv FILE.csv         keep the values as a service record: CSV in UTF-8 with\n"
        "                         CR LF line ends and the header line\n"
        "                         item,argument,hex,decimal,model,serial,date,time\n"
        "                         (written whole or not at all)\n"
        "  --reboot-wait SECONDS  the wait after the read over TCP (0 to 3600; default the\n"
        "                         overlay's GI_Mess_AdjRead_RebootWait_Time, 30)\n\n") +
        QString::fromLatin1(cliLink::OptionsHelp) +
        QStringLiteral(
            "\n\nExit status: 0, or the clone status (2 link, 4 echo, 5 time-out, 6 bad frame,\n"
            "7 frame count, 8 data missing, 9 address out of range, 11 other model,\n"
            "14 other version, 15 image not valid, 17 serial write error, 19 the adapter\n"
            "closed the connection); 33 the clone file could not be written; 35 the record\n"
            "file could not be written; 64 wrong arguments."),
    &runAdjust,
});

} // namespace

// adjust: reads the radio's adjustment values, as the editor's adjustment window shows
// them: an information exchange (which radio, its serial number), the command that puts the
// radio into its adjustment state, then the seventeen values. They are printed as a table
// and, with -o, kept as a CSV service record.

#include "cliLink.h"
#include "cliVerb.h"
#include "imcAdjustValues.h"
#include "imcCloneCheck.h"
#include "imcRadioFacts.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

constexpr int CLI_RecordFileError = 35;

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

int runAdjust(const QStringList& arguments) {
    QStringList args = arguments;
    cliLink link;
    QString error;
    QString output;
    if (!link.parse(args, &error)) {
        cliError(error);
        return CLI_USAGE;
    }
    for (int i = 0; i < args.size(); ++i) {
        if ((args[i] == QLatin1String("-o") || args[i] == QLatin1String("--output")) &&
            i + 1 < args.size()) {
            output = args[i + 1];
            args.remove(i, 2);
            break;
        }
    }
    if (!args.isEmpty()) {
        cliError(QStringLiteral("usage: qxt5200-cli adjust [LINK OPTIONS] [-o FILE.csv]"));
        return CLI_USAGE;
    }
    // A record that could not be kept is found out before the radio is touched.
    if (!output.isEmpty()) {
        const QFileInfo target(output);
        if (target.isDir() || !target.absoluteDir().exists()) {
            cliError(QStringLiteral("cannot write '%1': no such folder")
                         .arg(QDir::toNativeSeparators(output)));
            return CLI_RecordFileError;
        }
    }

    cmcCloneDrv info;
    info.SetCodes(QxRadio::ModelCode, QxRadio::FrameCode2);
    link.configure(info);
    imcAdjustValues::Radio radio;
    int status = link.run(
        info, [&](cmcCloneDrv::Callback cb, void* ctx) { return info.StartInfo(cb, ctx); },
        [&radio](dst_CDrv_Result& r) {
            const QByteArray block(reinterpret_cast<const char*>(r.information.GetData()),
                                   r.information.GetLength());
            radio.model = imcCloneCheck::InfoModelName(block);
            radio.serial = imcCloneCheck::InfoSerialNumber(block);
            return imcCloneCheck::CheckInfo(r);
        });
    if (status != 0) {
        link.reportStatus(status);
        return status;
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

    cliOut(QStringLiteral("model: %1").arg(radio.model));
    cliOut(QStringLiteral("serial number: %1").arg(radio.serial));
    cliOut(QStringLiteral("item\targument\thex\tdecimal"));
    for (int i = 0; i < imcAdjustValues::Count; ++i)
        cliOut(QStringLiteral("%1\t%2\t%3\t%4")
                   .arg(i + 1)
                   .arg(imcAdjustValues::argumentText(imcAdjustValues::argument(i)),
                        imcAdjustValues::hexText(values.value(i)))
                   .arg(values.value(i)));
    if (!output.isEmpty() && !values.writeCsv(output, &error)) {
        cliError(
            QStringLiteral("cannot write '%1': %2").arg(QDir::toNativeSeparators(output), error));
        return CLI_RecordFileError;
    }
    return CLI_OK;
}

const cliVerbRegistrar registrar({
    QStringLiteral("adjust"),
    QStringLiteral("adjust [LINK OPTIONS] [-o FILE.csv]"),
    QString::fromLatin1(
        "Reads the radio's adjustment values (a service function): asks the radio who it\n"
        "is, puts it into its adjustment state and reads the 17 values, printed one item a\n"
        "line: item, argument, value in hexadecimal and in decimal. On the serial port the\n"
        "radio is always switched to 38,400 baud for this.\n"
        "  -o, --output FILE.csv  also keep them as a service record: CSV in UTF-8 with\n"
        "                         the header line item,argument,hex,decimal,model,serial,date\n"
        "                         (written whole or not at all)\n\n") +
        QString::fromLatin1(cliLink::OptionsHelp) +
        QStringLiteral("\n\nExit status: 0, or the clone status (2 link, 5 time-out, 6 bad frame,\n"
                       "11 other model, 14 other version, 17 serial write error); 35 the record\n"
                       "file could not be written; 64 wrong arguments."),
    &runAdjust,
});

} // namespace

// identify: asks the radio for its model codes and information block, as the editor's clone
// information command does, and prints them.

#include "cliLink.h"
#include "cliVerb.h"
#include "imcCloneCheck.h"
#include "imcRadioIdentity.h"
#include "imcRadioFacts.h"

namespace {

int runIdentify(const QStringList& arguments) {
    QStringList args = arguments;
    cliLink link;
    QString error;
    if (!link.parse(args, &error) || !args.isEmpty()) {
        cliError(error.isEmpty() ? QStringLiteral("usage: qxt5200-cli identify [LINK OPTIONS]")
                                 : error);
        return CLI_USAGE;
    }
    cmcCloneDrv drv;
    drv.SetCodes(QxRadio::ModelCode, QxRadio::FrameCode2);
    link.configure(drv);
    const int status = link.run(
        drv, [&](cmcCloneDrv::Callback cb, void* ctx) { return drv.StartInfo(cb, ctx); },
        [](dst_CDrv_Result& r) {
            cliOut(QStringLiteral("code 1: %1")
                       .arg(QString::number(r.code1, 16)
                                .toUpper()
                                .rightJustified(4, QLatin1Char('0'))));
            cliOut(QStringLiteral("code 2: %1")
                       .arg(QString::number(r.code2, 16)
                                .toUpper()
                                .rightJustified(4, QLatin1Char('0'))));
            const QByteArray info(reinterpret_cast<const char*>(r.information.GetData()),
                                  r.information.GetLength());
            cliOut(QStringLiteral("information (%1 bytes): %2")
                       .arg(info.size())
                       .arg(QString::fromLatin1(info.toHex(' ').toUpper())));
            const imcRadioIdentity id = imcRadioIdentity::FromInfo(info);
            cliOut(QStringLiteral("model name: %1").arg(id.model));
            cliOut(QStringLiteral("serial number: %1").arg(id.serial));
            return imcCloneCheck::CheckInfo(r);
        });
    link.reportStatus(status);
    return status;
}

const cliVerbRegistrar registrar({
    QStringLiteral("identify"),
    QStringLiteral("identify [LINK OPTIONS]"),
    QString::fromLatin1(
        "Asks the radio for its model codes and information block and prints them:\n"
        "\"code 1: 7041\", \"code 2: 0001\", \"information (32 bytes): ...\", then the\n"
        "model name and serial number that the block holds.\n"
        "The radio must be a QX-T5200 (code 1 7041, a block whose first byte is its\n"
        "length and whose third byte is 2).\n\n") +
        QString::fromLatin1(cliLink::OptionsHelp) +
        QStringLiteral(
            "\n\nExit status: 0, or the clone status (2 link, 4 echo, 5 time-out, 6 bad frame,\n"
            "11 other model, 14 other version, 17 serial write error, 19 the adapter closed\n"
            "the connection); 64 wrong arguments."),
    &runIdentify,
});

} // namespace

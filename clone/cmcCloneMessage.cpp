#include "cmcCloneMessage.h"

#include "cmcComm.h"
#include "cmcGTex.h"
#include "dst_CDrv_Result.h"

namespace {
const QString HeadKey = QStringLiteral("GI_Mess_CloneErr_Head");
const QString RefusedKey = QStringLiteral("GI_Mess_CloneErr_Refused");
const QString PartWriteKey = QStringLiteral("GI_Mess_CloneErr_PartWrite");
const QString VerifyAtKey = QStringLiteral("GI_Mess_CloneErr_VerifyAt");
const char* const PlainVerifyAt = "First differing addresses: %1.";

// " First differing addresses: 0x1234, 0x1240." for a failed verification, else empty.
QString differencesText(const dst_CDrv_Result& result, const QString& format) {
    if (result.differences.empty()) return QString();
    QStringList at;
    for (int32_t a : result.differences)
        at << QString::asprintf("0x%04X", unsigned(a));
    return QLatin1Char(' ') + QString(format).arg(at.join(QStringLiteral(", ")));
}

const char* const PlainRefused = "Write error: the radio refused the write.";
const char* const PlainPartWrite =
    "The write was cut off: the radio now holds a partly written memory. Write the data "
    "again before using the radio.";
} // namespace

QList<int> cmcCloneMessage::CheckItems(int status) {
    switch (status) {
    case 2:
        return {0, 1, 2, 3};
    case 10:
        return {0, 2, 3};
    case 11:
    case 12:
        return {0, 1, 2, 3, 4, 5};
    case 13:
        return {6, 7};
    case 14:
        return {0, 4, 5};
    case 16:
        return {};
    case 18:
        return {0, 2, 3, 4};
    default:
        return {0, 1, 2, 3};
    }
}

QString cmcCloneMessage::Text(int status, int port) {
    Link link;
    link.comPort = port;
    return Text(status, link);
}

QString cmcCloneMessage::Text(int status, const Link& link) {
    dst_CDrv_Result result;
    result.status = status;
    return Text(result, link);
}

QString cmcCloneMessage::Text(const dst_CDrv_Result& result, const Link& link) {
    const int status = result.status;
    if (status == 0) return QString();
    cmcGTex& t = cmcGTex::mainTable();
    if (!t.hasKey(HeadKey)) return Plain(result);
    // An overlay without the network texts speaks of the cable in every case.
    const bool tcp = link.tcp && t.hasKey(QStringLiteral("GI_Mess_CloneErr_TcpCheck")) &&
                     t.hasKey(QStringLiteral("GI_Mess_CloneErr_TcpHead"));
    // The adapter's address and port fill %1 and %2 where an item names them.
    const auto adapter = [&link](QString text) {
        return text.replace(QLatin1String("%1"), link.tcpAddress)
            .replace(QLatin1String("%2"), QString::number(link.tcpPort));
    };
    QString head;
    if (status == 2)
        head = tcp ? adapter(t.getText(QStringLiteral("GI_Mess_CloneErr_TcpHead")))
                   : cmcComm::FormatPortText(t.getText(HeadKey, 2), link.comPort);
    else if (result.refused)
        head = t.hasKey(RefusedKey) ? t.getText(RefusedKey) : QString::fromLatin1(PlainRefused);
    else
        head = t.getText(HeadKey, status);
    // A status beyond the overlay's list reads the next key's line.
    if (head.startsWith(QLatin1Char('#'))) head = Plain(status);
    head += differencesText(result, t.hasKey(VerifyAtKey) ? t.getText(VerifyAtKey)
                                                          : QString::fromLatin1(PlainVerifyAt));
    if (result.partlyWritten)
        head +=
            QStringLiteral("\n\n") + (t.hasKey(PartWriteKey) ? t.getTextBlock(PartWriteKey)
                                                             : QString::fromLatin1(PlainPartWrite));
    const QString checkKey = tcp ? QStringLiteral("GI_Mess_CloneErr_TcpCheck")
                                 : QStringLiteral("GI_Mess_CloneErr_Check");
    QStringList lines;
    for (int i : CheckItems(status))
        lines << (tcp ? adapter(t.getText(checkKey, i)) : t.getText(checkKey, i));
    return head + QStringLiteral("\n\n") + lines.join(QLatin1Char('\n'));
}

QString cmcCloneMessage::Plain(const dst_CDrv_Result& result) {
    QString text = result.refused ? QString::fromLatin1(PlainRefused) : Plain(result.status);
    text += differencesText(result, QString::fromLatin1(PlainVerifyAt));
    if (result.status != 0 && result.partlyWritten)
        text += QLatin1Char(' ') + QString::fromLatin1(PlainPartWrite);
    return text;
}

QString cmcCloneMessage::Plain(int status) {
    switch (status) {
    case 0:
        return QString();
    case 2:
        return QStringLiteral("The link to the radio could not be opened.");
    case 4:
        return QStringLiteral(
            "Communication error: the echo of the bytes sent did not come back unchanged.");
    case 5:
        return QStringLiteral("Communication error: the radio did not answer in time.");
    case 6:
        return QStringLiteral(
            "Communication error: the radio sent a bad data frame or refused the data.");
    case 7:
        return QStringLiteral("Communication error: the frame count of the end frame is wrong.");
    case 8:
        return QStringLiteral("Communication error: the data read is incomplete.");
    case 9:
        return QStringLiteral(
            "Communication error: the radio sent data for an address out of range.");
    case 10:
        return QStringLiteral("Write error: the radio did not confirm the write.");
    case 11:
        return QStringLiteral("The connected radio is not a QX-T5200.");
    case 14:
        return QStringLiteral("The radio's version is not supported.");
    case 15:
        return QStringLiteral("The data read from the radio is not valid.");
    case 16:
        return QStringLiteral("The data read from the radio was not accepted.");
    case 17:
        return QStringLiteral("Communication error: the serial port failed to write.");
    case 18:
        return QStringLiteral("No radio was found on any port.");
    case 19:
        return QStringLiteral(
            "Communication error: the network adapter closed the connection during the transfer.");
    case 20:
        return QStringLiteral("Verify error: the radio holds other data than was written.");
    default:
        return QStringLiteral("Clone error %1.").arg(status);
    }
}

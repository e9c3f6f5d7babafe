#include "ListImages.h"

#include "cmcCellDispatch.h"
#include "cmcEeprom.h"
#include "cmcGTex.h"
#include "cmcListInfo.h"
#include "datCh.h"
#include "imcRadioFacts.h"

#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <string>

namespace ListImages {

cmcGTex& overlay(const char* file) {
    static std::map<std::string, std::unique_ptr<cmcGTex>> tables;
    auto& t = tables[file];
    if (!t) {
        t = std::make_unique<cmcGTex>();
        t->openFile(QStringLiteral(QX_RUNTIME_DIR "/") + QString::fromLatin1(file));
    }
    return *t;
}

cmcEeprom erasedImage() {
    cmcEeprom image(QxRadio::ImageSize);
    image.Fill(0xFF);
    return image;
}

void set(cmcCellDispatch& d, int32_t category, int32_t label, int32_t row, const QString& text) {
    cmcCellRequest r;
    if (!d.commit(category, label, row, text, &r))
        qWarning("fixture value refused: %s", qPrintable(text));
}

// An image with every list in use, with values away from the defaults.
namespace {

cmcEeprom build() {
    cmcEeprom image = erasedImage();
    cmcCellDispatch d(&image);
    const QStringList modes{"USB", "LSB", "CW", "AM", "FSK"};
    for (int i = 0; i < 40; ++i) {
        const int row = i * 3; // gaps between rows in use
        set(d, CT_ChannelList, CL_ChL_FreqR, row,
            QStringLiteral("%1.%2").arg(2 + i % 27).arg(i * 1234, 6, 10, QLatin1Char('0')));
        if (i % 3 == 1)
            set(d, CT_ChannelList, CL_ChL_FreqT, row, QStringLiteral("%1.5").arg(3 + i % 20));
        set(d, CT_ChannelList, CL_ChL_Mode, row, modes[i % 5]);
        // Names that need quoting: commas, quotes, blanks at the ends.
        const QStringList names{
            QStringLiteral("Harbour %1").arg(i), QStringLiteral("Pier, %1").arg(i),
            QStringLiteral("\"Q\" %1").arg(i), QStringLiteral(" lead %1").arg(i)};
        if (i != 7)
            set(d, CT_ChannelList, CL_ChL_Name, row, names[i % 4]); // row 21 stays without a name
    }
    for (int n = 0; n < 10; n += 2) {
        set(d, CT_NetworkList, CL_NetL_Name, n, QStringLiteral("Net %1").arg(n));
        set(d, CT_NetworkList, CL_NetL_ScanType, n,
            n % 4 ? QStringLiteral("GROUP") : QStringLiteral("CHANNEL"));
        set(d, CT_NetworkList, CL_NetL_CallSys, n, QStringLiteral("ALE"));
        set(d, CT_NetworkList, CL_NetL_DetectTime, n, QStringLiteral("%1.5").arg(n));
        set(d, CT_NetworkList, CL_NetL_Preamble, n, QString::number(n * 2));
        for (int ch = n; ch < 120; ch += 9)
            if (datCh::channelValid(image, ch))
                set(d, CT_NetworkChannels, CL_EnabledChBit_0 - n, ch, QStringLiteral("ON"));
    }
    for (int m = 0; m < 10; m += 3) {
        set(d, CT_MessageList, CL_MsgL_Msg, m, QStringLiteral("Message %1, \"urgent\"").arg(m));
        set(d, CT_AleMessage, CL_Ale_Msg_Msg, m, QStringLiteral("AMD %1").arg(m));
    }
    for (int a = 0; a < 30; a += 4) {
        set(d, CT_AddressList, CL_AddrL_Name, a, QStringLiteral("Station %1").arg(a));
        set(d, CT_AddressList, CL_AddrL_Id, a, QStringLiteral("%1").arg(100000 + a * 7));
        set(d, CT_AddressList, CL_AddrL_CallType, a, QStringLiteral("PHONE"));
        set(d, CT_AddressList, CL_AddrL_Network, a, QString::number(a % 10 / 2 * 2 + 1));
        set(d, CT_AddressList, CL_AddrL_Channel, a, QString::number(a * 3 + 1));
        set(d, CT_AddressList, CL_AddrL_Phone, a, QStringLiteral("0049301234%1").arg(a));
        set(d, CT_AddressList, CL_AddrL_Msg, a, QString::number(a % 9 + 1));
        set(d, CT_AddressList, CL_AddrL_Emergency, a,
            a % 8 ? QStringLiteral("OFF") : QStringLiteral("ON"));
    }
    for (int p = 0; p < 20; p += 5) {
        set(d, CT_PhoneLinkList, CL_PhoneLinkL_Id, p,
            QStringLiteral("55%1").arg(p, 4, 10, QLatin1Char('0')));
        set(d, CT_PhoneLinkList, CL_PhoneLinkL_Name, p, QStringLiteral("Link %1").arg(p));
        set(d, CT_PhoneLinkList, CL_PhoneLinkL_Network, p, QStringLiteral("3"));
        set(d, CT_PhoneLinkList, CL_PhoneLinkL_Channel, p, QString::number(p * 3 + 1));
        set(d, CT_ProfileList, CL_ProfileL_Id, p,
            QStringLiteral("77%1").arg(p, 4, 10, QLatin1Char('0')));
        set(d, CT_ProfileList, CL_ProfileL_Name, p, QStringLiteral("Profile %1").arg(p));
        set(d, CT_ProfileList, CL_ProfileL_Network, p, QStringLiteral("5"));
    }
    for (int k = 0; k < 20; k += 3) {
        set(d, CT_AleNetId, CL_Ale_NetId_Id, k, QStringLiteral("NET%1@").arg(k));
        set(d, CT_AleSelfIndId, CL_Ale_SelfId_Id, k, QStringLiteral("SELF%1").arg(k));
        set(d, CT_AleSelfIndId, CL_Ale_SelfId_Slot, k, QString::number(k + 1));
        set(d, CT_AleSelfIndId, CL_Ale_SelfId_NetId, k, QString::number(k + 1));
        set(d, CT_AleCallIndId, CL_Ale_CallId_Id, k, QStringLiteral("CALL?%1").arg(k));
        set(d, CT_AleCallIndId, CL_Ale_CallId_ChGroupNo, k,
            k % 2 ? QString() : QString::number(k + 2));
    }
    // Every group bitmap starts from no member (in an erased image every valid channel
    // would be a member of every group).
    for (int b = 0; b < QxList::AleGroupCount * QxList::AleGroupSize; ++b)
        image.SetByte(QxList::AleGroupBase + b, 0);
    for (int g = 0; g < 100; g += 33) {
        d.setCurrentGroup(g);
        for (int ch = g % 3; ch < 120; ch += 6)
            if (datCh::channelValid(image, ch))
                set(d, CT_AleChannels, CL_Ale_ChGrpL_ChBit_Selected, ch, QStringLiteral("ON"));
    }
    return image;
}

} // namespace

const cmcEeprom& populated() {
    static const cmcEeprom image = build();
    return image;
}

} // namespace ListImages

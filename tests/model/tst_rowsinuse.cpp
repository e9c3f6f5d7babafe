// Rows of the lists that come into use: every cell of the row shows a value its sheet can
// show and that the cell itself would store, whichever list and however the row came into
// use; and a network names only valid channels, so a channel that becomes valid joins no
// network by itself. Run on the factory data with the program's own texts and sheet rows.

#include "ScriptedPrompt.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcCellRequest.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcGTex.h"
#include "cmcListInfo.h"
#include "cuiCell.h"
#include "cuiDispatchSource.h"
#include "cuiEditUser.h"
#include "datCh.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

cmcGTex& programTexts() {
    static cmcGTex table;
    static bool opened = false;
    if (!opened) opened = table.openFile(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_ENG.OVL"));
    return table;
}

// The labels of one row of a list sheet, as the program's sheet definition lays it out.
QList<int32_t> rowLabels(const QString& sheet) {
    const QStringList lines =
        programTexts().getTextBlock(sheet + QStringLiteral("_Cells")).split(u'\n');
    QList<int32_t> labels;
    for (int i = 0; i + 1 < lines.size(); ++i) {
        if (!lines[i].startsWith(QLatin1String(":(LoopFrom"))) continue;
        static const QRegularExpression ref(QStringLiteral("\\(%(?:CT_\\w+\\.)?(\\w+)\\["));
        for (const QRegularExpressionMatch& m : ref.globalMatch(lines[i + 1]))
            labels << cmcCellNames::labelOf(m.captured(1));
        break;
    }
    return labels;
}

QString cellName(int32_t label, int32_t row) {
    return QStringLiteral("%1[%2]").arg(cmcCellNames::labelName(label)).arg(row);
}

// The member bits of network n, as stored in the image.
QList<int32_t> members(const cmcEeprom& image, int32_t n) {
    const cmcListLayout* net = cmcListInfo::layout(QxList::Network);
    const int32_t bits = net->base + n * net->size + QxList::NetworkChBitsOffset;
    QList<int32_t> out;
    for (int32_t ch = 0; ch < QxList::ChBitsSize * 8; ++ch)
        if (image.GetByte(bits + ch / 8) >> (ch % 8) & 1) out << ch;
    return out;
}

// The network-channels sheet's check box of channel row under network n.
int memberBox(cmcCellDispatch& d, int32_t n, int32_t row) {
    cuiDispatchSource source(&d);
    cuiCell cell;
    cell.category = CT_NetworkChannels;
    cell.label = CL_EnabledChBit_0 - n;
    cell.index = row;
    return source.view(cell, false, false).checkBox;
}

cmcCellRequest rowCommand(cmcCellDispatch& d, int32_t category, int32_t label, int32_t row,
                          int32_t command) {
    cmcCellRequest r(category, label, row);
    r.menuCommand = command;
    d.dispatch(r);
    return r;
}

} // namespace

class tst_RowsInUse : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void newRowIsSound_data();
    void newRowIsSound();
    void rowStartsFromFactoryRecord();
    void channelJoinsOnlyChosenNetworks_data();
    void channelJoinsOnlyChosenNetworks();
    void pastedNetworkKeepsValidMembers();

  private:
    // Every cell of the row shows what its sheet can show (never "error") and what the
    // cell would store again: committing its own text changes no byte of the image.
    void verifySound(int32_t category, const QString& sheet, int32_t row);
    void putChannel(int32_t row, const char* freq, const char* name);

    cmcEeprom m_factory;
    cmcEeprom m_image;
    cuiEditUser m_user; // questions through the (scripted) prompt service
    cmcCellDispatch m_dispatch;
};

void tst_RowsInUse::initTestCase() {
    QVERIFY(programTexts().hasKey(QStringLiteral("GI_Sheet_NetL_Cells")));
    cmcFCache::instance().setTable(&programTexts());
    m_factory.SetSize(QxRadio::ImageSize);
    QCOMPARE(
        indCloneFile::readInitial(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_Initial.icf"), m_factory),
        0);
}

void tst_RowsInUse::init() {
    m_image = m_factory;
    m_dispatch.setImage(&m_image);
    m_dispatch.setEditUser(&m_user);
    m_dispatch.setDefaultImage(&m_factory);
    m_dispatch.setCurrentNetwork(0);
}

void tst_RowsInUse::putChannel(int32_t row, const char* freq, const char* name) {
    QVERIFY(m_dispatch.commit(CT_ChannelList, CL_ChL_FreqR, row, QString::fromLatin1(freq)));
    QVERIFY(m_dispatch.commit(CT_ChannelList, CL_ChL_Name, row, QString::fromLatin1(name)));
}

void tst_RowsInUse::verifySound(int32_t category, const QString& sheet, int32_t row) {
    const QList<int32_t> labels = rowLabels(sheet);
    QVERIFY2(labels.size() >= 2, qPrintable(sheet));
    cuiDispatchSource source(&m_dispatch);
    for (const int32_t label : labels) {
        cuiCell cell;
        cell.category = category;
        cell.label = label;
        cell.index = row;
        const cuiCellView view = source.view(cell, false, false);
        QVERIFY2(view.text.compare(QLatin1String("error"), Qt::CaseInsensitive) != 0,
                 qPrintable(cellName(label, row)));

        if (label == CL_Misc_ChNo_1Base) continue;
        const cmcEeprom before = m_image;
        const QString shown = m_dispatch.text(category, label, row);
        m_dispatch.commit(category, label, row, shown);
        QVERIFY2(before == m_image,
                 qPrintable(QStringLiteral("%1 shows '%2' but stores another value")
                                .arg(cellName(label, row), shown)));
    }
}

void tst_RowsInUse::newRowIsSound_data() {
    QTest::addColumn<int>("category");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("clearedFirst");

    struct List {
        const char* name;
        int category;
        const char* sheet;
        int key;
        const char* text;
    };
    const List lists[] = {
        {"channels", CT_ChannelList, "GI_Sheet_Mch_", CL_ChL_FreqR, "7.1"},
        {"addresses", CT_AddressList, "GI_Sheet_AddrL", CL_AddrL_Name, "BASE"},
        {"networks", CT_NetworkList, "GI_Sheet_NetL", CL_NetL_Name, "NET1"},
        {"messages", CT_MessageList, "GI_Sheet_MsgL", CL_MsgL_Msg, "QRV"},
        {"phone links", CT_PhoneLinkList, "GI_Sheet_PhoneLinkL", CL_PhoneLinkL_Id, "123456"},
        {"profiles", CT_ProfileList, "GI_Sheet_ProfileL", CL_ProfileL_Id, "654321"},
        {"ALE network addresses", CT_AleNetId, "GI_Sheet_AleNetId", CL_Ale_NetId_Id, "NETA"},
        {"ALE self addresses", CT_AleSelfIndId, "GI_Sheet_AleSelfId", CL_Ale_SelfId_Id, "SELF1"},
        {"ALE self address by its slot", CT_AleSelfIndId, "GI_Sheet_AleSelfId", CL_Ale_SelfId_Slot,
         "3"},
        {"ALE individual addresses", CT_AleCallIndId, "GI_Sheet_AleCallId", CL_Ale_CallId_Id,
         "CALL1"},
        {"ALE messages", CT_AleMessage, "GI_Sheet_AleMsg", CL_Ale_Msg_Msg, "AMD"},
    };
    for (const List& l : lists) {
        for (const bool cleared : {false, true})
            QTest::addRow("%s%s", l.name, cleared ? ", cleared row named again" : "")
                << l.category << QString::fromLatin1(l.sheet) << l.key
                << QString::fromLatin1(l.text) << cleared;
    }
}

void tst_RowsInUse::newRowIsSound() {
    QFETCH(int, category);
    QFETCH(QString, sheet);
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(bool, clearedFirst);
    const int32_t row = 2;
    const int32_t list = cmcCellNames::listOf(category);
    // A valid channel in the image: a network that comes into use must not take it in.
    putChannel(7, "14.2", "SEVEN");
    if (clearedFirst) {
        QVERIFY(m_dispatch.commit(category, key, row, text));
        ScriptedPrompt prompt;
        prompt.defaultAnswer = PA_Ok;
        QVERIFY(rowCommand(m_dispatch, category, key, row, CL_PMenu_Clear).changed);
        datCh cleared;
        QVERIFY(cleared.load(m_image, list, row));
        QVERIFY(!cleared.inUse);
    }

    QVERIFY(m_dispatch.commit(category, key, row, text));
    datCh rec;
    QVERIFY(rec.load(m_image, list, row));
    QVERIFY(rec.inUse);
    verifySound(category, sheet, row);
    if (list == QxList::Network) QCOMPARE(members(m_image, row), QList<int32_t>());
}

// Where the factory data has contents for a record, a row that comes into use starts from
// them; the written field is the user's.
void tst_RowsInUse::rowStartsFromFactoryRecord() {
    cmcEeprom factory = m_factory;
    cmcCellDispatch onFactory(&factory);
    QVERIFY(onFactory.commit(CT_NetworkList, CL_NetL_Name, 4, QStringLiteral("FACTORY")));
    QVERIFY(onFactory.step(CT_NetworkList, CL_NetL_CallSys, 4, 1));
    QVERIFY(onFactory.commit(CT_NetworkList, CL_NetL_DetectTime, 4, QStringLiteral("3")));
    QVERIFY(onFactory.commit(CT_NetworkList, CL_NetL_Name, 4, QStringLiteral(" ")));
    m_dispatch.setDefaultImage(&factory);

    QVERIFY(m_dispatch.commit(CT_NetworkList, CL_NetL_Name, 4, QStringLiteral("NET5")));
    QCOMPARE(m_dispatch.text(CT_NetworkList, CL_NetL_Name, 4), QStringLiteral("NET5"));
    QCOMPARE(m_dispatch.text(CT_NetworkList, CL_NetL_CallSys, 4), QStringLiteral("ALE"));
    int64_t detect = 0;
    QVERIFY(m_dispatch.value(CT_NetworkList, CL_NetL_DetectTime, 4, &detect));
    QCOMPARE(detect, int64_t(30));
    // Rows the factory data has nothing for still settle to the first values.
    QVERIFY(m_dispatch.commit(CT_NetworkList, CL_NetL_Name, 5, QStringLiteral("NET6")));
    QCOMPARE(m_dispatch.text(CT_NetworkList, CL_NetL_DetectTime, 5).trimmed(),
             QStringLiteral("0.1"));
}

void tst_RowsInUse::channelJoinsOnlyChosenNetworks_data() {
    QTest::addColumn<bool>("pasted");
    QTest::newRow("typed") << false;
    QTest::newRow("pasted") << true;
}

// Networks 0 and 1 are named, channel 4 is made a member of network 1; then channel 9
// becomes valid. It joins no network, named or not, and channel 4 stays in network 1 only,
// also when another network is named afterwards.
void tst_RowsInUse::channelJoinsOnlyChosenNetworks() {
    QFETCH(bool, pasted);
    putChannel(4, "7.05", "FOUR");
    QVERIFY(m_dispatch.commit(CT_NetworkList, CL_NetL_Name, 0, QStringLiteral("NET1")));
    QVERIFY(m_dispatch.commit(CT_NetworkList, CL_NetL_Name, 1, QStringLiteral("NET2")));
    QVERIFY(m_dispatch.step(CT_NetworkChannels, CL_EnabledChBit_1, 4, 1));

    if (pasted) {
        ScriptedPrompt prompt;
        rowCommand(m_dispatch, CT_ChannelList, CL_ChL_Name, 4, CL_PMenu_Copy);
        QVERIFY(rowCommand(m_dispatch, CT_ChannelList, CL_ChL_Name, 9, CL_PMenu_Paste).changed);
    } else {
        putChannel(9, "10.1", "NINE");
    }
    QVERIFY(datCh::channelValid(m_image, 9));
    QVERIFY(m_dispatch.commit(CT_NetworkList, CL_NetL_Name, 6, QStringLiteral("NET7")));

    for (int32_t n = 0; n < QxList::NetworkCount; ++n) {
        QCOMPARE(memberBox(m_dispatch, n, 9), 0);
        QCOMPARE(memberBox(m_dispatch, n, 4), n == 1 ? 1 : 0);
    }
    for (const int32_t n : {0, 1, 6})
        QCOMPARE(members(m_image, n), n == 1 ? QList<int32_t>{4} : QList<int32_t>());
}

// A network row copied with its members and pasted into a blank row keeps the members that
// are valid channels; Select All on the network channels adds only valid channels.
void tst_RowsInUse::pastedNetworkKeepsValidMembers() {
    putChannel(3, "5.0", "THREE");
    putChannel(8, "6.0", "EIGHT");
    QVERIFY(m_dispatch.commit(CT_NetworkList, CL_NetL_Name, 0, QStringLiteral("NET1")));
    m_dispatch.setCurrentNetwork(0);
    cmcCellRequest all(CT_NetworkChannels, CL_NetL_ChBit_Selected, 0);
    all.menuCommand = CL_PMenu_AllSelect;
    all.rangeFirst = 0;
    all.rangeLast = 499;
    QVERIFY(m_dispatch.dispatch(all));
    QCOMPARE(members(m_image, 0), (QList<int32_t>{3, 8}));

    ScriptedPrompt prompt;
    rowCommand(m_dispatch, CT_NetworkList, CL_NetL_Name, 0, CL_PMenu_Copy);
    QVERIFY(rowCommand(m_dispatch, CT_NetworkList, CL_NetL_Name, 5, CL_PMenu_Paste).changed);
    QCOMPARE(members(m_image, 5), (QList<int32_t>{3, 8}));
    // Channel 8 stops being valid: it leaves both.
    QVERIFY(m_dispatch.commit(CT_ChannelList, CL_ChL_Name, 8, QStringLiteral(" ")));
    QCOMPARE(members(m_image, 0), QList<int32_t>{3});
    QCOMPARE(members(m_image, 5), QList<int32_t>{3});
    QCOMPARE(memberBox(m_dispatch, 2, 3), 0);
}

QTEST_MAIN(tst_RowsInUse)
#include "tst_rowsinuse.moc"

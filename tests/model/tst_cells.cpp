// Cell model: name tables, cell references and captions, list records, and the dispatcher
// on a real image.

#include "CellsTestKit.h"
#include "ScriptedPrompt.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcCellObj.h"
#include "cmcCellTexts.h"
#include "cmcColorNames.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcGTex.h"
#include "cmcHash.h"
#include "cmcHash2.h"
#include "cuiEditUser.h"
#include "datCh.h"
#include "imcSettingCells.h"

#include <QFile>
#include <QtTest>
#include <cstring>

using CellsTestKit::hex;

#define FETCHED(Type, name) (*static_cast<Type*>(QTest::qData(#name, ::qMetaTypeId<Type>())))

namespace {

QString fatalText(const std::function<void()>& fn) {
    FatalGuard guard;
    try {
        fn();
    } catch (const cmcFatalError& e) {
        return e.message;
    }
    return QString();
}

void setU32(cmcEeprom& image, int32_t a, uint32_t v) {
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    image.SetBlock(a, b, 4);
}

// A channel row in use and valid.
void putChannel(cmcCellDispatch& d, int row, const char* freq, const char* name) {
    d.commit(CT_ChannelList, CL_ChL_FreqR, row, QString::fromLatin1(freq));
    d.commit(CT_ChannelList, CL_ChL_Name, row, QString::fromLatin1(name));
}

constexpr int32_t kNetBase = 0x6B87;
constexpr int32_t kNetSize = 87;

} // namespace

class tst_cells : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { CellsTestKit::useCellsOverlay(); }
    void init() {
        image.SetSize(0xFFF0);
        image.Fill(0xFF);
        dispatch.setImage(&image);
        dispatch.setEditUser(&user);
        dispatch.setHandler(nullptr, nullptr);
        dispatch.setCurrentNetwork(0);
        dispatch.setCurrentGroup(0);
    }

    void hashTable();
    void names_data();
    void names();
    void nameFaults_data();
    void nameFaults();
    void colours();

    void reference_data();
    void reference();
    void referenceFaults_data();
    void referenceFaults();
    void caption_data();
    void caption();
    void templateReset();

    void recordPlaces();
    void frequencyClamp_data();
    void frequencyClamp();
    void validityRules_data();
    void validityRules();
    void invalidChannelLeavesMemberships();
    void usedChannels();
    void rowRanges();

    void channelList();
    void rowNotInUse();
    void addressList();
    void otherLists();
    void settings_data();
    void settings();
    void vfoBands();
    void networkChannels();
    void aleChannelGroup();
    void cellsWithoutCase();
    void menuCells();
    void builtInTextsMatchOverlay();

  private:
    cmcEeprom image;
    cuiEditUser user; // questions and errors through the (scripted) prompt service
    cmcCellDispatch dispatch;
};

// ---- identifiers --------------------------------------------------------------------------

void tst_cells::hashTable() {
    // h = 2h + k + c; k halves when the next character is odd.
    QCOMPARE(cmcHash::bucketOf("ab", 2, 8), 304u % 8);
    QCOMPARE(cmcHash::bucketOf("ac", 2, 8), 303u % 8);
    // k returns to n / 2 when halving reaches 0: n = 4 gives k = 2, 1, then 2 again.
    QCOMPARE(cmcHash::bucketOf("aaa", 3, 4), 691u % 4);

    cmcHash h(7);
    h.insert(QByteArray("one"), 1);
    h.insert(QByteArray("One"), 2);
    int32_t v = 0;
    QVERIFY(h.find(QByteArray("One"), &v));
    QCOMPARE(v, 2);
    QVERIFY(!h.find(QByteArray("ONE")));
    QCOMPARE(fatalText([&] { h.insert(QByteArray("one"), 3); }),
             QStringLiteral("Overlapped Hash table."));
    cmcHash2 h2;
    h2.insert(QByteArray("x"), 1);
    QCOMPARE(fatalText([&] { h2.insert(QByteArray("x"), 1); }),
             QStringLiteral("Overlapped Hash2 table."));
}

void tst_cells::names_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("category");
    QTest::addColumn<int>("number");

    QTest::newRow("first category") << "CT_Null" << true << 0;
    QTest::newRow("empty category") << "" << true << 49;
    QTest::newRow("channel list") << "CT_ChannelList" << true << 35;
    QTest::newRow("last category") << "CT_AleChannels" << true << 48;
    QTest::newRow("first label") << "CL_Null" << false << 0;
    QTest::newRow("free label") << "FlexRefChW" << false << int(FlexRefChW);
    QTest::newRow("empty label") << "" << false << int(CL_None);
    QTest::newRow("receive frequency") << "CL_ChL_FreqR" << false << int(CL_ChL_FreqR);
    QTest::newRow("last label") << "CL_Dummy" << false << int(CL_None) - 1;
}

void tst_cells::names() {
    QFETCH(QString, name);
    QFETCH(int, number);
    if (FETCHED(bool, category)) {
        QCOMPARE(cmcCellNames::categoryOf(name), number);
        QCOMPARE(cmcCellNames::categoryName(number), number == 49 ? QString() : name);
    } else {
        QCOMPARE(cmcCellNames::labelOf(name), number);
        QCOMPARE(cmcCellNames::labelName(number), number == CL_None ? QString() : name);
    }
}

void tst_cells::nameFaults_data() {
    QTest::addColumn<int>("what");
    QTest::addColumn<QString>("arg");
    QTest::addColumn<QString>("message");

    QTest::newRow("unknown category") << 0 << "CT_Bogus"
                                      << "Cannot use the specified category.\n'CT_Bogus'";
    QTest::newRow("case matters") << 0 << "ct_null"
                                  << "Cannot use the specified category.\n'ct_null'";
    QTest::newRow("label is no category") << 0 << "CL_ChL_Name"
                                          << "Cannot use the specified category.\n'CL_ChL_Name'";
    QTest::newRow("unknown label") << 1 << "CL_Bogus"
                                   << "Cannot use the specified cell.\n'CL_Bogus'";
    QTest::newRow("category is no label") << 1 << "CT_Null"
                                          << "Cannot use the specified cell.\n'CT_Null'";
    QTest::newRow("list of category 50") << 2 << "50"
                                         << "Unknown Cell Category. (50)";
    QTest::newRow("list of category -1") << 2 << "-1"
                                         << "Unknown Cell Category. (-1)";
}

void tst_cells::nameFaults() {
    QFETCH(int, what);
    QFETCH(QString, arg);
    const QString text = fatalText([&] {
        if (what == 0)
            cmcCellNames::categoryOf(arg);
        else if (what == 1)
            cmcCellNames::labelOf(arg);
        else
            cmcCellNames::listOf(arg.toInt());
    });
    QCOMPARE(text, FETCHED(QString, message));
    QCOMPARE(cmcCellNames::listOf(CT_None), 0);
    QCOMPARE(cmcCellNames::listOf(CT_AleCallIndId), 37);
    QCOMPARE(cmcCellNames::listOf(CT_UserTone), 8);
}

void tst_cells::colours() {
    uint32_t c = 0;
    QVERIFY(cmcColorNames::find(QStringLiteral("clRed"), &c));
    QCOMPARE(c, 0x0000FFu);
    QVERIFY(cmcColorNames::find(QStringLiteral("clWindow"), &c));
    QCOMPARE(c, 0xFF000005u);
    QVERIFY(cmcColorNames::find(QStringLiteral("clBtnHighlight"), &c));
    QCOMPARE(c, 0xFF000014u);
    c = 7;
    QVERIFY(!cmcColorNames::find(QStringLiteral("clred"), &c));
    QCOMPARE(c, 7u);
}

// ---- references and captions --------------------------------------------------------------

void tst_cells::reference_data() {
    QTest::addColumn<QString>("ref");
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("label");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");

    // The cell starts as CT_AddressList; channel numbers are 12, 13, ... 21.
    QTest::newRow("channel reference") << "CT_ChannelList.CL_ChL_FreqR[@ch0]" << int(CT_ChannelList)
                                       << int(CL_ChL_FreqR) << 12 << "";
    QTest::newRow("channel reference 9") << "CT_ChannelList.CL_ChL_Name[@ch9]"
                                         << int(CT_ChannelList) << int(CL_ChL_Name) << 21 << "";
    QTest::newRow("no category keeps it, escaped colon")
        << "CL_AddrL_Name[3]:x\\:y" << int(CT_AddressList) << int(CL_AddrL_Name) << 3 << "x:y";
    QTest::newRow("empty category") << ".CL_Null" << 49 << int(CL_Null) << 0 << "";
    QTest::newRow("text without index") << "CT_PopupMenu.CL_PMenu_Edit:Enter" << int(CT_PopupMenu)
                                        << int(CL_PMenu_Edit) << 0 << "Enter";
    QTest::newRow("dot in the text")
        << "CL_ChL_FreqR[2]:7.1" << int(CT_AddressList) << int(CL_ChL_FreqR) << 2 << "7.1";
    QTest::newRow("decimal index") << "CT_AleNetId.CL_Ale_NetId_Id[99]" << int(CT_AleNetId)
                                   << int(CL_Ale_NetId_Id) << 99 << "";
}

void tst_cells::reference() {
    const int32_t ch[10] = {12, 13, 14, 15, 16, 17, 18, 19, 20, 21};
    cmcCellObj cell;
    cell.category = CT_AddressList;
    cell.parseReference(FETCHED(QString, ref), ch);
    QCOMPARE(cell.category, FETCHED(int, category));
    QCOMPARE(cell.label, FETCHED(int, label));
    QCOMPARE(cell.index, FETCHED(int, index));
    QCOMPARE(cell.text, FETCHED(QString, text));
}

void tst_cells::referenceFaults_data() {
    QTest::addColumn<QString>("ref");
    QTest::addColumn<bool>("withNumbers");
    QTest::addColumn<QString>("message");

    QTest::newRow("no channel numbers") << "CL_ChL_Name[@ch0]" << false << "Ch No. Error";
    QTest::newRow("two digits") << "CL_ChL_Name[@ch12]" << true << "Ch No. Error";
    QTest::newRow("no digit") << "CL_ChL_Name[@ch]" << true << "Ch No. Error";
    QTest::newRow("not ch") << "CL_ChL_Name[@cx1]" << true << "Ch No. Error";
    QTest::newRow("unknown label")
        << "CT_ChannelList.CL_ChL_Nme[1]" << true << "Cannot use the specified cell.\n'CL_ChL_Nme'";
}

void tst_cells::referenceFaults() {
    const int32_t ch[10] = {};
    QFETCH(QString, ref);
    QFETCH(bool, withNumbers);
    cmcCellObj cell;
    QCOMPARE(fatalText([&] { cell.parseReference(ref, withNumbers ? ch : nullptr); }),
             FETCHED(QString, message));
}

void tst_cells::caption_data() {
    QTest::addColumn<QString>("in");
    QTest::addColumn<int>("ch0");
    QTest::addColumn<QString>("out");

    QTest::newRow("computed channel number") << "CH\\(@ch0+1)" << 4 << "CH5";
    QTest::newRow("no offset, text after") << "\\(@ch0) kHz" << 7 << "7 kHz";
    QTest::newRow("cut to 6 characters") << "\\(@ch0+1)" << 12345678 << "123456";
    QTest::newRow("to the end without )") << "No.\\(@ch0+10" << 1 << "No.11";
    QTest::newRow("line breaks and blanks") << "A\\nB\\NC\\_D" << 0 << "A\nB\nC D";
    QTest::newRow("other escapes") << "\\\\\\x" << 0 << "\\x";
}

void tst_cells::caption() {
    int32_t ch[10] = {};
    ch[0] = FETCHED(int, ch0);
    QCOMPARE(cmcCellObj::processCaption(FETCHED(QString, in), ch), FETCHED(QString, out));
    QCOMPARE(fatalText([] { cmcCellObj::processCaption(QStringLiteral("\\(@ch0)"), nullptr); }),
             QStringLiteral("Ch No. Error"));
    QCOMPARE(fatalText([&] { cmcCellObj::processCaption(QStringLiteral("\\(@ch0-1)"), ch); }),
             QStringLiteral("Ch No. Error"));
}

void tst_cells::templateReset() {
    struct Font : cmcCellFont {
        std::unique_ptr<cmcCellFont> clone() const override { return std::make_unique<Font>(); }
    };
    cmcCellObj basic;
    basic.parseReference(QStringLiteral("CT_ChannelList.CL_ChL_Name[4]:t"));
    basic.setting = 3;
    basic.flags = cmcCellObj::F_Selectable;
    basic.colour = cmcColorNames::rgb(1, 2, 3);
    basic.caption = QStringLiteral("cap");
    basic.secondText = QStringLiteral("second");
    basic.font = std::make_unique<Font>();

    cmcCellObj cell(&basic);
    QCOMPARE(cell.category, int32_t(CT_ChannelList));
    QCOMPARE(cell.label, int32_t(CL_ChL_Name));
    QCOMPARE(cell.index, 4);
    QCOMPARE(cell.text, QStringLiteral("t"));
    QCOMPARE(cell.setting, 3);
    QCOMPARE(cell.flags, uint32_t(cmcCellObj::F_Selectable));
    QCOMPARE(cell.caption, QStringLiteral("cap"));
    QVERIFY(cell.secondText.isEmpty()); // not inherited
    QVERIFY(!cell.font);                // not inherited

    cmcCellObj plain;
    plain.reset();
    QCOMPARE(plain.category, int32_t(CT_None));
    QCOMPARE(plain.label, int32_t(CL_None));
    QCOMPARE(plain.setting, -1);
    QCOMPARE(plain.colour, cmcColorNames::clWindow);
}

// ---- records ------------------------------------------------------------------------------

void tst_cells::recordPlaces() {
    image.Fill(0);
    const char name[] = "LAST ROW NAME";
    image.SetBlock(0x3DB6 + 9, reinterpret_cast<const uint8_t*>(name), 13);
    setU32(image, 0x3DB6, 7100000);
    datCh rec;
    QVERIFY(rec.load(image, 27, 499));
    QCOMPARE(rec.freqR, 7100000u);
    QVERIFY(rec.inUse);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(rec.bytes + 9), 13), QByteArray(name));

    rec.bytes[28] = 'Z'; // the record's last byte: 0x3DD2
    rec.store(image);
    QCOMPARE(image.GetByte(0x3DD2), uint8_t('Z'));
    QCOMPARE(image.GetByte(0x3DD3), uint8_t(0)); // the address list begins here, untouched

    QVERIFY(rec.load(image, 27, 0));
    setU32(image, 0x052F, 1234560);
    QVERIFY(rec.load(image, 27, 0));
    QCOMPARE(rec.freqR, 1234560u);
    QVERIFY(!rec.load(image, 27, 500)); // 500 is no channel
    QVERIFY(!rec.load(image, 30, 0));   // a list without records
    QVERIFY(!rec.load(image, 28, 300));
    QVERIFY(rec.load(image, 38, 9));
}

void tst_cells::frequencyClamp_data() {
    QTest::addColumn<uint>("raw");
    QTest::addColumn<uint>("read");

    QTest::newRow("all 0xFF reads 0") << 0xFFFFFFFFu << 0u;
    QTest::newRow("negative reads 0") << 0x80000000u << 0u;
    QTest::newRow("above the top") << 30000000u << 29999990u;
    QTest::newRow("top") << 29999990u << 29999990u;
    QTest::newRow("plain") << 7100000u << 7100000u;
}

void tst_cells::frequencyClamp() {
    setU32(image, 0x052F + 29 * 3, FETCHED(uint, raw));
    datCh rec;
    rec.load(image, 27, 3);
    QCOMPARE(rec.freqR, FETCHED(uint, read));
    QCOMPARE(rec.inUse, rec.freqR != 0);
    QCOMPARE(datCh::channelInUse(image, 3), rec.freqR != 0);
}

void tst_cells::validityRules_data() {
    QTest::addColumn<int>("list");
    QTest::addColumn<QString>("fill"); // offset:hexbytes pairs written into a blank record
    QTest::addColumn<bool>("inUse");
    QTest::addColumn<bool>("valid");

    QTest::newRow("channel: all present") << 27 << "0:80B34A00,4:80B34A00,9:41" << true << true;
    QTest::newRow("channel: no name") << 27 << "0:80B34A00,4:80B34A00" << true << false;
    QTest::newRow("channel: no transmit") << 27 << "0:80B34A00,4:00000000,9:41" << true << false;
    QTest::newRow("address: name") << 28 << "0:41" << true << true;
    QTest::newRow("address: only an id") << 28 << "20:12" << false << false;
    QTest::newRow("network: name") << 29 << "0:41" << true << true;
    QTest::newRow("message: text") << 32 << "63:41" << true << true;
    QTest::newRow("phone link: id without name") << 33 << "20:12" << true << false;
    QTest::newRow("phone link: both") << 33 << "0:41,20:12" << true << true;
    QTest::newRow("profile: name only") << 34 << "0:41" << false << false;
    QTest::newRow("ALE net id: first 5") << 35 << "4:41" << true << true;
    QTest::newRow("ALE net id: after 5") << 35 << "5:41" << true << false;
    QTest::newRow("ALE self id: group") << 36 << "15:03" << true << true;
    QTest::newRow("ALE call id: id") << 37 << "0:41" << true << true;
    QTest::newRow("ALE call id: nothing") << 37 << "16:00" << false << false;
    QTest::newRow("ALE message") << 38 << "89:41" << true << true;
}

void tst_cells::validityRules() {
    QFETCH(int, list);
    const cmcListLayout* layout = cmcListInfo::layout(list);
    QVERIFY(layout);
    const int row = layout->rows - 1;
    datCh rec;
    QVERIFY(rec.load(image, list, row));
    for (const QString& part : FETCHED(QString, fill).split(u',')) {
        const int offset = part.section(u':', 0, 0).toInt();
        const QByteArray bytes = QByteArray::fromHex(part.section(u':', 1).toLatin1());
        std::memcpy(rec.bytes + offset, bytes.constData(), size_t(bytes.size()));
    }
    if (list == 27) {
        // Frequencies are decoded fields of the channel record.
        rec.freqR =
            uint32_t(rec.bytes[0] | rec.bytes[1] << 8 | rec.bytes[2] << 16 | rec.bytes[3] << 24);
        rec.freqT =
            uint32_t(rec.bytes[4] | rec.bytes[5] << 8 | rec.bytes[6] << 16 | rec.bytes[7] << 24);
    }
    rec.store(image);
    QCOMPARE(rec.inUse, FETCHED(bool, inUse));
    QCOMPARE(rec.valid, FETCHED(bool, valid));
    QCOMPARE(datCh::invalidBit(image, *layout, row), !FETCHED(bool, valid));
    // Only the row's own bit: the bitmap byte's other bits stay as they were (all set).
    QCOMPARE(image.GetByte(layout->bitmap + row / 8) | (1 << (row % 8)), 0xFF);

    datCh again;
    again.load(image, list, row);
    QCOMPARE(again.inUse, FETCHED(bool, inUse));
}

void tst_cells::invalidChannelLeavesMemberships() {
    image.Fill(0xFF);
    // Channel bits that were written (an erased bitmap names no channel at all).
    for (int n = 0; n < 10; ++n)
        image.SetByte(kNetBase + n * kNetSize + 22 + 62, 0);
    // Row 10 is a valid channel, then its name is cleared.
    putChannel(dispatch, 10, "7.1", "TEN");
    datCh ten;
    ten.load(image, 27, 10);
    QVERIFY(ten.valid);
    QVERIFY(!datCh::invalidBit(image, *cmcListInfo::layout(27), 10));

    dispatch.commit(CT_ChannelList, CL_ChL_Name, 10, QStringLiteral(" "));
    for (int n = 0; n < 10; ++n)
        QCOMPARE(hex(image, kNetBase + n * kNetSize + 22 + 1, 1),
                 QStringLiteral("FB")); // bit 2 of byte 1
    for (int g = 0; g < 100; ++g)
        QCOMPARE(image.GetByte(0x90C6 + g * 63 + 1), uint8_t(0xFB));
    QCOMPARE(image.GetByte(0x90C6 + 99 * 63 + 0), uint8_t(0xFF)); // other channels keep theirs
    QCOMPARE(image.GetByte(0xA962), uint8_t(0xFF)); // the settings block after the groups
    QVERIFY(datCh::invalidBit(image, *cmcListInfo::layout(27), 10));
}

void tst_cells::usedChannels() {
    image.Fill(0);
    for (int row : {0, 7, 250, 499})
        setU32(image, 0x052F + 29 * row, 5000000);
    setU32(image, 0x052F + 29 * 8, 0xFFFFFFFF); // reads 0
    QCOMPARE(datCh::usedChannels(image, 0, 499), 4);
    QCOMPARE(datCh::usedChannels(image, 1, 250), 2);
    QCOMPARE(datCh::usedChannels(image, 499, 499), 1);
    QCOMPARE(datCh::usedChannels(image, -1, 10), -1);
    QCOMPARE(datCh::usedChannels(image, 0, 500), -1);
    QCOMPARE(datCh::usedChannels(image, 10, 9), -1);
}

void tst_cells::rowRanges() {
    QCOMPARE(cmcListInfo::range(27).last, 499);
    QCOMPARE(cmcListInfo::range(27).flags & 1, 1);
    QCOMPARE(cmcListInfo::range(6).first, 1);
    QCOMPARE(cmcListInfo::range(39).flags & 1, 0);
    QCOMPARE(cmcListInfo::range(39).last, 499);
    QVERIFY(cmcListInfo::range(30).last < cmcListInfo::range(30).first);
    QVERIFY(cmcListInfo::range(41).last < cmcListInfo::range(41).first);
    // Records of consecutive lists follow each other without gaps or overlaps.
    const int order[] = {27, 28, 29, 32, 33, 34, 36, 37, 35, 38};
    for (size_t i = 0; i + 1 < std::size(order); ++i) {
        const cmcListLayout* a = cmcListInfo::layout(order[i]);
        QCOMPARE(a->base + a->rows * a->size, cmcListInfo::layout(order[i + 1])->base);
    }
}

// ---- the dispatcher -----------------------------------------------------------------------

void tst_cells::channelList() {
    QVERIFY(dispatch.commit(CT_ChannelList, CL_ChL_FreqR, 12, QStringLiteral("14.2345678")));
    QCOMPARE(dispatch.text(CT_ChannelList, CL_ChL_FreqR, 12), QStringLiteral("14.234560"));
    QCOMPARE(dispatch.text(CT_ChannelList, CL_ChL_FreqT, 12), QStringLiteral("<-"));
    int64_t v = 0;
    QVERIFY(dispatch.value(CT_ChannelList, CL_ChL_FreqT, 12, &v));
    QCOMPARE(v, 14234560); // the row not in use took both from the first receive entry

    dispatch.commit(CT_ChannelList, CL_ChL_FreqR, 12, QStringLiteral("7.1"));
    QCOMPARE(dispatch.text(CT_ChannelList, CL_ChL_FreqT, 12), QStringLiteral("<-")); // followed
    dispatch.commit(CT_ChannelList, CL_ChL_FreqT, 12, QStringLiteral("7.2"));
    dispatch.commit(CT_ChannelList, CL_ChL_FreqR, 12, QStringLiteral("7.05"));
    QCOMPARE(dispatch.text(CT_ChannelList, CL_ChL_FreqT, 12), QStringLiteral("7.200000"));
    QCOMPARE(hex(image, 0x052F + 29 * 12, 8), QStringLiteral("10 93 6B 00 00 DD 6D 00"));

    // The row was started from an erased record: the first mode, then the selection wraps.
    QCOMPARE(dispatch.text(CT_ChannelList, CL_ChL_Mode, 12), QStringLiteral("USB"));
    QVERIFY(dispatch.step(CT_ChannelList, CL_ChL_Mode, 12, +1));
    QCOMPARE(dispatch.text(CT_ChannelList, CL_ChL_Mode, 12), QStringLiteral("LSB"));
    QVERIFY(dispatch.step(CT_ChannelList, CL_ChL_Mode, 12, -1));
    QVERIFY(dispatch.step(CT_ChannelList, CL_ChL_Mode, 12, -1));
    QCOMPARE(dispatch.text(CT_ChannelList, CL_ChL_Mode, 12), QStringLiteral("FSK"));
    image.SetByte(0x052F + 29 * 12 + 8, 0xFF); // a stored byte that no mode has
    QCOMPARE(dispatch.text(CT_ChannelList, CL_ChL_Mode, 12), QStringLiteral("error"));
    QVERIFY(dispatch.step(CT_ChannelList, CL_ChL_Mode, 12, +1));
    QCOMPARE(dispatch.text(CT_ChannelList, CL_ChL_Mode, 12), QStringLiteral("USB"));
    QVERIFY(dispatch.step(CT_ChannelList, CL_ChL_Mode, 12, -1));
    QCOMPARE(dispatch.text(CT_ChannelList, CL_ChL_Mode, 12), QStringLiteral("FSK"));
    QVERIFY(dispatch.commit(CT_ChannelList, CL_ChL_Name, 12, QStringLiteral("Marine 12")));
    QCOMPARE(dispatch.text(CT_ChannelList, CL_ChL_Name, 12), QStringLiteral("Marine 12"));

    // Text that cannot be read changes nothing.
    const cmcEeprom before = image;
    QVERIFY(!dispatch.commit(CT_ChannelList, CL_ChL_FreqR, 12, QStringLiteral("none")));
    QVERIFY(!dispatch.commit(CT_ChannelList, CL_ChL_FreqR, 500, QStringLiteral("7.1")));
    QVERIFY(image == before);
}

void tst_cells::rowNotInUse() {
    cmcCellRequest r;
    QVERIFY(!dispatch.commit(CT_ChannelList, CL_ChL_Name, 3, QStringLiteral("ABC"), &r));
    QVERIFY(r.blank);
    QCOMPARE(dispatch.text(CT_ChannelList, CL_ChL_Name, 3), QString());
    QCOMPARE(dispatch.text(CT_ChannelList, CL_ChL_FreqT, 3), QString());
    QCOMPARE(dispatch.text(CT_ChannelList, CL_ChL_Mode, 3), QString()); // not "error"

    // A digit typed on the name of an empty row starts the row at its receive frequency.
    dispatch.typeKey(CT_ChannelList, CL_ChL_Name, 3, '7', &r);
    QCOMPARE(r.redirectLabel, int32_t(CL_ChL_FreqR));
    QCOMPARE(r.fl.editStatus, int(cuiFlector::EsEdit));
    QCOMPARE(r.fl.display, QStringLiteral("7"));
    QVERIFY(r.blank);

    // Address rows start at the name; the key arrives there.
    dispatch.typeKey(CT_AddressList, CL_AddrL_Phone, 0, 'k', &r);
    QCOMPARE(r.redirectLabel, int32_t(CL_AddrL_Name));
    QCOMPARE(r.fl.display, QStringLiteral("k"));

    // Keys above 127 stay where they are.
    dispatch.typeKey(CT_ChannelList, CL_ChL_Name, 3, 0x2700, &r);
    QCOMPARE(r.redirectLabel, int32_t(CL_None));

    // A row started from an erased record gets the first mode, not the erased byte.
    QVERIFY(dispatch.commit(CT_ChannelList, CL_ChL_FreqR, 3, QStringLiteral("7.1")));
    QCOMPARE(dispatch.text(CT_ChannelList, CL_ChL_Mode, 3), QStringLiteral("USB"));

    // Messages have no key column: every cell is its own.
    QVERIFY(dispatch.commit(CT_MessageList, CL_MsgL_Msg, 4, QStringLiteral("hello")));
    QCOMPARE(dispatch.text(CT_MessageList, CL_MsgL_Msg, 4), QStringLiteral("hello"));
}

void tst_cells::addressList() {
    putChannel(dispatch, 5, "7.1", "HOME");
    dispatch.commit(CT_NetworkList, CL_NetL_Name, 2, QStringLiteral("NET TWO"));
    QVERIFY(dispatch.commit(CT_AddressList, CL_AddrL_Name, 7, QStringLiteral("Base")));
    QVERIFY(dispatch.commit(CT_AddressList, CL_AddrL_Id, 7, QStringLiteral("123456")));
    const int32_t rec = 0x3DD3 + 39 * 7;
    QCOMPARE(hex(image, rec + 20, 5), QStringLiteral("12 34 56 FF FF"));
    QVERIFY(dispatch.commit(CT_AddressList, CL_AddrL_Phone, 7, QStringLiteral("+61 (8) 1234")));
    QCOMPARE(dispatch.text(CT_AddressList, CL_AddrL_Phone, 7), QStringLiteral("6181234"));
    // The row came into use with its first call type, not the erased byte.
    QCOMPARE(dispatch.text(CT_AddressList, CL_AddrL_CallType, 7), QStringLiteral("SELCALL"));
    QVERIFY(dispatch.choose(CT_AddressList, CL_AddrL_CallType, 7, cuiFlector::KindSelection, 1));
    QCOMPARE(dispatch.text(CT_AddressList, CL_AddrL_CallType, 7), QStringLiteral("PHONE"));

    // Row references: pop-up on Enter, choices, display from the referenced row.
    cmcCellRequest r;
    dispatch.typeKey(CT_AddressList, CL_AddrL_Channel, 7, 13, &r);
    QCOMPARE(r.fl.editStatus, int(cuiFlector::EsPopup));
    QCOMPARE(r.fl.popupKey, QStringLiteral("GI_Sheet_Sel_ChannelList"));
    QVERIFY(dispatch.choose(CT_AddressList, CL_AddrL_Network, 7, 29, 2));
    QCOMPARE(dispatch.text(CT_AddressList, CL_AddrL_Network, 7), QStringLiteral("3 NET TWO"));
    QVERIFY(dispatch.choose(CT_AddressList, CL_AddrL_Channel, 7, 27, 5));
    QCOMPARE(dispatch.text(CT_AddressList, CL_AddrL_Channel, 7), QStringLiteral("6 HOME"));

    // Choosing the same network keeps the channel; another one clears it.
    QVERIFY(dispatch.choose(CT_AddressList, CL_AddrL_Network, 7, 29, 2));
    QCOMPARE(hex(image, rec + 26, 2), QStringLiteral("05 00"));
    QVERIFY(dispatch.choose(CT_AddressList, CL_AddrL_Network, 7, 29, 4));
    QCOMPARE(hex(image, rec + 26, 2), QStringLiteral("FF FF"));
    QCOMPARE(dispatch.text(CT_AddressList, CL_AddrL_Channel, 7), QString());

    // The emergency flag is bit 0 of the last byte; the other bits stay.
    image.SetByte(rec + 38, 0xF0);
    QVERIFY(dispatch.step(CT_AddressList, CL_AddrL_Emergency, 7, +1));
    QCOMPARE(image.GetByte(rec + 38), uint8_t(0xF1));
    QCOMPARE(dispatch.text(CT_AddressList, CL_AddrL_Emergency, 7), QStringLiteral("ON"));
    QVERIFY(!datCh::invalidBit(image, *cmcListInfo::layout(28), 7));
}

void tst_cells::otherLists() {
    // Phone links and profiles are in use by their identifier (the key column).
    QVERIFY(!dispatch.commit(CT_PhoneLinkList, CL_PhoneLinkL_Name, 1, QStringLiteral("Office")));
    QVERIFY(dispatch.commit(CT_PhoneLinkList, CL_PhoneLinkL_Id, 1, QStringLiteral("4711")));
    QVERIFY(dispatch.commit(CT_PhoneLinkList, CL_PhoneLinkL_Name, 1, QStringLiteral("Office")));
    QCOMPARE(hex(image, 0x716D + 28 + 20, 5), QStringLiteral("47 11 FF FF FF"));
    QVERIFY(!datCh::invalidBit(image, *cmcListInfo::layout(33), 1));
    QVERIFY(dispatch.commit(CT_ProfileList, CL_ProfileL_Id, 19, QStringLiteral("99")));
    QVERIFY(dispatch.commit(CT_ProfileList, CL_ProfileL_Network, 19, QStringLiteral("10")));
    QCOMPARE(image.GetByte(0x74B5 + 26 * 19 + 25), uint8_t(9));

    // ALE identifiers are address texts; slots and groups show from 1, 255 shows empty.
    QVERIFY(dispatch.commit(CT_AleNetId, CL_Ale_NetId_Id, 0, QStringLiteral("ab c?1")));
    QCOMPARE(hex(image, 0x7F2D, 6), QStringLiteral("41 42 43 3F 31 FF"));
    QCOMPARE(dispatch.text(CT_AleCallIndId, CL_Ale_CallId_ChGroupNo, 3), QString());
    QVERIFY(dispatch.commit(CT_AleCallIndId, CL_Ale_CallId_ChGroupNo, 3, QStringLiteral("100")));
    QCOMPARE(image.GetByte(0x7825 + 18 * 3 + 15), uint8_t(99));
    QCOMPARE(dispatch.text(CT_AleCallIndId, CL_Ale_CallId_ChGroupNo, 3), QStringLiteral("100"));
    QVERIFY(!datCh::invalidBit(image, *cmcListInfo::layout(37), 3)); // a group makes the row valid
    QVERIFY(dispatch.commit(CT_AleCallIndId, CL_Ale_CallId_ChGroupNo, 3, QString()));
    QCOMPARE(image.GetByte(0x7825 + 18 * 3 + 15), uint8_t(0xFF));
    QVERIFY(datCh::invalidBit(image, *cmcListInfo::layout(37), 3));
    QVERIFY(dispatch.commit(CT_AleMessage, CL_Ale_Msg_Msg, 9, QString(95, u'x')));
    QCOMPARE(dispatch.text(CT_AleMessage, CL_Ale_Msg_Msg, 9).size(), 90);
    QCOMPARE(image.GetByte(0x8509 + 90 * 10), uint8_t(0xFF)); // nothing beyond the last record

    QVERIFY(dispatch.commit(CT_NetworkList, CL_NetL_Name, 0, QStringLiteral("N")));
    QVERIFY(dispatch.commit(CT_NetworkList, CL_NetL_DetectTime, 0, QStringLiteral("2.5")));
    QCOMPARE(dispatch.text(CT_NetworkList, CL_NetL_DetectTime, 0), QStringLiteral("  2.5"));
}

void tst_cells::settings_data() {
    QTest::addColumn<int>("label");
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("shown");

    QTest::newRow("decimal, limited") << int(CL_USetM_LcdContrast) << 0xA962 << "12"
                                      << "0A"
                                      << "10";
    QTest::newRow("decimal, lower limit") << int(CL_SetM_ClearTalkLv) << 0xA980 << "0"
                                          << "01"
                                          << "1";
    QTest::newRow("selection by text") << int(CL_USetM_BackLight) << 0xA964 << "auto"
                                       << "03"
                                       << "AUTO";
    QTest::newRow("16-bit selection") << int(CL_USetM_Clarifier) << 0xA96B << "ON"
                                      << "01 00"
                                      << "ON";
    QTest::newRow("mode list") << int(CL_USetM_Mode) << 0xA978 << "AM"
                               << "03"
                               << "AM";
    QTest::newRow("last selcall byte") << int(CL_SetM_AleMode) << 0xA998 << "RX/TX"
                                       << "02"
                                       << "RX/TX";
    QTest::newRow("sound length timer") << int(CL_SetM_AleSoundLength) << 0xA99F << "20"
                                        << "14"
                                        << " 20";
    QTest::newRow("scan call time stored - 1") << int(CL_SetM_AleScanCallTime) << 0xA9A7 << "5"
                                               << "04"
                                               << "5";
    QTest::newRow("scan call time auto") << int(CL_SetM_AleScanCallTime) << 0xA9A7 << "Auto"
                                         << "64"
                                         << "AUTO";
    QTest::newRow("hexadecimal address") << int(CL_SetM_RCX_Address) << 0xA9AA << "e5"
                                         << "DF"
                                         << "DF";
    QTest::newRow("baud rate") << int(CL_SetM_RCX_Baudrate) << 0xA9AB << "9600"
                               << "01"
                               << "9600";
}

void tst_cells::settings() {
    QFETCH(int, address);
    QFETCH(QString, bytes);
    const int n = int(bytes.split(u' ').size());
    const QString neighbours = hex(image, address - 1, 1) + hex(image, address + n, 1);
    QVERIFY(dispatch.commit(CT_Null, FETCHED(int, label), 0, FETCHED(QString, typed)));
    QCOMPARE(hex(image, address, n), bytes);
    QCOMPARE(dispatch.text(CT_Null, FETCHED(int, label), 0), FETCHED(QString, shown));
    QCOMPARE(hex(image, address - 1, 1) + hex(image, address + n, 1), neighbours);
    QCOMPARE(imcSettingCells::addressOf(FETCHED(int, label)), address);
}

void tst_cells::vfoBands() {
    QVERIFY(dispatch.commit(CT_Null, CL_VFO_A_Band1, 0, QStringLiteral("5")));
    QCOMPARE(hex(image, 0x9076, 4), QStringLiteral("96 25 26 00")); // 2,499,990 Hz
    QVERIFY(dispatch.commit(CT_Null, CL_VFO_B_Band9, 0, QStringLiteral("1")));
    QCOMPARE(hex(image, 0x907A + 64, 4), QStringLiteral("80 BA 8C 01")); // 26,000,000 Hz
    QCOMPARE(dispatch.text(CT_Null, CL_VFO_B_Band9, 0), QStringLiteral("26.000000"));
    setU32(image, 0x9076 + 8 * 4, 0);
    QCOMPARE(dispatch.text(CT_Null, CL_VFO_A_Band5, 0), QString());
    QCOMPARE(imcSettingCells::addressOf(CL_VFO_B_Band1), 0x907A);
}

void tst_cells::networkChannels() {
    putChannel(dispatch, 9, "7.1", "NINE");
    // An invalid channel takes no part.
    cmcCellRequest r;
    QVERIFY(!dispatch.typeKey(CT_NetworkChannels, CL_NetL_ChBit_Selected, 8, 32, &r));
    QVERIFY(r.blank);
    const int32_t bits1 = kNetBase + kNetSize * 1 + 22;
    image.SetByte(bits1 + 1, 0);
    dispatch.setCurrentNetwork(1);
    QCOMPARE(dispatch.text(CT_NetworkChannels, CL_NetL_ChBit_Selected, 9), QStringLiteral("OFF"));
    QVERIFY(dispatch.step(CT_NetworkChannels, CL_NetL_ChBit_Selected, 9, +1));
    QCOMPARE(image.GetByte(bits1 + 1), uint8_t(0x02));
    QCOMPARE(dispatch.text(CT_NetworkChannels, CL_EnabledChBit_1, 9), QStringLiteral("ON"));
    QCOMPARE(dispatch.text(CT_NetworkChannels, CL_ChBit_Name, 9), QStringLiteral("NINE"));

    // The network on show is chosen from the network list.
    QVERIFY(dispatch.choose(CT_NetworkChannels, CL_NetL_Ch_NetNo, 0, 29, 4));
    QCOMPARE(dispatch.currentNetwork(), 4);
    QVERIFY(dispatch.commit(CT_NetworkChannels, CL_EnabledChBit_4, 9, QStringLiteral("OFF")));
    QCOMPARE(image.GetByte(kNetBase + kNetSize * 4 + 22 + 1) & 0x02, 0);
}

void tst_cells::aleChannelGroup() {
    ScriptedPrompt prompt;
    dispatch.setCurrentGroup(7);
    for (int row = 0; row < 101; ++row)
        putChannel(dispatch, row, "5", "CH");
    const int32_t group = 0x90C6 + 7 * 63;
    std::vector<uint8_t> zeros(63, 0);
    image.SetBlock(group, zeros.data(), 63);
    for (int row = 0; row < 100; ++row)
        QVERIFY(dispatch.step(CT_AleChannels, CL_Ale_ChGrpL_ChBit_Selected, row, +1));
    QCOMPARE(dispatch.text(CT_AleChannels, CL_Ale_ChGrpL_Count, 0), QStringLiteral("100"));
    QVERIFY(prompt.texts().isEmpty());

    // The 101st channel is refused with the message; the group is unchanged.
    QVERIFY(!dispatch.step(CT_AleChannels, CL_Ale_ChGrpL_ChBit_Selected, 100, +1));
    QCOMPARE(prompt.texts(),
             QStringList{QStringLiteral("A channel group can hold at most 100 channels.")});
    QCOMPARE(image.GetByte(group + 100 / 8) & (1 << (100 % 8)), 0);
    QCOMPARE(dispatch.text(CT_AleChannels, CL_Ale_ChGrpL_Count, 0), QStringLiteral("100"));
    // Taking one out is always possible.
    QVERIFY(dispatch.step(CT_AleChannels, CL_Ale_ChGrpL_ChBit_Selected, 0, -1));
    QCOMPARE(dispatch.text(CT_AleChannels, CL_Ale_ChGrpL_GroupNo, 0), QStringLiteral("8"));
}

void tst_cells::cellsWithoutCase() {
    const cmcEeprom before = image;
    cmcCellRequest r;
    QVERIFY(!dispatch.commit(CT_Null, CL_Maker_Temp1, 0, QStringLiteral("5"), &r));
    QVERIFY(!r.handled);
    QCOMPARE(r.fl.display, QStringLiteral("%1 *Yet*").arg(int(CL_Maker_Temp1)));
    QCOMPARE(dispatch.text(CT_Mch, CL_Mch_FreqR, 3),
             QStringLiteral("%1 *Yet*").arg(int(CL_Mch_FreqR)));
    QVERIFY(image == before);
    QCOMPARE(dispatch.text(CT_ChannelList, CL_Misc_ChNo_1Base, 41), QStringLiteral("42"));
    QCOMPARE(fatalText([&] {
                 cmcCellRequest bad(50, CL_ChL_Name, 0);
                 dispatch.dispatch(bad);
             }),
             QStringLiteral("Unknown Cell Category. (50)"));
}

void tst_cells::menuCells() {
    struct Seen {
        int label = -1;
        bool executed = false;
    } seen;
    dispatch.setHandler(
        [](void* ctx, cmcCellRequest& r) {
            auto* s = static_cast<Seen*>(ctx);
            if (r.label != CL_Menu_View_ToolBar) return false;
            s->label = r.label;
            s->executed = r.execute;
            r.menuState = cmcCellObj::F_Ticked | cmcCellObj::F_CaptionSet;
            r.fl.display = QStringLiteral("Tool bar");
            return true;
        },
        &seen);
    cmcCellObj item;
    item.flags = cmcCellObj::F_Selectable | cmcCellObj::F_Disabled;
    cmcCellRequest r(CT_Null, CL_Menu_View_ToolBar, 0);
    r.cell = &item;
    r.execute = true;
    dispatch.dispatch(r);
    QVERIFY(seen.executed);
    QCOMPARE(item.flags,
             uint32_t(cmcCellObj::F_Selectable | cmcCellObj::F_Ticked | cmcCellObj::F_CaptionSet));
    QCOMPARE(item.caption, QStringLiteral("Tool bar"));

    // The pop-up menu's Edit opens the editor of the cell it belongs to.
    dispatch.commit(CT_MessageList, CL_MsgL_Msg, 2, QStringLiteral("text"));
    cmcCellObj owner;
    owner.parseReference(QStringLiteral("CT_MessageList.CL_MsgL_Msg[2]"));
    cmcCellRequest edit(CT_PopupMenu, CL_PMenu_Edit, 0);
    edit.parent = &owner;
    edit.execute = true;
    dispatch.dispatch(edit);
    QCOMPARE(edit.fl.editStatus, int(cuiFlector::EsEdit));
    QCOMPARE(edit.fl.display, QStringLiteral("text"));
    cmcCellRequest lonely(CT_PopupMenu, CL_PMenu_Edit, 0);
    dispatch.dispatch(lonely);
    QVERIFY(lonely.menuState & cmcCellObj::F_Disabled);

    // A pop-up command sent to the current cell.
    cmcCellRequest onCell(CT_MessageList, CL_MsgL_Msg, 2);
    onCell.menuCommand = CL_PMenu_Edit;
    dispatch.dispatch(onCell);
    QCOMPARE(onCell.fl.editStatus, int(cuiFlector::EsEdit));
}

void tst_cells::builtInTextsMatchOverlay() {
    QFile f(QStringLiteral(QX_TEST_DATA_DIR "/cells.ovl"));
    QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList fileLines = QString::fromLatin1(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(cmcCellTexts::lines(), fileLines);
    cmcGTex table;
    table.attachLines(cmcCellTexts::lines());
    QVERIFY(cmcCellTexts::hasKeys(table));
}

QTEST_GUILESS_MAIN(tst_cells)
#include "tst_cells.moc"

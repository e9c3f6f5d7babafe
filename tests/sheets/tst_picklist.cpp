// The pick list of row-reference cells: it lists the referenced list's rows in use with
// "no row" first, selects the current value, and a click, Escape or hover act on the
// working image only as they should.

#include "SheetTestKit.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcEeprom.h"
#include "cuiDispatchSource.h"
#include "cuiGrid.h"
#include "cuiPickList.h"
#include "cuiSheet.h"

#include <QWidget>
#include <QtTest>
#include <memory>

namespace {

constexpr int32_t kAddrRow = 7;
constexpr int32_t kAddrRecord = 0x3DD3 + 39 * kAddrRow;

struct RefFixture {
    cmcEeprom image{QxMap::ImageSize};
    cmcCellDispatch dispatch{&image};
    cuiDispatchSource source{&dispatch};
    SheetTable defs;
    QWidget host;
    std::unique_ptr<cuiSheet> sheet;

    explicit RefFixture(const QString& cell) {
        image.Fill(0xFF); // erased memory: no row of any list in use
        putChannel(2, "7.1", "HOME");
        putChannel(5, "14.2", "DX");
        putChannel(9, "3.5", "");
        // A channel with a name but no receive frequency is not in use.
        dispatch.commit(CT_ChannelList, CL_ChL_Name, 4, QStringLiteral("GHOST"));
        dispatch.commit(CT_NetworkList, CL_NetL_Name, 3, QStringLiteral("NET FOUR"));
        dispatch.commit(CT_AddressList, CL_AddrL_Name, kAddrRow, QStringLiteral("Base"));
        defs.sheet("S", "", "{<H}", {cell});
        host.resize(400, 300);
        sheet = std::make_unique<cuiSheet>(&host, defs.table());
        sheet->setKey("S");
        sheet->setCellSource(&source);
        sheet->Build();
        host.show();
        QCoreApplication::processEvents();
    }
    void putChannel(int row, const char* freq, const char* name) {
        dispatch.commit(CT_ChannelList, CL_ChL_FreqR, row, QString::fromLatin1(freq));
        dispatch.commit(CT_ChannelList, CL_ChL_Name, row, QString::fromLatin1(name));
    }
    cuiPickList* open() {
        QTest::keyClick(sheet->grid(), Qt::Key_Return);
        cuiPickList* pick = sheet->pickList();
        return pick && pick->isVisible() ? pick : nullptr;
    }
    QStringList texts(cuiPickList* pick) const {
        QStringList t;
        for (int i = 0; i < pick->count(); ++i) t << pick->item(i)->text();
        return t;
    }
    QString channelBytes() const {
        return QStringLiteral("%1 %2")
            .arg(image.GetByte(kAddrRecord + 26), 2, 16, QLatin1Char('0'))
            .arg(image.GetByte(kAddrRecord + 27), 2, 16, QLatin1Char('0'));
    }
    QString channelText() { return dispatch.text(CT_AddressList, CL_AddrL_Channel, kAddrRow); }
};

void clickRow(cuiPickList* pick, int row) {
    QTest::mouseClick(pick->viewport(), Qt::LeftButton, Qt::NoModifier,
                      pick->visualItemRect(pick->item(row)).center());
}

} // namespace

class tst_PickList : public QObject {
    Q_OBJECT
  private slots:
    void channelCellListsUsedChannels();
    void escapeChangesNothing();
    void clickSetsRowAndNone();
    void hoverSelects();
    void otherReferencedLists_data();
    void otherReferencedLists();
};

void tst_PickList::channelCellListsUsedChannels() {
    RefFixture f("{SW(%CT_AddressList.CL_AddrL_Channel[7])}");
    cuiPickList* pick = f.open();
    QVERIFY(pick);
    QCOMPARE(f.texts(pick), QStringList({"-", "3 HOME", "6 DX", "10"}));
    QCOMPARE(pick->currentValue(), 0xFFFF); // the fresh row has no channel
}

void tst_PickList::escapeChangesNothing() {
    RefFixture f("{SW(%CT_AddressList.CL_AddrL_Channel[7])}");
    QVERIFY(f.dispatch.choose(CT_AddressList, CL_AddrL_Channel, kAddrRow, 27, 2));
    const QByteArray before(reinterpret_cast<const char*>(f.image.data()), QxMap::ImageSize);
    cuiPickList* pick = f.open();
    QVERIFY(pick);
    QCOMPARE(pick->currentValue(), 2);
    QTest::keyClick(pick, Qt::Key_Down);
    QTest::keyClick(pick, Qt::Key_Escape);
    QVERIFY(!pick->isVisible());
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(f.image.data()), QxMap::ImageSize), before);
    QCOMPARE(f.channelText(), QStringLiteral("3 HOME"));
}

void tst_PickList::clickSetsRowAndNone() {
    RefFixture f("{SW(%CT_AddressList.CL_AddrL_Channel[7])}");
    cuiPickList* pick = f.open();
    QVERIFY(pick);
    clickRow(pick, 2);
    QVERIFY(!pick->isVisible());
    QCOMPARE(f.channelBytes(), QStringLiteral("05 00"));
    QCOMPARE(f.channelText(), QStringLiteral("6 DX"));
    QCOMPARE(f.source.view(f.sheet->CellObjectAt(0, 0), false, false).text, QStringLiteral("6 DX"));
    // Reopened, the list stands on the value; "-" takes the channel away again.
    pick = f.open();
    QVERIFY(pick);
    QCOMPARE(pick->currentValue(), 5);
    clickRow(pick, 0);
    QCOMPARE(f.channelBytes(), QStringLiteral("ff ff"));
    QCOMPARE(f.channelText(), QString());
}

void tst_PickList::hoverSelects() {
    RefFixture f("{SW(%CT_AddressList.CL_AddrL_Channel[7])}");
    cuiPickList* pick = f.open();
    QVERIFY(pick);
    QTest::mouseMove(pick->viewport(), pick->visualItemRect(pick->item(3)).center());
    QTRY_COMPARE(pick->currentValue(), 9);
    QTest::keyClick(pick, Qt::Key_Return);
    QCOMPARE(f.channelText(), QStringLiteral("10"));
}

void tst_PickList::otherReferencedLists_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("pickRow");
    QTest::addColumn<int>("label");
    QTest::addColumn<QString>("shown");
    QTest::newRow("network") << "{SW(%CT_AddressList.CL_AddrL_Network[7])}"
                             << QStringList({"-", "4 NET FOUR"}) << 1 << int(CL_AddrL_Network)
                             << "4 NET FOUR";
    QTest::newRow("message, none in use")
        << "{SW(%CT_AddressList.CL_AddrL_Msg[7])}" << QStringList({"-"}) << 0
        << int(CL_AddrL_Msg) << "";
}

void tst_PickList::otherReferencedLists() {
    QFETCH(QString, cell);
    QFETCH(QStringList, texts);
    QFETCH(int, pickRow);
    QFETCH(int, label);
    QFETCH(QString, shown);
    RefFixture f(cell);
    cuiPickList* pick = f.open();
    QVERIFY(pick);
    QCOMPARE(f.texts(pick), texts);
    clickRow(pick, pickRow);
    QVERIFY(!pick->isVisible());
    QCOMPARE(f.dispatch.text(CT_AddressList, label, kAddrRow), shown);
}

QTEST_MAIN(tst_PickList)
#include "tst_picklist.moc"

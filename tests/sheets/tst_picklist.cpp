// The pick list: a window hosting a sheet of the items of a selection list or of the rows
// of a referenced list. It lists the items with the current value selected, a click,
// Enter, Escape, hover, the arrow keys and event 21 act on the working image only as they
// should, and the window opens by the cell at the size of its sheet.

#include "CellsTestKit.h"
#include "SheetTestKit.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcEeprom.h"
#include "cmcEvMan.h"
#include "cuiDispatchSource.h"
#include "cuiGrid.h"
#include "cuiPickList.h"
#include "cuiPopupPlace.h"
#include "cuiSheet.h"
#include "imcRadioFacts.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

constexpr int32_t kAddrRow = 7;
constexpr int32_t kAddrRecord = 0x3DD3 + 39 * kAddrRow;

struct RefFixture {
    cmcEeprom image{QxRadio::ImageSize};
    cmcCellDispatch dispatch{&image};
    cuiDispatchSource source{&dispatch};
    SheetTable defs;
    QWidget host;
    std::unique_ptr<cuiSheet> sheet;

    explicit RefFixture(const QString& cell, int extraChannels = 0,
                        const std::function<void(SheetTable&)>& moreDefinitions = {}) {
        CellsTestKit::useCellsOverlay();
        image.Fill(0xFF); // erased memory: no row of any list in use
        putChannel(2, "7.1", "HOME");
        putChannel(5, "14.2", "DX");
        putChannel(9, "3.5", "");
        for (int i = 0; i < extraChannels; ++i)
            putChannel(20 + i, "10.1", "MORE");
        // A channel with a name but no receive frequency is not in use.
        dispatch.commit(CT_ChannelList, CL_ChL_Name, 4, QStringLiteral("GHOST"));
        dispatch.commit(CT_NetworkList, CL_NetL_Name, 3, QStringLiteral("NET FOUR"));
        dispatch.commit(CT_AddressList, CL_AddrL_Name, kAddrRow, QStringLiteral("Base"));
        defs.sheet("S", "", "{<H}", {cell});
        if (moreDefinitions) moreDefinitions(defs);
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
    // The items as the list's sheet shows them.
    static QStringList shown(cuiPickList* pick) {
        QStringList t;
        cuiSheet* s = pick->sheet();
        for (int r = 0; r < s->rowCount(); ++r)
            t << s->cellSource()->view(s->CellObjectAt(0, r), false, false).text;
        return t;
    }
    QRect cellGlobal() const {
        const QRect r = sheet->grid()->cellRect(0, 0);
        return QRect(sheet->grid()->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QString channelBytes() const {
        return QStringLiteral("%1 %2")
            .arg(image.GetByte(kAddrRecord + 26), 2, 16, QLatin1Char('0'))
            .arg(image.GetByte(kAddrRecord + 27), 2, 16, QLatin1Char('0'));
    }
    QString channelText() { return dispatch.text(CT_AddressList, CL_AddrL_Channel, kAddrRow); }
    QByteArray bytes() const {
        return QByteArray(reinterpret_cast<const char*>(image.data()), QxRadio::ImageSize);
    }
};

// The channel list's own sheet and the cell models it uses, as the program delivers them.
void deliveredChannelListSheet(SheetTable& defs) {
    cmcGTex delivered;
    delivered.openFile(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_ENG.OVL"));
    const QString key = QStringLiteral("GI_Sheet_Sel_ChannelList");
    for (const QString& k : {key + "_Style", key + "_BasicCell", key + "_Cells",
                             QStringLiteral("CellModel_Basic"), QStringLiteral("CellModel_Head"),
                             QStringLiteral("CellModel_RowNo"), QStringLiteral("CellModel_Val")})
        defs.add(k, delivered.getTextBlock(k).split(QLatin1Char('\n')));
}

// The texts of a column of the list's sheet, heading first.
QStringList column(cuiPickList* pick, int col) {
    QStringList t;
    cuiSheet* s = pick->sheet();
    for (int r = 0; r < s->rowCount(); ++r) {
        const cuiCell& cell = s->CellObjectAt(col, r);
        t << (cell.hasLabel() ? s->cellSource()->view(cell, false, false).text : cell.displayText);
    }
    return t;
}

QPoint itemCentre(cuiPickList* pick, int row) {
    return pick->grid()->cellRect(0, row).center();
}

void clickRow(cuiPickList* pick, int row) {
    QTest::mouseClick(pick->grid()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      itemCentre(pick, row));
}

} // namespace

class tst_PickList : public QObject {
    Q_OBJECT
  private slots:
    void channelCellListsUsedChannels();
    void selectionCellClickSetsValue();
    void escapeChangesNothing();
    void clickSetsRowAndNone();
    void hoverSelects();
    void arrowsWrapAndEnterPicks();
    void beforePrintEventClosesIt();
    void clickOutsideClosesIt();
    void listSheetGivesTwoColumns();
    void ownerEventClosesIt_data();
    void ownerEventClosesIt();
    void otherReferencedLists_data();
    void otherReferencedLists();
    void placement_data();
    void placement();
    void longListIsLimitedToTheWorkArea();
    void typeAheadOnARowReference_data();
    void typeAheadOnARowReference();
};

void tst_PickList::channelCellListsUsedChannels() {
    RefFixture f("{SW(%CT_AddressList.CL_AddrL_Channel[7])}");
    cuiPickList* pick = f.open();
    QVERIFY(pick);
    QVERIFY(pick->sheet()->hosted());
    QCOMPARE(RefFixture::shown(pick), QStringList({"-", "3 HOME", "6 DX", "10"}));
    QCOMPARE(pick->currentValue(), 0xFFFF); // the fresh row has no channel
    QCOMPARE(pick->grid()->row(), 0);
    // Just below the cell, 8 pixels right of it, every item in view without scroll bars.
    const QRect cell = f.cellGlobal();
    QCOMPARE(pick->geometry().topLeft(), QPoint(cell.left() + 8, cell.bottom() + 1));
    QCOMPARE(pick->grid()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    cuiGrid* g = pick->grid();
    QCOMPARE(g->clientHeight(), g->rowHeight(0) * 4);
    QCOMPARE(g->clientWidth(), g->colWidth(0));
    QCOMPARE(g->lastVisibleRow(), 3);
}

void tst_PickList::selectionCellClickSetsValue() {
    RefFixture f("{SW(%CT_AddressList.CL_AddrL_CallType[7])}");
    QVERIFY(f.dispatch.choose(CT_AddressList, CL_AddrL_CallType, kAddrRow, 1, 1));
    cuiPickList* pick = f.open();
    QVERIFY(pick);
    QCOMPARE(RefFixture::shown(pick),
             QStringList({"SELCALL", "PHONE", "POSITION", "STATUS", "MESSAGE", "BEACON"}));
    QCOMPARE(pick->grid()->row(), 1);
    clickRow(pick, 4);
    QVERIFY(!pick->isVisible());
    QCOMPARE(f.image.GetByte(kAddrRecord + 25), 4);
    QCOMPARE(f.source.view(f.sheet->CellObjectAt(0, 0), false, false).text,
             QStringLiteral("MESSAGE"));
}

void tst_PickList::escapeChangesNothing() {
    RefFixture f("{SW(%CT_AddressList.CL_AddrL_Channel[7])}");
    QVERIFY(f.dispatch.choose(CT_AddressList, CL_AddrL_Channel, kAddrRow, 27, 2));
    const QByteArray before = f.bytes();
    cuiPickList* pick = f.open();
    QVERIFY(pick);
    QCOMPARE(pick->currentValue(), 2);
    QTest::keyClick(pick->grid(), Qt::Key_Down);
    QCOMPARE(pick->currentValue(), 5);
    QTest::keyClick(pick->grid(), Qt::Key_Escape);
    QVERIFY(!pick->isVisible());
    QCOMPARE(f.bytes(), before);
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
    const QByteArray before = f.bytes();
    QTest::mouseMove(pick->grid()->viewport(), itemCentre(pick, 3));
    QTRY_COMPARE(pick->currentValue(), 9);
    QCOMPARE(f.bytes(), before); // hovering chooses nothing
    QTest::keyClick(pick, Qt::Key_Return);
    QCOMPARE(f.channelText(), QStringLiteral("10"));
}

void tst_PickList::arrowsWrapAndEnterPicks() {
    RefFixture f("{SW(%CT_AddressList.CL_AddrL_Channel[7])}");
    cuiPickList* pick = f.open();
    QVERIFY(pick);
    QCOMPARE(pick->grid()->row(), 0);
    QTest::keyClick(pick->grid(), Qt::Key_Up); // from the first item to the last
    QCOMPARE(pick->currentValue(), 9);
    QTest::keyClick(pick->grid(), Qt::Key_Down); // and round to the first
    QCOMPARE(pick->grid()->row(), 0);
    QTest::keyClick(pick->grid(), Qt::Key_Down);
    QTest::keyClick(pick->grid(), Qt::Key_Return);
    QVERIFY(!pick->isVisible());
    QCOMPARE(f.channelText(), QStringLiteral("3 HOME"));
    // The closed list lets its sheet go.
    QTRY_VERIFY(!pick->sheet());
}

void tst_PickList::beforePrintEventClosesIt() {
    cmcEvMan events;
    RefFixture f("{SW(%CT_AddressList.CL_AddrL_Channel[7])}");
    const QByteArray before = f.bytes();
    cuiPickList* pick = f.open();
    QVERIFY(pick);
    QTest::keyClick(pick->grid(), Qt::Key_Down);
    events.send(EV_BeforePrint);
    QVERIFY(!pick->isVisible());
    QCOMPARE(f.bytes(), before);
}

void tst_PickList::clickOutsideClosesIt() {
    RefFixture f("{SW(%CT_AddressList.CL_AddrL_Channel[7])}");
    const QByteArray before = f.bytes();
    cuiPickList* pick = f.open();
    QVERIFY(pick);
    QTest::keyClick(pick->grid(), Qt::Key_Down);
    const QPoint outside = pick->mapFromGlobal(f.host.mapToGlobal(QPoint(390, 290)));
    QVERIFY(!pick->rect().contains(outside));
    QTest::mouseClick(pick, Qt::LeftButton, Qt::NoModifier, outside);
    QVERIFY(!pick->isVisible());
    QCOMPARE(f.bytes(), before);
}

// A list the overlay defines as a sheet of its own is offered in that sheet's look: its
// heading and two columns, the row's number and its name.
void tst_PickList::listSheetGivesTwoColumns() {
    RefFixture f("{SW(%CT_AddressList.CL_AddrL_Channel[7])}", 0, deliveredChannelListSheet);
    QVERIFY(f.dispatch.choose(CT_AddressList, CL_AddrL_Channel, kAddrRow, 27, 5));
    cuiPickList* pick = f.open();
    QVERIFY(pick);
    cuiSheet* s = pick->sheet();
    QCOMPARE(s->colCount(), 2);
    QCOMPARE(column(pick, 0), QStringList({"No.", "-", "3", "6", "10"}));
    QCOMPARE(column(pick, 1), QStringList({"Name", "", "HOME", "DX", ""}));
    // The current value is selected in the name column; the heading stays in view.
    QCOMPARE(pick->currentValue(), 5);
    QCOMPARE(pick->grid()->col(), 1);
    QCOMPARE(pick->grid()->row(), 3);
    QCOMPARE(pick->grid()->fixedRows(), 1);
    QCOMPARE(pick->grid()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(pick->grid()->clientWidth(), pick->grid()->colWidth(0) + pick->grid()->colWidth(1));
    // The arrows wrap over the items, not onto the heading.
    QTest::keyClick(pick->grid(), Qt::Key_Down);
    QTest::keyClick(pick->grid(), Qt::Key_Down);
    QCOMPARE(pick->currentValue(), 0xFFFF);
    QTest::mouseClick(pick->grid()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      pick->grid()->cellRect(1, 2).center());
    QVERIFY(!pick->isVisible());
    QCOMPARE(f.channelText(), QStringLiteral("3 HOME"));
}

void tst_PickList::ownerEventClosesIt_data() {
    QTest::addColumn<bool>("naming");
    QTest::newRow("event 1 naming the owner") << true;
    QTest::newRow("event 1 naming another window") << false;
}

void tst_PickList::ownerEventClosesIt() {
    QFETCH(bool, naming);
    cmcEvMan events;
    RefFixture f("{SW(%CT_AddressList.CL_AddrL_Channel[7])}");
    const QByteArray before = f.bytes();
    cuiPickList* pick = f.open();
    QVERIFY(pick);
    QTest::keyClick(pick->grid(), Qt::Key_Down);
    const int32_t id = f.sheet->windowId();
    events.send(EV_SheetWindow, 0, naming ? id : id + 1000);
    QCOMPARE(pick->isVisible(), !naming);
    QCOMPARE(f.bytes(), before);
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
    QTest::newRow("message, none in use") << "{SW(%CT_AddressList.CL_AddrL_Msg[7])}"
                                          << QStringList({"-"}) << 0 << int(CL_AddrL_Msg) << "";
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
    QCOMPARE(RefFixture::shown(pick), texts);
    // However few the items, the window is as high as they are.
    int height = 0;
    for (int r = 0; r < pick->grid()->rowCount(); ++r)
        height += pick->grid()->rowHeight(r);
    QCOMPARE(pick->grid()->clientHeight(), height);
    clickRow(pick, pickRow);
    QVERIFY(!pick->isVisible());
    QCOMPARE(f.dispatch.text(CT_AddressList, label, kAddrRow), shown);
}

void tst_PickList::placement_data() {
    QTest::addColumn<QRect>("cell");
    QTest::addColumn<QSize>("wanted");
    QTest::addColumn<QRect>("expected");
    QTest::addColumn<bool>("scrollBars");
    // In a work area of 1000 x 800 at the origin.
    QTest::newRow("fits below") << QRect(100, 100, 80, 20) << QSize(120, 200)
                                << QRect(108, 120, 120, 200) << false;
    QTest::newRow("near the bottom, more room above: above")
        << QRect(100, 700, 80, 20) << QSize(120, 200) << QRect(108, 500, 120, 200) << false;
    QTest::newRow("near the bottom, more room below: below, kept in the work area")
        << QRect(100, 350, 80, 20) << QSize(120, 500) << QRect(108, 300, 120, 500) << false;
    QTest::newRow("taller than the work area")
        << QRect(100, 300, 80, 20) << QSize(120, 1000) << QRect(108, 0, 120, 800) << true;
    QTest::newRow("past the right edge: shifted left")
        << QRect(900, 100, 80, 20) << QSize(200, 100) << QRect(800, 120, 200, 100) << false;
    QTest::newRow("wider than the work area")
        << QRect(300, 100, 80, 20) << QSize(1500, 100) << QRect(0, 120, 1000, 100) << true;
}

void tst_PickList::placement() {
    QFETCH(QRect, cell);
    QFETCH(QSize, wanted);
    QFETCH(QRect, expected);
    QFETCH(bool, scrollBars);
    const cuiPopupPlace p = cuiPopupPlace::place(cell, wanted, QRect(0, 0, 1000, 800));
    QCOMPARE(p.rect, expected);
    QCOMPARE(p.scrollBars, scrollBars);
    // The same with the work area elsewhere on the desktop.
    const QPoint shift(-1000, 50);
    const cuiPopupPlace q =
        cuiPopupPlace::place(cell.translated(shift), wanted, QRect(-1000, 50, 1000, 800));
    QCOMPARE(q.rect, expected.translated(shift));
}

void tst_PickList::longListIsLimitedToTheWorkArea() {
    RefFixture f("{SW(%CT_AddressList.CL_AddrL_Channel[7])}", 80);
    cuiPickList* pick = f.open();
    QVERIFY(pick);
    QCOMPARE(pick->count(), 84);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(pick->geometry().height(), area.height());
    QVERIFY(area.contains(pick->geometry()));
    QCOMPARE(pick->grid()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(pick->grid()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    // The last item is reachable and can be chosen.
    QTest::keyClick(pick->grid(), Qt::Key_Up);
    QCOMPARE(pick->grid()->row(), 83);
    QVERIFY(pick->grid()->cellRect(0, 83).isValid());
    QTest::keyClick(pick->grid(), Qt::Key_Return);
    QCOMPARE(f.channelText(), QStringLiteral("100 MORE"));
}

// Characters typed on a channel reference open its list at the first row they start (its
// number or its name, case ignored); typed in the open list they move on, the same letter
// again to the next such row, round to the first; Enter takes the row.
void tst_PickList::typeAheadOnARowReference_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("row");
    QTest::newRow("a name's letter") << "d" << 5;
    QTest::newRow("a number") << "1" << 9;
    QTest::newRow("the same letter again") << "MM" << 21;
    QTest::newRow("and round to the first") << "MMM" << 20;
    QTest::newRow("a letter no row starts after another") << "Hd" << 5;
    QTest::newRow("a prefix of several letters") << "ho" << 2;
}

void tst_PickList::typeAheadOnARowReference() {
    QFETCH(QString, typed);
    QFETCH(int, row);
    RefFixture f("{SW(%CT_AddressList.CL_AddrL_Channel[7])}", 2); // channels 21, 22: MORE
    const QByteArray before = f.bytes();
    for (const QChar ch : typed) {
        cuiPickList* open = f.sheet->pickList();
        QWidget* to = open && open->isVisible() ? open->grid() : f.sheet->grid();
        QTest::keyClick(to, ch.toLatin1());
    }
    cuiPickList* pick = f.sheet->pickList();
    QVERIFY(pick && pick->isVisible());
    QCOMPARE(pick->currentValue(), row);
    QCOMPARE(f.bytes(), before); // typing chooses nothing
    QTest::keyClick(pick->grid(), Qt::Key_Return);
    QVERIFY(!pick->isVisible());
    QCOMPARE(f.channelBytes(), QStringLiteral("%1 00").arg(row, 2, 16, QLatin1Char('0')));
}

QTEST_MAIN(tst_PickList)
#include "tst_picklist.moc"

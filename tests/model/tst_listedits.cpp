// Row commands of the list sheets: the clipboard, copy, paste, clear, delete, insert, move
// and channel memberships over a range, on real images, with the user's answers scripted.

#include "CellsTestKit.h"
#include "ScriptedPrompt.h"
#include "SheetTestKit.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcCellObj.h"
#include "cmcClipCh.h"
#include "cmcEeprom.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cmcListEdits.h"
#include "cmcListInfo.h"
#include "cuiColor.h"
#include "cuiDispatchSource.h"
#include "cuiEditUser.h"
#include "cuiMenu.h"
#include "cuiSheet.h"
#include "datCh.h"
#include "imcRadioFacts.h"

#include <QAction>
#include <QWidget>
#include <QtTest>
#include <algorithm>
#include <memory>
#include <vector>

using CellsTestKit::hex;

namespace {

// The events posted on the bus, delivered by deliver().
struct EventLog {
    struct Seen {
        uint32_t code;
        int32_t p1, p2;
        QString text;
    };
    cmcEvMan bus;
    QList<Seen> seen;

    EventLog() { bus.attach(&EventLog::listen, this); }
    static void listen(void* context, const cmcEvent* e) {
        if (e->code != EV_Idle)
            static_cast<EventLog*>(context)->seen.append({e->code, e->p1, e->p2, e->text()});
    }
    void deliver() {
        seen.clear();
        bus.dispatchStep();
    }
    QStringList of(uint32_t code) const {
        QStringList out;
        for (const Seen& e : seen)
            if (e.code == code) out << (code == EV_StatusText ? e.text : QString::number(e.p2));
        return out;
    }
};

int32_t recordAddress(int32_t list, int32_t row) {
    const cmcListLayout* l = cmcListInfo::layout(list);
    return l->base + row * l->size;
}

QString record(const cmcEeprom& image, int32_t list, int32_t row) {
    return hex(image, recordAddress(list, row), cmcListInfo::layout(list)->size);
}

QString erased(int32_t list) {
    const std::vector<uint8_t> ff(size_t(cmcListInfo::layout(list)->size), 0xFF);
    return hex(ff.data(), int(ff.size()));
}

int32_t word(const cmcEeprom& image, int32_t a) {
    return image.GetByte(a) | image.GetByte(a + 1) << 8;
}
void setWord(cmcEeprom& image, int32_t a, int32_t v) {
    image.SetByte(a, uint8_t(v));
    image.SetByte(a + 1, uint8_t(v >> 8));
}

bool bit(const cmcEeprom& image, int32_t bitmap, int32_t row) {
    return (image.GetByte(bitmap + row / 8) >> (row % 8)) & 1;
}
void setBit(cmcEeprom& image, int32_t bitmap, int32_t row) {
    image.SetByte(bitmap + row / 8, uint8_t(image.GetByte(bitmap + row / 8) | 1 << (row % 8)));
}

int32_t networkBits(int32_t n) {
    return recordAddress(QxList::Network, n) + QxList::NetworkChBitsOffset;
}
int32_t groupBits(int32_t g) {
    return QxList::AleGroupBase + g * QxList::AleGroupSize;
}

// A row command as the sheet sends it: the current cell, the command and the selected range.
cmcCellRequest run(cmcCellDispatch& d, int32_t category, int32_t label, int32_t index,
                   int32_t command, int32_t first = -1, int32_t last = -1) {
    cmcCellRequest r(category, label, index);
    r.menuCommand = command;
    r.rangeFirst = first;
    r.rangeLast = last;
    d.dispatch(r);
    return r;
}

// A dispatcher that remembers the range of the pop-up commands it is given.
class RangeRecorder : public cmcCellDispatch {
  public:
    using cmcCellDispatch::cmcCellDispatch;
    bool dispatch(cmcCellRequest& r) override {
        if (r.menuCommand != CL_None) {
            command = r.menuCommand;
            index = r.index;
            first = r.rangeFirst;
            last = r.rangeLast;
        }
        return cmcCellDispatch::dispatch(r);
    }
    int32_t command = CL_None, index = -1, first = -2, last = -2;
};

// A channel-list sheet of rows rows with line multi-selection and a pop-up menu of the row
// commands, on a real dispatcher; the grid has the focus so that the cell menu exists.
struct ListSheet {
    SheetTable defs;
    QWidget host;
    std::unique_ptr<cuiSheet> sheet;
    std::unique_ptr<cuiDispatchSource> source;

    ListSheet(cmcCellDispatch& dispatch, int rows) {
        defs.add(QStringLiteral("M_BasicCell"),
                 {QStringLiteral("{(%CT_PopupMenu.CL_PMenu_NoItem)}")});
        defs.add(QStringLiteral("M_Body"), {QStringLiteral("+Copy{(%CL_PMenu_Copy)}"),
                                            QStringLiteral("+Paste{(%CL_PMenu_Paste)}"),
                                            QStringLiteral("+Move Up{(%CL_PMenu_MoveUp)}"),
                                            QStringLiteral("+Move Down{(%CL_PMenu_MoveDown)}")});
        QStringList cells{QStringLiteral("{^WH}No|{^W}Name")};
        for (int i = 0; i < rows; ++i)
            cells << QStringLiteral(
                         "{S(%CT_ChannelList.CL_Misc_ChNo_1Base[%1])}|{S(%CL_ChL_Name[%1])}")
                         .arg(i);
        defs.sheet(QStringLiteral("S"), QStringLiteral("(FixedRows=1)(MultiSelect=Line)"),
                   QStringLiteral("{<H(PopupMenu=M)}"), cells);
        source = std::make_unique<cuiDispatchSource>(&dispatch);
        host.resize(500, 400);
        sheet = std::make_unique<cuiSheet>(&host, defs.table());
        sheet->setKey(QStringLiteral("S"));
        sheet->setCellSource(source.get());
        sheet->Build();
        host.show();
        host.activateWindow();
        sheet->grid()->setFocus();
    }
    void command(int32_t label) { sheet->cellMenu()->actionOf(label)->trigger(); }
};

// A user that answers from a script and keeps what it was asked, told and shown.
struct RecordingUser : cmcEditUser {
    bool answer = true;
    QStringList heard; // "confirm KEY", "tell KEY", "status KEY"
    bool confirm(const QString& key) override {
        heard << "confirm " + key;
        return answer;
    }
    void tell(const QString& key, const QStringList&) override { heard << "tell " + key; }
    void report(const cmcEditReport& r) override {
        if (!r.statusKey.isEmpty()) heard << "status " + r.statusKey;
    }
};

} // namespace

class tst_listedits : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { CellsTestKit::useCellsOverlay(); }
    void init() {
        image.SetSize(QxRadio::ImageSize);
        image.Fill(0xFF);
        dispatch.setImage(&image);
        dispatch.setCurrentNetwork(0);
        dispatch.setCurrentGroup(0);
        dispatch.setEditUser(&user); // questions through the (scripted) prompt service
        cmcClipCh::program().clear();
    }

    void sheetPassesRange();
    void paste_data();
    void paste();
    void pasteAsksBeforeOverwriting_data();
    void pasteAsksBeforeOverwriting();
    void clearAsksAndErases();
    void deleteRenumbersReferences();
    void deleteKeepsImageOnCancel();
    void deletedRowReferences_data();
    void deletedRowReferences();
    void move_data();
    void move();
    void insertIsRefused();
    void membership_data();
    void membership();
    void aleGroupOverflow();
    void menuStates_data();
    void menuStates();
    void sheetMovesSelection();
    void membershipSheetSelectsAll();
    void checkAsksNothingAndChangesNothing_data();
    void checkAsksNothingAndChangesNothing();
    void dispatcherAsksItsOwnUser();

  private:
    // Channel rows valid, named "CHn".
    void channels(int first, int last) {
        for (int row = first; row <= last; ++row) {
            dispatch.commit(CT_ChannelList, CL_ChL_FreqR, row, QStringLiteral("7.%1").arg(row + 1));
            dispatch.commit(CT_ChannelList, CL_ChL_Name, row, QStringLiteral("CH%1").arg(row));
        }
    }

    cmcEeprom image;
    cuiEditUser user;
    cmcCellDispatch dispatch;
};

void tst_listedits::sheetPassesRange() {
    RangeRecorder dispatch(&image);
    ListSheet s(dispatch, 6);
    QTRY_VERIFY(s.sheet->grid()->hasFocus());
    QVERIFY(s.sheet->cellMenu());

    // One row: the range is that row.
    s.sheet->SelectCell(1, 2);
    s.command(CL_PMenu_Copy);
    QCOMPARE(dispatch.command, int32_t(CL_PMenu_Copy));
    QCOMPARE(dispatch.index, 1);
    QCOMPARE(dispatch.first, 1);
    QCOMPARE(dispatch.last, 1);

    // A line selection from row 4 up to row 2 (indices 3 .. 1), the cursor on the top row.
    s.sheet->SelectCell(1, 4);
    QTest::keyClick(s.sheet->grid(), Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(s.sheet->grid(), Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(s.sheet->grid()->row(), 2);
    s.command(CL_PMenu_Paste);
    QCOMPARE(dispatch.command, int32_t(CL_PMenu_Paste));
    QCOMPARE(dispatch.index, 1);
    QCOMPARE(dispatch.first, 1);
    QCOMPARE(dispatch.last, 3);
}

void tst_listedits::paste_data() {
    QTest::addColumn<int>("fromList");
    QTest::addColumn<int>("fromRow");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QStringList>("repaints"); // event 16 rows; "all" for event 13

    QTest::newRow("three rows at 498 store two")
        << int(QxList::Channel) << 0 << 3 << 498 << 2 << QStringList{"all"};
    QTest::newRow("one row repaints its row")
        << int(QxList::Channel) << 1 << 1 << 10 << 1 << QStringList{"10"};
    QTest::newRow("address rows not on the channel list")
        << int(QxList::Address) << 0 << 2 << 5 << 0 << QStringList{};
}

void tst_listedits::paste() {
    QFETCH(int, fromList);
    QFETCH(int, fromRow);
    QFETCH(int, count);
    QFETCH(int, target);
    QFETCH(int, stored);
    QFETCH(QStringList, repaints);
    ScriptedPrompt prompt;
    EventLog events;
    channels(0, 3);
    dispatch.commit(CT_AddressList, CL_AddrL_Name, 0, QStringLiteral("BASE"));
    dispatch.commit(CT_AddressList, CL_AddrL_Name, 1, QStringLiteral("CAMP"));

    const int32_t copyLabel = fromList == QxList::Channel ? CL_ChL_Name : CL_AddrL_Name;
    const int32_t copyCategory = fromList == QxList::Channel ? CT_ChannelList : CT_AddressList;
    run(dispatch, copyCategory, copyLabel, fromRow, CL_PMenu_Copy, fromRow, fromRow + count - 1);
    events.deliver();
    QCOMPARE(events.of(EV_StatusText), QStringList{"Rows copied."});
    const cmcEeprom before = image;

    const cmcCellRequest r = run(dispatch, CT_ChannelList, CL_ChL_Name, target, CL_PMenu_Paste);
    events.deliver();
    QVERIFY(prompt.texts().isEmpty()); // the target rows were not in use
    QCOMPARE(r.changed, stored > 0);
    for (int i = 0; i < stored; ++i)
        QCOMPARE(record(image, QxList::Channel, target + i),
                 record(before, QxList::Channel, fromRow + i));
    if (stored == 0) {
        QVERIFY(image == before);
        QVERIFY(events.seen.isEmpty());
        return;
    }
    QVERIFY(datCh::channelValid(image, target));
    QCOMPARE(r.selectFirst, target);
    QCOMPARE(r.selectLast, target + stored - 1);
    QCOMPARE(events.of(EV_StatusText), QStringList{"Rows pasted."});
    QStringList shown = events.of(EV_RepaintIndex);
    if (!events.of(EV_RepaintAll).isEmpty()) shown << QStringLiteral("all");
    QCOMPARE(shown, repaints);
    // Nothing before the target row changed; the clipboard keeps its rows for another paste.
    QCOMPARE(record(image, QxList::Channel, target - 1),
             record(before, QxList::Channel, target - 1));
    QVERIFY(cmcClipCh::program().hasRowsOf(QxList::Channel));
}

void tst_listedits::pasteAsksBeforeOverwriting_data() {
    QTest::addColumn<bool>("targetInUse");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("pasted");
    QTest::newRow("blank target, no question") << false << int(PA_Cancel) << true;
    QTest::newRow("in use, OK") << true << int(PA_Ok) << true;
    QTest::newRow("in use, Cancel") << true << int(PA_Cancel) << false;
}

void tst_listedits::pasteAsksBeforeOverwriting() {
    QFETCH(bool, targetInUse);
    QFETCH(int, answer);
    QFETCH(bool, pasted);
    ScriptedPrompt prompt;
    prompt.queueAnswer(answer);
    channels(0, 1);
    // The target range 20..21 has its second row in use when asked for.
    if (targetInUse) channels(21, 21);
    run(dispatch, CT_ChannelList, CL_ChL_FreqR, 0, CL_PMenu_Copy, 0, 1);
    const cmcEeprom before = image;

    const cmcCellRequest r = run(dispatch, CT_ChannelList, CL_ChL_FreqR, 20, CL_PMenu_Paste);
    QCOMPARE(prompt.texts(),
             targetInUse ? QStringList{"Overwrite the rows that are in use?"} : QStringList{});
    if (targetInUse) {
        QCOMPARE(prompt.entries()[0].buttons, cmcPromptButtons::OkCancel);
        QCOMPARE(prompt.entries()[0].caption, QStringLiteral("QX-T5200 Cloning Editor"));
    }
    QCOMPARE(r.changed, pasted);
    if (pasted) {
        QCOMPARE(record(image, QxList::Channel, 21), record(before, QxList::Channel, 1));
    } else {
        QVERIFY(image == before);
    }
}

void tst_listedits::clearAsksAndErases() {
    ScriptedPrompt prompt;
    EventLog events;
    channels(0, 5);
    const std::vector<uint8_t> none(QxList::ChBitsSize, 0);
    image.SetBlock(networkBits(1), none.data(), QxList::ChBitsSize);
    setBit(image, networkBits(1), 3);
    setBit(image, groupBits(2), 4);
    setBit(image, groupBits(2), 5);

    // Blank rows are asked for too; Cancel leaves the image.
    prompt.queueAnswer(PA_Cancel);
    cmcEeprom before = image;
    QVERIFY(!run(dispatch, CT_ChannelList, CL_ChL_Name, 10, CL_PMenu_Clear).changed);
    QCOMPARE(prompt.texts(), QStringList{"Clear the selected rows?"});
    QVERIFY(image == before);

    prompt.clear();
    const cmcCellRequest r = run(dispatch, CT_ChannelList, CL_ChL_Name, 5, CL_PMenu_Clear, 3, 4);
    events.deliver();
    QVERIFY(r.changed);
    QCOMPARE(prompt.texts(), QStringList{"Clear the selected rows?"});
    for (int row : {3, 4}) {
        QCOMPARE(record(image, QxList::Channel, row), erased(QxList::Channel));
        QVERIFY(bit(image, 0x8FE7, row)); // not valid
    }
    // Their memberships went with them; the rows around them are untouched.
    QVERIFY(!bit(image, networkBits(1), 3));
    QVERIFY(!bit(image, groupBits(2), 4));
    QVERIFY(bit(image, groupBits(2), 5));
    QCOMPARE(record(image, QxList::Channel, 2), record(before, QxList::Channel, 2));
    QCOMPARE(record(image, QxList::Channel, 5), record(before, QxList::Channel, 5));
    QCOMPARE(events.of(EV_StatusText), QStringList{"Rows cleared."});
    QVERIFY(!events.of(EV_RepaintAll).isEmpty());
}

void tst_listedits::deleteRenumbersReferences() {
    ScriptedPrompt prompt;
    EventLog events;
    channels(0, 6);
    const int32_t channelOf[] = {5, 2, 1, 0xFFFF};
    for (int a = 0; a < 4; ++a) {
        dispatch.commit(CT_AddressList, CL_AddrL_Name, a, QStringLiteral("ADDR%1").arg(a));
        setWord(image, recordAddress(QxList::Address, a) + QxRec::AdChannel, channelOf[a]);
    }
    setWord(image, recordAddress(QxList::PhoneLink, 0) + QxRec::PlChannel, 6);
    const std::vector<uint8_t> none(QxList::ChBitsSize, 0);
    image.SetBlock(networkBits(3), none.data(), QxList::ChBitsSize);
    setBit(image, networkBits(3), 5);
    setBit(image, networkBits(3), 2);
    setBit(image, groupBits(9), 6);
    const cmcEeprom before = image;

    const cmcCellRequest r = run(dispatch, CT_ChannelList, CL_ChL_Name, 2, CL_PMenu_Delete);
    events.deliver();
    QVERIFY(r.changed);
    QCOMPARE(prompt.texts(),
             QStringList{"Delete the selected rows? Rows that are in use will be lost."});
    QCOMPARE(r.cursorIndex, 2);
    QCOMPARE(events.of(EV_StatusText), QStringList{"Rows deleted."});

    // The rows below moved up; the last row is blank.
    for (int row = 2; row < 6; ++row)
        QCOMPARE(record(image, QxList::Channel, row), record(before, QxList::Channel, row + 1));
    QCOMPARE(record(image, QxList::Channel, 499), erased(QxList::Channel));
    QCOMPARE(record(image, QxList::Channel, 1), record(before, QxList::Channel, 1));

    // References follow their rows; one to the deleted row names none.
    QCOMPARE(word(image, recordAddress(QxList::Address, 0) + QxRec::AdChannel), 4);
    QCOMPARE(word(image, recordAddress(QxList::Address, 1) + QxRec::AdChannel), 0xFFFF);
    QCOMPARE(word(image, recordAddress(QxList::Address, 2) + QxRec::AdChannel), 1);
    QCOMPARE(word(image, recordAddress(QxList::Address, 3) + QxRec::AdChannel), 0xFFFF);
    QCOMPARE(word(image, recordAddress(QxList::PhoneLink, 0) + QxRec::PlChannel), 5);
    // Memberships move with their channels.
    QVERIFY(bit(image, networkBits(3), 4));
    QVERIFY(!bit(image, networkBits(3), 5));
    QVERIFY(!bit(image, networkBits(3), 2));
    QVERIFY(bit(image, groupBits(9), 5));
    QVERIFY(!bit(image, groupBits(9), 6));
    // Channel bits never written (an erased network) name no channel and stay erased.
    QCOMPARE(hex(image, networkBits(5), QxList::ChBitsSize),
             hex(before, networkBits(5), QxList::ChBitsSize));
    QCOMPARE(dispatch.text(CT_NetworkChannels, CL_EnabledChBit_5, 3), QStringLiteral("OFF"));

    // Deleting blank rows asks nothing.
    prompt.clear();
    QVERIFY(run(dispatch, CT_ChannelList, CL_ChL_Name, 100, CL_PMenu_Delete, 100, 120).changed);
    QVERIFY(prompt.texts().isEmpty());
}

void tst_listedits::deleteKeepsImageOnCancel() {
    ScriptedPrompt prompt;
    prompt.queueAnswer(PA_Cancel);
    channels(0, 4);
    setWord(image, recordAddress(QxList::Address, 0) + QxRec::AdChannel, 4);
    setBit(image, networkBits(0), 4);
    const cmcEeprom before = image;
    QVERIFY(!run(dispatch, CT_ChannelList, CL_ChL_FreqT, 1, CL_PMenu_Delete, 1, 3).changed);
    QCOMPARE(prompt.texts().size(), 1);
    QVERIFY(image == before);
}

void tst_listedits::deletedRowReferences_data() {
    QTest::addColumn<int>("category"); // of the list row 1 is deleted from
    QTest::addColumn<int>("holder");   // the list whose records name its rows
    QTest::addColumn<int>("offset");

    QTest::newRow("network in address")
        << int(CT_NetworkList) << int(QxList::Address) << QxRec::AdNetwork;
    QTest::newRow("network in phone link")
        << int(CT_NetworkList) << int(QxList::PhoneLink) << QxRec::PlNetwork;
    QTest::newRow("network in profile")
        << int(CT_NetworkList) << int(QxList::Profile) << QxRec::PrNetwork;
    QTest::newRow("message in address")
        << int(CT_MessageList) << int(QxList::Address) << QxRec::AdMessage;
    QTest::newRow("ALE net id in self address")
        << int(CT_AleNetId) << int(QxList::AleSelfId) << QxRec::AleSelfNetId;
}

void tst_listedits::deletedRowReferences() {
    QFETCH(int, category);
    QFETCH(int, holder);
    QFETCH(int, offset);
    ScriptedPrompt prompt;
    // Holder rows 0..3 name rows 0, 1, 3 and none.
    const uint8_t named[] = {0, 1, 3, 0xFF};
    for (int i = 0; i < 4; ++i)
        image.SetByte(recordAddress(holder, i) + offset, named[i]);
    QVERIFY(run(dispatch, category, CL_Misc_ChNo_1Base, 1, CL_PMenu_Delete).changed);
    QCOMPARE(image.GetByte(recordAddress(holder, 0) + offset), uint8_t(0));
    QCOMPARE(image.GetByte(recordAddress(holder, 1) + offset), uint8_t(0xFF));
    QCOMPARE(image.GetByte(recordAddress(holder, 2) + offset), uint8_t(2));
    QCOMPARE(image.GetByte(recordAddress(holder, 3) + offset), uint8_t(0xFF));
}

void tst_listedits::move_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QList<int>>("oldRowAt"); // rows 0..4 afterwards hold these old rows
    QTest::addColumn<int>("cursor");

    QTest::newRow("rows 0-2 down")
        << int(CL_PMenu_MoveDown) << 0 << 2 << QList<int>{3, 0, 1, 2, 4} << 3;
    QTest::newRow("rows 2-3 up") << int(CL_PMenu_MoveUp) << 2 << 3 << QList<int>{0, 2, 3, 1, 4}
                                 << 1;
    QTest::newRow("first row up: nothing")
        << int(CL_PMenu_MoveUp) << 0 << 0 << QList<int>{0, 1, 2, 3, 4} << -1;
    QTest::newRow("last row down: nothing")
        << int(CL_PMenu_MoveDown) << 499 << 499 << QList<int>{0, 1, 2, 3, 4} << -1;
}

void tst_listedits::move() {
    QFETCH(int, command);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QList<int>, oldRowAt);
    QFETCH(int, cursor);
    ScriptedPrompt prompt;
    channels(0, 3); // row 4 stays blank
    channels(499, 499);
    // Address 0 names channel 3, the only member of network 0 and ALE group 0.
    const std::vector<uint8_t> zeros(63, 0);
    image.SetBlock(networkBits(0), zeros.data(), 63);
    image.SetBlock(groupBits(0), zeros.data(), 63);
    setWord(image, recordAddress(QxList::Address, 0) + QxRec::AdChannel, 3);
    setBit(image, networkBits(0), 3);
    setBit(image, groupBits(0), 3);
    const cmcEeprom before = image;

    const cmcCellRequest r = run(dispatch, CT_ChannelList, CL_ChL_Name, last, command, first, last);
    QVERIFY(prompt.texts().isEmpty());
    QCOMPARE(r.changed, cursor >= 0);
    if (cursor < 0) {
        QVERIFY(image == before);
        return;
    }
    QCOMPARE(r.cursorIndex, cursor);
    const int d = command == CL_PMenu_MoveDown ? 1 : -1;
    QCOMPARE(r.selectFirst, first + d);
    QCOMPARE(r.selectLast, last + d);
    for (int row = 0; row < 5; ++row)
        QCOMPARE(record(image, QxList::Channel, row),
                 record(before, QxList::Channel, oldRowAt[row]));
    const int now3 = int(oldRowAt.indexOf(3));
    QCOMPARE(word(image, recordAddress(QxList::Address, 0) + QxRec::AdChannel), now3);
    for (int row = 0; row < 5; ++row) {
        QCOMPARE(bit(image, networkBits(0), row), row == now3);
        QCOMPARE(bit(image, groupBits(0), row), row == now3);
    }
}

void tst_listedits::insertIsRefused() {
    ScriptedPrompt prompt;
    EventLog events;
    channels(0, 2);
    const cmcEeprom before = image;
    const cmcCellRequest r = run(dispatch, CT_ChannelList, CL_ChL_Name, 1, CL_PMenu_Insert, 1, 2);
    events.deliver();
    QVERIFY(!r.changed);
    QVERIFY(image == before);
    QCOMPARE(prompt.texts(), QStringList{"Rows cannot be inserted into this list."});
    QCOMPARE(prompt.entries()[0].icon, cmcPromptIcon::Error);
    QCOMPARE(events.of(EV_StatusText), QStringList{"No rows were inserted."});
    QCOMPARE(r.selectFirst, 1);
    QCOMPARE(r.selectLast, 2);
}

void tst_listedits::membership_data() {
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("label");
    QTest::addColumn<int>("bitmap");

    QTest::newRow("network of the column")
        << int(CT_NetworkChannels) << int(CL_EnabledChBit_3) << networkBits(3);
    QTest::newRow("network on show")
        << int(CT_NetworkChannels) << int(CL_NetL_ChBit_Selected) << networkBits(2);
    QTest::newRow("ALE group on show")
        << int(CT_AleChannels) << int(CL_Ale_ChGrpL_ChBit_Selected) << groupBits(4);
}

void tst_listedits::membership() {
    QFETCH(int, category);
    QFETCH(int, label);
    QFETCH(int, bitmap);
    ScriptedPrompt prompt;
    dispatch.setCurrentNetwork(2);
    dispatch.setCurrentGroup(4);
    std::vector<uint8_t> zeros(63, 0);
    image.SetBlock(bitmap, zeros.data(), 63);
    // Rows 0, 1 and 3 valid; row 2 in use without a name (not valid); row 4 blank.
    channels(0, 1);
    channels(3, 3);
    dispatch.commit(CT_ChannelList, CL_ChL_FreqR, 2, QStringLiteral("7.5"));
    QVERIFY(!datCh::channelValid(image, 2));

    QVERIFY(run(dispatch, category, label, 0, CL_PMenu_AllSelect, 0, 4).changed);
    QCOMPARE(image.GetByte(bitmap), uint8_t(0x0B));
    QVERIFY(run(dispatch, category, label, 4, CL_PMenu_AllDeselect, 1, 4).changed);
    QCOMPARE(image.GetByte(bitmap), uint8_t(0x01));
    // Nothing left to change.
    QVERIFY(!run(dispatch, category, label, 4, CL_PMenu_AllDeselect, 1, 4).changed);
    QVERIFY(prompt.texts().isEmpty());
}

void tst_listedits::aleGroupOverflow() {
    ScriptedPrompt prompt;
    dispatch.setCurrentGroup(7);
    channels(0, 101);
    // 99 members (rows 0..98); the range 98..101 adds 99 and then meets the limit.
    std::vector<uint8_t> bits(63, 0);
    for (int row = 0; row < 99; ++row)
        bits[size_t(row / 8)] |= uint8_t(1 << (row % 8));
    image.SetBlock(groupBits(7), bits.data(), 63);

    QVERIFY(
        run(dispatch, CT_AleChannels, CL_Ale_ChGrpL_ChBit_Selected, 98, CL_PMenu_AllSelect, 98, 101)
            .changed);
    QCOMPARE(prompt.texts(), QStringList{"A channel group can hold at most 100 channels."});
    QVERIFY(bit(image, groupBits(7), 99));
    QVERIFY(!bit(image, groupBits(7), 100));
    QVERIFY(!bit(image, groupBits(7), 101));
    QCOMPARE(dispatch.text(CT_AleChannels, CL_Ale_ChGrpL_Count, 0), QStringLiteral("100"));
}

void tst_listedits::menuStates_data() {
    QTest::addColumn<int>("category"); // of the cell the menu is opened on
    QTest::addColumn<int>("label");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("copiedChannels");
    QTest::addColumn<bool>("enabled");

    const int ch = CT_ChannelList, name = CL_ChL_Name;
    QTest::newRow("copy") << ch << name << 0 << int(CL_PMenu_Copy) << false << true;
    QTest::newRow("paste, empty clipboard")
        << ch << name << 5 << int(CL_PMenu_Paste) << false << false;
    QTest::newRow("paste, channel rows held")
        << ch << name << 5 << int(CL_PMenu_Paste) << true << true;
    QTest::newRow("paste of channels on addresses")
        << int(CT_AddressList) << int(CL_AddrL_Name) << 5 << int(CL_PMenu_Paste) << true << false;
    QTest::newRow("move up, first row")
        << ch << name << 0 << int(CL_PMenu_MoveUp) << false << false;
    QTest::newRow("move up, row 1") << ch << name << 1 << int(CL_PMenu_MoveUp) << false << true;
    QTest::newRow("move down, last row")
        << ch << name << 499 << int(CL_PMenu_MoveDown) << false << false;
    QTest::newRow("move down, last message")
        << int(CT_MessageList) << int(CL_MsgL_Msg) << 9 << int(CL_PMenu_MoveDown) << false << false;
    QTest::newRow("delete") << ch << name << 7 << int(CL_PMenu_Delete) << false << true;
    QTest::newRow("select all on the channel list")
        << ch << name << 7 << int(CL_PMenu_AllSelect) << false << false;
    QTest::newRow("select all on a member cell")
        << int(CT_AleChannels) << int(CL_Ale_ChGrpL_ChBit_Selected) << 7 << int(CL_PMenu_AllSelect)
        << false << true;
    QTest::newRow("copy on a member cell") << int(CT_NetworkChannels) << int(CL_EnabledChBit_2) << 7
                                           << int(CL_PMenu_Copy) << false << false;
}

void tst_listedits::menuStates() {
    QFETCH(int, category);
    QFETCH(int, label);
    QFETCH(int, index);
    QFETCH(int, item);
    QFETCH(bool, copiedChannels);
    QFETCH(bool, enabled);
    if (copiedChannels) cmcClipCh::program().copy(image, QxList::Channel, 0, 2);
    cmcCellObj owner;
    owner.category = category;
    owner.label = label;
    owner.index = index;
    cmcCellObj target;
    cmcCellRequest r(CT_PopupMenu, item, 0);
    r.cell = &target;
    r.parent = &owner;
    dispatch.dispatch(r);
    QCOMPARE(!(target.flags & cmcCellObj::F_Disabled), enabled);
    // Without the cell the menu belongs to, nothing can act.
    cmcCellRequest orphan(CT_PopupMenu, item, 0);
    dispatch.dispatch(orphan);
    QVERIFY(orphan.menuState & cmcCellObj::F_Disabled);
}

void tst_listedits::sheetMovesSelection() {
    EventLog events;
    channels(0, 5);
    const cmcEeprom before = image;
    ListSheet s(dispatch, 6);
    QTRY_VERIFY(s.sheet->grid()->hasFocus());
    // Rows 0..2 selected (grid rows 1..3), moved down twice: the selection goes with them.
    s.sheet->SelectCell(1, 1);
    QTest::keyClick(s.sheet->grid(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(s.sheet->grid(), Qt::Key_Down, Qt::ShiftModifier);
    s.command(CL_PMenu_MoveDown);
    QCOMPARE(s.sheet->grid()->row(), 4);
    s.command(CL_PMenu_MoveDown);
    QCOMPARE(s.sheet->grid()->row(), 5);
    const int oldRowAt[] = {3, 4, 0, 1, 2, 5};
    for (int row = 0; row < 6; ++row)
        QCOMPARE(record(image, QxList::Channel, row),
                 record(before, QxList::Channel, oldRowAt[row]));
    for (int gridRow = 1; gridRow <= 6; ++gridRow)
        QCOMPARE(s.sheet->isMarked(1, gridRow), gridRow >= 3 && gridRow <= 5);

    // Copy of the selection: the status message in the window-text colour on the button face.
    events.deliver();
    s.command(CL_PMenu_Copy);
    events.deliver();
    QCOMPARE(cmcClipCh::program().first(), 2);
    QCOMPARE(cmcClipCh::program().count(), 3);
    QCOMPARE(events.of(EV_StatusText), QStringList{"Rows copied."});
    const auto status =
        std::find_if(events.seen.begin(), events.seen.end(), [](const EventLog::Seen& e) {
            return e.code == EV_StatusText && !e.text.isEmpty();
        });
    QCOMPARE(uint32_t(status->p1), uint32_t(cuiColor::toQColor(cuiColor::clWindowText).rgb()));
    QCOMPARE(uint32_t(status->p2), uint32_t(cuiColor::toQColor(cuiColor::clBtnFace).rgb()));
}

void tst_listedits::membershipSheetSelectsAll() {
    // The ALE channel-group sheet as the program defines it.
    cmcGTex table;
    table.openFile(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_ENG.OVL"));
    cuiDispatchSource source(&dispatch);
    channels(0, 1);
    channels(3, 3);
    const std::vector<uint8_t> zeros(63, 0);
    image.SetBlock(groupBits(0), zeros.data(), 63);
    QWidget host;
    host.resize(900, 600);
    std::unique_ptr<cuiSheet> sheet(
        cuiSheet::create(&host, QStringLiteral("GI_Sheet_AleChGrp"), table));
    sheet->setCellSource(&source);
    sheet->Build();
    host.show();
    host.activateWindow();
    sheet->grid()->setFocus();
    QTRY_VERIFY(sheet->grid()->hasFocus());
    // The member cells carry no category of their own.
    QVERIFY(sheet->SelectCellById(CT_Null, CL_Ale_ChGrpL_ChBit_Selected, 0));
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(sheet->grid(), Qt::Key_Down, Qt::ShiftModifier);
    QVERIFY(sheet->cellMenu());
    QCOMPARE(sheet->cellMenu()->key(), QStringLiteral("GI_PMenu_ChBit"));
    sheet->cellMenu()->RefreshStates();
    QAction* all = sheet->cellMenu()->actionOf(CL_PMenu_AllSelect);
    QVERIFY(all && all->isEnabled());
    all->trigger();
    // Rows 0..4: the valid channels 0, 1 and 3 joined the group.
    QCOMPARE(image.GetByte(groupBits(0)), uint8_t(0x0B));
    QCOMPARE(dispatch.text(CT_AleChannels, CL_Ale_ChGrpL_Count, 0), QStringLiteral("3"));
}

void tst_listedits::checkAsksNothingAndChangesNothing_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("first"); // the selected range, -1: none
    QTest::addColumn<int>("last");
    QTest::addColumn<bool>("acts");
    QTest::addColumn<int>("rowsFirst"); // the rows it would act on
    QTest::addColumn<int>("rowsLast");
    QTest::addColumn<QString>("confirmKey");
    QTest::addColumn<QString>("errorKey");

    // Channels 0..3 are in use, the clipboard holds three channel rows.
    QTest::newRow("paste over rows in use")
        << int(CL_PMenu_Paste) << 2 << -1 << -1 << true << 2 << 4 << "GI_AppMess_Conv_Overwrite"
        << "";
    QTest::newRow("paste on blank rows")
        << int(CL_PMenu_Paste) << 10 << -1 << -1 << true << 10 << 12 << ""
        << "";
    QTest::newRow("paste cut at the list's end")
        << int(CL_PMenu_Paste) << 498 << -1 << -1 << true << 498 << 499 << ""
        << "";
    QTest::newRow("delete rows in use, range upside down")
        << int(CL_PMenu_Delete) << 1 << 3 << 1 << true << 1 << 3 << "GI_AppMess_Conv_Delete"
        << "";
    QTest::newRow("delete blank rows")
        << int(CL_PMenu_Delete) << 20 << 20 << 25 << true << 20 << 25 << ""
        << "";
    QTest::newRow("clear always asks")
        << int(CL_PMenu_Clear) << 30 << -1 << -1 << true << 30 << 30 << "GI_AppMess_Conv_Clear"
        << "";
    QTest::newRow("insert is refused")
        << int(CL_PMenu_Insert) << 0 << -1 << -1 << true << 0 << 0 << ""
        << "GI_AppMess_ChErr_Overflow";
    QTest::newRow("copy") << int(CL_PMenu_Copy) << 0 << 0 << 3 << true << 0 << 3 << ""
                          << "";
    QTest::newRow("row outside the list")
        << int(CL_PMenu_Copy) << 500 << -1 << -1 << false << 0 << 0 << ""
        << "";
    QTest::newRow("not a row command")
        << int(CL_PMenu_Edit) << 0 << -1 << -1 << false << 0 << 0 << ""
        << "";
}

// The check alone is what the command-line tool and the list import use: it names the
// question and the rows, and neither asks nor touches the image or the row clipboard.
void tst_listedits::checkAsksNothingAndChangesNothing() {
    QFETCH(int, command);
    QFETCH(int, index);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(bool, acts);
    QFETCH(int, rowsFirst);
    QFETCH(int, rowsLast);
    QFETCH(QString, confirmKey);
    QFETCH(QString, errorKey);
    ScriptedPrompt prompt;
    EventLog events;
    channels(0, 3);
    cmcClipCh::program().copy(image, QxList::Channel, 0, 3);
    const cmcEeprom before = image;

    cmcCellRequest r(CT_ChannelList, CL_ChL_Name, index);
    r.menuCommand = command;
    r.rangeFirst = first;
    r.rangeLast = last;
    const cmcListEditCheck c = cmcListEdits::check(dispatch, r);
    events.deliver();
    QCOMPARE(c.acts, acts);
    if (acts) {
        QCOMPARE(c.list, int32_t(QxList::Channel));
        QCOMPARE(c.first, rowsFirst);
        QCOMPARE(c.last, rowsLast);
        QCOMPARE(c.confirmKey, confirmKey);
        QCOMPARE(c.errorKey, errorKey);
    }
    QVERIFY(prompt.entries().isEmpty());
    QVERIFY(events.seen.isEmpty());
    QVERIFY(image == before);
    QCOMPARE(cmcClipCh::program().count(), 3);
}

// A dispatcher given a user of its own asks that user, in the same order as the prompts:
// the question, then the status; Cancel stops before anything changes.
void tst_listedits::dispatcherAsksItsOwnUser() {
    ScriptedPrompt prompt;
    RecordingUser user;
    dispatch.setEditUser(&user);
    channels(0, 2);
    const cmcEeprom before = image;

    user.answer = false;
    QVERIFY(!run(dispatch, CT_ChannelList, CL_ChL_Name, 0, CL_PMenu_Delete, 0, 1).changed);
    QCOMPARE(user.heard, QStringList{"confirm GI_AppMess_Conv_Delete"});
    QVERIFY(image == before);

    user.heard.clear();
    user.answer = true;
    QVERIFY(run(dispatch, CT_ChannelList, CL_ChL_Name, 0, CL_PMenu_Delete, 0, 1).changed);
    QCOMPARE(user.heard,
             (QStringList{"confirm GI_AppMess_Conv_Delete", "status GI_AppMess_S_Delete"}));

    user.heard.clear();
    QVERIFY(!run(dispatch, CT_ChannelList, CL_ChL_Name, 0, CL_PMenu_Insert).changed);
    QCOMPARE(user.heard,
             (QStringList{"tell GI_AppMess_ChErr_Overflow", "status GI_AppMess_S_Insert"}));
    QVERIFY(prompt.entries().isEmpty());

    // With no user at all the model asks no one: a question counts as Cancel and nothing
    // changes or shows.
    dispatch.setEditUser(nullptr);
    const cmcEeprom kept = image;
    QVERIFY(!run(dispatch, CT_ChannelList, CL_ChL_Name, 0, CL_PMenu_Delete, 0, 1).changed);
    QVERIFY(image == kept);
    QVERIFY(prompt.entries().isEmpty());
}

QTEST_MAIN(tst_listedits)
#include "tst_listedits.moc"

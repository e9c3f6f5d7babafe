// The reference-list window: the sheet class its kind asks for, built hosted from its
// command, placed under the calling cell; Escape, event 21 and event 1 naming its owner
// close it (and delete it), event 1 naming another window does not.

#include "SheetTestKit.h"
#include "cmcEvMan.h"
#include "cuiGrid.h"
#include "cuiSheet.h"
#include "iuiSh_MultiTable.h"
#include "iuiSh_RefList.h"

#include <QPointer>
#include <QWidget>
#include <QtTest>

namespace {

QStringList listSheet() {
    return {"{^H}No|{^H}Entry", ":(LoopFrom)",
            "{SH(%CL_ChL_Name[@ch0])}n|{SH(%CL_ChL_FreqR[@ch0])}f", ":(LoopTo)"};
}

struct RefListFixture {
    RecordingSheetEnv env;
    RecordingCellSource source;
    SheetTable defs;
    QWidget host;

    RefListFixture() {
        defs.sheet("K", "(FixedRows=1)", "{<}", listSheet()).add("GI_Sys_AppTitle", {"Editor"});
        host.resize(300, 200);
        host.show();
    }
    iuiSh_RefList* open(int kind, const QString& command, int32_t owner = 7) {
        auto* list = new iuiSh_RefList(&host, defs.table(), kind, command, owner);
        list->popupAt(QRect(host.mapToGlobal(QPoint(20, 20)), QSize(80, 20)));
        return list;
    }
};

} // namespace

class tst_RefList : public QObject {
    Q_OBJECT
  private slots:
    void kindChoosesTheSheet_data();
    void kindChoosesTheSheet();
    void closing_data();
    void closing();
};

void tst_RefList::kindChoosesTheSheet_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("multiTable");
    QTest::addColumn<int>("rows");
    QTest::newRow("repeater site table") << 9 << true << 2;
    QTest::newRow("individual IDs") << 17 << false << 2;
    QTest::newRow("any other list") << 3 << false << 2;
}

void tst_RefList::kindChoosesTheSheet() {
    QFETCH(int, kind);
    QFETCH(bool, multiTable);
    QFETCH(int, rows);
    RefListFixture f;
    QPointer<iuiSh_RefList> list = f.open(kind, QStringLiteral("K,R 9"));
    QVERIFY(list->isVisible());
    QCOMPARE(dynamic_cast<iuiSh_MultiTable*>(list->sheet()) != nullptr, multiTable);
    QVERIFY(list->sheet()->hosted());
    QCOMPARE(list->sheet()->rowCount(), rows);
    // Below the cell, 8 pixels to the right of it.
    const QPoint cell = f.host.mapToGlobal(QPoint(20, 20));
    QCOMPARE(list->geometry().topLeft(), QPoint(cell.x() + 8, cell.y() + 20));
    delete list;
}

void tst_RefList::closing_data() {
    QTest::addColumn<int>("how"); // 0 Escape, 1 event 21, 2 event 1 naming the owner,
                                  // 3 event 1 naming another window
    QTest::addColumn<bool>("closes");
    QTest::newRow("Escape") << 0 << true;
    QTest::newRow("edits committed (event 21)") << 1 << true;
    QTest::newRow("event 1 naming the owner") << 2 << true;
    QTest::newRow("event 1 naming another window") << 3 << false;
}

void tst_RefList::closing() {
    QFETCH(int, how);
    QFETCH(bool, closes);
    cmcEvMan events;
    RefListFixture f;
    QPointer<iuiSh_RefList> list = f.open(9, QStringLiteral("K,R 9"), 7);
    QVERIFY(list->isVisible());
    switch (how) {
    case 0:
        QTest::keyClick(list->sheet()->grid(), Qt::Key_Escape);
        break;
    case 1:
        events.send(EV_BeforePrint);
        break;
    default:
        events.send(EV_SheetWindow, 0, how == 2 ? 7 : 8);
        break;
    }
    if (closes) {
        QTRY_VERIFY(!list);
    } else {
        QVERIFY(list->isVisible());
        delete list;
    }
}

QTEST_MAIN(tst_RefList)
#include "tst_reflist.moc"

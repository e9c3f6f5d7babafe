// The sheet area: opening and closing sheets with the position history, refreshing, and
// committing the in-place editor on request.

#include "SheetTestKit.h"
#include "cmcCellNames.h"
#include "cmcEvMan.h"
#include "cuiSheet.h"
#include "cuiSheetHost.h"

#include <QPlainTextEdit>
#include <QWidget>
#include <QtTest>
#include <memory>

namespace {

QStringList longSheet() {
    QStringList cells{"{^H}No|{^H}Name"};
    cells << ":(LoopFrom 300)"
          << "{SH(%CL_ChL_Name[0])}n|{SH(%CL_ChL_FreqR[0])}f"
          << ":(LoopTo)";
    return cells;
}

struct HostFixture {
    SheetTable defs;
    QWidget area;
    RecordingCellSource source;
    // Created after the definitions: the table is fixed at its first use.
    std::unique_ptr<cuiSheetHost> hostPtr{
        new cuiSheetHost(&area, defs.sheet("P", "(FixedRows=1)", "{<}", longSheet())
                                    .sheet("Q", "(FixedRows=1)", "{<}", longSheet())
                                    .table())};
    cuiSheetHost& host = *hostPtr;
    HostFixture() {
        area.resize(500, 300);
        area.show();
    }
};

} // namespace

class tst_SheetHost : public QObject {
    Q_OBJECT
  private slots:
    void reopeningRestoresPosition();
    void sameKeyOtherArgumentsSharesPosition();
    void historyKeepsOneEntryPerKey();
    void refreshWithoutTreeReopensLast();
    void commitEditsCommitsTheEditor();
};

void tst_SheetHost::reopeningRestoresPosition() {
    HostFixture f;
    cuiSheet* p = f.host.OpenSheet("P");
    p->SelectCell(1, 250);
    const int top = p->grid()->topRow();
    QVERIFY(top > 100);
    f.host.OpenSheet("Q");
    QCOMPARE(f.host.sheet()->grid()->row(), 1); // a sheet never seen starts at the top
    p = f.host.OpenSheet("P");
    QCOMPARE(p->grid()->col(), 1);
    QCOMPARE(p->grid()->row(), 250);
    QCOMPARE(p->grid()->topRow(), top);
}

void tst_SheetHost::sameKeyOtherArgumentsSharesPosition() {
    HostFixture f;
    f.host.OpenSheet("P,first")->SelectCell(0, 120);
    cuiSheet* p = f.host.OpenSheet("P,second");
    QCOMPARE(p->arguments(), QString("second"));
    QCOMPARE(p->grid()->row(), 120);
}

void tst_SheetHost::historyKeepsOneEntryPerKey() {
    HostFixture f;
    f.host.OpenSheet("P")->SelectCell(0, 10);
    f.host.OpenSheet("Q")->SelectCell(0, 20);
    f.host.OpenSheet("P")->SelectCell(0, 30);
    f.host.CloseSheet();
    QCOMPARE(f.host.history().size(), 2);
    QCOMPARE(f.host.history()[0].key, QString("P"));
    QCOMPARE(f.host.history()[0].row, 30);
    QCOMPARE(f.host.history()[1].key, QString("Q"));
    QVERIFY(!f.host.sheet());
}

void tst_SheetHost::refreshWithoutTreeReopensLast() {
    HostFixture f;
    f.host.OpenSheet("Q,x")->SelectCell(1, 42);
    f.host.RefreshSheet();
    QVERIFY(f.host.sheet());
    QCOMPARE(f.host.sheet()->command(), QString("Q,x"));
    QCOMPARE(f.host.sheet()->grid()->row(), 42);
}

void tst_SheetHost::commitEditsCommitsTheEditor() {
    cmcEvMan events;
    HostFixture f;
    cuiSheet* p = f.host.OpenSheet("P");
    p->StartEditor(0, 5);
    p->editor()->setPlainText("kept");
    f.host.CommitEdits();
    events.dispatchStep();
    QVERIFY(!p->editorVisible());
    QCOMPARE(f.source.texts.value(qMakePair(int(CL_ChL_Name), 4)), QString("kept"));
}

QTEST_MAIN(tst_SheetHost)
#include "tst_sheethost.moc"

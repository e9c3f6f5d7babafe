// The multi-table sheet: what its loop counts by the first letter of its arguments, the
// row that skips when a counted list is empty, and the factory's choice of the class.

#include "SheetTestKit.h"
#include "cuiGrid.h"
#include "cuiSheet.h"
#include "iuiSh_MultiTable.h"

#include <QWidget>
#include <QtTest>
#include <memory>

namespace {

class ListsEnv : public RecordingSheetEnv {
  public:
    int individualIdCount() const override { return individuals; }
    int individuals = 0;
};

QStringList loopSheet() {
    return {"{^H}No|{^H}Entry", ":(LoopFrom)", "{SH(%CL_ChL_Name[0])}n|{SH(%CL_ChL_FreqR[0])}f",
            ":(LoopTo)", "{<}end|{<}"};
}

} // namespace

class tst_MultiTable : public QObject {
    Q_OBJECT
  private slots:
    void loopCounts_data();
    void loopCounts();
};

void tst_MultiTable::loopCounts_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("individuals");
    QTest::addColumn<bool>("multiTable");
    QTest::addColumn<int>("loopRows");
    QTest::addColumn<int>("selectedTable");

    QTest::newRow("empty ID table keeps a row for a new entry") << "K,X" << 0 << true << 1 << 0;
    QTest::newRow("three IDs and the new-entry row") << "K,x" << 3 << true << 4 << 0;
    QTest::newRow("repeater sites: none in this model") << "K,R 9" << 0 << true << 1 << 0;
    QTest::newRow("multiple tables with a selected one") << "K,M P,5" << 0 << true << 16 << 5;
    QTest::newRow("no entries skip the loop row") << "K,Z" << 0 << false << 0 << 0;
    QTest::newRow("entries counted without an extra row") << "K,Z" << 2 << false << 2 << 0;
    QTest::newRow("banks") << "K,B" << 0 << false << 1 << 0;
}

void tst_MultiTable::loopCounts() {
    QFETCH(QString, command);
    QFETCH(int, individuals);
    QFETCH(bool, multiTable);
    QFETCH(int, loopRows);
    QFETCH(int, selectedTable);

    ListsEnv env;
    env.individuals = individuals;
    RecordingCellSource source;
    SheetTable defs;
    cmcGTex& table = defs.sheet("K", "(FixedRows=1)", "{<}", loopSheet()).table();
    QWidget area;
    area.resize(400, 300);

    std::unique_ptr<cuiSheet> sheet;
    if (multiTable) {
        sheet.reset(cuiSheet::create(&area, command, table));
        QVERIFY(dynamic_cast<iuiSh_MultiTable*>(sheet.get()));
    } else {
        // Letters the factory does not send to the multi-table sheet; its windows make one
        // themselves.
        auto* multi = new iuiSh_MultiTable(&area, table);
        multi->setKey("K");
        multi->SetArguments(command.mid(2));
        sheet.reset(multi);
    }
    sheet->Build();
    auto* multi = static_cast<iuiSh_MultiTable*>(sheet.get());
    QCOMPARE(sheet->grid()->rowCount(), 1 + loopRows + 1); // header, loop, last line
    QCOMPARE(multi->selectedTable(), selectedTable);
    if (loopRows > 0) {
        // The last loop row never joins a multi-selection; the row before it may.
        QVERIFY(!sheet->rowEntry(loopRows).select);
        if (loopRows > 1) QVERIFY(sheet->rowEntry(loopRows - 1).select);
    }
}

QTEST_MAIN(tst_MultiTable)
#include "tst_multitable.moc"

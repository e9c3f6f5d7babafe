// The multi-table sheet: what its loop counts by the first letter of its arguments, the
// row that skips when a counted list is empty, the factory's choice of the class; the
// repeater site table with its site, its last row that never joins a multi-selection,
// rows added and removed at the end while the current cell stays on its entry, lines for
// printed copies only, its questions and titles.

#include "SheetTestKit.h"
#include "cmcEvMan.h"
#include "cuiGrid.h"
#include "cuiPageRenderer.h"
#include "cuiPrinter.h"
#include "cuiSheet.h"
#include "iuiSh_MultiTable.h"

#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>
#include <memory>

namespace {

class ListsEnv : public RecordingSheetEnv {
  public:
    int individualIdCount() const override { return individuals; }
    int repeaterRows(int site) const override { return sites.value(site); }
    int repeaterFirstRow(int site) const override { return 20 * site; }
    int repeaterFreeRows(int site) const override { return 20 - sites.value(site); }
    int individuals = 0;
    QMap<int, int> sites; // used rows by site
};

QStringList loopSheet() {
    return {"{^H}No|{^H}Entry", ":(LoopFrom)", "{SH(%CL_ChL_Name[0])}n|{SH(%CL_ChL_FreqR[0])}f",
            ":(LoopTo)", "{<}end|{<}"};
}

// A repeater table as the program's window shows one: a heading, two lines that only a
// printed copy carries, the site's rows and the row for a new entry.
QStringList siteSheet() {
    return {"{^H}No|{^H}Repeater",
            ":(Only_Print 2)",
            "{<H}printed 1|{<}",
            "{<H}printed 2|{<}",
            ":(LoopFrom)",
            "{SH(%CL_ChL_Name[@ch0])}n|{SH(%CL_ChL_FreqR[@ch0])}f",
            ":(LoopTo)"};
}

struct SiteFixture {
    ListsEnv env;
    RecordingCellSource source;
    SheetTable defs;
    QWidget area;
    std::unique_ptr<iuiSh_MultiTable> sheet;

    explicit SiteFixture(int usedRows, const QString& key = QStringLiteral("GI_Sheet_RptSetWin"),
                         const QString& arguments = QStringLiteral("R 9,2")) {
        env.sites.insert(2, usedRows);
        defs.sheet(key, "(TitleString=Repeater)(FixedRows=1)(MultiSelect=Line)", "{<}", siteSheet())
            .add("GI_AppInd_RptSheet_Printer_Head", {"Repeater List"})
            .add("GI_AppInd_Sheet_Title_Site", {"Site"});
        area.resize(400, 400);
        sheet = std::make_unique<iuiSh_MultiTable>(&area, defs.table());
        sheet->setKey(key);
        sheet->SetArguments(arguments);
    }
    void build() {
        sheet->Build();
        area.show();
        QCoreApplication::processEvents();
    }
    cuiGrid* grid() const { return sheet->grid(); }
    int currentIndex() { return sheet->CellObjectAt(grid()->col(), grid()->row()).index; }
};

} // namespace

class tst_MultiTable : public QObject {
    Q_OBJECT
  private slots:
    void loopCounts_data();
    void loopCounts();
    void siteRows_data();
    void siteRows();
    void lastRowStaysOutOfMultiSelection();
    void rowsAddedAndRemoved_data();
    void rowsAddedAndRemoved();
    void printOnlyLines();
    void questionsAndSiteTitle();
    void titles_data();
    void titles();
};

void tst_MultiTable::loopCounts_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("individuals");
    QTest::addColumn<bool>("multiTable");
    QTest::addColumn<int>("loopRows");
    QTest::addColumn<int>("selectedTable");

    QTest::newRow("empty ID table keeps a row for a new entry") << "K,X" << 0 << true << 1 << 0;
    QTest::newRow("three IDs and the new-entry row") << "K,x" << 3 << true << 4 << 0;
    QTest::newRow("repeater site without entries") << "K,R 9" << 0 << true << 1 << 0;
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

void tst_MultiTable::siteRows_data() {
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("openerSite");
    QTest::newRow("site in the arguments") << "R 9,2" << 7;
    QTest::newRow("site of the opening cell") << "R 9" << 2;
}

// Site 2 has 3 rows in use from list row 40: 4 loop rows, numbered from 40, the fourth
// selectable for a new entry.
void tst_MultiTable::siteRows() {
    QFETCH(QString, arguments);
    QFETCH(int, openerSite);
    SiteFixture f(3, QStringLiteral("GI_Sheet_RptSetWin"), arguments);
    f.sheet->setSite(openerSite);
    f.build();
    QCOMPARE(f.sheet->site(), 2);
    QCOMPARE(f.sheet->rowCount(), 3);
    QCOMPARE(f.sheet->firstRow(), 40);
    QCOMPARE(f.grid()->rowCount(), 1 + 4);
    for (int r = 1; r <= 4; ++r)
        QCOMPARE(f.sheet->CellObjectAt(0, r).index, 40 + r - 1);
    QVERIFY(f.sheet->CellObjectAt(0, 4).selectable);
}

void tst_MultiTable::lastRowStaysOutOfMultiSelection() {
    SiteFixture f(3);
    f.build();
    f.sheet->SelectCell(0, 1);
    f.grid()->setFocus();
    QTest::keyClick(f.grid(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(f.grid(), Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(f.grid()->row(), 3);
    QVERIFY(f.sheet->isMarked(1, 1) && f.sheet->isMarked(1, 3));
    // The new-entry row cannot be added to the rows of used entries.
    QTest::keyClick(f.grid(), Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(f.grid()->row(), 3);
    QVERIFY(!f.sheet->isMarked(0, 4));
    // On its own it is selectable.
    QTest::keyClick(f.grid(), Qt::Key_Down);
    QCOMPARE(f.grid()->row(), 4);
}

void tst_MultiTable::rowsAddedAndRemoved_data() {
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<int>("change"); // rows added (> 0) or removed (< 0)
    QTest::addColumn<int>("rowsAfter");
    QTest::addColumn<int>("entryAfter"); // list row of the current cell afterwards

    // 3 used rows from list row 40: grid rows 1..4, row 4 the new entry's.
    QTest::newRow("last 2 entries removed from the last row") << 4 << -2 << 3 << 41;
    QTest::newRow("last 2 entries removed from the row above") << 3 << -2 << 3 << 41;
    QTest::newRow("one entry removed above the current row") << 1 << -1 << 4 << 40;
    QTest::newRow("more removed than there are") << 4 << -9 << 2 << 40;
    QTest::newRow("two entries added") << 2 << 2 << 7 << 41;
}

void tst_MultiTable::rowsAddedAndRemoved() {
    QFETCH(int, currentRow);
    QFETCH(int, change);
    QFETCH(int, rowsAfter);
    QFETCH(int, entryAfter);
    cmcEvMan events;
    SiteFixture f(3);
    f.build();
    f.sheet->SelectCell(1, currentRow);
    if (change > 0)
        events.send(cmcEvRowsAdded{change});
    else
        events.send(cmcEvRowsRemoved{-change});
    QCOMPARE(f.grid()->rowCount(), rowsAfter);
    QCOMPARE(f.sheet->sheetLayout().rowCount(), rowsAfter);
    QVERIFY(f.grid()->row() < rowsAfter);
    QCOMPARE(f.currentIndex(), entryAfter);
    // Whatever the change, the last row stays out of multi-selections and the rows above
    // it may join them.
    const int last = rowsAfter - 1;
    QCOMPARE(f.sheet->CellAt(0, last).flags & 1, 0);
    if (last > 1) QCOMPARE(f.sheet->CellAt(0, last - 1).flags & 1, 1);
    if (change > 0) QCOMPARE(f.grid()->rowHeight(last), f.grid()->rowHeight(1));
}

// Lines for printed copies only: not on screen; in the printed PDF, two more rows than the
// screen shows less the new-entry row.
void tst_MultiTable::printOnlyLines() {
    SiteFixture f(3);
    f.build();
    QCOMPARE(f.grid()->rowCount(), 1 + 4);
    for (int r = 0; r < f.grid()->rowCount(); ++r)
        QVERIFY(!f.sheet->CellObjectAt(0, r).displayText.startsWith(QLatin1String("printed")));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sites.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setResolution(300);
    cuiPrinter p(nullptr, f.defs.table());
    cuiPageRenderer renderer(f.defs.table(), p.pageSetup(printer));
    QPainter painter(&printer);
    QCOMPARE(renderer.print(QStringLiteral("GI_Sheet_RptSetWin,R 9,2"), printer, painter), 1);
    painter.end();
    QVERIFY(QFile(path).size() > 0);
    int printedRows = 1; // the heading repeats on every page
    for (const clsPageRun& band : renderer.rowBands())
        printedRows += band.count;
    QCOMPARE(printedRows, 1 + 2 + 3);
}

void tst_MultiTable::questionsAndSiteTitle() {
    cmcEvMan events;
    SiteFixture f(3);
    f.build();
    const auto position = cmcEvListPosition::ask(events);
    QVERIFY(position);
    QCOMPARE(position->firstRow, 40);
    const auto site = cmcEvSite::ask(events);
    QVERIFY(site);
    QCOMPARE(site->site, 2);

    QLabel* label = f.sheet->titleLabel();
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("Repeater"));
    events.send(EV_ListChanged);
    QCOMPARE(label->text(), QStringLiteral(" Repeater - Site:  3  (Left CH -   17)"));
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::yellow));
}

void tst_MultiTable::titles_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("title");
    QTest::newRow("repeater window") << "GI_Sheet_RptSetWin"
                                     << "R 9,2"
                                     << "Repeater List (Site:  3)";
    QTest::newRow("repeater window, other kind") << "GI_Sheet_RptSetWin_KELD"
                                                 << "R 9,0"
                                                 << "Repeater List (Site:  1)";
    QTest::newRow("ID table") << "GI_Sheet_Digital_Ind_Id"
                              << "X"
                              << "Repeater";
    QTest::newRow("selected multiple table") << "GI_Sheet_MultipleTable"
                                             << "M P,4"
                                             << "Repeater - 5";
    QTest::newRow("any other sheet") << "GI_Sheet_Other"
                                     << "R 9,2"
                                     << "";
}

void tst_MultiTable::titles() {
    QFETCH(QString, key);
    QFETCH(QString, arguments);
    QFETCH(QString, title);
    SiteFixture f(3, key, arguments);
    f.build();
    QCOMPARE(f.sheet->GetTitle(), title);
}

QTEST_MAIN(tst_MultiTable)
#include "tst_multitable.moc"

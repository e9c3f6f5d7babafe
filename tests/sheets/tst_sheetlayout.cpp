// The sheet layout and the cell painter on their own: a definition gives the cell matrix and
// sizes, and the cells are drawn on an image. The test runs on a GUI application without
// widgets, where creating any widget would abort: the layout and the painter need none.

#include "SheetTestKit.h"
#include "cmcCellNames.h"
#include "cuiCellPainter.h"
#include "cuiSheetLayout.h"
#include "iuiSh_ChBankLayout.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QtTest>
#include <memory>

namespace {

std::unique_ptr<cuiSheetLayout> built(SheetTable& defs, const QString& command) {
    std::unique_ptr<cuiSheetLayout> layout = cuiSheetLayout::create(command, defs.table());
    layout->Build();
    return layout;
}

} // namespace

class tst_SheetLayout : public QObject {
    Q_OBJECT
    RecordingSheetEnv m_env;
    RecordingCellSource m_source;

  private slots:
    void noWidgetsCanExist() { QVERIFY(!QCoreApplication::instance()->inherits("QApplication")); }

    void matrixFromDefinition_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("matrixRows");
        QTest::addColumn<int>("lastIndex"); // index of cell (1, rows - 1)
        QTest::newRow("the widest line sets the columns")
            << "S" << QStringList{"{S}a|b|c", "{S}d"} << 3 << 2 << 2 << 0;
        QTest::newRow("a counted loop repeats its body with the index advanced")
            << "S"
            << QStringList{"H|H", ":(LoopFrom 4)", "{S(%CL_ChL_Name[0])}x|{S(%CL_ChL_FreqR[0])}y",
                           ":(LoopTo)", "E|E"}
            << 2 << 6 << 6 << 0;
        QTest::newRow("rows after the loop")
            << "S"
            << QStringList{":(LoopFrom 3)", "{S(%CL_ChL_Name[0])}x|{S(%CL_ChL_FreqR[0])}y",
                           ":(LoopTo)"}
            << 2 << 3 << 3 << 2;
        QTest::newRow("skipped lines are no rows")
            << "S" << QStringList{"a|b", ":(Never 1)", "c|d", "e|f"} << 2 << 2 << 2 << 0;
        QTest::newRow("bank sheet: a row per channel, matrix padded")
            << "[St_ChBank]S,Bank 0"
            << QStringList{"{^}No|{^}Name", ":(LoopFrom)",
                           "{S(%CL_ChL_Name[0])}x|{S(%CL_ChL_FreqR[0])}y", ":(LoopTo)"}
            << 2 << 501 << iuiSh_ChBankLayout::MatrixRows << 499;
    }
    void matrixFromDefinition() {
        QFETCH(QString, command);
        QFETCH(QStringList, cells);
        QFETCH(int, cols);
        QFETCH(int, rows);
        QFETCH(int, matrixRows);
        QFETCH(int, lastIndex);
        SheetTable defs;
        defs.sheet("S", "", "{<}", cells);
        auto layout = built(defs, command);
        QCOMPARE(layout->colCount(), cols);
        QCOMPARE(layout->rowCount(), rows);
        QCOMPARE(layout->matrixRows(), matrixRows);
        QCOMPARE(layout->CellObjectAt(1, rows - 1).index, lastIndex);
        // Every row has a height and every column a width.
        for (int r = 0; r < rows; ++r)
            QVERIFY(layout->rowHeight(r) >= 1);
        for (int c = 0; c < cols; ++c)
            QVERIFY(layout->colWidth(c) >= 1);
    }

    // A fitted cell is as wide as its text in its font plus the margins; a column without
    // one stays one pixel wide. A printable copy is measured in the printer's pixels: its
    // font is the print height given (83 pixels: 10 points at 600 dpi), its margins are
    // stretched from the definitions' 96 dpi, and no screen takes part.
    void fittedSizes_data() {
        QTest::addColumn<bool>("printing");
        QTest::newRow("screen") << false;
        QTest::newRow("printer at 600 dpi") << true;
    }
    void fittedSizes() {
        QFETCH(bool, printing);
        SheetTable defs;
        defs.sheet("S", "", "{(Font=,Arial,,-20,,,)}", {"{WH}WWWWWWWW|{}x", "{H}a|b"});
        auto layout = cuiSheetLayout::create("S", defs.table());
        QImage printer(10, 10, QImage::Format_RGB32);
        const double scale = printing ? 600.0 / cuiSheetLayout::DefinitionDpi : 1.0;
        printer.setDotsPerMeterX(int(600 / 0.0254));
        printer.setDotsPerMeterY(int(600 / 0.0254));
        if (printing) {
            layout->setPrinting(true, &printer, scale);
            layout->setPrintFontHeight(-83);
        }
        layout->Build();
        const QFont font = layout->CellObjectAt(0, 0).effectiveFont()->toQFont();
        QCOMPARE(font.pixelSize(), printing ? 83 : 20);
        const QFontMetricsF fm(font, &printer);
        const double text = fm.horizontalAdvance("WWWWWWWW");
        QVERIFY2(std::abs(layout->colWidth(0) - int(text + 8 * scale + 0.5)) <= 1,
                 qPrintable(QString("%1 for a text of %2").arg(layout->colWidth(0)).arg(text)));
        QVERIFY(std::abs(layout->rowHeight(0) - int(fm.height() + 2 * scale + 0.5)) <= 1);
        QVERIFY(layout->colWidth(1) <= int(scale));
        QCOMPARE(layout->rowHeight(1), layout->rowHeight(0)); // fitted in its first cell
    }

    // The painter draws coloured cells, lines, texts from the source, joined runs as one,
    // and printer colours, on a plain image.
    void paintsOnAnImage() {
        SheetTable defs;
        defs.sheet("S", "", "{H(Font=,Arial,clBlack,-13,,,)}",
                   {"{WH(Color=clRed)}Head|{W+(Color=clBlue)}|{W(Color=clWindow)}z",
                    "{SWH(%CL_ChL_Name[0])}|{W}b|{W(Color=clGray)}c"});
        m_source.texts.insert(qMakePair(int(CL_ChL_Name), 0), "Value");
        auto layout = built(defs, "S");
        for (int c = 0; c < 3; ++c)
            layout->setColWidth(c, 60);
        cuiCellPainter painter(*layout, &m_source);
        const QSize size = painter.blockSize(0, 0, 2, 1, 1.0);
        QCOMPARE(size, QSize(180, layout->rowHeight(0) + layout->rowHeight(1)));
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::black);
        {
            QPainter p(&image);
            painter.paintBlock(p, 0, 0, 2, 1, clsCellLook());
        }
        // The joined second cell shows the first cell's red, not its own blue.
        QCOMPARE(image.pixelColor(110, 1), QColor(Qt::red));
        QCOMPARE(image.pixelColor(121, 1), cuiColor::toQColor(cuiColor::clWindow));
        // The value's text comes from the source: dark pixels in the first body cell.
        const int y0 = layout->rowHeight(0);
        bool text = false;
        for (int x = 0; x < 60 && !text; ++x)
            for (int y = y0; y < size.height() && !text; ++y)
                text = image.pixelColor(x, y).lightness() < 80;
        QVERIFY(text);

        // Printed: coloured cells dark grey, the rest white, at twice the size.
        QImage printed(size * 2, QImage::Format_RGB32);
        printed.fill(Qt::black);
        {
            QPainter p(&printed);
            clsCellLook look;
            look.printing = true;
            look.scale = 2.0;
            painter.paintBlock(p, 0, 0, 2, 1, look);
        }
        QCOMPARE(printed.pixelColor(2, 2), QColor(96, 96, 96));
        QCOMPARE(printed.pixelColor(2 * 150, 2 * y0 + 2), QColor(96, 96, 96));
        QCOMPARE(printed.pixelColor(2 * 150, 2), QColor(Qt::white));
        QCOMPARE(printed.pixelColor(printed.width() - 2, printed.height() - 2), QColor(96, 96, 96));
    }

    // The selection colours come from the caller.
    void selectionColoursAreInputs() {
        SheetTable defs;
        defs.sheet("S", "", "{}", {"{SWH}a"});
        auto layout = built(defs, "S");
        layout->setColWidth(0, 40);
        layout->setRowHeight(0, 20);
        cuiCellPainter painter(*layout);
        QImage image(40, 20, QImage::Format_RGB32);
        clsCellLook look;
        look.fill = clsCellLook::SelectLine;
        look.selectLine = QColor(1, 2, 3);
        {
            QPainter p(&image);
            painter.paintRun(p, 0, 0, 0, image.rect(), look);
        }
        QCOMPARE(image.pixelColor(38, 2), QColor(1, 2, 3));
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    tst_SheetLayout test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sheetlayout.moc"

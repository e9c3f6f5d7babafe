// The page renderer on sheets defined for the test: heading cells that forbid a page break,
// a column too wide for the page that makes the font shrink, pages drawn from the sheet's
// layout with no widget made for them, and sheets not printed that are never laid out.

#include "ScriptedPrompt.h"
#include "SheetTestKit.h"
#include "cuiPageRenderer.h"
#include "cuiPrinter.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

int pdfPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
    return int(QString::fromLatin1(file.readAll()).count(page));
}

// A sheet of one heading row and one heading column, 14 data columns of text, 3 rows;
// flagged names the column whose heading cell carries the no-break flag (-1: none).
void wideSheet(SheetTable& defs, int flagged, const QString& longText = QString()) {
    QStringList head{QStringLiteral("{W}No.")};
    QStringList row{QStringLiteral("{W}1")};
    for (int c = 1; c <= 14; ++c) {
        head.append(c == flagged ? QStringLiteral("{W(Flag6=1)}Column %1").arg(c)
                                 : QStringLiteral("{W}Column %1").arg(c));
        row.append(QStringLiteral("{W}") + (c == 1 && !longText.isEmpty()
                                                ? longText
                                                : QStringLiteral("Value text %1").arg(c)));
    }
    defs.sheet(QStringLiteral("S"), QStringLiteral("(FixedRows=1)(FixedCols=1)(TitleString=Wide)"),
               QStringLiteral("{<}"),
               {head.join('|'), row.join('|'), row.join('|'), row.join('|')});
    defs.add(QStringLiteral("GI_Sys_Printer_Margins"), {QStringLiteral("10,10,10,10")});
    defs.add(QStringLiteral("GI_Sys_Printer_FrameFont"), {QStringLiteral("9")});
}

struct Job {
    QTemporaryDir dir;
    QPrinter printer{QPrinter::HighResolution};
    explicit Job(int points = 12) : points(points) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
        printer.setResolution(300);
        printer.setPageSize(QPageSize(QPageSize::A5));
    }
    int points;
    std::unique_ptr<cuiPrinter> owner; // holds the cancel flag the renderer watches
    std::unique_ptr<cuiPageRenderer> renderer(cmcGTex& table) {
        owner = std::make_unique<cuiPrinter>(nullptr, table);
        owner->setFontSize(points);
        return std::make_unique<cuiPageRenderer>(table, owner->pageSetup(printer));
    }
};

std::vector<int> blockStarts(const cuiPageRenderer& r) {
    std::vector<int> starts;
    for (const clsPageRun& b : r.columnBlocks())
        starts.push_back(b.first);
    return starts;
}

} // namespace

class tst_Renderer : public QObject {
    Q_OBJECT
    RecordingSheetEnv m_env;
    RecordingCellSource m_source;

  private slots:
    void noBreakHeadingKeepsColumnsTogether() {
        // Where does a block start without any flag?
        int split = -1;
        {
            SheetTable defs;
            wideSheet(defs, -1);
            Job job;
            auto r = job.renderer(defs.table());
            QVERIFY(r->measure(QStringLiteral("S")) > 1);
            const std::vector<int> starts = blockStarts(*r);
            QVERIFY(starts.size() >= 2);
            split = starts[1];
        }
        // The flag on that column's heading moves the end of the block before it.
        SheetTable defs;
        wideSheet(defs, split);
        Job job;
        auto r = job.renderer(defs.table());
        const int pages = r->measure(QStringLiteral("S"));
        const std::vector<int> starts = blockStarts(*r);
        QVERIFY(std::find(starts.begin(), starts.end(), split) == starts.end());
        QVERIFY2(std::find(starts.begin(), starts.end(), split - 1) != starts.end(),
                 "the block ends one column earlier");
        // Across then down: every band has every block; printing gives the same pages.
        QCOMPARE(pages, int(r->columnBlocks().size() * r->rowBands().size()));
        QPainter painter(&job.printer);
        QCOMPARE(r->print(QStringLiteral("S"), job.printer, painter), pages);
        painter.end();
        QCOMPARE(pdfPages(job.printer.outputFileName()), pages);
    }

    void columnWiderThanThePageShrinksTheFont() {
        SheetTable defs;
        wideSheet(defs, -1, QString(300, QLatin1Char('W')));
        Job job;
        auto r = job.renderer(defs.table());
        const int initial = cuiPageLayout::fontHeight(12, 300);
        const int pages = r->measure(QStringLiteral("S"));
        QVERIFY(pages > 1);
        QCOMPARE(r->columnBlocks().front().count, 1); // the wide column is a block alone
        QVERIFY2(r->lastFontHeight() > initial && r->lastFontHeight() < 0,
                 qPrintable(QString::number(r->lastFontHeight())));
        // Every page keeps the font it was fitted to: drawn later, it looks as printed.
        QCOMPARE(int(r->pages().size()), pages);
        QCOMPARE(r->pages().front().fontHeight, r->lastFontHeight());
        QCOMPARE(r->pages().back().fontHeight, r->lastFontHeight());
        QVERIFY(!r->pageImage(pages - 1, QSize(420, 595)).isNull());
        QVERIFY(r->pageImage(pages, QSize(420, 595)).isNull());
    }

    // While pages are drawn and printed no widget exists beyond the ones there before: no
    // sheet, no grid, no hidden owner window.
    void pagesNeedNoWidgets() {
        SheetTable defs;
        wideSheet(defs, -1);
        Job job;
        auto r = job.renderer(defs.table());
        const int before = int(QApplication::allWidgets().size());
        QList<int> seen;
        const int pages = r->measure(QStringLiteral("S"));
        QVERIFY(pages > 1);
        for (int i = 0; i < pages; ++i) {
            QVERIFY(!r->pageImage(i, QSize(420, 595)).isNull());
            seen.append(int(QApplication::allWidgets().size()));
        }
        QCOMPARE(seen, QList<int>(pages, before));
        seen.clear();
        clsPageSetup setup = job.owner->pageSetup(job.printer);
        setup.pagePrinted = [&] { seen.append(int(QApplication::allWidgets().size())); };
        cuiPageRenderer printing(defs.table(), setup);
        QPainter painter(&job.printer);
        QCOMPARE(printing.print(QStringLiteral("S"), job.printer, painter), pages);
        painter.end();
        QCOMPARE(seen, QList<int>(pages, before));
        QCOMPARE(pdfPages(job.printer.outputFileName()), pages);
    }

    // A sheet that is not printed is dropped on its style alone: its cells are never
    // parsed (here they would stop the program on a label no table knows), and the
    // sheets around it print as before.
    void sheetNotPrintedIsNotLaidOut() {
        SheetTable defs;
        wideSheet(defs, -1);
        const QStringList broken{QStringLiteral("{(%CL_NoSuchLabel)}x")};
        defs.sheet(QStringLiteral("Hidden"), QStringLiteral("(NoPrint)"), QStringLiteral("{<}"),
                   broken);
        defs.sheet(QStringLiteral("Shown"), QString(), QStringLiteral("{<}"), broken);
        Job job;
        auto r = job.renderer(defs.table());
        FatalGuard guard;
        int hidden = -1;
        try {
            hidden = r->measure(QStringLiteral("Hidden"));
        } catch (const cmcFatalError& e) {
            QFAIL(qPrintable(QStringLiteral("laid out: ") + e.message));
        }
        QCOMPARE(hidden, 0);
        QVERIFY(r->pages().empty());
        const int pages = r->measure(QStringLiteral("S"));
        QVERIFY(pages > 0);
        QCOMPARE(int(r->pages().size()), pages);
        // The same cells in a printed sheet are laid out, and their fault shows.
        bool stopped = false;
        try {
            r->measure(QStringLiteral("Shown"));
        } catch (const cmcFatalError&) {
            stopped = true;
        }
        QVERIFY(stopped);
    }

    void cancelStopsAtTheNextBlock() {
        SheetTable defs;
        wideSheet(defs, -1);
        Job job;
        cuiPrinter p(nullptr, defs.table());
        clsPageSetup setup = p.pageSetup(job.printer);
        bool cancel = true;
        setup.cancel = &cancel;
        cuiPageRenderer r(defs.table(), setup);
        QCOMPARE(r.measure(QStringLiteral("S")), 0);
    }
};

QTEST_MAIN(tst_Renderer)
#include "tst_renderer.moc"

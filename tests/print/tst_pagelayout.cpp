// Page geometry: printable rectangle, frame sizes, pagination and the font fit.

#include "cuiPageLayout.h"

#include <QTest>

Q_DECLARE_METATYPE(clsPageRect)
Q_DECLARE_METATYPE(std::vector<int>)
Q_DECLARE_METATYPE(std::vector<bool>)
Q_DECLARE_METATYPE(std::vector<clsPageRun>)

class tst_PageLayout : public QObject {
    Q_OBJECT
  private slots:
    void printableRect_data();
    void printableRect();
    void frameSizes_data();
    void frameSizes();
    void columnBlocks_data();
    void columnBlocks();
    void rowBands_data();
    void rowBands();
    void fitFontHeight_data();
    void fitFontHeight();
};

void tst_PageLayout::printableRect_data() {
    QTest::addColumn<QString>("margins");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<clsPageRect>("expected");
    // A4 at 600 dpi: 4960 × 7016 pixels.
    QTest::newRow("10 mm at 600 dpi") << "10,10,10,10" << 600 << clsPageRect{236, 236, 4724, 6780};
    QTest::newRow("order left,top,right,bottom")
        << "5,10,15,20" << 600 << clsPageRect{118, 236, 4960 - 354, 7016 - 472};
    QTest::newRow("blanks are trimmed")
        << " 10 , 10,10 ,10" << 600 << clsPageRect{236, 236, 4724, 6780};
    QTest::newRow("bad fields count as 0") << "x,10,,-3" << 600 << clsPageRect{0, 236, 4960, 7016};
    QTest::newRow("missing fields count as 0") << "10" << 300 << clsPageRect{118, 0, 4960, 7016};
}

void tst_PageLayout::printableRect() {
    QFETCH(QString, margins);
    QFETCH(int, dpi);
    QFETCH(clsPageRect, expected);
    const clsPageRect r = cuiPageLayout::printableRect(margins, dpi, 4960, 7016);
    QCOMPARE(r.left, expected.left);
    QCOMPARE(r.top, expected.top);
    QCOMPARE(r.right, expected.right);
    QCOMPARE(r.bottom, expected.bottom);
}

void tst_PageLayout::frameSizes_data() {
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("t");
    QTest::addColumn<int>("contentOffset");
    QTest::newRow("9 pt at 600 dpi") << 9 << 600 << 75 << 8 << 123;
    QTest::newRow("9 pt at 300 dpi") << 9 << 300 << 37 << 4 << 61;
    QTest::newRow("10 pt at 96 dpi") << 10 << 96 << 13 << 2 << 25;
}

void tst_PageLayout::frameSizes() {
    QFETCH(int, points);
    QFETCH(int, dpi);
    QFETCH(int, h);
    QFETCH(int, t);
    QFETCH(int, contentOffset);
    QCOMPARE(cuiPageLayout::frameHeight(points, dpi), h);
    QCOMPARE(cuiPageLayout::frameBar(h), t);
    const clsPageRect printable{236, 236, 4724, 6780};
    const clsPageRect content = cuiPageLayout::contentRect(printable, h, t);
    QCOMPARE(content.top, printable.top + contentOffset);
    QCOMPARE(content.bottom, printable.bottom - contentOffset);
    QCOMPARE(content.left, printable.left);
    QCOMPARE(content.right, printable.right);
}

void tst_PageLayout::columnBlocks_data() {
    QTest::addColumn<std::vector<int>>("widths");
    QTest::addColumn<int>("fixed");
    QTest::addColumn<std::vector<bool>>("noBreak");
    QTest::addColumn<int>("W");
    QTest::addColumn<std::vector<clsPageRun>>("expected");
    const std::vector<int> ten(10, 100);
    QTest::newRow("narrow sheet is one block")
        << ten << 1 << std::vector<bool>() << 5000 << std::vector<clsPageRun>{{1, 9}};
    // The fixed column (100) is repeated on every page: 3 more columns fit in 400.
    QTest::newRow("fixed column repeats") << ten << 1 << std::vector<bool>() << 400
                                          << std::vector<clsPageRun>{{1, 3}, {4, 3}, {7, 3}};
    // Without the flag the first block would be columns 1..5; the flag on column 6 moves
    // the end before column 5.
    std::vector<bool> flag6(10, false);
    flag6[6] = true;
    QTest::newRow("no break before column 6")
        << ten << 1 << flag6 << 600 << std::vector<clsPageRun>{{1, 4}, {5, 5}};
    // A run of flagged columns longer than the page still ends at the first allowed point.
    std::vector<bool> run(10, false);
    run[2] = run[3] = run[4] = true;
    QTest::newRow("flagged run wider than the page")
        << ten << 1 << run << 250
        << std::vector<clsPageRun>{{1, 4}, {5, 1}, {6, 1}, {7, 1}, {8, 1}, {9, 1}};
    QTest::newRow("one column wider than the page")
        << std::vector<int>{50, 900, 100} << 1 << std::vector<bool>() << 300
        << std::vector<clsPageRun>{{1, 1}, {2, 1}};
    QTest::newRow("all columns fixed")
        << std::vector<int>{50, 50} << 2 << std::vector<bool>() << 300 << std::vector<clsPageRun>();
}

void tst_PageLayout::columnBlocks() {
    QFETCH(std::vector<int>, widths);
    QFETCH(int, fixed);
    QFETCH(std::vector<bool>, noBreak);
    QFETCH(int, W);
    QFETCH(std::vector<clsPageRun>, expected);
    const std::vector<clsPageRun> blocks = cuiPageLayout::columnBlocks(widths, fixed, noBreak, W);
    QCOMPARE(blocks.size(), expected.size());
    for (size_t i = 0; i < blocks.size(); ++i) {
        QCOMPARE(blocks[i].first, expected[i].first);
        QCOMPARE(blocks[i].count, expected[i].count);
    }
    // No block ever starts at a flagged column.
    for (const clsPageRun& b : blocks)
        if (b.first > fixed) QVERIFY(b.first >= int(noBreak.size()) || !noBreak[size_t(b.first)]);
}

void tst_PageLayout::rowBands_data() {
    QTest::addColumn<std::vector<int>>("heights");
    QTest::addColumn<int>("fixed");
    QTest::addColumn<int>("H");
    QTest::addColumn<std::vector<clsPageRun>>("expected");
    const std::vector<int> rows(7, 10);
    QTest::newRow("fits") << rows << 2 << 100 << std::vector<clsPageRun>{{2, 5}};
    // Two header rows (20) repeat: 3 rows fit in 50, a row exactly at the edge fits.
    QTest::newRow("header rows repeat")
        << rows << 2 << 50 << std::vector<clsPageRun>{{2, 3}, {5, 2}};
    QTest::newRow("row taller than the page")
        << std::vector<int>{10, 500, 10} << 1 << 100 << std::vector<clsPageRun>{{1, 1}, {2, 1}};
}

void tst_PageLayout::rowBands() {
    QFETCH(std::vector<int>, heights);
    QFETCH(int, fixed);
    QFETCH(int, H);
    QFETCH(std::vector<clsPageRun>, expected);
    const std::vector<clsPageRun> bands = cuiPageLayout::rowBands(heights, fixed, H);
    QCOMPARE(bands.size(), expected.size());
    for (size_t i = 0; i < bands.size(); ++i) {
        QCOMPARE(bands[i].first, expected[i].first);
        QCOMPARE(bands[i].count, expected[i].count);
    }
}

void tst_PageLayout::fitFontHeight_data() {
    QTest::addColumn<int>("block"); // block width and height at font height -100
    QTest::addColumn<int>("floor"); // the block never shrinks below this size
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("measures");
    QTest::newRow("fits at once") << 800 << 0 << -100 << 1;
    QTest::newRow("one shrink") << 2000 << 0 << -50 << 2;
    QTest::newRow("never fits: four measurements") << 2000 << 1500 << -22 << 4;
}

void tst_PageLayout::fitFontHeight() {
    QFETCH(int, block);
    QFETCH(int, floor);
    QFETCH(int, height);
    QFETCH(int, measures);
    int made = 0;
    auto measure = [&](int fh) {
        const int size = std::max(floor, block * -fh / 100);
        return cuiPageLayout::Size{size, size / 2};
    };
    QCOMPARE(cuiPageLayout::fitFontHeight(-100, 1000, 1000, measure, &made), height);
    QCOMPARE(made, measures);
}

QTEST_GUILESS_MAIN(tst_PageLayout)
#include "tst_pagelayout.moc"

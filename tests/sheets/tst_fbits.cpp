// The bit-field window and the segment set of the display characters: the generated
// definition builds the header and flag cells of every header kind, space and double click
// toggle flags, the sentence kind allows at most three, OK sends the value once as decimal
// text to the calling cell and Cancel sends nothing, the tick sits where it should, and the
// segment lines are read as the overlay writes them.

#include "SheetTestKit.h"
#include "cmcCellNames.h"
#include "cmcEvMan.h"
#include "cmcFlagSet.h"
#include "cmcGTex.h"
#include "cuiCellPainter.h"
#include "cuiFBitsR.h"
#include "cuiGrid.h"
#include "cuiSegmentSet.h"
#include "cuiSheet.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

// The calling cell the window's OK writes to.
cuiCell callerCell() {
    cuiCell c;
    c.category = CT_Null;
    c.label = CL_EeDebugWin_Bits;
    c.index = 0x0502;
    return c;
}

uint32_t flags(std::initializer_list<int> ks) {
    uint32_t v = 0;
    for (const int k : ks)
        v = cmcFlagSet::toggled(v, k);
    return v;
}

} // namespace

class tst_fbits : public QObject {
    Q_OBJECT

    std::unique_ptr<RecordingSheetEnv> m_env;
    std::unique_ptr<RecordingCellSource> m_source;
    cmcEvMan m_events;

    std::unique_ptr<cuiFBitsR> open(int lo, int hi, int kind, uint32_t value = 0,
                                    int mode = cuiFBitsR::DrawText) {
        cuiFBitsR::Setup setup;
        setup.lo = lo;
        setup.hi = hi;
        setup.kind = kind;
        setup.value = value;
        setup.mode = mode;
        auto window = std::make_unique<cuiFBitsR>(callerCell(), setup, nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        return window;
    }

    // The grid column of flag k.
    static int columnOf(int k) { return 2 * k - 1; }

  private slots:
    void initTestCase() {
        QVERIFY(cmcGTex::mainTable().openFile(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_ENG.OVL")));
    }
    void init() {
        m_env = std::make_unique<RecordingSheetEnv>();
        m_source = std::make_unique<RecordingCellSource>();
    }
    void cleanup() {
        m_source.reset();
        m_env.reset();
    }

    void headerAndFlagCells_data() {
        QTest::addColumn<int>("lo");
        QTest::addColumn<int>("hi");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("heads");
        QTest::newRow("decimal") << 3 << 5 << 0 << QStringList{"3", "4", "5"};
        QTest::newRow("hexadecimal") << 9 << 12 << 1 << QStringList{"9", "A", "B", "C"};
        QTest::newRow("keys, 10 is 0") << 8 << 11 << 2 << QStringList{"8", "9", "0", "11"};
        QTest::newRow("digits and letters, 17 is Z")
            << 8 << 17 << 3 << QStringList{"8", "9", "A", "B", "C", "D", "E", "F", "G", "Z"};
        QTest::newRow("letters") << 1 << 3 << 4 << QStringList{"A", "B", "C"};
        QTest::newRow("sentences") << 1 << 5 << 5 << QStringList{"RMC", "GGA", "GLL", "GSA", "VTG"};
        QTest::newRow("bit numbers, highest first")
            << 0 << 7 << 6 << QStringList{"B7", "B6", "B5", "B4", "B3", "B2", "B1", "B0"};
    }
    // The header row alternates flag names and empty separators after an empty first
    // cell; the flag row alternates flags 1 .. n and quarter pillars.
    void headerAndFlagCells() {
        QFETCH(int, lo);
        QFETCH(int, hi);
        QFETCH(int, kind);
        QFETCH(QStringList, heads);
        const auto window = open(lo, hi, kind);
        cuiSheet* sheet = window->sheet();
        const int n = int(heads.size());
        QCOMPARE(sheet->colCount(), 2 * n);
        QCOMPARE(sheet->rowCount(), 2);
        QCOMPARE(sheet->fixedColsStyle(), 1);
        QCOMPARE(sheet->fixedRowsStyle(), 1);
        QVERIFY(sheet->CellObjectAt(0, 0).displayText.isEmpty());
        QVERIFY(!sheet->CellObjectAt(0, 1).hasLabel());
        for (int k = 1; k <= n; ++k) {
            QCOMPARE(sheet->CellObjectAt(columnOf(k), 0).displayText, heads[k - 1]);
            const cuiCell& flag = sheet->CellObjectAt(columnOf(k), 1);
            QCOMPARE(flag.label, int(CL_FBits));
            QCOMPARE(flag.index, k);
            QVERIFY(flag.selectable);
            QCOMPARE(flag.hAlign, uint8_t(cuiCell::Centre));
            if (k == n) break;
            QVERIFY(sheet->CellObjectAt(columnOf(k) + 1, 0).displayText.isEmpty());
            QCOMPARE(sheet->CellObjectAt(columnOf(k) + 1, 1).label, int(CL_Misc_QuarterPillar));
            QVERIFY(!sheet->CellObjectAt(columnOf(k) + 1, 1).selectable);
        }
    }

    // The first and the last line of the private table, and the generated rows as written.
    void definitionRows() {
        const QStringList lines = cuiFBitsR::definition(1, 3, cuiFBitsR::HeaderDecimal);
        QCOMPARE(lines.first(), QStringLiteral("#GI_Sheet_FBitsR_Style"));
        QCOMPARE(lines.last(), QStringLiteral("#End_Of_Ovl"));
        QCOMPARE(lines[5], QStringLiteral("|{($iChI)}1||{($iChI)}2||{($iChI)}3|"));
        QCOMPARE(lines[6],
                 QStringLiteral("|{($eWh)^(%CL_FBits[1])}9|{($iQp)}|{($eWh)^(%CL_FBits[2])}9|"
                                "{($iQp)}|{($eWh)^(%CL_FBits[3])}9|"));
        QCOMPARE(lines.indexOf(QStringLiteral("+No item\t{(%CT_PopupMenu.CL_PMenu_NoItem)}")), 19);
    }

    // Space and a double click on a flag toggle it; the cell shows "o" or a tick.
    void keysToggleFlags() {
        const auto window =
            open(0, 7, cuiFBitsR::HeaderBitNumbers, flags({2}), cuiFBitsR::DrawTick);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        cuiSheet* sheet = window->sheet();
        sheet->SelectCell(columnOf(8), 1);
        QTest::keyClick(sheet->grid(), Qt::Key_Space);
        QCOMPARE(window->value(), flags({2, 8}));
        const QRect cell = sheet->grid()->cellRect(columnOf(2), 1);
        sheet->SelectCell(columnOf(2), 1);
        QTest::mouseDClick(sheet->grid()->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(window->value(), flags({8}));

        const cuiCellView ticked =
            sheet->cellSource()->view(sheet->CellObjectAt(columnOf(8), 1), false, false);
        QVERIFY(ticked.tick);
        QVERIFY(ticked.text.isEmpty());
        QVERIFY(!sheet->cellSource()->view(sheet->CellObjectAt(columnOf(2), 1), false, false).tick);

        const auto text = open(1, 3, cuiFBitsR::HeaderDecimal, flags({3}));
        cuiSheet* s = text->sheet();
        QCOMPARE(s->cellSource()->view(s->CellObjectAt(columnOf(3), 1), false, false).text,
                 QStringLiteral("o"));
        QCOMPARE(s->cellSource()->view(s->CellObjectAt(columnOf(1), 1), false, false).text,
                 QString());
    }

    void sentenceLimit_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<int>>("toggles");
        QTest::addColumn<bool>("okEnabled");
        QTest::newRow("three sentences") << 5 << QList<int>{1, 3, 5} << true;
        QTest::newRow("a fourth sentence") << 5 << QList<int>{1, 2, 3, 4} << false;
        QTest::newRow("all five") << 5 << QList<int>{1, 2, 3, 4, 5} << false;
        QTest::newRow("a fourth, then one unticked") << 5 << QList<int>{1, 2, 3, 4, 2} << true;
        QTest::newRow("no limit for other kinds") << 0 << QList<int>{1, 2, 3, 4, 5} << true;
    }
    // At most three sentences: beyond that every flag shows disabled, a note explains it,
    // OK is off and does nothing.
    void sentenceLimit() {
        QFETCH(int, kind);
        QFETCH(QList<int>, toggles);
        QFETCH(bool, okEnabled);
        const auto window = open(1, 5, kind);
        for (const int k : toggles)
            window->toggle(k);
        QCOMPARE(window->okButton()->isEnabled(), okEnabled);
        QCOMPARE(window->limitNote()->isHidden(), okEnabled);
        cuiSheet* sheet = window->sheet();
        for (int k = 1; k <= 5; ++k)
            QCOMPARE(sheet->cellSource()
                         ->view(sheet->CellObjectAt(columnOf(k), 1), false, false)
                         .disabled,
                     !okEnabled);
        window->accept();
        QCOMPARE(m_source->received.size(), okEnabled ? 1 : 0);
    }

    // Each toggle asks every sheet to repaint its labelled cells (event 13).
    void toggleRepaintsLabelledCells() {
        const auto window = open(1, 5, cuiFBitsR::HeaderSentences);
        m_events.dispatchStep(); // what earlier cases left queued
        uint32_t seen = 0;
        const cmcEvMan::Listener count = [](void* context, const cmcEvent* e) {
            if (e->code == EV_RepaintAll) ++*static_cast<uint32_t*>(context);
        };
        m_events.attach(count, &seen);
        window->toggle(2);
        m_events.dispatchStep();
        m_events.detach(count, &seen);
        QCOMPARE(seen, 1u);
    }

    // OK sends the value once, as decimal text, to the calling cell; Cancel sends nothing.
    void okSendsTheValueOnce() {
        const auto window = open(0, 7, cuiFBitsR::HeaderBitNumbers, flags({1}));
        window->toggle(8);
        window->show();
        QTest::mouseClick(window->okButton(), Qt::LeftButton);
        window->accept();
        QCOMPARE(m_source->received.size(), 1);
        const RecordingCellSource::Received& sent = m_source->received.first();
        QCOMPARE(sent.label, int(CL_EeDebugWin_Bits));
        QCOMPARE(sent.index, 0x0502);
        QVERIFY(sent.hasText);
        QCOMPARE(sent.text, QString::number(flags({1, 8})));
        QCOMPARE(cmcFlagSet::toField(sent.text.toUInt(), 8), 0x81u);
        QVERIFY(!window->isVisible());

        const auto cancelled = open(0, 7, cuiFBitsR::HeaderBitNumbers);
        cancelled->toggle(3);
        cancelled->show();
        QTest::mouseClick(cancelled->cancelButton(), Qt::LeftButton);
        QCOMPARE(m_source->received.size(), 1);
        QVERIFY(!cancelled->isVisible());
    }

    void tickCorners_data() {
        QTest::addColumn<QRectF>("cell");
        QTest::addColumn<QPointF>("origin");
        QTest::addColumn<double>("side");
        // s = 0.7 × the smaller side; the square of side s is centred on the longer side.
        QTest::newRow("square") << QRectF(0, 0, 20, 20) << QPointF(3, 3) << 14.0;
        QTest::newRow("wide") << QRectF(10, 5, 40, 20) << QPointF(10 + 13, 5 + 3) << 14.0;
        QTest::newRow("tall") << QRectF(0, 0, 10, 30) << QPointF(1.5, 11.5) << 7.0;
    }
    void tickCorners() {
        QFETCH(QRectF, cell);
        QFETCH(QPointF, origin);
        QFETCH(double, side);
        const QPolygonF tick = cuiCellPainter::tickPolygon(cell);
        const QList<QPointF> units{{0, 0.4},    {0, 0.6},    {0.4, 1.0},
                                   {1.0, 0.35}, {1.0, 0.15}, {0.4, 0.7}};
        QCOMPARE(tick.size(), units.size());
        for (int i = 0; i < units.size(); ++i) {
            const QPointF want = origin + units[i] * side;
            QVERIFY2(qAbs(tick[i].x() - want.x()) < 1e-9 && qAbs(tick[i].y() - want.y()) < 1e-9,
                     qPrintable(QStringLiteral("corner %1").arg(i)));
        }
    }

    void segmentLines_data() {
        QTest::addColumn<QStringList>("body");
        QTest::addColumn<int>("segments");
        QTest::addColumn<QList<int>>("triangles");
        QTest::addColumn<QList<bool>>("flagged");
        QTest::addColumn<QList<int>>("bad");
        QTest::newRow("two triangles make one segment")
            << QStringList{"2|(0,0)(4,0)(0,2)|(4,0)(4,2)(0,2)"} << 1 << QList<int>{2}
            << QList<bool>{true} << QList<int>{};
        QTest::newRow("comments skipped, # ends the set")
            << QStringList{"// a comment", "1|(0,0)(1,0)(0,1)", "#", "1|(5,5)(6,5)(5,6)"} << 1
            << QList<int>{1} << QList<bool>{true} << QList<int>{};
        QTest::newRow("a negative count clears the flag")
            << QStringList{"-1| ( 0 , 0 ) (1,0)(0,1)", "1|(0,0)(1,0)(0,1)"} << 2 << QList<int>{1, 1}
            << QList<bool>{false, true} << QList<int>{};
        QTest::newRow("bad lines keep the others' numbers")
            << QStringList{"2|(0,0)(1,0)(0,1)", "1|(0,0)(1,0)(0,1)", "1|(0,0)(1,0)", "x"} << 4
            << QList<int>{0, 1, 0, 0} << QList<bool>{true, true, true, true} << QList<int>{0, 2, 3};
    }
    void segmentLines() {
        QFETCH(QStringList, body);
        QFETCH(int, segments);
        QFETCH(QList<int>, triangles);
        QFETCH(QList<bool>, flagged);
        QFETCH(QList<int>, bad);
        SheetTable defs;
        defs.add(QStringLiteral("GI_PCG_Seg_Data"), body);
        cuiSegmentSet set;
        set.load(defs.table());
        QCOMPARE(int(set.segments().size()), segments);
        for (int i = 0; i < segments; ++i) {
            QCOMPARE(int(set.segments()[size_t(i)].triangles.size()), triangles[i]);
            QCOMPARE(set.segments()[size_t(i)].flag, flagged[i]);
        }
        QCOMPARE(set.badLines(), bad);
    }

    // The delivered segments: seven flagged segments and the point, every line readable;
    // "8." lights them all, "-" the middle one.
    void deliveredSegments() {
        cuiSegmentSet set;
        set.load(cmcGTex::mainTable());
        QCOMPARE(int(set.segments().size()), 8);
        QVERIFY(set.badLines().isEmpty());
        for (int i = 0; i < 7; ++i)
            QVERIFY(set.segments()[size_t(i)].flag);
        QVERIFY(!set.segments()[cuiSegmentSet::Point].flag);
        QCOMPARE(cuiSegmentSet::cellsOf(QStringLiteral("8.-")),
                 (std::vector<uint32_t>{0xFFu, 1u << cuiSegmentSet::G}));
        // No two segments overlap, and the cell is taller than wide.
        for (size_t i = 0; i < set.segments().size(); ++i)
            for (size_t j = i + 1; j < set.segments().size(); ++j) {
                const QRectF both = set.segments()[i].path().boundingRect() &
                                    set.segments()[j].path().boundingRect();
                QCOMPARE(both.width() * both.height(), 0.0);
            }
        const QRectF box = set.bounds();
        QVERIFY(box.width() > 0 && box.height() > box.width());
    }
};

QTEST_MAIN(tst_fbits)
#include "tst_fbits.moc"

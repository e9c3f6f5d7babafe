// The grid and the sheet's side of it: navigation, keys, mouse, the in-place editor,
// multi-selection marks, painting (joined cells, the selection line, printing scale),
// column sizing limits, repainting by identity and commands with follow-ups.

#include "CellsTestKit.h"
#include "SheetTestKit.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcCellTexts.h"
#include "cmcEeprom.h"
#include "cmcEvMan.h"
#include "cmcFCache.h"
#include "cuiCheckImages.h"
#include "cuiDispatchSource.h"
#include "cuiPickList.h"
#include "cuiSheet.h"
#include "imcRadioFacts.h"

#include <QImage>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTimer>
#include <QWidget>
#include <QtTest>
#include <memory>

namespace {

struct GridFixture {
    SheetTable defs;
    QWidget host;
    std::unique_ptr<cuiSheet> sheet;
    RecordingCellSource source;

    GridFixture(const QStringList& cells, const QString& style = QString(),
                QSize size = QSize(800, 600), bool hosted = false) {
        defs.sheet("S", style, "{<H(Font=,,,-13,,,)}", cells);
        host.resize(size);
        sheet.reset(cuiSheet::create(&host, "S", defs.table()));
        sheet->setHosted(hosted);
        sheet->Build();
        host.show();
        sheet->frame()->resize(size);
        QCoreApplication::processEvents();
    }
    cuiGrid* grid() const { return sheet->grid(); }
    QPoint centre(int col, int row) const { return grid()->cellRect(col, row).center(); }
    QImage paint() {
        QImage image(grid()->viewport()->size(), QImage::Format_RGB32);
        image.fill(Qt::black);
        grid()->viewport()->render(&image);
        return image;
    }
};

// Three header cells, then a 4 x 3 body where column 2 of row 2 is not selectable.
const QStringList bodyCells{
    "{^WH}Head A|{^W}B|{^W}C|{^W}D",
    "{SW(%CL_ChL_Name[0])}a0|{SW(%CL_ChL_FreqR[0])}b0|{SW(%CL_ChL_FreqT[0])}c0|{SW(%CL_ChL_Mode[0])"
    "}d0",
    "{SW(%CL_ChL_Name[1])}a1|{W}b1|{SW(%CL_ChL_FreqT[1])}c1|{SW(%CL_ChL_Mode[1])}d1",
    "{SW(%CL_ChL_Name[2])}a2|{SW(%CL_ChL_FreqR[2])}b2|{SW(%CL_ChL_FreqT[2])}c2|{W}d2",
};

// A source whose command 'r' asks for three follow-up commands, 1, 2 and 3.
class FollowUpSource : public RecordingCellSource {
  public:
    cuiCellResult execute(const cuiCell& cell, const cuiCellCommand& command,
                          const cuiCellContext& context) override {
        cuiCellResult r = RecordingCellSource::execute(cell, command, context);
        if (command.code == 'r' || (command.code >= 1 && command.code < 3)) {
            r.followUp = true;
            r.next.code = command.code == 'r' ? 1 : command.code + 1;
        }
        return r;
    }
    QList<int> codes() const {
        QList<int> c;
        for (const Received& r : received)
            c.append(r.code);
        return c;
    }
};

} // namespace

class tst_Grid : public QObject {
    Q_OBJECT
  private slots:
    void buildSelectsNearTopLeft();
    void arrowKeys_data();
    void arrowKeys();
    void rightAtRowEndSendsKeyCommand();
    void downLandsNearRememberedColumn();
    void functionKeysAndCharacters();
    void wheelMovesSelection();
    void mouseSelectsOnlySelectable();
    void editorEscapeCancelsAndFocusLossCommits();
    void editorEnterAndArrowsCommit();
    void shiftExtendsMultiSelection();
    void joinedCellsPaintAsOne();
    void colorSelectLine_data();
    void colorSelectLine();
    void printerCanvasScales();
    void columnSizingLimits();
    void autoFitColumn();
    void repaintByIdentity_data();
    void repaintByIdentity();
    void savedSelectionRestored();
    void editsReachTheImageThroughTheDispatcher();
    void pickListChoosesSelection();
    void doubleClickOnHeaderEdgeFitsColumn();
    void checkCellsToggle_data();
    void checkCellsToggle();
    void menuQuestionAnsweredByTheMenusSheet();
    void followUpsLetTheEventLoopRun();
};

void tst_Grid::buildSelectsNearTopLeft() {
    GridFixture f(bodyCells, "(FixedRows=1)");
    QCOMPARE(f.grid()->col(), 0);
    QCOMPARE(f.grid()->row(), 1);
    QCOMPARE(f.grid()->fixedRows(), 1);
}

void tst_Grid::arrowKeys_data() {
    QTest::addColumn<int>("startCol");
    QTest::addColumn<int>("startRow");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("endCol");
    QTest::addColumn<int>("endRow");
    QTest::newRow("right") << 0 << 1 << int(Qt::Key_Right) << 1 << 1;
    QTest::newRow("right skips an unselectable cell") << 0 << 2 << int(Qt::Key_Right) << 2 << 2;
    QTest::newRow("down") << 0 << 1 << int(Qt::Key_Down) << 0 << 2;
    QTest::newRow("up stops below the header") << 0 << 1 << int(Qt::Key_Up) << 0 << 1;
    QTest::newRow("page down goes as far as it can") << 0 << 1 << int(Qt::Key_PageDown) << 0 << 3;
    QTest::newRow("home does nothing") << 2 << 2 << int(Qt::Key_Home) << 2 << 2;
}

void tst_Grid::arrowKeys() {
    QFETCH(int, startCol);
    QFETCH(int, startRow);
    QFETCH(int, key);
    QFETCH(int, endCol);
    QFETCH(int, endRow);
    GridFixture f(bodyCells, "(FixedRows=1)");
    f.sheet->SelectCell(startCol, startRow);
    QTest::keyClick(f.grid(), Qt::Key(key));
    QCOMPARE(f.grid()->col(), endCol);
    QCOMPARE(f.grid()->row(), endRow);
}

void tst_Grid::rightAtRowEndSendsKeyCommand() {
    GridFixture f(bodyCells, "(FixedRows=1)");
    f.sheet->SelectCell(3, 1);
    QTest::keyClick(f.grid(), Qt::Key_Right);
    QCOMPARE(f.grid()->col(), 3);
    QCOMPARE(f.source.received.size(), 1);
    QCOMPARE(f.source.received[0].code, 0x2700);
    QCOMPARE(f.source.received[0].label, int(CL_ChL_Mode));
    f.sheet->SelectCell(0, 1);
    QTest::keyClick(f.grid(), Qt::Key_Left);
    QCOMPARE(f.source.received.last().code, 0x2500);
}

void tst_Grid::downLandsNearRememberedColumn() {
    // Column 3 has no selectable cell below row 2: Down moves to row 3 on the selectable
    // cell nearest the remembered column (2, reached by the last horizontal move).
    GridFixture f(bodyCells, "(FixedRows=1)");
    f.sheet->SelectCell(0, 2);
    f.sheet->MoveSelection(1, 0); // over the unselectable (1, 2) to (2, 2), remembering column 2
    QCOMPARE(f.grid()->col(), 2);
    f.sheet->SelectCell(3, 2);
    QTest::keyClick(f.grid(), Qt::Key_Down);
    QCOMPARE(f.grid()->row(), 3);
    QCOMPARE(f.grid()->col(), 2);
}

void tst_Grid::functionKeysAndCharacters() {
    GridFixture f(bodyCells, "(FixedRows=1)");
    f.source.enterStartsEditor = false;
    QTest::keyClick(f.grid(), Qt::Key_F3);
    QTest::keyClick(f.grid(), Qt::Key_7);
    QCOMPARE(f.source.received.size(), 2);
    QCOMPARE(f.source.received[0].code, 0x7200);
    QCOMPARE(f.source.received[1].code, int('7'));
}

void tst_Grid::wheelMovesSelection() {
    GridFixture f(bodyCells, "(FixedRows=1)");
    const QPoint p = f.centre(0, 1);
    QWheelEvent down(p, f.grid()->viewport()->mapToGlobal(p), QPoint(), QPoint(0, -120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(f.grid()->viewport(), &down);
    QCOMPARE(f.grid()->row(), 2);
    QVERIFY(down.isAccepted());
}

void tst_Grid::mouseSelectsOnlySelectable() {
    GridFixture f(bodyCells, "(FixedRows=1)");
    QTest::mouseClick(f.grid()->viewport(), Qt::LeftButton, {}, f.centre(2, 3));
    QCOMPARE(f.grid()->col(), 2);
    QCOMPARE(f.grid()->row(), 3);
    QTest::mouseClick(f.grid()->viewport(), Qt::LeftButton, {}, f.centre(1, 2)); // not selectable
    QCOMPARE(f.grid()->col(), 2);
    QCOMPARE(f.grid()->row(), 3);
    QTest::mouseClick(f.grid()->viewport(), Qt::LeftButton, {}, f.centre(0, 0)); // header
    QCOMPARE(f.grid()->row(), 3);
}

void tst_Grid::editorEscapeCancelsAndFocusLossCommits() {
    GridFixture f(bodyCells, "(FixedRows=1)");
    f.grid()->setFocus();
    QTest::keyClick(f.grid(), Qt::Key_Return);
    QPlainTextEdit* editor = f.sheet->editor();
    QVERIFY(editor && editor->isVisible());
    QTest::keyClicks(editor, "abc");
    QTest::keyClick(editor, Qt::Key_Escape);
    QVERIFY(!editor->isVisible());
    for (const auto& r : f.source.received)
        QVERIFY(!r.hasText);

    QTest::keyClick(f.grid(), Qt::Key_Return);
    QVERIFY(editor->isVisible());
    QTest::keyClicks(editor, "xyz");
    // Clicking another cell commits the edit to the cell it was opened on.
    QTest::mouseClick(f.grid()->viewport(), Qt::LeftButton, {}, f.centre(2, 3));
    QVERIFY(!editor->isVisible());
    QVERIFY(!f.source.received.isEmpty());
    const auto& last = [&] {
        for (int i = int(f.source.received.size()) - 1; i >= 0; --i)
            if (f.source.received[i].hasText) return f.source.received[i];
        return f.source.received.last();
    }();
    QVERIFY(last.hasText);
    QCOMPARE(last.text, QString("xyz"));
    QCOMPARE(last.label, int(CL_ChL_Name));
    QCOMPARE(last.index, 0);
    QCOMPARE(f.source.texts.value(qMakePair(int(CL_ChL_Name), 0)), QString("xyz"));
}

void tst_Grid::editorEnterAndArrowsCommit() {
    GridFixture f(bodyCells, "(FixedRows=1)");
    f.sheet->StartEditor(0, 1);
    QTest::keyClicks(f.sheet->editor(), "one");
    QTest::keyClick(f.sheet->editor(), Qt::Key_Down);
    QCOMPARE(f.source.texts.value(qMakePair(int(CL_ChL_Name), 0)), QString("one"));
    QCOMPARE(f.grid()->row(), 2);
    f.sheet->StartEditor(0, 2);
    QTest::keyClicks(f.sheet->editor(), "two");
    QTest::keyClick(f.sheet->editor(), Qt::Key_Return);
    QCOMPARE(f.source.texts.value(qMakePair(int(CL_ChL_Name), 1)), QString("two"));
    QVERIFY(!f.sheet->editorVisible());
    QCOMPARE(f.grid()->row(), 2);
}

void tst_Grid::shiftExtendsMultiSelection() {
    GridFixture f(bodyCells, "(FixedRows=1)(MultiSelect=Cell)");
    f.sheet->SelectCell(0, 1);
    QTest::keyClick(f.grid(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(f.grid(), Qt::Key_Down, Qt::ShiftModifier);
    QVERIFY(f.sheet->isMarked(0, 1));
    QVERIFY(f.sheet->isMarked(0, 2));
    QVERIFY(f.sheet->isMarked(0, 3));
    QVERIFY(!f.sheet->isMarked(1, 1));
    // Shrinking the rectangle unmarks what it left.
    QTest::keyClick(f.grid(), Qt::Key_Up, Qt::ShiftModifier);
    QVERIFY(!f.sheet->isMarked(0, 3));
    QVERIFY(f.sheet->isMarked(0, 2));
    // A plain move starts over.
    QTest::keyClick(f.grid(), Qt::Key_Right);
    QVERIFY(!f.sheet->isMarked(0, 1));
    QVERIFY(!f.sheet->isMarked(0, 2));
}

void tst_Grid::joinedCellsPaintAsOne() {
    GridFixture f({"{SH(Color=clGray)}Joined text that is long|{+(Color=clRed)}x|{+(Color=clRed)}y",
                   "{SWH}a|{SWH}b|{SWH}c"});
    for (int c = 0; c < 3; ++c)
        f.grid()->setColWidth(c, 60);
    f.sheet->SelectCell(0, 1);
    const QImage image = f.paint();
    const QRect third = f.grid()->cellRect(2, 0);
    // The third cell shows the first cell's background, not its own red.
    QCOMPARE(image.pixelColor(third.center().x(), third.bottom() - 1), QColor(128, 128, 128));
    // The text runs on into the joined cells.
    bool textInSecond = false;
    const QRect second = f.grid()->cellRect(1, 0);
    for (int x = second.left(); x <= second.right(); ++x)
        for (int y = second.top(); y <= second.bottom(); ++y)
            textInSecond |= image.pixelColor(x, y) != QColor(128, 128, 128);
    QVERIFY(textInSecond);
}

void tst_Grid::colorSelectLine_data() {
    QTest::addColumn<bool>("hosted");
    QTest::newRow("main sheet") << false;
    QTest::newRow("hosted sheet") << true;
}

void tst_Grid::colorSelectLine() {
    QFETCH(bool, hosted);
    GridFixture f({"{^WH(Color=clWindow)}H|{^W}H|{^W}H", "{WH(Color=clWindow)}1|{SW}a|{SW}b",
                   "{WH}2|{SW}c|{SW}d"},
                  "(FixedCols=1)(FixedRows=1)(ColorSelectLine)", QSize(800, 600), hosted);
    f.sheet->SelectCell(1, 1);
    const QImage image = f.paint();
    const QColor window = cuiColor::toQColor(cuiColor::clWindow);
    const QRect other = f.grid()->cellRect(2, 1);
    const QRect fixed = f.grid()->cellRect(0, 1);
    const QRect below = f.grid()->cellRect(2, 2);
    QCOMPARE(image.pixelColor(other.left() + 1, other.bottom() - 1),
             hosted ? window : f.sheet->selectLineColor());
    QCOMPARE(image.pixelColor(fixed.left() + 1, fixed.bottom() - 1), window);
    QCOMPARE(image.pixelColor(below.left() + 1, below.bottom() - 1), window);
}

void tst_Grid::printerCanvasScales() {
    GridFixture f({"{WH(Color=clGray)}Head|{WB}b", "{SWHX}a|{SW}c"});
    const int w = f.grid()->colWidth(0) + f.grid()->colWidth(1);
    const int h = f.grid()->rowHeight(0) + f.grid()->rowHeight(1);
    QImage image(2 * w + 4, 2 * h + 4, QImage::Format_RGB32);
    image.fill(Qt::blue);
    f.sheet->setPrinter(&image, 2.0);
    {
        QPainter painter(&image);
        f.grid()->paintCells(painter, 0, 0, 1, 1, 2.0);
    }
    f.sheet->setPrinter(nullptr, 1.0);
    // Coloured cells print dark grey, window cells white; the area covers twice the size.
    QCOMPARE(image.pixelColor(1, 1), QColor(96, 96, 96));
    QCOMPARE(image.pixelColor(2 * w - 4, 2 * h - 4), QColor(Qt::white));
    QCOMPARE(image.pixelColor(2 * w + 2, 2 * h + 2), QColor(Qt::blue));
    // The right line of cell (0, 1) is grey on white.
    QCOMPARE(image.pixelColor(2 * f.grid()->colWidth(0) - 1, 2 * h - 4), QColor(128, 128, 128));
}

void tst_Grid::columnSizingLimits() {
    GridFixture f({"{^W}Header one|{^W}Header two", "{SW}a|{SW}b"}, "(FixedRows=1)(ColSizing)",
                  QSize(1200, 600));
    QVERIFY(f.grid()->colSizing());
    auto drag = [&](int col, int dx) {
        const QRect r = f.grid()->cellRect(col, 0);
        const QPoint edge(r.right() + 1, r.center().y());
        QTest::mousePress(f.grid()->viewport(), Qt::LeftButton, {}, edge);
        QMouseEvent move(QEvent::MouseMove, QPointF(edge + QPoint(dx, 0)),
                         f.grid()->viewport()->mapToGlobal(QPointF(edge + QPoint(dx, 0))),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.grid()->viewport(), &move);
        QTest::mouseRelease(f.grid()->viewport(), Qt::LeftButton, {}, edge + QPoint(dx, 0));
    };
    drag(0, -500);
    QCOMPARE(f.grid()->colWidth(0), 10);
    drag(0, 2000);
    QCOMPARE(f.grid()->colWidth(0), 650);
}

void tst_Grid::autoFitColumn() {
    GridFixture f({"{^}H", "{S}a", "{S}a much longer text"});
    const int before = f.grid()->colWidth(0);
    f.sheet->AutoFitColumn(0);
    const int after = f.grid()->colWidth(0);
    QVERIFY(after > before);
    QVERIFY(after >
            QFontMetrics(f.sheet->basicCell().font->toQFont()).horizontalAdvance("a much longer"));
}

void tst_Grid::repaintByIdentity_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("label");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("count");
    // Body: 11 labelled cells (rows 1-3, indices 0-2), the cell (1, 2) has a label too.
    QTest::newRow("all labelled") << int(cuiSheet::RepaintLabelled) << 0 << 0 << 0 << 12;
    QTest::newRow("same label") << int(cuiSheet::RepaintLabel) << 0 << int(CL_ChL_FreqT) << 0 << 3;
    QTest::newRow("same index") << int(cuiSheet::RepaintIndex) << 0 << 0 << 1 << 4;
    QTest::newRow("index up to") << int(cuiSheet::RepaintIndexUpTo) << 0 << 0 << 1 << 8;
    QTest::newRow("index from") << int(cuiSheet::RepaintIndexFrom) << 0 << 0 << 2 << 4;
    QTest::newRow("index modes match nothing without a category")
        << int(cuiSheet::RepaintIndex) << 49 << 0 << 1 << 0;
    QTest::newRow("label and index")
        << int(cuiSheet::RepaintLabelIndex) << 0 << int(CL_ChL_Name) << 2 << 1;
}

void tst_Grid::repaintByIdentity() {
    QFETCH(int, mode);
    QFETCH(int, category);
    QFETCH(int, label);
    QFETCH(int, index);
    QFETCH(int, count);
    QStringList cells = bodyCells;
    cells[2].replace("{W}b1", "{W(%CL_ChL_FreqR[1])}b1");
    cells[3].replace("{W}d2", "{W(%CL_ChL_Mode[2])}d2");
    GridFixture f(cells, "(FixedRows=1)");
    cuiCell ref;
    ref.category = category;
    ref.label = label;
    ref.index = index;
    QCOMPARE(f.sheet->RepaintMatching(ref, cuiSheet::RepaintMode(mode)), count);
}

void tst_Grid::savedSelectionRestored() {
    SheetTable defs;
    QStringList cells{"{^}H|{^}H"};
    for (int i = 0; i < 200; ++i)
        cells << QString("{S(%CL_ChL_Name[%1])}n|{S(%CL_ChL_FreqR[%1])}f").arg(i);
    defs.sheet("S", "(FixedRows=1)", "{<}", cells);
    QWidget host;
    host.resize(400, 300);
    cuiSheet s(&host, defs.table());
    s.setKey("S");
    s.setSavedSelection(1, 150, 0, 140);
    s.Build();
    QCOMPARE(s.grid()->col(), 1);
    QCOMPARE(s.grid()->row(), 150);
    QCOMPARE(s.grid()->topRow(), 140);

    cuiSheet t(&host, defs.table());
    t.setKey("S");
    t.setTarget(CL_ChL_FreqR, 42);
    t.Build();
    QCOMPARE(t.grid()->col(), 1);
    QCOMPARE(t.grid()->row(), 43);
}

void tst_Grid::editsReachTheImageThroughTheDispatcher() {
    // A row coming into use settles its fields through their selection lists.
    if (!cmcCellTexts::hasKeys(cmcGTex::mainTable()))
        cmcGTex::mainTable().attachLines(cmcCellTexts::lines());
    cmcEeprom image(QxRadio::ImageSize);
    image.Fill(0xFF);
    cmcCellDispatch dispatch(&image);
    cuiDispatchSource source(&dispatch);
    SheetTable defs;
    defs.sheet("S", "", "{<H}",
               {"{SW(%CT_ChannelList.CL_ChL_Name[0])}|{SW(%CT_ChannelList.CL_ChL_FreqR[0])}|"
                "{SW(%CT_ChannelList.CL_ChL_FreqT[0])}"});
    QWidget host;
    host.resize(600, 300);
    cuiSheet s(&host, defs.table());
    s.setKey("S");
    s.setCellSource(&source);
    s.Build();
    host.show();
    QCOMPARE(s.grid()->col(), 0);
    // A digit typed on the name of an unused row starts the row at its receive frequency.
    QTest::keyClick(s.grid(), Qt::Key_7);
    QCOMPARE(s.grid()->col(), 1);
    QVERIFY(s.editorVisible());
    QCOMPARE(s.editor()->toPlainText(), QString("7"));
    QTest::keyClicks(s.editor(), ".1");
    QTest::keyClick(s.editor(), Qt::Key_Return);
    QVERIFY(!s.editorVisible());
    QCOMPARE(dispatch.text(CT_ChannelList, CL_ChL_FreqR, 0), QString("7.100000"));
    const cuiCellView tx = source.view(s.CellObjectAt(2, 0), false, false);
    QCOMPARE(tx.text, QString("<-"));
    QVERIFY(tx.marked);
    // Escape leaves the value as it was.
    QTest::keyClick(s.grid(), Qt::Key_Return);
    QVERIFY(s.editorVisible());
    s.editor()->setPlainText("14.2");
    QTest::keyClick(s.editor(), Qt::Key_Escape);
    QCOMPARE(dispatch.text(CT_ChannelList, CL_ChL_FreqR, 0), QString("7.100000"));
}

void tst_Grid::pickListChoosesSelection() {
    cmcEeprom image(QxRadio::ImageSize);
    image.SetByte(0xA964, 0);
    cmcCellDispatch dispatch(&image);
    cuiDispatchSource source(&dispatch);
    SheetTable defs;
    defs.sheet("S", "", "{<H}", {"{SW(%CL_USetM_BackLight)}"});
    defs.add("GI_Sheet_Sel_SetM_BackLight", {"0\tOff", "1\tLow", "2\tHigh"});
    cmcFCache::instance().setTable(&defs.table());
    QWidget host;
    host.resize(400, 200);
    cuiSheet s(&host, defs.table());
    s.setKey("S");
    s.setCellSource(&source);
    s.Build();
    host.show();
    QCOMPARE(dispatch.text(CT_Null, CL_USetM_BackLight, 0), QString("Off"));
    QTest::keyClick(s.grid(), Qt::Key_Return);
    cuiPickList* pick = s.pickList();
    QVERIFY(pick && pick->isVisible());
    QCOMPARE(pick->count(), 3);
    QCOMPARE(pick->currentValue(), 0);
    // Escape closes without a choice.
    QTest::keyClick(pick, Qt::Key_Escape);
    QVERIFY(!pick->isVisible());
    QCOMPARE(image.GetByte(0xA964), 0);
    QTest::keyClick(s.grid(), Qt::Key_Return);
    QTest::keyClick(pick, Qt::Key_Down);
    QTest::keyClick(pick, Qt::Key_Down);
    QTest::keyClick(pick, Qt::Key_Return);
    QVERIFY(!pick->isVisible());
    QCOMPARE(image.GetByte(0xA964), 2);
    QCOMPARE(dispatch.text(CT_Null, CL_USetM_BackLight, 0), QString("High"));
    cmcFCache::instance().setTable(nullptr);
}

void tst_Grid::doubleClickOnHeaderEdgeFitsColumn() {
    GridFixture f({"{^W}H|{^W}H2", "{S}a much longer text than the header|{S}b"},
                  "(FixedRows=1)(ColSizing)");
    const int before = f.grid()->colWidth(0);
    const QRect head = f.grid()->cellRect(0, 0);
    // Within 4 pixels of the header's right edge.
    const QPoint p(head.right() - 3, head.center().y());
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(p),
                    f.grid()->viewport()->mapToGlobal(QPointF(p)), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
    QCoreApplication::sendEvent(f.grid()->viewport(), &dbl);
    QVERIFY(f.grid()->colWidth(0) > before);
    // Nothing is sent to a cell by a double click on the header.
    QVERIFY(f.source.received.isEmpty());
    // A double click on the current cell sends 256 to it.
    const QPoint c = f.centre(1, 1);
    f.sheet->SelectCell(1, 1);
    QMouseEvent dbl2(QEvent::MouseButtonDblClick, QPointF(c),
                     f.grid()->viewport()->mapToGlobal(QPointF(c)), Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(f.grid()->viewport(), &dbl2);
    QCOMPARE(f.source.received.size(), 1);
    QCOMPARE(f.source.received[0].code, 256);
}

// On/off cells that are check boxes: the dispatcher marks them, the view shows the glyph
// alone, space and Enter tick and clear them in the image, and the sheet paints the glyph.
void tst_Grid::checkCellsToggle_data() {
    QTest::addColumn<QString>("cell");
    // The byte holding the bit of channel 10: in the address record of row 7, in network
    // 0's channel bitmap, in ALE channel group 0's bitmap.
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("mask");
    QTest::newRow("address emergency")
        << "{SW(%CT_AddressList.CL_AddrL_Emergency[7])}OFF" << (0x3DD3 + 39 * 7 + 38) << 0x01;
    QTest::newRow("network channel bit")
        << "{SW(%CT_NetworkChannels.CL_NetL_ChBit_Selected[10])}OFF" << (0x6B87 + 22 + 1) << 0x04;
    // Network 2's column of the membership matrix (record 2 of the network list).
    QTest::newRow("network matrix bit") << "{SW(%CT_NetworkChannels.CL_EnabledChBit_2[10])}OFF"
                                        << (0x6B87 + 2 * 87 + 22 + 1) << 0x04;
    QTest::newRow("ALE channel-group bit")
        << "{SW(%CT_AleChannels.CL_Ale_ChGrpL_ChBit_Selected[10])}OFF" << (0x90C6 + 1) << 0x04;
}

void tst_Grid::checkCellsToggle() {
    QFETCH(QString, cell);
    QFETCH(int, address);
    QFETCH(int, mask);
    CellsTestKit::useCellsOverlay();
    cmcEeprom image(QxRadio::ImageSize);
    image.Fill(0xFF);
    cmcCellDispatch dispatch(&image);
    dispatch.commit(CT_ChannelList, CL_ChL_FreqR, 10, QStringLiteral("7.1"));
    dispatch.commit(CT_ChannelList, CL_ChL_FreqT, 10, QStringLiteral("7.1"));
    dispatch.commit(CT_ChannelList, CL_ChL_Name, 10, QStringLiteral("TEN"));
    dispatch.commit(CT_AddressList, CL_AddrL_Name, 7, QStringLiteral("Base"));
    dispatch.commit(CT_NetworkList, CL_NetL_Name, 0, QStringLiteral("NET"));
    // ALE channel group 0 empty (erased memory would fill it beyond its 100 channels), and
    // the bit under test clear.
    for (int i = 0; i < 63; ++i)
        image.SetByte(0x90C6 + i, 0);
    image.SetByte(address, uint8_t(image.GetByte(address) & ~mask));
    cuiDispatchSource source(&dispatch);
    SheetTable defs;
    defs.sheet("S", "", "{<H(Font=,,,-13,,,)}",
               {cell + "|{SW(%CT_AddressList.CL_AddrL_Emergency[8])}OFF"});
    QWidget host;
    host.resize(300, 100);
    cuiSheet s(&host, defs.table());
    s.setKey("S");
    s.setCellSource(&source);
    s.Build();
    host.show();
    QCoreApplication::processEvents();
    const cuiCell& c = s.CellObjectAt(0, 0);
    auto glyphPixels = [&] {
        QImage shot(s.grid()->viewport()->size(), QImage::Format_RGB32);
        s.grid()->viewport()->render(&shot);
        return shot.copy(s.grid()->cellRect(0, 0));
    };
    QCOMPARE(source.view(c, false, false).checkBox, 0);
    QCOMPARE(source.view(c, false, false).text, QString());
    const QImage unticked = glyphPixels();

    s.SelectCell(0, 0);
    QTest::keyClick(s.grid(), Qt::Key_Space);
    QCOMPARE(source.view(c, false, false).checkBox, 1);
    QCOMPARE(image.GetByte(address) & mask, mask);
    QVERIFY(!s.pickList()); // no pop-up list for a check box
    const QImage ticked = glyphPixels();
    QVERIFY(ticked != unticked);

    QTest::keyClick(s.grid(), Qt::Key_Return);
    QCOMPARE(source.view(c, false, false).checkBox, 0);
    QCOMPARE(image.GetByte(address) & mask, 0);
    QVERIFY(!s.pickList());
    QCOMPARE(glyphPixels(), unticked);
    // Fitting the column leaves room for the glyph.
    s.AutoFitColumn(0);
    QVERIFY(s.grid()->colWidth(0) >= cuiCheckImages::Size + 8);
    // A row not in use shows no check box.
    QCOMPARE(source.view(s.CellObjectAt(1, 0), false, false).checkBox, -1);
}

// Event 12 names a pop-up menu: the sheet whose current cell shows it answers with that
// cell; a question naming another menu gets no answer.
void tst_Grid::menuQuestionAnsweredByTheMenusSheet() {
    cmcEvMan events;
    SheetTable defs;
    defs.add("GI_PMenu_T_BasicCell", {"{<}"});
    defs.add("GI_PMenu_T_Body", {"+Edit...\t{(%CT_PopupMenu.CL_PMenu_Edit:Enter)}"});
    defs.sheet("S", "", "{<H(PopupMenu=GI_PMenu_T)}",
               {"{S(%CT_ChannelList.CL_ChL_Name[0])}a|{S(%CT_ChannelList.CL_ChL_Name[1]:opt)}b"});
    RecordingCellSource source;
    QWidget host;
    host.resize(400, 200);
    cuiSheet s(&host, defs.table());
    s.setKey("S");
    s.Build();
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    host.activateWindow();
    s.grid()->setFocus();
    QTRY_VERIFY(s.grid()->hasFocus());
    s.SelectCell(1, 0);

    const cmcEvAns* answer = events.ask(EV_SheetBuildQuestion, cuiSheet::menuKeyId("GI_PMenu_T"));
    QVERIFY(answer);
    QVERIFY(!answer->next);
    cuiCell cell;
    QVERIFY(cuiSheet::cellOfAnswer(answer, cell));
    QCOMPARE(cell.category, int32_t(CT_ChannelList));
    QCOMPARE(cell.label, int32_t(CL_ChL_Name));
    QCOMPARE(cell.index, 1);
    QCOMPARE(cell.option, QStringLiteral("opt"));

    QVERIFY(!events.ask(EV_SheetBuildQuestion, cuiSheet::menuKeyId("GI_PMenu_Other")));
    QVERIFY(!events.ask(EV_SheetBuildQuestion, 0));
    QVERIFY(cuiSheet::menuKeyId("GI_PMenu_T") != cuiSheet::menuKeyId("GI_PMenu_Other"));
}

// Follow-up commands run from a timer: the window paints and takes input between them, a
// new command first finishes the pending ones, and a sheet closed meanwhile runs no more.
void tst_Grid::followUpsLetTheEventLoopRun() {
    GridFixture f(bodyCells, "(FixedRows=1)");
    FollowUpSource source;
    f.sheet->setCellSource(&source);
    f.sheet->SelectCell(0, 1);
    int seenByTimer = -1;
    QTimer::singleShot(0, [&] { seenByTimer = int(source.received.size()); });
    f.sheet->ExecuteCellCommand(0, 1, 'r', 0, QString());
    QCOMPARE(source.codes(), QList<int>({'r'}));
    QVERIFY(f.sheet->commandRunning());
    QTRY_VERIFY(!f.sheet->commandRunning());
    QCOMPARE(source.codes(), QList<int>({'r', 1, 2, 3}));
    QVERIFY2(seenByTimer >= 1 && seenByTimer < 4, qPrintable(QString::number(seenByTimer)));
    for (const auto& r : source.received)
        QCOMPARE(r.index, 0); // all for the same cell

    source.received.clear();
    f.sheet->ExecuteCellCommand(0, 1, 'r', 0, QString());
    f.sheet->ExecuteCellCommand(0, 1, 'x', 0, QString());
    QCOMPARE(source.codes(), QList<int>({'r', 1, 2, 3, 'x'}));
    QVERIFY(!f.sheet->commandRunning());

    source.received.clear();
    f.sheet->ExecuteCellCommand(0, 1, 'r', 0, QString());
    f.sheet.reset();
    QTest::qWait(150);
    QCOMPARE(source.codes(), QList<int>({'r'}));
}

QTEST_MAIN(tst_Grid)
#include "tst_grid.moc"

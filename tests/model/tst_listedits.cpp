// Row commands of the list sheets: the clipboard, copy, paste, clear, delete, insert, move
// and channel memberships over a range, on real images, with the user's answers scripted.

#include "CellsTestKit.h"
#include "ScriptedPrompt.h"
#include "SheetTestKit.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcEeprom.h"
#include "cuiDispatchSource.h"
#include "cuiMenu.h"
#include "cuiSheet.h"

#include <QAction>
#include <QWidget>
#include <QtTest>
#include <memory>

namespace {

// A dispatcher that remembers the range of the pop-up commands it is given.
class RangeRecorder : public cmcCellDispatch {
public:
    using cmcCellDispatch::cmcCellDispatch;
    bool dispatch(cmcCellRequest& r) override
    {
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

    ListSheet(cmcCellDispatch& dispatch, int rows)
    {
        defs.add(QStringLiteral("M_BasicCell"), {QStringLiteral("{(%CT_PopupMenu.CL_PMenu_NoItem)}")});
        defs.add(QStringLiteral("M_Body"),
                 {QStringLiteral("+Copy{(%CL_PMenu_Copy)}"), QStringLiteral("+Paste{(%CL_PMenu_Paste)}"),
                  QStringLiteral("+Move Up{(%CL_PMenu_MoveUp)}"), QStringLiteral("+Move Down{(%CL_PMenu_MoveDown)}")});
        QStringList cells{QStringLiteral("{^WH}No|{^W}Name")};
        for (int i = 0; i < rows; ++i)
            cells << QStringLiteral("{S(%CT_ChannelList.CL_Misc_ChNo_1Base[%1])}|{S(%CL_ChL_Name[%1])}").arg(i);
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

} // namespace

class tst_listedits : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { CellsTestKit::useCellsOverlay(); }
    void init()
    {
        image.SetSize(QxMap::ImageSize);
        image.Fill(0xFF);
    }

    void sheetPassesRange();

private:
    cmcEeprom image;
};

void tst_listedits::sheetPassesRange()
{
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

QTEST_MAIN(tst_listedits)
#include "tst_listedits.moc"

// Typing in the channel list as in a spreadsheet: a letter on a cell whose value is chosen
// from a list opens the list at the item it starts, and a scroll while a value is open in a
// cell's editor (the wheel, a scroll bar, Page Down) never leaves the box over another row.
// Real key, wheel and mouse events on the editor's widgets.

#include "EditorFixture.h"
#include "KeyTyping.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcFCache.h"
#include "cuiGrid.h"
#include "cuiPickList.h"
#include "cuiSheet.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <QWheelEvent>
#include <memory>

namespace {

cmcCellDispatch& cells() {
    return cmcCellDispatch::global();
}

QString modeText(int64_t value) {
    return cmcFCache::instance()
        .get(QStringLiteral("GI_Sheet_Sel_SetM_TxRxMode"), cuiFlector::KindSelection)
        .textOf(value);
}

// One notch of the wheel turned towards the user over a point of the widget.
void wheelDown(QWidget* widget, const QPoint& at) {
    QWheelEvent turn(at, widget->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &turn);
}

} // namespace

class tst_SheetTyping : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorFixture> m_editor;
    cuiSheet* m_sheet = nullptr;

    // Channels 1 to 40 in use, channel 1 in AM, the others in USB; the channel list shown.
    void openChannels() {
        for (int row = 0; row < 40; ++row)
            QVERIFY(cells().commit(CT_ChannelList, CL_ChL_FreqR, row, QStringLiteral("7.1")));
        QVERIFY(cells().commit(CT_ChannelList, CL_ChL_Mode, 0, QStringLiteral("AM")));
        m_sheet = m_editor->showSheet();
        QVERIFY(m_sheet);
    }
    cuiPickList* openList() const {
        cuiPickList* list = m_sheet->pickList();
        return list && list->isVisible() ? list : nullptr;
    }
    QStringList column(int32_t label) const {
        QStringList out;
        for (int row = 0; row < 40; ++row)
            out << cells().text(CT_ChannelList, label, row);
        return out;
    }

  private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        // Letters typed in a list while the test runs slowly still count as typed together.
        QApplication::setKeyboardInputInterval(60000);
    }
    void cleanupTestCase() { QDir(indMain::backupFolder()).removeRecursively(); }
    void init() {
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-typing-"));
        QVERIFY(m_editor->env->isFirstInstance());
    }
    void cleanup() {
        m_sheet = nullptr;
        m_editor.reset();
    }

    void letterOpensThePickList_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("item"); // selected in the open list
        QTest::newRow("U opens at USB") << "U"
                                        << "USB";
        QTest::newRow("a small letter") << "l"
                                        << "LSB";
        QTest::newRow("letters typed on in the list") << "US"
                                                      << "USB";
        QTest::newRow("a letter that leads nowhere after the first") << "UC"
                                                                     << "CW";
        QTest::newRow("no item starts with it") << "X"
                                                << "AM";
    }
    // A letter on a mode cell opens the pick list at the first item it starts and letters
    // typed in the open list move it; nothing is chosen until Enter takes the item.
    void letterOpensThePickList() {
        QFETCH(QString, typed);
        QFETCH(QString, item);
        openChannels();
        QVERIFY(EditorFixture::selectCell(*m_sheet, CL_ChL_Mode, 0));
        typeLikeAPerson(m_sheet->grid(), typed);
        cuiPickList* list = openList();
        QVERIFY(list);
        QVERIFY(!m_sheet->editorVisible());
        QCOMPARE(modeText(list->currentValue()), item);
        QCOMPARE(cells().text(CT_ChannelList, CL_ChL_Mode, 0), QStringLiteral("AM"));
        QTest::keyClick(focusedOr(list->grid()), Qt::Key_Return);
        QVERIFY(!openList());
        QCOMPARE(cells().text(CT_ChannelList, CL_ChL_Mode, 0), item);
        QCOMPARE(cells().text(CT_ChannelList, CL_ChL_Mode, 1), QStringLiteral("USB"));
        QTRY_VERIFY(m_sheet->grid()->hasFocus());
    }

    void scrollDuringAnEdit_data() {
        QTest::addColumn<QString>("scroll");
        QTest::newRow("wheel over the editor") << "editor";
        QTest::newRow("wheel over another row") << "grid";
        QTest::newRow("scroll bar") << "bar";
        QTest::newRow("Page Down") << "page";
    }
    // A scroll while a name is open in channel 1's editor stores it into channel 1 first;
    // the box never stays over another row, and Enter afterwards writes into no other row.
    void scrollDuringAnEdit() {
        QFETCH(QString, scroll);
        openChannels();
        QVERIFY(EditorFixture::selectCell(*m_sheet, CL_ChL_Name, 0));
        typeLikeAPerson(m_sheet->grid(), QStringLiteral("Coast"));
        QVERIFY(m_sheet->editorVisible());
        cuiGrid* grid = m_sheet->grid();
        const QRect editCell = grid->cellRect(grid->col(), grid->row());
        if (scroll == QLatin1String("editor")) {
            QWidget* box = m_sheet->editor()->viewport();
            wheelDown(box, box->rect().center());
        } else if (scroll == QLatin1String("grid")) {
            wheelDown(grid->viewport(), editCell.center() + QPoint(0, 3 * editCell.height()));
        } else if (scroll == QLatin1String("bar")) {
            QScrollBar* bar = grid->verticalScrollBar();
            QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                              QPoint(bar->width() / 2, bar->height() * 3 / 4));
            QVERIFY(grid->topRow() > grid->fixedRows()); // the rows moved
        } else {
            QTest::keyClick(m_sheet->editor(), Qt::Key_PageDown);
        }
        // An editor still open stands over the cell it edits, which is the current one.
        if (m_sheet->editorVisible())
            QVERIFY(grid->cellRect(grid->col(), grid->row())
                        .contains(m_sheet->editor()->geometry().center()));
        QTest::keyClick(focusedOr(grid), Qt::Key_Return);
        if (m_sheet->editorVisible()) QTest::keyClick(focusedOr(grid), Qt::Key_Return);
        QStringList names(40);
        names[0] = QStringLiteral("Coast");
        QCOMPARE(column(CL_ChL_Name), names);
    }

    // Ctrl+Enter in a list opened over several selected rows gives all of them the item.
    void listChoiceForSelectedRows() {
        openChannels();
        QVERIFY(EditorFixture::selectCell(*m_sheet, CL_ChL_Mode, 1));
        for (int i = 0; i < 2; ++i)
            QTest::keyClick(m_sheet->grid(), Qt::Key_Down, Qt::ShiftModifier);
        typeLikeAPerson(m_sheet->grid(), QStringLiteral("c"));
        cuiPickList* list = openList();
        QVERIFY(list);
        QTest::keyClick(list->grid(), Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(!openList());
        QCOMPARE(column(CL_ChL_Mode).mid(0, 5), QStringList({"AM", "CW", "CW", "CW", "USB"}));
    }
};

QTEST_MAIN(tst_SheetTyping)
#include "tst_sheettyping.moc"

// Rows in the editor as a user handles them: a value typed over several selected rows and
// stored into all of them with Ctrl+Enter (a frequency series too) as one undo step, rows
// copied onto the desktop's clipboard as text and spreadsheet text pasted back, and File >
// Compare With listing the changes, a double click going to the cell.

#include "EditorFixture.h"
#include "ScriptedDialogs.h"
#include "ScriptedPrompt.h"
#include "cloneSimProcess.h"
#include "cmcCellDispatch.h"
#include "cmcEvMan.h"
#include "cuiGrid.h"
#include "cuiMenu.h"
#include "cuiPickList.h"
#include "cuiSheet.h"
#include "cuiSheetHost.h"
#include "indCloneMan.h"
#include "iuiCompareWin.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>

namespace {

cmcCellDispatch& cells() {
    return cmcCellDispatch::global();
}

// The texts of the Compare window's first line, its first `columns` columns.
QStringList firstChange(iuiCompareWin* window, int columns) {
    QStringList row;
    for (int c = 0; c < columns; ++c)
        row << window->list()->topLevelItem(0)->text(c);
    return row;
}

QStringList column(int32_t label, int rows) {
    QStringList out;
    for (int row = 0; row < rows; ++row)
        out << cells().text(CT_ChannelList, label, row);
    return out;
}

} // namespace

class tst_SheetRows : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorFixture> m_editor;
    indMain* m_main = nullptr;
    cuiSheet* m_sheet = nullptr;

    bool selectChannelCell(int32_t label, int32_t index) {
        return EditorFixture::selectCell(*m_sheet, label, index);
    }
    const cuiCell& current() {
        return m_sheet->CellObjectAt(m_sheet->grid()->col(), m_sheet->grid()->row());
    }
    // Channels 1, 2, 4 and 5 in use (3 not), the channel list shown and active.
    void openChannels() {
        const QStringList modes{"USB", "LSB", "", "AM", "USB"};
        for (int row = 0; row < 5; ++row) {
            if (modes[row].isEmpty()) continue;
            QVERIFY(cells().commit(CT_ChannelList, CL_ChL_FreqR, row,
                                   QStringLiteral("%1.5").arg(row + 3)));
            QVERIFY(cells().commit(CT_ChannelList, CL_ChL_Mode, row, modes[row]));
            QVERIFY(cells().commit(CT_ChannelList, CL_ChL_Name, row,
                                   QStringLiteral("Ch %1").arg(row + 1)));
        }
        m_main->document().clearHistory();
        m_sheet = m_editor->showSheet();
        QVERIFY(m_sheet);
    }

    // Compare With the clone file at path, chosen in the file dialog; the window it opens.
    iuiCompareWin* compareWithFile(const QString& path) {
        ScriptedDialogs dialogs;
        dialogs.answers << path;
        m_editor->menuItem(CL_Menu_File_Compare, indMain::CompareFile)->trigger();
        return qobject_cast<iuiCompareWin*>(m_main->compareWindow());
    }

  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanupTestCase() { QDir(indMain::backupFolder()).removeRecursively(); }
    void init() {
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-rows-"));
        QVERIFY(m_editor->env->isFirstInstance());
        m_main = m_editor->main.get();
    }
    void cleanup() {
        m_sheet = nullptr;
        m_editor.reset();
    }

    void typedIntoSelectedRows_data() {
        QTest::addColumn<int>("label");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("modifier");
        QTest::addColumn<QStringList>("shown"); // channels 1 to 5 afterwards
        QTest::addColumn<QString>("step");
        QTest::newRow("Ctrl+Enter: one mode for all")
            << int(CL_ChL_Mode) << "CW" << int(Qt::ControlModifier)
            << QStringList{"CW", "CW", "", "CW", "CW"} << "Mode, 5 rows";
        QTest::newRow("Enter: the current row only")
            << int(CL_ChL_Mode) << "CW" << int(Qt::NoModifier)
            << QStringList{"USB", "LSB", "", "AM", "CW"} << "Mode, CH 5";
        QTest::newRow("Ctrl+Enter: a frequency series")
            << int(CL_ChL_FreqR) << "7.1 +0.01" << int(Qt::ControlModifier)
            << QStringList{"7.100000", "7.110000", "", "7.120000", "7.130000"}
            << "RX Frequency, 5 rows";
    }
    // Channels 1 to 5 selected with Shift+Down, a value typed (a mode into its pick list, a
    // frequency into the editor), the list or the editor closed with the key: the rows in
    // use take it, channel 3 (not in use) stays empty, and one Undo takes it all back.
    void typedIntoSelectedRows() {
        QFETCH(int, label);
        QFETCH(QString, typed);
        QFETCH(int, modifier);
        QFETCH(QStringList, shown);
        QFETCH(QString, step);
        openChannels();
        const cmcEeprom before = m_main->workingImage();
        QVERIFY(selectChannelCell(label, 0));
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(m_sheet->grid(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(current().index, 4);
        QTest::keyClicks(m_sheet->grid(), typed.left(1));
        // A value chosen from a list opens its pick list at what was typed, never an editor.
        cuiPickList* list = m_sheet->pickList();
        const bool listed = list && list->isVisible();
        QCOMPARE(listed, label == CL_ChL_Mode);
        QCOMPARE(m_sheet->editorVisible(), !listed);
        QWidget* box = listed ? static_cast<QWidget*>(list->grid()) : m_sheet->editor();
        QTest::keyClicks(box, typed.mid(1));
        if (listed)
            QCOMPARE(list->itemText(list->grid()->row()), typed);
        else
            QCOMPARE(m_sheet->editor()->toPlainText(), typed);
        // The rows that Ctrl+Enter fills stay marked while the editor is open; an unselected
        // row does not look like them.
        {
            cuiGrid* grid = m_sheet->grid();
            const int col = grid->col(), editRow = grid->row();
            grid->viewport()->repaint();
            const QImage shot = grid->viewport()->grab().toImage();
            auto colourAt = [&](int rowsUp) {
                const QRect r = grid->cellRect(col, editRow - rowsUp);
                return shot.pixelColor(r.left() + 2, r.top() + 2);
            };
            const QColor below = [&] {
                const QRect r = grid->cellRect(col, editRow + 1);
                return shot.pixelColor(r.left() + 2, r.top() + 2);
            }();
            QVERIFY2(colourAt(4) != below, "the first selected row is not marked");
            QCOMPARE(colourAt(1), colourAt(4));
        }
        QTest::keyClick(box, Qt::Key_Return, Qt::KeyboardModifiers(modifier));
        QVERIFY(!m_sheet->editorVisible());
        QVERIFY(!list || !list->isVisible());

        QCOMPARE(column(label, 5), shown);
        QCOMPARE(m_main->document().undoCount(), 1);
        QCOMPARE(m_main->document().undoName(), step);
        m_main->Undo();
        QVERIFY(m_main->workingImage() == before);
    }

    // Copy puts the rows on the desktop's clipboard as text; text from a spreadsheet pastes
    // into the list from the current row on, as one undo step.
    void rowsThroughTheClipboard() {
        openChannels();
        QVERIFY(selectChannelCell(CL_ChL_Name, 0));
        QTest::keyClick(m_sheet->grid(), Qt::Key_Down, Qt::ShiftModifier);
        QVERIFY(m_sheet->cellMenu());
        m_sheet->cellMenu()->actionOf(CL_PMenu_Copy)->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("row\trx_frequency\ttx_frequency\tmode\tname\r\n"
                                "1\t3.500000\t3.500000\tUSB\tCh 1\r\n"
                                "2\t4.500000\t4.500000\tLSB\tCh 2\r\n"));

        QGuiApplication::clipboard()->setText(QStringLiteral(
            "rx_frequency\tmode\tname\r\n14.2\tCW\tRelay\r\n18.1\tUSB\t\"Coast, north\"\r\n"));
        ScriptedPrompt prompt;
        const cmcEeprom before = m_main->workingImage();
        QVERIFY(selectChannelCell(CL_ChL_Name, 9));
        m_sheet->updateCellMenu(true);
        QAction* paste = m_sheet->cellMenu()->actionOf(CL_PMenu_Paste);
        QVERIFY(paste->isEnabled());
        paste->trigger();
        QVERIFY(prompt.entries().isEmpty()); // rows 10 and 11 were not in use
        QCOMPARE(cells().text(CT_ChannelList, CL_ChL_Name, 10), QStringLiteral("Coast, north"));
        QCOMPARE(cells().text(CT_ChannelList, CL_ChL_Mode, 9), QStringLiteral("CW"));
        QCOMPARE(m_main->document().undoCount(), 1);
        QCOMPARE(m_main->document().undoName(), QStringLiteral("Paste, 2 rows"));
        m_main->Undo();
        QVERIFY(m_main->workingImage() == before);
    }

    // Compare With the file on disk and a clone file: the changes listed, a double click
    // opening the sheet at the cell; equal images give a message instead.
    void compareWith() {
        openChannels();
        ScriptedPrompt prompt;
        const QString saved = m_editor->path(QStringLiteral("plan.icf"));
        QVERIFY(m_main->Save(saved));
        QVERIFY(!m_editor->menuItem(CL_Menu_File_Compare, indMain::CompareLastRead)->isEnabled());

        m_editor->menuItem(CL_Menu_File_Compare, indMain::CompareDisk)->trigger();
        QVERIFY(!m_main->compareWindow());
        QCOMPARE(prompt.entries().size(), 1);
        QCOMPARE(prompt.entries().first().text,
                 QStringLiteral("The document holds the same data as the file on disk."));

        QVERIFY(cells().commit(CT_ChannelList, CL_ChL_Mode, 3, QStringLiteral("FSK")));
        QVERIFY(m_main->ShowSheetNow(QStringLiteral("GI_Sheet_USetM")));
        iuiCompareWin* window = compareWithFile(saved);
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->list()->topLevelItemCount(), 1);
        QCOMPARE(firstChange(window, 5), (QStringList{"Channel List", "4", "Mode", "AM", "FSK"}));
        QCOMPARE(window->list()->headerItem()->text(3), QStringLiteral("plan.icf"));

        emit window->list()->itemDoubleClicked(window->list()->topLevelItem(0), 0);
        m_sheet = m_main->sheetHost()->sheet();
        QCOMPARE(m_sheet->command(), EditorFixture::channelSheet);
        QCOMPARE(current().label, int32_t(CL_ChL_Mode));
        QCOMPARE(current().index, 3);
    }

    // A channel-group membership is listed under the channel groups, by its group, and a
    // double click opens the channel-group sheet at that group and channel.
    void compareOpensGroupCell() {
        openChannels();
        ScriptedPrompt prompt;
        const QString saved = m_editor->path(QStringLiteral("groups.icf"));
        QVERIFY(m_main->Save(saved));
        cmcCellDispatch::global().setCurrentGroup(6);
        const bool member =
            cells().text(CT_AleChannels, CL_Ale_ChGrpL_ChBit_Selected, 3) == QLatin1String("ON");
        QVERIFY(cells().commit(CT_AleChannels, CL_Ale_ChGrpL_ChBit_Selected, 3,
                               member ? QStringLiteral("OFF") : QStringLiteral("ON")));
        cmcCellDispatch::global().setCurrentGroup(0);
        iuiCompareWin* window = compareWithFile(saved);
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->list()->topLevelItemCount(), 1);
        QCOMPARE(firstChange(window, 3), (QStringList{"Channel Groups", "4", "Group 7"}));

        emit window->list()->itemDoubleClicked(window->list()->topLevelItem(0), 0);
        m_sheet = m_main->sheetHost()->sheet();
        QCOMPARE(m_sheet->command(), QStringLiteral("GI_Sheet_AleChGrp"));
        QCOMPARE(cmcCellDispatch::global().currentGroup(), 6);
        QCOMPARE(current().label, int32_t(CL_Ale_ChGrpL_ChBit_Selected));
        QCOMPARE(current().index, 3);
    }

    // Compare With the last image read from the transceiver: offered once a read came in,
    // and the change made since then is listed.
    void compareWithLastRead() {
        ScriptedPrompt prompt;
        QVERIFY(!m_editor->menuItem(CL_Menu_File_Compare, indMain::CompareLastRead)->isEnabled());
        cloneSimProcess sim;
        QVERIFY(sim.start(cloneSimProcess::Tcp));
        m_editor->env->tcpLink = true;
        m_editor->env->tcpAddress = QStringLiteral("127.0.0.1");
        m_editor->env->tcpPort = sim.tcpPort();
        QSignalSpy finished(m_main, &indMain::cloneFinished);
        m_main->menu()->actionOf(CL_Menu_Clone_Read)->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 90000);
        QCOMPARE(finished.at(0).at(0).toInt(), int(indCloneMan::OpRead));
        QCOMPARE(finished.at(0).at(1).toInt(), 0);

        QAction* lastRead = m_editor->menuItem(CL_Menu_File_Compare, indMain::CompareLastRead);
        QVERIFY(lastRead->isEnabled());
        const QString old = cells().text(CT_Null, CL_USetM_LcdContrast, 0);
        const QString now = old == QLatin1String("7") ? QStringLiteral("6") : QStringLiteral("7");
        QVERIFY(cells().commit(CT_Null, CL_USetM_LcdContrast, 0, now));
        lastRead->trigger();
        auto* window = qobject_cast<iuiCompareWin*>(m_main->compareWindow());
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->list()->topLevelItemCount(), 1);
        QCOMPARE(firstChange(window, 5),
                 (QStringList{"User Settings", "", "LCD contrast", old, now}));
    }
};

QTEST_MAIN(tst_SheetRows)
#include "tst_sheetrows.moc"

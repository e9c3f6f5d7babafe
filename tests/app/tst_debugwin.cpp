// The debug windows of the shell: the memory dump window over the working image (bytes at
// their cells, typing, the comparison marks, event 24, OK and Cancel), the free debug
// window's log, the modal windows of events 3 and 7, and the Debug menu of the maker mode.

#include "EditorFixture.h"
#include "ScriptedPrompt.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cuiEeDebugWin.h"
#include "cuiFreeDebugWin.h"
#include "cuiGrid.h"
#include "cuiMenu.h"
#include "cuiSheet.h"

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <memory>

class tst_debugwin : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorFixture> m_editor;
    indMain* m_main = nullptr;
    cmcEvMan* m_events = nullptr;

    // Event 6 as the menu posts it; the shell opens (or raises) the window.
    cuiEeDebugWin* openDump() {
        m_events->post(EV_MemoryDump);
        m_events->dispatchStep();
        return dynamic_cast<cuiEeDebugWin*>(m_main->memoryDumpWindow());
    }

    static cuiCellView viewAt(cuiEeDebugWin* window, int32_t address) {
        const QPoint at = cuiEeDebugWin::cellOfAddress(address);
        cuiSheet* sheet = window->sheet();
        return sheet->cellSource()->view(sheet->CellObjectAt(at.x(), at.y()), false, false);
    }

    // Types text and Enter on the byte cell of an address, as the user does.
    static void typeInto(cuiEeDebugWin* window, int32_t address, const QString& text) {
        const QPoint at = cuiEeDebugWin::cellOfAddress(address);
        window->sheet()->SelectCell(at.x(), at.y());
        // The first digit opens the editor, which takes the rest.
        QTest::keyClicks(window->sheet()->grid(), text.left(1));
        QWidget* editor = window->sheet()->editor();
        QVERIFY(editor && editor->isVisible());
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
        QVERIFY(!editor->isVisible());
    }

    static void deliverDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

  private slots:
    void init() {
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-debugwin-"));
        m_main = m_editor->main.get();
        m_events = m_editor->events.get();
    }

    void cleanup() { m_editor.reset(); }

    void bytesAtTheirCells_data() {
        QTest::addColumn<int>("address");
        QTest::newRow("first") << 0x0000;
        QTest::newRow("inside a row") << 0x045E;
        QTest::newRow("last") << 0xFFEF;
    }

    void bytesAtTheirCells() {
        QFETCH(int, address);
        // Neighbours with other values show that the cell reads its own byte.
        cmcEeprom& image = m_main->workingImage();
        if (address > 0) image.SetByte(address - 1, 0x11);
        if (address < 0xFFEF) image.SetByte(address + 1, 0x22);
        image.SetByte(address, 0xC3);
        m_main->debugImage() = image;
        cuiEeDebugWin* window = openDump();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(),
                 cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_AppTitle")));
        cuiSheet* sheet = window->sheet();
        QCOMPARE(sheet->rowCount(), 3 + 4095);
        QCOMPARE(sheet->colCount(), 3 + 2 * 16);

        const QPoint at = cuiEeDebugWin::cellOfAddress(address);
        QCOMPARE(at, QPoint(3 + 2 * (address % 16), 3 + address / 16));
        const cuiCell& cell = sheet->CellObjectAt(at.x(), at.y());
        QCOMPARE(cell.label, int32_t(CL_EeDebugWin_0 + address % 16));
        QCOMPARE(cell.index, address / 16);
        QVERIFY(cell.selectable);
        const cuiCellView view = viewAt(window, address);
        QCOMPARE(view.text, QStringLiteral("C3"));
        QVERIFY(!view.marked);
        // The row's address column and the column head.
        const cuiCell& rowHead = sheet->CellObjectAt(1, at.y());
        QCOMPARE(sheet->cellSource()->view(rowHead, false, false).text,
                 QString::asprintf("%04X", unsigned(address & ~0xF)));
        QCOMPARE(sheet->CellObjectAt(at.x(), 1).displayText,
                 QString::number(address % 16, 16).toUpper());
        // The separator columns hold no value.
        QVERIFY(!sheet->CellObjectAt(at.x() + 1, at.y()).hasLabel());
    }

    void typedByteIsUndoable() {
        cuiEeDebugWin* window = openDump();
        QVERIFY(window);
        const cmcEeprom start = m_main->workingImage();
        const int32_t address = 0x045E;
        QVERIFY(start.GetByte(address) != 0xA5);
        typeInto(window, address, QStringLiteral("A5"));
        QCOMPARE(m_main->workingImage().GetByte(address), uint8_t(0xA5));
        QVERIFY(m_main->IsModified());
        QVERIFY(window->bytesTyped());
        // Only that byte changed.
        cmcEeprom expected = start;
        expected.SetByte(address, 0xA5);
        QVERIFY(m_main->workingImage() == expected);
        QVERIFY(m_main->CanUndo());
        m_main->Undo();
        QVERIFY(m_main->workingImage() == start);
        QVERIFY(!m_main->IsModified());
    }

    void badTextChangesNothing_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("expected"); // -1: the byte stays
        QTest::newRow("lower case") << "c7" << 0xC7;
        QTest::newRow("one digit") << "7" << 0x07;
        QTest::newRow("above a byte") << "1FF" << 0xFF;
        QTest::newRow("not hexadecimal") << "ZZ" << -1;
    }

    void badTextChangesNothing() {
        QFETCH(QString, typed);
        QFETCH(int, expected);
        const int32_t address = 0x0123;
        m_main->workingImage().SetByte(address, 0x5A);
        const cmcEeprom start = m_main->workingImage();
        cmcCellRequest out;
        cmcCellDispatch::global().commit(CT_Null, CL_EeDebugWin_0 + address % 16, address / 16,
                                         typed, &out);
        cmcEeprom after = start;
        if (expected >= 0) after.SetByte(address, uint8_t(expected));
        QVERIFY(m_main->workingImage() == after);
    }

    void comparisonMarks() {
        cuiEeDebugWin* window = openDump();
        QVERIFY(window);
        cmcCellDispatch& cells = cmcCellDispatch::global();
        const int32_t first = 0x0600, second = 0x0601;
        QVERIFY(!viewAt(window, first).marked);
        QVERIFY(cells.commit(CT_Null, CL_EeDebugWin_0, first / 16, QStringLiteral("3C")));
        QVERIFY(viewAt(window, first).marked);
        QCOMPARE(viewAt(window, first).text, QStringLiteral("3C*"));

        // Set Comp: the comparison copy now holds the change.
        window->setCompButton()->click();
        m_events->dispatchStep();
        QVERIFY(m_main->debugImage() == m_main->workingImage());
        QVERIFY(!viewAt(window, first).marked);

        QVERIFY(cells.commit(CT_Null, CL_EeDebugWin_1, second / 16, QStringLiteral("C3")));
        QVERIFY(viewAt(window, second).marked);
        QVERIFY(!viewAt(window, first).marked);
        QVERIFY(!viewAt(window, second + 1).marked);
        // The editor starts from the plain digits.
        cmcCellRequest r;
        cells.typeKey(CT_Null, CL_EeDebugWin_1, second / 16, cuiFlector::KeyEnter, &r);
        QCOMPARE(r.fl.editStatus, int(cuiFlector::EsEdit));
        QCOMPARE(r.fl.display, QStringLiteral("C3"));
    }

    void buttonsPostTheirEvents_data() {
        QTest::addColumn<bool>("setComp");
        QTest::addColumn<QList<int>>("events");
        QTest::newRow("Set Comp") << true << QList<int>{EV_CopyImage, EV_ChangeSettled};
        QTest::newRow("Redraw") << false << QList<int>{EV_TreeAdjust};
    }

    void buttonsPostTheirEvents() {
        QFETCH(bool, setComp);
        QFETCH(QList<int>, events);
        cuiEeDebugWin* window = openDump();
        QVERIFY(window);
        QList<int> seen;
        auto record = [](void* context, const cmcEvent* e) {
            if (e->code == EV_CopyImage || e->code == EV_ChangeSettled || e->code == EV_TreeAdjust)
                static_cast<QList<int>*>(context)->append(int(e->code));
        };
        m_events->attach(record, &seen);
        (setComp ? window->setCompButton() : window->redrawButton())->click();
        QVERIFY(seen.isEmpty()); // posted, not sent
        m_events->dispatchStep();
        m_events->detach(record, &seen);
        QCOMPARE(seen, events);
    }

    void debugAddressSelectsItsCell_data() {
        QTest::addColumn<int>("address");
        QTest::newRow("first") << 0x0000;
        QTest::newRow("inside a row") << 0x045E;
        QTest::newRow("last") << 0xFFEF;
    }

    void debugAddressSelectsItsCell() {
        QFETCH(int, address);
        cuiEeDebugWin* window = openDump();
        QVERIFY(window);
        window->show();
        m_events->post(EV_DebugAddress, 0, address);
        m_events->dispatchStep();
        const cuiGrid* grid = window->sheet()->grid();
        QCOMPARE(QPoint(grid->col(), grid->row()),
                 QPoint(3 + 2 * (address % 16), 3 + address / 16));
        QVERIFY(grid->row() >= grid->topRow() && grid->row() <= grid->lastVisibleRow());
        // An address beyond the image leaves the current cell.
        m_events->post(EV_DebugAddress, 0, 0xFFF0);
        m_events->dispatchStep();
        QCOMPARE(QPoint(grid->col(), grid->row()),
                 QPoint(3 + 2 * (address % 16), 3 + address / 16));
    }

    void okKeepsAndCancelRestores_data() {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("OK") << false;
        QTest::newRow("Cancel") << true;
    }

    void okKeepsAndCancelRestores() {
        QFETCH(bool, cancel);
        const cmcEeprom start = m_main->workingImage();
        QPointer<cuiEeDebugWin> window = openDump();
        QVERIFY(window);
        typeInto(window, 0x0010, QStringLiteral("1A"));
        typeInto(window, 0x0010, QStringLiteral("2B")); // the same byte again
        typeInto(window, 0xFFEF, QStringLiteral("3C"));
        // A change made elsewhere while the window is open stays.
        QVERIFY(
            cmcCellDispatch::global().commit(CT_Null, CL_EeDebugWin_5, 2, QStringLiteral("44")));
        cmcEeprom elsewhere = start;
        elsewhere.SetByte(0x0025, 0x44);
        // A second request raises the open window.
        QCOMPARE(openDump(), window.data());

        (cancel ? window->cancelButton() : window->okButton())->click();
        deliverDeletes();
        QVERIFY(!window);
        QVERIFY(!m_main->memoryDumpWindow());
        if (cancel) {
            QVERIFY(m_main->workingImage() == elsewhere);
        } else {
            QCOMPARE(m_main->workingImage().GetByte(0x0010), uint8_t(0x2B));
            QCOMPARE(m_main->workingImage().GetByte(0xFFEF), uint8_t(0x3C));
        }
        // Cancel is one step of its own.
        if (cancel) {
            m_main->Undo();
            QCOMPARE(m_main->workingImage().GetByte(0x0010), uint8_t(0x2B));
        }
    }

    void cancelAfterAnotherDocumentKeepsIt() {
        // A document whose byte 0x0600 differs from the initial data.
        const QString other = m_editor->path(QStringLiteral("other.icf"));
        m_main->workingImage().SetByte(0x0600,
                                       uint8_t(m_main->loadedImage().GetByte(0x0600) ^ 0xFF));
        QVERIFY(m_main->Save(other));
        ScriptedPrompt prompt;
        m_main->New();

        QPointer<cuiEeDebugWin> window = openDump();
        typeInto(window, 0x0600, QStringLiteral("5A"));
        prompt.queueAnswer(PA_No); // Open: do not save the typed byte
        QVERIFY(m_main->Open(other));
        const cmcEeprom opened = m_main->workingImage();
        window->cancelButton()->click();
        QVERIFY(m_main->workingImage() == opened);
        QVERIFY(!m_main->IsModified());
    }

    void freeDebugWindowLogsEvent22() {
        QMainWindow* form = m_main->mainForm();
        form->show();
        m_events->post(EV_DebugWindow);
        m_events->dispatchStep();
        QPointer<cuiFreeDebugWin> window =
            dynamic_cast<cuiFreeDebugWin*>(m_main->freeDebugWindow());
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Free Debug Window"));
        QVERIFY(window->log()->isReadOnly());
        QCOMPARE(window->log()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(window->log()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(window->height(), std::max(100, form->height() * 8 / 10));
        QVERIFY((window->geometry().center() - form->geometry().center()).manhattanLength() <= 2);

        m_events->sendText(EV_DebugText, QStringLiteral("first line"));
        m_events->postWithText(EV_DebugText, 0, 0, QStringLiteral("second line"));
        m_events->postWithText(EV_StatusText, 0, 0, QStringLiteral("not for the log"));
        m_events->dispatchStep();
        QCOMPARE(window->lines(),
                 QStringList({QStringLiteral("first line"), QStringLiteral("second line")}));

        window->close();
        deliverDeletes();
        QVERIFY(!window);
        QVERIFY(!m_main->freeDebugWindow());
        m_events->sendText(EV_DebugText, QStringLiteral("nobody listens"));
    }

    void freeDebugWindowIsAtLeast100High() {
        QMainWindow* form = m_main->mainForm();
        form->setMinimumSize(0, 0);
        form->resize(400, 90);
        m_events->post(EV_DebugWindow);
        m_events->dispatchStep();
        QVERIFY(m_main->freeDebugWindow());
        QCOMPARE(m_main->freeDebugWindow()->height(), 100);
    }

    void modalWindowsOfEvents_data() {
        QTest::addColumn<int>("event");
        QTest::addColumn<QString>("caption");
        QTest::newRow("3 About") << int(EV_About) << "GI_App_About_Caption";
        QTest::newRow("7 debug compare") << int(EV_DebugCompare) << "Debug compare";
    }

    void modalWindowsOfEvents() {
        QFETCH(int, event);
        QFETCH(QString, caption);
        if (caption.startsWith(QStringLiteral("GI_")))
            caption = cmcGTex::mainTable().getText(caption);
        QString seen;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                seen = w->windowTitle();
                w->close();
            }
        });
        closer.start(20);
        m_events->post(uint32_t(event));
        m_events->dispatchStep(); // returns at once: the window opens after the step
        QVERIFY(seen.isEmpty());
        QTRY_COMPARE(seen, caption);
    }

    void debugMenuOnlyInMakerMode() {
        cuiMenu* menu = m_main->menu();
        QVERIFY(menu);
        const QList<int32_t> labels{CL_Menu_Debug_Compare, CL_Menu_Debug_EeWindow,
                                    CL_Menu_Debug_Window};
        QList<QAction*> items;
        QAction* title = nullptr;
        for (QAction* a : menu->actions()) {
            const cuiCell* cell = menu->cellOf(a);
            if (labels.contains(cell->label) && cell->index == 0) items << a;
            if (cell->label == CL_Menu_Debug_Window && cell->index == 1) title = a;
        }
        QCOMPARE(items.size(), 3);
        QVERIFY(title && title->menu());
        QCOMPARE(title->text().remove('&'), QStringLiteral("Debug"));
        m_events->send(EV_MenuRefresh);
        QVERIFY(!title->isVisible());
        for (QAction* a : items)
            QVERIFY(!a->isVisible());
        // Chosen anyway (a shortcut), an item does nothing.
        items[1]->trigger();
        m_events->dispatchStep();
        QVERIFY(!m_main->memoryDumpWindow());

        ScriptedPrompt prompt;
        prompt.queueAnswer(PA_Ok);
        m_main->ActivateMakerMode();
        QVERIFY(m_main->makerMode());
        QVERIFY(title->isVisible());
        for (QAction* a : items)
            QVERIFY(a->isVisible() && a->isEnabled());
        items[1]->trigger(); // Memory Dump...
        items[2]->trigger(); // Debug Window...
        m_events->dispatchStep();
        QVERIFY(m_main->memoryDumpWindow());
        QVERIFY(m_main->freeDebugWindow());
    }
};

QTEST_MAIN(tst_debugwin)
#include "tst_debugwin.moc"

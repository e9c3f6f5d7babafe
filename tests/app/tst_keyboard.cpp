// Typing at the keyboard as a person does: capitals with Shift held, modifier keys pressed
// on their own, and commands given by their shortcuts while a typed value is still open in
// the cell's editor. Nothing typed may be lost on the way.

#include "EditorFixture.h"
#include "KeyTyping.h"
#include "ScriptedDialogs.h"
#include "ScriptedPrompt.h"
#include "cloneSimProcess.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcEeprom.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"
#include "cuiFileDialogs.h"
#include "cuiGrid.h"
#include "cuiMenu.h"
#include "cuiSheet.h"
#include "cuiSheetHost.h"
#include "indCloneFile.h"
#include "indCloneMan.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <memory>

class tst_keyboard : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorFixture> m_editor;
    indMain* m_main = nullptr;
    cuiSheet* m_sheet = nullptr;

    cmcCellDispatch& cells() { return cmcCellDispatch::global(); }
    QString channelName() { return cells().text(CT_ChannelList, CL_ChL_Name, 0); }

    // Makes the cell of channel index's field label current.
    bool selectChannelCell(int32_t label, int32_t index) {
        return EditorFixture::selectCell(*m_sheet, label, index);
    }

    // The channel list shown and active, channel 1 in use, its name cell current.
    void openChannelName() {
        QVERIFY(cells().commit(CT_ChannelList, CL_ChL_FreqR, 0, QStringLiteral("7.1")));
        m_main->MarkSaved();
        m_sheet = m_editor->showSheet();
        QVERIFY(m_sheet);
        QVERIFY(selectChannelCell(CL_ChL_Name, 0));
        m_editor->events->dispatchStep();
    }

    // "Coast" typed into the name cell and left open in its editor.
    void typePending() {
        openChannelName();
        typeLikeAPerson(m_sheet->grid(), QStringLiteral("Coast"));
        QVERIFY(m_sheet->editorVisible());
        QCOMPARE(m_sheet->editor()->toPlainText(), QStringLiteral("Coast"));
        QVERIFY(!m_main->IsModified());
    }

  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanupTestCase() { QDir(indMain::backupFolder()).removeRecursively(); }

    void init() {
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-keys-"));
        QVERIFY(m_editor->env->isFirstInstance());
        m_main = m_editor->main.get();
    }
    void cleanup() {
        m_sheet = nullptr;
        m_editor.reset();
    }

    void capitalsAreTypedWithShift() {
        openChannelName();
        typeLikeAPerson(m_sheet->grid(), QStringLiteral("Marine Net"));
        QVERIFY(m_sheet->editorVisible());
        QTest::keyClick(focusedOr(m_sheet->grid()), Qt::Key_Return);
        QCOMPARE(channelName(), QStringLiteral("Marine Net"));
        QVERIFY(m_main->IsModified());
        QVERIFY(m_editor->form->windowTitle().contains(QLatin1String("[*]")) ||
                m_editor->form->isWindowModified());
    }

    // Tab commits the value and moves to the next cell, as in a spreadsheet (from the last
    // cell of a row to the next row's first); Shift+Tab moves back; no tab or other control
    // character reaches a stored text.
    void tabCommitsAndMoves() {
        openChannelName();
        const int nameCol = m_sheet->grid()->col(), row = m_sheet->grid()->row();
        typeLikeAPerson(m_sheet->grid(), QStringLiteral("AB"));
        QTest::keyClick(focusedOr(m_sheet->grid()), Qt::Key_Tab);
        QVERIFY(!m_sheet->editorVisible());
        QCOMPARE(channelName(), QStringLiteral("AB"));
        QVERIFY(m_sheet->grid()->row() > row ||
                (m_sheet->grid()->row() == row && m_sheet->grid()->col() > nameCol));
        typeLikeAPerson(m_sheet->grid(), QStringLiteral("C"));
        QTest::keyClick(focusedOr(m_sheet->grid()), Qt::Key_Escape);
        QCOMPARE(channelName(), QStringLiteral("AB"));
        QTest::keyClick(focusedOr(m_sheet->grid()), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(m_sheet->grid()->col(), nameCol);
        QCOMPARE(m_sheet->grid()->row(), row);
        QVERIFY(m_sheet->grid()->hasFocus());
        QCOMPARE(m_sheet->anchorRow(), row); // Shift+Tab stretches no selection

        // A tab that came in with a paste is a blank in the stored name.
        typeLikeAPerson(m_sheet->grid(), QStringLiteral("X"));
        QVERIFY(m_sheet->editorVisible());
        m_sheet->editor()->insertPlainText(QStringLiteral("\tY"));
        QTest::keyClick(focusedOr(m_sheet->grid()), Qt::Key_Return);
        QCOMPARE(channelName(), QStringLiteral("X Y"));
    }

    // A modifier pressed and released alone never drops what was typed: the editor stays
    // open with its text, except for Alt, which takes the keyboard to the menu bar as
    // everywhere on the desktop; the value is committed then.
    void modifierAloneKeepsTheText_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("staysOpen");
        QTest::newRow("Shift") << int(Qt::Key_Shift) << true;
        QTest::newRow("Ctrl") << int(Qt::Key_Control) << true;
        QTest::newRow("AltGr") << int(Qt::Key_AltGr) << true;
        QTest::newRow("Caps Lock") << int(Qt::Key_CapsLock) << true;
        QTest::newRow("Alt") << int(Qt::Key_Alt) << false;
    }

    void modifierAloneKeepsTheText() {
        QFETCH(int, key);
        QFETCH(bool, staysOpen);
        openChannelName();
        const QString before = channelName();
        typeLikeAPerson(m_sheet->grid(), QStringLiteral("ab"));
        QTest::sendKeyEvent(QTest::Press, focusedOr(m_sheet->grid()), Qt::Key(key), QString(),
                            Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, focusedOr(m_sheet->grid()), Qt::Key(key), QString(),
                            Qt::NoModifier);
        if (!staysOpen) {
            QVERIFY(!m_sheet->editorVisible());
            QCOMPARE(channelName(), QStringLiteral("ab"));
            return;
        }
        QVERIFY(m_sheet->editorVisible());
        QCOMPARE(m_sheet->editor()->toPlainText(), QStringLiteral("ab"));
        // Escape alone cancels.
        QTest::keyClick(focusedOr(m_sheet->grid()), Qt::Key_Escape);
        QVERIFY(!m_sheet->editorVisible());
        QCOMPARE(channelName(), before);
    }

    // Ctrl+S with the value still open saves the value.
    void saveShortcutSavesTheOpenValue() {
        ScriptedPrompt prompt;
        ScriptedDialogs dialogs;
        dialogs.answers << m_editor->path(QStringLiteral("typed")); // no suffix typed
        typePending();
        QTest::keyClick(focusedOr(m_sheet->grid()), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(channelName(), QStringLiteral("Coast"));
        const QString saved = m_editor->path(QStringLiteral("typed.icf"));
        QCOMPARE(m_main->documentFile(), saved);
        QVERIFY(!m_main->IsModified());
        cmcEeprom file(m_main->workingImage().GetSize());
        QCOMPARE(indCloneFile::open(saved, file), 0);
        cmcEeprom expected = m_main->workingImage();
        m_main->PrepareImage(expected, true);
        QVERIFY(file == expected);
        QVERIFY(prompt.entries().isEmpty());
    }

    // Ctrl+N and closing the window see the open value as a change and offer to save it.
    void newAndCloseAskAboutTheOpenValue_data() {
        QTest::addColumn<bool>("close");
        QTest::newRow("Ctrl+N") << false;
        QTest::newRow("close the window") << true;
    }

    void newAndCloseAskAboutTheOpenValue() {
        QFETCH(bool, close);
        ScriptedPrompt prompt;
        prompt.queueAnswer(PA_Cancel);
        typePending();
        if (close)
            QVERIFY(!m_editor->form->close());
        else
            QTest::keyClick(focusedOr(m_sheet->grid()), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(prompt.entries().size(), 1);
        QVERIFY(prompt.entries().at(0).question);
        QVERIFY(m_editor->form->isVisible());
        QCOMPARE(channelName(), QStringLiteral("Coast"));
        QVERIFY(m_main->IsModified());
    }

    // Clone > Write with the value still open sends the value.
    void cloneWriteSendsTheOpenValue() {
        ScriptedPrompt prompt; // the confirmation answered OK
        typePending();
        cloneSimProcess sim;
        const QString saved = m_editor->path(QStringLiteral("radio-after.icf"));
        QVERIFY(sim.start(cloneSimProcess::Tcp, {"--save", saved}));
        m_editor->env->tcpLink = true;
        m_editor->env->tcpAddress = QStringLiteral("127.0.0.1");
        m_editor->env->tcpPort = sim.tcpPort();
        QSignalSpy finished(m_main, &indMain::cloneFinished);
        QAction* write = m_main->menu()->actionOf(CL_Menu_Clone_Write);
        QVERIFY(write);
        write->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 90000);
        QCOMPARE(finished.at(0).at(0).toInt(), int(indCloneMan::OpWrite));
        QCOMPARE(finished.at(0).at(1).toInt(), 0);
        QCOMPARE(channelName(), QStringLiteral("Coast"));
        QTRY_VERIFY(QFile::exists(saved));
        cmcEeprom radio(m_main->workingImage().GetSize());
        QCOMPARE(indCloneFile::open(saved, radio), 0);
        // The radio's channel 1, read through the same cells.
        cells().setImage(&radio);
        const QString sent = cells().text(CT_ChannelList, CL_ChL_Name, 0);
        cells().setImage(&m_main->workingImage());
        QCOMPARE(sent, QStringLiteral("Coast"));
    }

    // Edit > Undo names the change; typing into one cell twice undoes in one step.
    void undoNamesTheChangeAndMergesTyping() {
        openChannelName();
        const QString before = channelName();
        typeLikeAPerson(m_sheet->grid(), QStringLiteral("Coast"));
        QTest::keyClick(focusedOr(m_sheet->grid()), Qt::Key_Return);
        QVERIFY(selectChannelCell(CL_ChL_Name, 0));
        typeLikeAPerson(m_sheet->grid(), QStringLiteral("Beacon"));
        QTest::keyClick(focusedOr(m_sheet->grid()), Qt::Key_Return);
        QCOMPARE(channelName(), QStringLiteral("Beacon"));

        QAction* undo = m_main->menu()->actionOf(CL_Menu_Edit_Undo);
        QVERIFY(undo);
        m_main->menu()->RefreshStates();
        QVERIFY(undo->isEnabled());
        QCOMPARE(undo->text().section(QLatin1Char('\t'), 0, 0), QStringLiteral("Undo Name, CH 1"));
        QTest::keyClick(focusedOr(m_sheet->grid()), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(channelName(), before);
        m_main->menu()->RefreshStates();
        QAction* redo = m_main->menu()->actionOf(CL_Menu_Edit_Redo);
        QCOMPARE(redo->text().section(QLatin1Char('\t'), 0, 0), QStringLiteral("Redo Name, CH 1"));
    }

    void contextMenuKeysOpenTheCellMenu_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("menu key") << int(Qt::Key_Menu) << int(Qt::NoModifier);
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
    }

    void contextMenuKeysOpenTheCellMenu() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        openChannelName();
        QTest::keyClick(m_sheet->grid(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(popup);
        // It opens under the current cell.
        const QRect cell =
            m_sheet->grid()->cellRect(m_sheet->grid()->col(), m_sheet->grid()->row());
        const QPoint below = m_sheet->grid()->viewport()->mapToGlobal(cell.bottomLeft());
        QVERIFY(qAbs(popup->pos().y() - below.y()) <= 2);
        popup->close();
    }

    // The highlight on the channel list marks the one cell that takes the typing, also on
    // a channel not in use yet, on whichever column.
    void currentCellIsMarkedAlone_data() {
        QTest::addColumn<int>("label");
        QTest::newRow("RX frequency") << int(CL_ChL_FreqR);
        QTest::newRow("TX frequency") << int(CL_ChL_FreqT);
        QTest::newRow("mode") << int(CL_ChL_Mode);
    }

    void currentCellIsMarkedAlone() {
        QFETCH(int, label);
        openChannelName();
        QVERIFY(selectChannelCell(label, 0));
        QVERIFY(selectChannelCell(label, 1)); // channel 2: not in use
        cuiGrid* grid = m_sheet->grid();
        const int current = grid->col(), row = grid->row();
        const QImage shot = grid->viewport()->grab().toImage();
        auto colourOf = [&](int col) {
            const QRect r = grid->cellRect(col, row);
            return shot.pixelColor(r.left() + 2, r.top() + 2);
        };
        const QColor marked = colourOf(current);
        for (int c = grid->fixedCols(); c < m_sheet->colCount(); ++c) {
            if (c == current || grid->colWidth(c) <= 0) continue;
            QVERIFY2(colourOf(c) != marked,
                     qPrintable(QStringLiteral("column %1 looks current too").arg(c)));
        }
    }

    // On a fresh start, before any cell was clicked, the Edit menu opens with its items.
    void editMenuHasItemsFromTheStart() {
        m_editor->form->show();
        m_editor->events->dispatchStep();
        QAction* edit = m_main->menu()->actionOf(CL_Menu_Edit_Top);
        QVERIFY(edit);
        QVERIFY(edit->menu());
        emit edit->menu()->aboutToShow();
        const QList<QAction*> items = edit->menu()->actions();
        QVERIFY(items.size() >= 4);
        QAction* undo = m_main->menu()->actionOf(CL_Menu_Edit_Undo);
        QVERIFY(undo && undo->isVisible() && !undo->isEnabled());
        QAction* paste = m_main->menu()->actionOf(CL_PMenu_Paste);
        QVERIFY(paste && paste->isVisible() && !paste->isEnabled());
    }

    // A name typed on a channel not in use is not taken silently: the typing moves to the
    // frequency, and the status line says that the channel needs it first, while the
    // letters go on being typed; the channel stays unused.
    void nameOnUnusedChannelTellsWhy() {
        openChannelName();
        QCOMPARE(cells().text(CT_ChannelList, CL_ChL_FreqR, 1), QString());
        QVERIFY(selectChannelCell(CL_ChL_Name, 1));
        const QString why = cmcGTex::mainTable().getText(QStringLiteral("GI_AppMess_RowNotInUse"));
        QVERIFY(m_main->statusText() != why);
        typeLikeAPerson(m_sheet->grid(), QStringLiteral("Harbour"));
        m_editor->events->dispatchStep();
        QCOMPARE(m_main->statusText(), why);
        const cuiCell& current =
            m_sheet->CellObjectAt(m_sheet->grid()->col(), m_sheet->grid()->row());
        QCOMPARE(current.label, int32_t(CL_ChL_FreqR));
        QCOMPARE(current.index, 1);
        QCOMPARE(cells().text(CT_ChannelList, CL_ChL_Name, 1), QString());
        QCOMPARE(cells().text(CT_ChannelList, CL_ChL_FreqR, 1), QString());

        // A name given as a whole (a paste into the cell, a value typed elsewhere) is told
        // the same way.
        m_editor->events->post(cmcEvStatusText{QString(), 0, 0});
        m_editor->events->dispatchStep();
        QCOMPARE(m_main->statusText(), QString());
        QVERIFY(!cells().commit(CT_ChannelList, CL_ChL_Name, 1, QStringLiteral("Harbour")));
        m_editor->events->dispatchStep();
        QCOMPARE(m_main->statusText(), why);
    }
};

QTEST_MAIN(tst_keyboard)
#include "tst_keyboard.moc"

// The View and Help commands that rebuild what the window shows: the sheets' font size and
// the language selection window.

#include "EditorFixture.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcCellObj.h"
#include "cmcCellRequest.h"
#include "cmcEvMan.h"
#include "cuiGrid.h"
#include "cuiMenu.h"
#include "cuiSheet.h"
#include "cuiSheetHost.h"
#include "cuiSheetWindow.h"
#include "indEnviron.h"
#include "indMain.h"

#include <QApplication>
#include <QFocusEvent>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <memory>

namespace {

const QString kChannels = QStringLiteral("[St_ChBank]GI_Sheet_Mch_,Bank 0");

} // namespace

class tst_viewcmds : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorFixture> m_editor;
    indMain* m_main = nullptr;

  private slots:
    void init() {
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-view-"));
        m_main = m_editor->main.get();
        m_editor->form->show();
        QVERIFY(m_main->ShowSheetNow(kChannels));
    }
    void cleanup() { m_editor.reset(); }

    void splitterBelowTheMinimumOpensEightWide() {
        m_editor.reset();
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-view-"),
                                                   [](indEnviron& env) { env.splitterV = 3; });
        m_editor->form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_editor->form.get()));
        QCOMPARE(m_editor->main->leftPanel()->width(), cuiMain::MinSplitter);
    }

    void editMenuAndShortcutsActOnTheCurrentCell() {
        cmcCellDispatch& cells = cmcCellDispatch::global();
        QVERIFY(cells.commit(CT_ChannelList, CL_ChL_FreqR, 0, QStringLiteral("7.1")));
        QVERIFY(cells.commit(CT_ChannelList, CL_ChL_Name, 0, QStringLiteral("Coast")));
        cuiSheet* sheet = m_main->sheetHost()->sheet();
        QWidget* grid = sheet->grid();
        QApplication::setActiveWindow(m_editor->form.get());
        grid->setFocus();
        QTRY_VERIFY(grid->hasFocus());
        sheet->SelectCell(1, 1); // channel 1's receive frequency
        m_editor->events->dispatchStep();

        // The Edit menu offers the cell's pop-up items; a menu popping up keeps them.
        QMenu* edit = m_main->menu()->actionOf(CL_Menu_Edit_Top)->menu();
        QVERIFY(edit);
        QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
        QApplication::sendEvent(grid, &popup);
        m_editor->events->dispatchStep();
        QAction* copy = m_main->menu()->actionOf(CL_PMenu_Copy);
        QVERIFY(copy);
        QVERIFY(copy->isEnabled());
        copy->trigger(); // Edit > Copy copies the current row

        // Ctrl+V in the grid pastes it on the current row.
        sheet->SelectCell(1, 3);
        m_editor->events->dispatchStep();
        QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(cells.text(CT_ChannelList, CL_ChL_Name, 2), QStringLiteral("Coast"));
        QCOMPARE(cells.text(CT_ChannelList, CL_ChL_FreqR, 2),
                 cells.text(CT_ChannelList, CL_ChL_FreqR, 0));
    }

    void fontSizeRebuildsTheSheet() {
        const int before = m_main->sheetHost()->sheet()->grid()->rowHeight(1);
        QVERIFY(EditorFixture::runMenu(CL_Menu_View_FontSize, 100, false) & cmcCellObj::F_Ticked);

        EditorFixture::runMenu(CL_Menu_View_FontSize, 150);
        QCOMPARE(m_editor->env->fontSizePercentage, 150);
        QVERIFY(EditorFixture::runMenu(CL_Menu_View_FontSize, 150, false) & cmcCellObj::F_Ticked);
        QVERIFY(
            !(EditorFixture::runMenu(CL_Menu_View_FontSize, 100, false) & cmcCellObj::F_Ticked));
        // The shell task shows the sheet again, built with the larger font, on the same node.
        QTRY_VERIFY(m_main->sheetHost()->sheet() != nullptr);
        QCOMPARE(m_main->sheetHost()->sheet()->command(), kChannels);
        QVERIFY2(m_main->sheetHost()->sheet()->grid()->rowHeight(1) > before,
                 qPrintable(QString::number(m_main->sheetHost()->sheet()->grid()->rowHeight(1))));
    }

    void languageWindowListsAndPicks() {
        EditorFixture::runMenu(CL_Menu_Lang, 0);
        QPointer<QWidget> window = m_main->languageWindow();
        QVERIFY(window);
        EditorFixture::runMenu(CL_Menu_Lang, 0); // a second request raises the same window
        QCOMPARE(m_main->languageWindow(), window.data());

        cuiSheet* sheet = static_cast<cuiSheetWindow*>(window.data())->sheet();
        QCOMPARE(sheet->grid()->rowCount(), 3); // the header and one row per language
        QCOMPARE(cmcCellDispatch::global().text(CT_Null, CL_Langage_Select, 0),
                 QStringLiteral("English"));
        QCOMPARE(cmcCellDispatch::global().text(CT_Null, CL_Langage_Select, 1),
                 QStringLiteral("Deutsch"));
        QCOMPARE(cmcCellDispatch::global().text(CT_Null, CL_Langage_Select, 2), QString());

        // A pick re-opens the overlays and builds the menu and the tree from them again.
        const QMenu* menuBefore = m_main->menu()->menu();
        m_editor->env->language = 3; // whatever was stored, the pick decides
        sheet->ExecuteCellCommand(1, 1, 13, 0, QString());
        QCOMPARE(m_editor->env->language, 0);
        QVERIFY(m_main->menu()->menu() != menuBefore);
        QTRY_VERIFY(window.isNull());
        QVERIFY(m_main->tree());
    }
};

QTEST_MAIN(tst_viewcmds)
#include "tst_viewcmds.moc"

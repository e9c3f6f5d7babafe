// The help: the contents window, a cell's topic in the pop-up at the pointer, the failures
// in the words of the text table, and where the pop-up goes near the screen's edges.

#include "EditorFixture.h"
#include "ScriptedPrompt.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcCellObj.h"
#include "cmcCellRequest.h"
#include "cmcGTex.h"
#include "cuiGrid.h"
#include "cuiHtmlHelp.h"
#include "cuiSheet.h"
#include "cuiSheetHost.h"
#include "indMain.h"

#include <QTest>
#include <QTextBrowser>
#include <memory>

class tst_help : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorFixture> m_editor;
    indMain* m_main = nullptr;

    static QString page(const QTextBrowser* b) { return b ? b->source().fileName() : QString(); }

  private slots:
    void init() {
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-help-"));
        m_main = m_editor->main.get();
    }
    void cleanup() { m_editor.reset(); }

    void contentsFromTheMenu() {
        cmcCellRequest r(CT_Null, CL_Help_Contents, 0);
        r.execute = true;
        cmcCellDispatch::global().dispatch(r);
        QVERIFY(!(r.menuState & cmcCellObj::F_Disabled));
        QCOMPARE(page(m_main->help().helpWindow()), QStringLiteral("index.html"));
        QVERIFY(m_main->help().helpWindow()->toPlainText().contains(QStringLiteral("Contents")));
    }

    void cellTopics_data() {
        QTest::addColumn<int>("label");
        QTest::addColumn<int>("context");
        QTest::addColumn<QString>("topic");
        QTest::newRow("channel frequency") << int(CL_ChL_FreqR) << 1001 << "channels.html";
        QTest::newRow("set mode") << int(CL_SetM_FskShift) << 1002 << "settings.html";
        QTest::newRow("address channel") << int(CL_AddrL_Channel) << 1003 << "selcall.html";
        QTest::newRow("ALE channel group bit")
            << int(CL_Ale_ChGrpL_ChBit_Selected) << 1004 << "ale.html";
        QTest::newRow("adjustment value") << int(CL_WinAD_Hex) << 1012 << "adjust.html";
    }

    void cellTopics() {
        QFETCH(int, label);
        QFETCH(int, context);
        QFETCH(QString, topic);
        QCOMPARE(m_main->HelpContext(cmcCellNames::labelName(label)), context);
        m_main->ShowCellHelp(label);
        QCOMPARE(page(m_main->help().popupWindow()), topic);
        QVERIFY(m_main->help().popupWindow()->isVisible());
    }

    void f1OnACellOpensItsTopic() {
        m_editor->form->show();
        QVERIFY(m_main->ShowSheetNow(QStringLiteral("[St_ChBank]GI_Sheet_Mch_,Bank 0")));
        cuiSheet* sheet = m_main->sheetHost()->sheet();
        sheet->SelectCell(4, 1); // channel 1's name
        QTest::keyClick(sheet->grid(), Qt::Key_F1);
        QCOMPARE(page(m_main->help().popupWindow()), QStringLiteral("channels.html"));
        QTest::keyClick(m_main->help().popupWindow(), Qt::Key_Escape); // Escape closes it
        QTRY_VERIFY(!m_main->help().popupWindow());
    }

    void cellWithoutTopicOpensTheContents() {
        m_main->ShowCellHelp(CL_Misc_ChNo_1Base);
        QVERIFY(!m_main->help().popupWindow());
        QCOMPARE(page(m_main->help().helpWindow()), QStringLiteral("index.html"));
    }

    void failuresAreReported() {
        ScriptedPrompt prompt;
        cuiHtmlHelp help;
        const QString missing = m_editor->path(QStringLiteral("help/none.html"));
        QCOMPARE(help.ShowHelpFile(missing), int(cuiHtmlHelp::NoFile));
        QCOMPARE(help.ShowHelpContext(missing, 1001), int(cuiHtmlHelp::NoFile));
        const QString error =
            cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_HtmlHelp_Error"), 0);
        QCOMPARE(prompt.texts(), QStringList({QString(error).replace("%s", missing),
                                              QString(error).replace("%s", missing)}));

        // A context number the file lacks: the warning, and an earlier pop-up stays.
        prompt.clear();
        const QString file = QStringLiteral(QX_RUNTIME_DIR "/help/index.html");
        QCOMPARE(help.ShowHelpContext(file, 1001), int(cuiHtmlHelp::Shown));
        QCOMPARE(help.ShowHelpContext(file, 4242), int(cuiHtmlHelp::NoTopic));
        QCOMPARE(prompt.texts(), QStringList(cmcGTex::mainTable().getText(
                                     QStringLiteral("GI_Sys_HtmlHelp_Error"), 1)));
        QVERIFY(help.popupWindow()->isVisible());
        QCOMPARE(page(help.popupWindow()), QStringLiteral("channels.html"));
    }

    void popupPlace_data() {
        QTest::addColumn<QPoint>("cursor");
        QTest::addColumn<QRect>("expected");
        // Work area 0,0 1280x900 (bottom 899, right 1279); pop-up 400 x 300.
        QTest::newRow("middle: centred below the pointer")
            << QPoint(640, 300) << QRect(440, 300, 400, 300);
        QTest::newRow("near the bottom right: above and to the left")
            << QPoint(1270, 890) << QRect(880, 590, 400, 300);
        QTest::newRow("near the left edge: against it")
            << QPoint(50, 100) << QRect(0, 100, 400, 300);
    }

    void popupPlace() {
        QFETCH(QPoint, cursor);
        QFETCH(QRect, expected);
        QCOMPARE(cuiHtmlHelp::popupPlace(QSize(400, 300), cursor, QRect(0, 0, 1280, 900)),
                 expected);
    }
};

QTEST_MAIN(tst_help)
#include "tst_help.moc"

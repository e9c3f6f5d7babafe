// Find, sort and tidy in the editor, driven with real keys and clicks: Ctrl+F, typing,
// Enter, F3 and Shift+F3 walk the matches across the sheets; Replace All and a sort by a
// column heading are one undo step each; Compact and Find Duplicates from the Edit menu.

#include "EditorFixture.h"
#include "KeyTyping.h"
#include "ListImages.h"
#include "ScriptedPrompt.h"
#include "cmcCellDispatch.h"
#include "cmcEeprom.h"
#include "cuiGrid.h"
#include "cuiSheet.h"
#include "cuiSheetHost.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"
#include "indMain.h"
#include "iuiFindBar.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>

namespace {

QString shownSheet(indMain& main) {
    cuiSheet* sheet = main.sheetHost() ? main.sheetHost()->sheet() : nullptr;
    return sheet ? sheet->command() : QString();
}

// The current cell of the sheet on show: "label/index".
QString currentCell(indMain& main) {
    cuiSheet* sheet = main.sheetHost()->sheet();
    const cuiCell& c = sheet->CellObjectAt(sheet->grid()->col(), sheet->grid()->row());
    return QStringLiteral("%1/%2").arg(cmcCellNames::labelName(c.label)).arg(c.index);
}

QString channelName(int row) {
    return cmcCellDispatch::global().text(CT_ChannelList, CL_ChL_Name, row);
}

} // namespace

class tst_findsort : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorFixture> m_editor;
    indMain* m_main = nullptr;
    cmcEeprom m_opened;

    QWidget* window() { return m_editor->form.get(); }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(focusedOr(window()), Qt::Key(k), mods);
    }
    iuiFindBar* bar() { return window()->findChild<iuiFindBar*>(); }
    QString count() { return bar()->findChild<QLabel*>(QStringLiteral("FindCount"))->text(); }

  private slots:
    void init() {
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-findsort-"));
        QVERIFY(m_editor->env->isFirstInstance());
        m_main = m_editor->main.get();
        // The lists' fixture: networks "Net 0" .. "Net 8" and ALE network addresses
        // "NET0@" .. "NET18@" hold "net" (12 cells), addresses name channels and networks.
        // The lists and settings over the initial data, which gives the file its identity.
        cmcEeprom image = m_main->loadedImage();
        for (int32_t a = QxRadio::UserWriteFirst; a <= QxRadio::UserWriteLast; ++a)
            image.SetByte(a, ListImages::populated().GetByte(a));
        const QString file = m_editor->path(QStringLiteral("lists.icf"));
        QCOMPARE(indCloneFile::save(file, image, m_main->loadedImage()), 0);
        QVERIFY(m_main->Open(file));
        m_opened = m_main->workingImage();
        QVERIFY(m_editor->showSheet());
    }
    void cleanup() { m_editor.reset(); }

    void findWalksTheMatchesAcrossSheets() {
        key(Qt::Key_F, Qt::ControlModifier);
        QVERIFY(bar() && bar()->isVisible());
        QVERIFY(bar()->isAncestorOf(QApplication::focusWidget()));
        typeLikeAPerson(window(), QStringLiteral("Net"));
        key(Qt::Key_Return);
        QCOMPARE(count(), QStringLiteral("1 of 12"));
        QCOMPARE(shownSheet(*m_main), QStringLiteral("GI_Sheet_NetL"));
        QCOMPARE(currentCell(*m_main), QStringLiteral("CL_NetL_Name/0"));
        // Enter again goes on from the bar.
        key(Qt::Key_Return);
        QCOMPARE(currentCell(*m_main), QStringLiteral("CL_NetL_Name/2"));
        for (int i = 0; i < 4; ++i)
            key(Qt::Key_F3);
        QCOMPARE(count(), QStringLiteral("6 of 12"));
        QCOMPARE(shownSheet(*m_main), QStringLiteral("GI_Sheet_AleNetId"));
        QCOMPARE(currentCell(*m_main), QStringLiteral("CL_Ale_NetId_Id/0"));
        key(Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(count(), QStringLiteral("5 of 12"));
        QCOMPARE(currentCell(*m_main), QStringLiteral("CL_NetL_Name/8"));
        // From the last match on to the first.
        for (int i = 0; i < 8; ++i)
            key(Qt::Key_F3);
        QCOMPARE(count(), QStringLiteral("1 of 12"));
        QCOMPARE(shownSheet(*m_main), QStringLiteral("GI_Sheet_NetL"));

        // The sheet in view alone: the seven ALE network addresses.
        QVERIFY(m_main->ShowSheetNow(QStringLiteral("GI_Sheet_AleNetId")));
        bar()->findChild<QCheckBox*>()->click();
        bar()->findChild<QLineEdit*>(QStringLiteral("FindText"))->setFocus();
        key(Qt::Key_Return);
        QCOMPARE(count(), QStringLiteral("1 of 7"));
        QCOMPARE(shownSheet(*m_main), QStringLiteral("GI_Sheet_AleNetId"));

        // A frequency by its value; nothing found says so.
        auto* field = bar()->findChild<QLineEdit*>(QStringLiteral("FindText"));
        key(Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), field);
        bar()->findChild<QCheckBox*>()->click();
        field->selectAll();
        typeLikeAPerson(window(), QStringLiteral("xyz"));
        key(Qt::Key_Return);
        QCOMPARE(count(), QStringLiteral("No match"));
        key(Qt::Key_Escape);
        QVERIFY(!bar()->isVisible());
    }

    void replaceAllIsOneUndoStep() {
        key(Qt::Key_F, Qt::ControlModifier);
        typeLikeAPerson(window(), QStringLiteral("harbour"));
        bar()->findChild<QLineEdit*>(QStringLiteral("ReplaceText"))->setFocus();
        typeLikeAPerson(window(), QStringLiteral("Port"));
        const int steps = m_main->document().undoCount();
        for (QPushButton* b : bar()->findChildren<QPushButton*>())
            if (b->text() == QLatin1String("Replace All")) b->click();
        QCOMPARE(channelName(0), QStringLiteral("Port 0"));
        QCOMPARE(channelName(36 * 3), QStringLiteral("Port 36"));
        QCOMPARE(count(), QStringLiteral("No match"));
        QCOMPARE(m_main->document().undoCount(), steps + 1);
        QCOMPARE(m_main->document().undoName(), QStringLiteral("Replace All, 10 rows"));
        // Ctrl+Z in the bar's fields is their own; in the sheet it takes the step back.
        m_main->sheetHost()->sheet()->grid()->setFocus();
        key(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(m_main->workingImage() == m_opened);
    }

    void headingClickSortsAfterAsking() {
        cuiSheet* sheet = m_main->sheetHost()->sheet();
        cuiGrid* grid = sheet->grid();
        int nameCol = -1;
        for (int col = 0; col < sheet->colCount(); ++col)
            if (sheet->CellObjectAt(col, 0).displayText == QLatin1String("Name")) nameCol = col;
        QVERIFY(nameCol >= 0);
        const QPoint heading(grid->colLeft(nameCol) + grid->colWidth(nameCol) / 2,
                             grid->rowHeight(0) / 2);
        const QString addressChannel =
            cmcCellDispatch::global().text(CT_AddressList, CL_AddrL_Channel, 4);

        ScriptedPrompt prompt;
        prompt.queueAnswer(PA_Cancel);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, heading);
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral(
                                     "Sort 500 channels by Name? Every reference follows.")});
        QVERIFY(m_main->workingImage() == m_opened);

        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, heading);
        QCOMPARE(m_main->document().undoName(), QStringLiteral("Sort, 500 rows"));
        QCOMPARE(channelName(0), QStringLiteral("\"Q\" 10"));
        // The address names the channel it named, now at another row.
        const QString after = cmcCellDispatch::global().text(CT_AddressList, CL_AddrL_Channel, 4);
        QCOMPARE(after.section(u' ', 1, -1), addressChannel.section(u' ', 1, -1));
        QVERIFY(after.section(u' ', 0, 0) != addressChannel.section(u' ', 0, 0));
        key(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(m_main->workingImage() == m_opened);
    }

    void compactAndDuplicatesFromTheEditMenu() {
        ScriptedPrompt prompt;
        EditorFixture::runMenu(CL_Menu_Edit_Compact);
        QCOMPARE(m_main->document().undoName(), QStringLiteral("Compact, 40 rows"));
        QCOMPARE(channelName(1), QStringLiteral("Pier, 1"));
        EditorFixture::runMenu(CL_Menu_Edit_Compact);
        QCOMPARE(
            prompt.texts().value(0),
            QStringLiteral("The channels have no gaps: the rows in use are at the top already."));

        // A repeat of channel 1 that an address names: merged into channel 1.
        cmcCellDispatch& d = cmcCellDispatch::global();
        for (const auto& [label, text] :
             {std::pair{CL_ChL_FreqR, d.text(CT_ChannelList, CL_ChL_FreqR, 1)},
              std::pair{CL_ChL_FreqT, d.text(CT_ChannelList, CL_ChL_FreqT, 1)},
              std::pair{CL_ChL_Mode, d.text(CT_ChannelList, CL_ChL_Mode, 1)},
              std::pair{CL_ChL_Name, QStringLiteral("Again")}})
            QVERIFY(d.commit(CT_ChannelList, label, 45, text));
        QVERIFY(d.commit(CT_AddressList, CL_AddrL_Channel, 0, QStringLiteral("46")));
        prompt.clear();
        prompt.queueChoice(0); // Merge into First Row
        EditorFixture::runMenu(CL_Menu_Edit_Duplicates);
        QCOMPARE(prompt.texts().value(0),
                 QStringLiteral("Channel 46 repeats row 2.\nNamed by: address 1."));
        QCOMPARE(m_main->document().undoName(), QStringLiteral("Merge, channel 46"));
        // The address names the first row now (shown with its number and name).
        QVERIFY2(d.text(CT_AddressList, CL_AddrL_Channel, 0).endsWith(QLatin1String("Pier, 1")),
                 qPrintable(d.text(CT_AddressList, CL_AddrL_Channel, 0)));
        QVERIFY(d.text(CT_ChannelList, CL_ChL_Name, 45).isEmpty());
        prompt.clear();
        EditorFixture::runMenu(CL_Menu_Edit_Duplicates);
        QCOMPARE(prompt.texts().value(0), QStringLiteral("No two channels are the same."));
    }
};

QTEST_MAIN(tst_findsort)
#include "tst_findsort.moc"

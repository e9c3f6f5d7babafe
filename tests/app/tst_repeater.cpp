// The repeater settings window in the editor: the menu item that opens it (one at a time),
// its sheet, title, note and buttons; repeater-data files saved from it and loaded back
// through the file dialogs (answered by the test); files that are refused with the clone
// file error of their code, leaving the working image and the document as they were.

#include "EditorFixture.h"
#include "ScriptedDialogs.h"
#include "ScriptedPrompt.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cmcIcfFile.h"
#include "cuiMenu.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"
#include "indMain.h"
#include "iuiRptSetWin.h"
#include "iuiSh_MultiTable.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

QByteArray repeaterPart(const cmcEeprom& image) {
    QByteArray bytes(QxRadio::RepeaterLast + 1, '\0');
    image.GetBlock(0, reinterpret_cast<uint8_t*>(bytes.data()), int(bytes.size()));
    return bytes;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

class tst_Repeater : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorFixture> m_editor;
    indMain* m_main = nullptr;

    iuiRptSetWin* openWindow() {
        if (auto* ev = cmcEvMan::instance()) ev->send(EV_MenuRefresh);
        QAction* action = m_main->menu()->actionOf(CL_Menu_View_Repeater);
        if (!action) return nullptr;
        action->trigger();
        return dynamic_cast<iuiRptSetWin*>(m_main->repeaterWindow());
    }

  private slots:
    void init() {
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-rpt-"));
        QVERIFY(m_editor->env->isFirstInstance());
        m_main = m_editor->main.get();
    }
    void cleanup() { m_editor.reset(); }

    void menuItemOpensOneWindow() {
        iuiRptSetWin* window = openWindow();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Repeater Settings"));
        iuiSh_MultiTable* sheet = window->siteSheet();
        QCOMPARE(sheet->key(), QStringLiteral("GI_Sheet_RptSetWin"));
        QCOMPARE(sheet->arguments(), QStringLiteral("R 9"));
        // This radio keeps no repeater sites: the row for a new entry, empty.
        QCOMPARE(sheet->grid()->rowCount(), 1 + 1);
        QCOMPARE(sheet->cellSource()->view(sheet->CellObjectAt(1, 1), false, false).text,
                 QString());
        QCOMPARE(sheet->titleLabel()->text(),
                 QStringLiteral(" Repeater Sites - Site:  1  (Left CH -    0)"));
        QCOMPARE(sheet->GetTitle(), QStringLiteral("Repeater List (Site:  1)"));
        QCOMPARE(window->loadButton()->text(), QStringLiteral("Load..."));
        QCOMPARE(window->saveButton()->text(), QStringLiteral("Save..."));
        QCOMPARE(window->okButton()->text(), QStringLiteral("OK"));
        QCOMPARE(window->cancelButton()->text(), QStringLiteral("Cancel"));
        QVERIFY(window->note()->text().contains(QStringLiteral("*.rpt")));
        // Asked again, the same window comes to the front.
        QCOMPARE(openWindow(), window);
        window->okButton()->click();
        QTRY_VERIFY(!m_main->repeaterWindow());
    }

    // The window is not modal: an edit made in a sheet while it is open stays when it is
    // cancelled, and so does its undo step.
    void cancelKeepsOtherEdits() {
        iuiRptSetWin* window = openWindow();
        QVERIFY(window);
        QVERIFY(cmcCellDispatch::global().commit(CT_ChannelList, CL_ChL_FreqR, 3,
                                                 QStringLiteral("5.5")));
        const cmcEeprom edited = m_main->workingImage();
        const int steps = m_main->document().undoCount();
        QVERIFY(steps > 0);
        window->cancelButton()->click();
        QTRY_VERIFY(!m_main->repeaterWindow());
        QVERIFY(m_main->workingImage() == edited);
        QCOMPARE(cmcCellDispatch::global().text(CT_ChannelList, CL_ChL_FreqR, 3),
                 QStringLiteral("5.500000"));
        QCOMPARE(m_main->document().undoCount(), steps);
        QVERIFY(m_main->IsModified());
    }

    // Saved and loaded back: the file carries the repeater part of the working image, the
    // load takes nothing that differs and marks the document modified.
    void savedFileLoadsBack() {
        cmcEeprom& working = m_main->workingImage();
        for (int a = 0; a <= QxRadio::RepeaterLast; ++a)
            working.SetByte(a, uint8_t(a * 7 + 3));
        m_main->MarkSaved();
        const cmcEeprom before = working;
        iuiRptSetWin* window = openWindow();
        QVERIFY(window);
        ScriptedDialogs dialogs;
        ScriptedPrompt prompt;
        const QString path = m_editor->path(QStringLiteral("sites"));
        dialogs.answers << path << path + QStringLiteral(".rpt");
        window->saveButton()->click();
        QCOMPARE(dialogs.saves, 1);
        QCOMPARE(dialogs.filters.value(0),
                 QStringLiteral("Repeater data files (*.rpt);;All files (*)"));
        const QString written = path + QStringLiteral(".rpt");
        QVERIFY(readAll(written).startsWith("70410001\r\n#Comment=Repeater Data\r\n#MapRev=1\r\n"));
        QCOMPARE(m_main->repeaterFile(), written);
        cmcEeprom copy(working.GetSize());
        QCOMPARE(indCloneFile::readRepeater(written, copy), int(ICF_Ok));
        QCOMPARE(repeaterPart(copy), repeaterPart(before));

        window->loadButton()->click();
        QCOMPARE(dialogs.opens, 1);
        QVERIFY(prompt.entries().isEmpty());
        QVERIFY(working == before);
        QVERIFY(m_main->IsModified());
        QCOMPARE(m_main->currentDirectory(), m_editor->dir.path());

        // Cancelled after the load: nothing differs from the saved data, so nothing is
        // left modified.
        window->cancelButton()->click();
        QTRY_VERIFY(!m_main->repeaterWindow());
        QVERIFY(working == before);
        QVERIFY(!m_main->IsModified());
    }

    // Each refused file is named by its code's message; a clone file is named as what it
    // is, not by the map revision that gave it away.
    void refusedFiles_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says"); // empty: the code's own message
        const QByteArray header = "70410001\r\n#Comment=Repeater Data\r\n";
        QByteArray lines;
        for (int a = 0; a <= QxRadio::RepeaterLast; a += 16) {
            const int n = std::min(16, QxRadio::RepeaterLast + 1 - a);
            lines += QByteArray::number(a, 16).rightJustified(4, '0').toUpper() +
                     QByteArray::number(n, 16).rightJustified(2, '0').toUpper() +
                     QByteArray(n * 2, 'A') + "\r\n";
        }
        QTest::newRow("a clone file")
            << header + "#MapRev=2\r\n" + lines << 5
            << "This is a clone file of the transceiver's whole memory, not repeater data.";
        QTest::newRow("another map revision") << header + "#MapRev=3\r\n" + lines << 5 << "";
        QTest::newRow("another model") << "70420001\r\n#MapRev=1\r\n" + lines << 3 << "";
        QTest::newRow("a line missing")
            << header + "#MapRev=1\r\n" + lines.left(lines.indexOf("\r\n") + 2) << 7 << "";
        QTest::newRow("the file as a good one") << header + "#MapRev=1\r\n" + lines << 0 << "";
    }

    void refusedFiles() {
        QFETCH(QByteArray, contents);
        QFETCH(int, code);
        const QString path = m_editor->path(QStringLiteral("in.rpt"));
        writeAll(path, contents);
        const cmcEeprom before = m_main->workingImage();
        iuiRptSetWin* window = openWindow();
        QVERIFY(window);
        ScriptedDialogs dialogs;
        ScriptedPrompt prompt;
        dialogs.answers << path;
        window->loadButton()->click();
        if (code == 0) {
            // The control row: the same lines with an accepted header go in.
            QVERIFY(prompt.entries().isEmpty());
            QVERIFY(m_main->IsModified());
            return;
        }
        QFETCH(QString, says);
        QCOMPARE(prompt.entries().size(), 1);
        const QString shown = prompt.texts().value(0);
        const QString codeText = cmcGTex::mainTable().getTextBlock(cmcIcfFile::errorKey(code));
        QVERIFY2(shown.contains(says.isEmpty() ? codeText : says), qPrintable(shown));
        if (!says.isEmpty()) QVERIFY2(!shown.contains(codeText), qPrintable(shown));
        QVERIFY(m_main->workingImage() == before);
        QVERIFY(!m_main->IsModified());
        QCOMPARE(m_main->repeaterFile(), QString());
    }
};

QTEST_MAIN(tst_Repeater)
#include "tst_repeater.moc"

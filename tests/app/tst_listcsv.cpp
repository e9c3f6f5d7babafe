// File > Export List... and Import List... in the editor: the list of the sheet on show
// through the file dialogs (answered by the test), an import that goes in as one named
// undo step, and one that is refused with its errors in a single message and changes
// nothing.

#include "EditorFixture.h"
#include "ScriptedDialogs.h"
#include "ScriptedPrompt.h"
#include "cmcCellDispatch.h"
#include "cmcEvMan.h"
#include "cuiFileDialogs.h"
#include "cuiMenu.h"
#include "imcCsvLists.h"
#include "indMain.h"

#include <QAction>
#include <QFile>
#include <QTest>

namespace {

const QString kChannels = QStringLiteral("[St_ChBank]GI_Sheet_Mch_,Bank 0");

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_listcsv : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorFixture> m_editor;
    indMain* m_main = nullptr;

    QAction* item(int32_t label) {
        if (auto* ev = cmcEvMan::instance()) ev->send(EV_MenuRefresh);
        return m_main->menu() ? m_main->menu()->actionOf(label) : nullptr;
    }
    QString channel(int32_t label, int row) {
        return cmcCellDispatch::global().text(CT_ChannelList, label, row);
    }

  private slots:
    void init() {
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-csv-"));
        QVERIFY(m_editor->env->isFirstInstance());
        m_main = m_editor->main.get();
    }
    void cleanup() { m_editor.reset(); }

    // The items act on the list sheet on show without asking which list.
    void itemsFollowTheSheet() {
        QVERIFY(m_main->ShowSheetNow(QStringLiteral("GI_Sheet_AleChGrp")));
        QVERIFY(item(CL_Menu_File_ImportList)->isEnabled());
        QCOMPARE(QString::fromLatin1(m_main->shownList()->name), QStringLiteral("channel-groups"));
        ScriptedDialogs dialogs;
        dialogs.answers << m_editor->path(QStringLiteral("groups.csv"));
        ScriptedPrompt prompt;
        item(CL_Menu_File_ExportList)->trigger();
        QVERIFY(prompt.entries().isEmpty());
        QVERIFY(readAll(m_editor->path(QStringLiteral("groups.csv"))).startsWith("row,"));
    }

    // Where the sheet on show is no list, the items ask which list; the pick is offered
    // again next time, and cancelling the choice writes nothing.
    void otherSheetsAskWhichList() {
        QVERIFY(m_main->ShowSheetNow(QStringLiteral("GI_Sheet_USetM")));
        QVERIFY(!m_main->shownList());
        QVERIFY(item(CL_Menu_File_ExportList)->isEnabled());
        QVERIFY(item(CL_Menu_File_ImportList)->isEnabled());
        QVERIFY(cmcCellDispatch::global().commit(CT_MessageList, CL_MsgL_Msg, 0,
                                                 QStringLiteral("Marine Net")));
        const int messages = imcCsvLists::indexOf(*imcCsvLists::find(QStringLiteral("messages")));
        QVERIFY(messages > 0);

        ScriptedDialogs dialogs;
        const QString out = m_editor->path(QStringLiteral("picked.csv"));
        dialogs.answers << out;
        ScriptedPrompt prompt;
        prompt.queueChoice(messages);
        item(CL_Menu_File_ExportList)->trigger();
        QCOMPARE(prompt.entries().size(), 1);
        const ScriptedPrompt::Entry asked = prompt.entries().first();
        QCOMPARE(asked.text, QStringLiteral("Which list?"));
        QCOMPARE(asked.caption, QStringLiteral("Export List"));
        QCOMPARE(asked.items.value(0), QStringLiteral("Channels"));
        QCOMPARE(asked.items.value(messages), QStringLiteral("Messages"));
        QCOMPARE(asked.items.size(), int(imcCsvLists::all().size()));
        QVERIFY(readAll(out).startsWith("row,message\r\n1,Marine Net\r\n"));

        // Cancelled: no file dialog, nothing written or changed.
        prompt.clear();
        prompt.queueChoice(-1);
        const cmcEeprom before = m_main->workingImage();
        QVERIFY(!m_main->ImportList());
        QCOMPARE(prompt.entries().size(), 1);
        QCOMPARE(prompt.entries().first().caption, QStringLiteral("Import List"));
        QCOMPARE(dialogs.filters.size(), 1); // only the export's file dialog
        QVERIFY(m_main->workingImage() == before);

        // The next choice is offered at the list picked before: taking it imports the
        // messages file back as messages.
        prompt.clear();
        dialogs.answers << out;
        QVERIFY(m_main->ImportList());
        // Which list, then the summary: the file names the one message in use, so there
        // are no other rows to ask about.
        QCOMPARE(prompt.entries().size(), 2);
        QVERIFY2(prompt.entries().last().text.startsWith(QStringLiteral("Import 1 message ")),
                 qPrintable(prompt.entries().last().text));
    }

    void importIsOneUndoStep() {
        QVERIFY(cmcCellDispatch::global().commit(CT_ChannelList, CL_ChL_FreqR, 3,
                                                 QStringLiteral("5.5")));
        QVERIFY(m_main->ShowSheetNow(kChannels));
        const cmcEeprom before = m_main->workingImage();
        const QString csv = m_editor->path(QStringLiteral("plan.csv"));
        writeAll(csv, "row,rx_frequency,tx_frequency,mode,name\r\n"
                      "1,7.100000,,USB,Harbour\r\n"
                      "2,14.300000,14.400000,LSB,\"Pier, 2\"\r\n"
                      "3,3.500000,,CW,Coast\r\n");
        ScriptedDialogs dialogs;
        dialogs.answers << csv;
        ScriptedPrompt prompt;
        prompt.queueAnswer(PA_Yes); // the list's other rows are cleared
        const int steps = m_main->document().undoCount();

        item(CL_Menu_File_ImportList)->trigger();

        QCOMPARE(dialogs.filters, QStringList{QStringLiteral("CSV files (*.csv);;All files (*)")});
        QCOMPARE(prompt.entries().size(), 2);
        QVERIFY(prompt.entries().first().question);
        // The summary: rows 1 to 3 came into use, row 4 was cleared.
        QCOMPARE(prompt.entries().last().text,
                 QStringLiteral("Import 3 channels (3 added, 0 replaced, 1 cleared; nothing "
                                "refused)\nInto rows 1-3."));
        QCOMPARE(m_main->document().undoCount(), steps + 1);
        QCOMPARE(m_main->document().undoName(), QStringLiteral("Import 3 channels"));
        QCOMPARE(channel(CL_ChL_Name, 1), QStringLiteral("Pier, 2"));
        QCOMPARE(channel(CL_ChL_FreqT, 1), QStringLiteral("14.400000"));
        QCOMPARE(channel(CL_ChL_FreqR, 3), QString()); // cleared: the file does not name it
        QVERIFY(m_main->IsModified());
        QVERIFY(item(CL_Menu_Edit_Undo)->text().contains(QStringLiteral("Import 3 channels")));

        m_main->Undo();
        QVERIFY(m_main->workingImage() == before);
        QVERIFY(!m_main->document().canUndo() || m_main->document().undoCount() == steps);
    }

    void refusedImportChangesNothing() {
        QVERIFY(m_main->ShowSheetNow(kChannels));
        const cmcEeprom before = m_main->workingImage();
        const QString csv = m_editor->path(QStringLiteral("bad.csv"));
        writeAll(csv, "row,rx_frequency,name\n1,7.1,Good\n2,abc,Bad\n");
        ScriptedDialogs dialogs;
        dialogs.answers << csv;
        ScriptedPrompt prompt;
        prompt.defaultAnswer = PA_No;
        const int steps = m_main->document().undoCount();

        QVERIFY(!m_main->ImportList());

        // The file failed its checks: nothing is asked, only the errors are shown.
        QCOMPARE(prompt.entries().size(), 1);
        QVERIFY(!prompt.entries().first().question);
        const QString shown = prompt.entries().last().text;
        QVERIFY2(shown.startsWith(QStringLiteral("The file bad.csv was not imported:\n")),
                 qPrintable(shown));
        QVERIFY2(shown.contains(QStringLiteral(
                     "line 3, column 2 (rx_frequency): 'abc' is not a frequency in MHz")),
                 qPrintable(shown));
        QVERIFY(m_main->workingImage() == before);
        QCOMPARE(m_main->document().undoCount(), steps);
    }

    // Channel lists of other tools in the common layout, numbered from 0 or from 1, both
    // go to rows 1 to 3; the summary says where they went and how the file was counted.
    void commonLayoutFromZeroOrOne_data() {
        QTest::addColumn<int>("first");
        QTest::newRow("from 0") << 0;
        QTest::newRow("from 1") << 1;
    }
    void commonLayoutFromZeroOrOne() {
        QFETCH(int, first);
        QVERIFY(m_main->ShowSheetNow(kChannels));
        const QString csv = m_editor->path(QStringLiteral("other.csv"));
        QByteArray text = "Location,Name,Frequency,Duplex,Offset,Tone,Mode,Comment\r\n";
        const char* const names[] = {"Harbour", "Pier", "Coast"};
        for (int i = 0; i < 3; ++i)
            text += QByteArray::number(first + i) + ',' + names[i] + ",7.1" +
                    QByteArray::number(i) + "0000,,0.000000,,USB,\r\n";
        writeAll(csv, text);
        ScriptedDialogs dialogs;
        dialogs.answers << csv;
        ScriptedPrompt prompt;
        QVERIFY(m_main->ImportList());
        for (int i = 0; i < 3; ++i)
            QCOMPARE(channel(CL_ChL_Name, i), QString::fromLatin1(names[i]));
        QCOMPARE(channel(CL_ChL_Name, 3), QString());
        QCOMPARE(prompt.entries().size(), 1); // the summary; nothing else was in use
        const QString summary = prompt.entries().first().text;
        QVERIFY2(summary.contains(QStringLiteral("\nInto rows 1-3.")), qPrintable(summary));
        QCOMPARE(summary.contains(QStringLiteral("counts its rows from 0")), first == 0);
    }

    // A file with an error asks nothing even where rows in use would be left or cleared.
    void refusedImportAsksNothing() {
        QVERIFY(cmcCellDispatch::global().commit(CT_ChannelList, CL_ChL_FreqR, 9,
                                                 QStringLiteral("5.5")));
        QVERIFY(m_main->ShowSheetNow(kChannels));
        const QString csv = m_editor->path(QStringLiteral("bad-common.csv"));
        writeAll(csv, "Location,Name,Frequency,Duplex,Offset,Mode,Comment\r\n"
                      "0,Harbour,7.100000,,0.000000,USB,\r\n"
                      "500,Far,7.200000,,0.000000,USB,\r\n");
        const cmcEeprom before = m_main->workingImage();
        ScriptedDialogs dialogs;
        dialogs.answers << csv;
        ScriptedPrompt prompt;
        QVERIFY(!m_main->ImportList());
        QCOMPARE(prompt.entries().size(), 1);
        QVERIFY(!prompt.entries().first().question);
        QVERIFY2(prompt.entries().first().text.contains(
                     QStringLiteral("'500' is not a row number (0 to 499)")),
                 qPrintable(prompt.entries().first().text));
        QVERIFY(m_main->workingImage() == before);
    }

    // Export List on the channels asks the layout: the editor's own or the common one.
    void exportOffersBothLayouts_data() {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("expected"); // %1: the channel's mode
        QTest::newRow("own") << 0
                             << QString("row,rx_frequency,tx_frequency,mode,name\r\n"
                                        "2,14.300000,14.400000,%1,Pier\r\n");
        QTest::newRow("common") << 1
                                << QString("Location,Name,Frequency,Duplex,Offset,Mode,"
                                           "Comment\r\n2,Pier,14.300000,+,0.100000,%1,\r\n");
    }
    void exportOffersBothLayouts() {
        QFETCH(int, layout);
        QFETCH(QString, expected);
        cmcCellDispatch& cells = cmcCellDispatch::global();
        QVERIFY(cells.commit(CT_ChannelList, CL_ChL_FreqR, 1, QStringLiteral("14.3")));
        QVERIFY(cells.commit(CT_ChannelList, CL_ChL_FreqT, 1, QStringLiteral("14.4")));
        QVERIFY(cells.commit(CT_ChannelList, CL_ChL_Name, 1, QStringLiteral("Pier")));
        const QString mode = channel(CL_ChL_Mode, 1).trimmed();
        QVERIFY(!mode.isEmpty());
        QVERIFY(m_main->ShowSheetNow(kChannels));
        ScriptedDialogs dialogs;
        const QString out = m_editor->path(QStringLiteral("channels.csv"));
        dialogs.answers << out;
        ScriptedPrompt prompt;
        prompt.queueChoice(layout);
        item(CL_Menu_File_ExportList)->trigger();
        QCOMPARE(prompt.entries().size(), 1);
        QCOMPARE(prompt.entries().first().text, QStringLiteral("Which layout?"));
        QCOMPARE(prompt.entries().first().items.size(), 2);
        QVERIFY(prompt.entries().first().items.value(1).contains(QStringLiteral("Location")));
        QCOMPARE(QString::fromUtf8(readAll(out)), expected.arg(mode));

        // Cancelling the choice writes nothing.
        QFile::remove(out);
        prompt.queueChoice(-1);
        dialogs.answers << out;
        QVERIFY(!m_main->ExportList());
        QVERIFY(!QFile::exists(out));
    }

    void exportWritesTheShownList() {
        QVERIFY(cmcCellDispatch::global().commit(CT_MessageList, CL_MsgL_Msg, 2,
                                                 QStringLiteral("Call, \"now\"")));
        QVERIFY(m_main->ShowSheetNow(QStringLiteral("GI_Sheet_MsgL")));
        ScriptedDialogs dialogs;
        const QString out = m_editor->path(QStringLiteral("messages"));
        dialogs.answers << out;
        item(CL_Menu_File_ExportList)->trigger();
        const QByteArray text =
            readAll(out + QStringLiteral(".csv")); // the filter's suffix is added
        QVERIFY2(text.startsWith("row,message\r\n"), text.constData());
        QVERIFY2(text.contains("\r\n3,\"Call, \"\"now\"\"\"\r\n"), text.constData());
    }
};

QTEST_MAIN(tst_listcsv)
#include "tst_listcsv.moc"

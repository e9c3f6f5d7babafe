// The clone commands of the controller against the simulated radio, over a pseudo-terminal
// and over loopback TCP, with the user's answers scripted: read, write with its two
// information exchanges and confirmations, clone information, the failures and their
// messages, the port search, the link dialogs and check marks, and the backups.

#include "EditorFixture.h"
#include "ScriptedPrompt.h"
#include "TForm1.h"
#include "cloneSimProcess.h"
#include "cmcCellDispatch.h"
#include "cmcCellObj.h"
#include "cmcCellRequest.h"
#include "cmcComm.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cmcIcfFile.h"
#include "cmcListInfo.h"
#include "cmcPortLookup.h"
#include "cuiCloneProgress.h"
#include "cuiLinkDialog.h"
#include "cuiSheet.h"
#include "cuiSheetWindow.h"
#include "datCh.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"
#include "indCloneMan.h"
#include "indEnviron.h"
#include "indMain.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {

constexpr int kCloneTimeout = 90000; // a whole image over a pseudo-terminal, sanitizers on

int g_events25 = 0;
void count25(void*, const cmcEvent* e) {
    if (e->code == EV_TreeRebuild) ++g_events25;
}

void setChannel(cmcEeprom& image, int row, uint32_t frequency) {
    const cmcListLayout* ch = cmcListInfo::layout(QxList::Channel);
    for (int i = 0; i < 4; ++i) {
        image.SetByte(ch->base + row * ch->size + QxRec::ChFreqR + i,
                      uint8_t(frequency >> (8 * i)));
        image.SetByte(ch->base + row * ch->size + QxRec::ChFreqT + i,
                      uint8_t(frequency >> (8 * i)));
    }
    image.SetByte(ch->base + row * ch->size + QxRec::ChMode, 0); // a mode the radio knows
}

void clearChannels(cmcEeprom& image) {
    const cmcListLayout* ch = cmcListInfo::layout(QxList::Channel);
    for (int r = 0; r < ch->rows; ++r)
        for (int i = 0; i < ch->size; ++i)
            image.SetByte(ch->base + r * ch->size + i, 0xFF);
}

bool sameRange(const cmcEeprom& a, const cmcEeprom& b, int32_t first, int32_t last) {
    for (int32_t i = first; i <= last; ++i)
        if (a.GetByte(i) != b.GetByte(i)) return false;
    return true;
}

int countCommand(const QStringList& lines, const char* command) {
    const QString head = QStringLiteral("FE EE EF ") + QLatin1String(command);
    int n = 0;
    for (const QString& l : lines)
        if (l.startsWith(head)) ++n;
    return n;
}

QString cloneMessage(int status, const QList<int>& items) {
    cmcGTex& t = cmcGTex::mainTable();
    QStringList lines;
    for (int i : items)
        lines << t.getText("GI_Mess_CloneErr_Check", i);
    return t.getText("GI_Mess_CloneErr_Head", status) + "\n\n" + lines.join('\n');
}

// Runs a modal dialog's script once it is up: the texts typed, each followed by OK.
void answerDialog(const QStringList& texts, bool cancelAtEnd) {
    QTimer::singleShot(0, [texts, cancelAtEnd] {
        auto* dialog = dynamic_cast<cuiLinkDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            answerDialog(texts, cancelAtEnd); // not up yet
            return;
        }
        for (const QString& t : texts) {
            if (!dialog->isVisible()) break;
            dialog->edit()->setText(t);
            dialog->okButton()->click();
        }
        if (cancelAtEnd && dialog->isVisible()) dialog->cancelButton()->click();
    });
}

int g_listCount = 0;
int g_listPorts[4];
int scriptedPorts(void*, int* ports, int capacity) {
    const int n = std::min(g_listCount, capacity);
    for (int i = 0; i < n; ++i)
        ports[i] = g_listPorts[i];
    return n;
}

} // namespace

class tst_clonecmds : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorFixture> m_editor;
    indEnviron* m_env = nullptr;
    cmcEvMan* m_events = nullptr;
    indMain* m_main = nullptr;
    TForm1* m_form = nullptr;
    cmcEeprom m_radioImage;
    QString m_radioFile;

    QString path(const QString& name) const { return m_editor->path(name); }

  private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QDir(indMain::backupFolder()).removeRecursively();
        m_radioImage = cloneTestImage(41000);
        setChannel(m_radioImage, 0, 7100000);
    }

    void cleanupTestCase() { QDir(indMain::backupFolder()).removeRecursively(); }

    void init() {
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-clone-"));
        QVERIFY(m_editor->env->isFirstInstance());
        m_env = m_editor->env.get();
        m_events = m_editor->events.get();
        m_main = m_editor->main.get();
        m_form = m_editor->form.get();
        m_events->attach(&count25, nullptr);
        m_radioFile = path("radio.icf");
        cmcEeprom copy = m_radioImage;
        cmcIcfFile f(copy);
        f.setModelCode(QxRadio::ModelCode);
        f.setExtraCode(QxRadio::ExtraCode);
        f.setMapRevision(QxRadio::CloneMapRevision);
        QCOMPARE(f.write(m_radioFile, QxRadio::WholeImage), 0);
        g_events25 = 0;
    }

    void cleanup() {
        if (m_events) m_events->detach(&count25, nullptr);
        m_editor.reset();
        m_env = nullptr;
        m_events = nullptr;
        m_main = nullptr;
        m_form = nullptr;
    }

    void read_data() {
        QTest::addColumn<int>("link");
        QTest::newRow("serial") << int(cloneSimProcess::Serial);
        QTest::newRow("tcp") << int(cloneSimProcess::Tcp);
    }

    // A read replaces the working and second images, leaves an untitled, unmodified
    // document, asks for the tree to be rebuilt and keeps a backup of what was read.
    void read() {
        QFETCH(int, link);
        ScriptedPrompt prompt;
        QVERIFY(m_main->Save(path("before.icf")));
        QVERIFY(!m_main->documentFile().isEmpty());
        cloneSimProcess sim;
        QVERIFY(sim.start(cloneSimProcess::Link(link), {"--file", m_radioFile}));
        m_editor->useSim(sim);
        const QStringList backupsBefore = EditorFixture::backups();

        QSignalSpy finished(m_main, &indMain::cloneFinished);
        m_main->cloneRead();
        QVERIFY(!m_main->CloseQuery()); // the editor stays open while the radio is busy
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kCloneTimeout);
        QCOMPARE(finished.at(0).at(0).toInt(), int(indCloneMan::OpRead));
        QCOMPARE(finished.at(0).at(1).toInt(), 0);
        QVERIFY(prompt.entries().isEmpty());
        QVERIFY(m_main->workingImage() == m_radioImage);
        QVERIFY(m_main->secondImage() == m_radioImage);
        QVERIFY(m_main->documentFile().isEmpty());
        QVERIFY(m_form->windowTitle().startsWith("Untitled"));
        QVERIFY(!m_main->IsModified());
        QTRY_COMPARE(g_events25, 1);
        QVERIFY(m_form->isEnabled());
        QCOMPARE(m_main->radioCode1(), uint16_t(0x7041));

        const QStringList added = EditorFixture::backups();
        QCOMPARE(added.size(), backupsBefore.size() + 1);
        QVERIFY(m_main->lastBackup().endsWith("_read.icf"));
        cmcEeprom kept(QxRadio::ImageSize);
        QCOMPARE(indCloneFile::open(m_main->lastBackup(), kept), 0);
        QVERIFY(kept == m_radioImage);
    }

    // A modified document is offered for saving first; Cancel stops before the radio is asked.
    void readAsksToSaveFirst() {
        ScriptedPrompt prompt;
        prompt.queueAnswer(PA_Cancel);
        m_main->workingImage().SetByte(0x0600, uint8_t(~m_main->workingImage().GetByte(0x0600)));
        const cmcEeprom before = m_main->workingImage();
        QSignalSpy finished(m_main, &indMain::cloneFinished);
        m_main->cloneRead();
        QCOMPARE(prompt.entries().size(), 1);
        QVERIFY(prompt.entries().at(0).question);
        QVERIFY(!m_main->cloneMan().IsBusy());
        QCOMPARE(finished.count(), 0);
        QVERIFY(m_main->workingImage() == before);
    }

    void write_data() {
        QTest::addColumn<int>("link");
        QTest::newRow("serial") << int(cloneSimProcess::Serial);
        QTest::newRow("tcp") << int(cloneSimProcess::Tcp);
    }

    // After two information exchanges around the confirmation, the radio holds the image
    // prepared as for saving over the user's range, the rest of its memory untouched.
    void write() {
        QFETCH(int, link);
        ScriptedPrompt prompt; // every question answered OK
        cloneSimProcess sim;
        const QString saved = path("radio-after.icf");
        const QString log = path("frames.log");
        QVERIFY(sim.start(cloneSimProcess::Link(link),
                          {"--file", m_radioFile, "--save", saved, "--log", log}));
        m_editor->useSim(sim);
        cmcEeprom& work = m_main->workingImage();
        setChannel(work, 3, 14070000);
        // Bytes of the message texts: any values are data the radio takes.
        for (int32_t a = 0x6F00; a < 0x7000; ++a)
            work.SetByte(a, uint8_t(a * 7));
        work.SetByte(QxRadio::MapRevisionAddr, 9); // the loaded image's revision goes out
        cmcEeprom expected = work;
        m_main->PrepareImage(expected, true);

        QSignalSpy finished(m_main, &indMain::cloneFinished);
        m_main->cloneWrite();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kCloneTimeout);
        QCOMPARE(finished.at(0).at(0).toInt(), int(indCloneMan::OpWrite));
        QCOMPARE(finished.at(0).at(1).toInt(), 0);
        // The confirmation names the link; the success says no read-back comparison ran.
        cmcGTex& t = cmcGTex::mainTable();
        const QString target = link == cloneSimProcess::Tcp
                                   ? QStringLiteral("127.0.0.1:%1").arg(sim.tcpPort())
                                   : cmcComm::DisplayName(cmcComm::PortNumberOf(sim.address()));
        QCOMPARE(
            prompt.texts(),
            QStringList({t.getTextBlock("GI_Mess_Confirm_CloneWrite") + "\n\nRadio on " + target,
                         t.getTextBlock("GI_Mess_CloneWrite_Succeeded") +
                             "\n\nThe data was not read back for a comparison."}));
#ifndef Q_OS_WIN
        if (link == cloneSimProcess::Serial)
            QVERIFY2(target.endsWith(" (" + sim.address() + ")"), qPrintable(target));
#endif
        QCOMPARE(prompt.entries().at(0).buttons, cmcPromptButtons::OkCancel);

        QTRY_VERIFY(QFile::exists(saved));
        cmcEeprom radio(QxRadio::ImageSize);
        QCOMPARE(indCloneFile::open(saved, radio), 0);
        QVERIFY(sameRange(radio, expected, 0x0500, 0xAA5F));
        QVERIFY(sameRange(radio, m_radioImage, 0x0000, 0x04FF));
        QVERIFY(sameRange(radio, m_radioImage, 0xAA60, 0xFFEF));
        QCOMPARE(radio.GetByte(QxRadio::MapRevisionAddr), QxRadio::MapRevision);

        const QStringList frames = cloneLogLines(log);
        QCOMPARE(countCommand(frames, "E0"), 2);
        QCOMPARE(countCommand(frames, "E3"), 1);
        QVERIFY(m_main->lastBackup().endsWith("_write.icf"));
        cmcEeprom kept(QxRadio::ImageSize);
        QCOMPARE(indCloneFile::open(m_main->lastBackup(), kept), 0);
        QVERIFY(kept == expected);
        QVERIFY(m_form->isEnabled());
    }

    // Cancelling the confirmation after the first information exchange sends no 0xE3.
    void cancelledWriteSendsNoE3() {
        ScriptedPrompt prompt;
        prompt.queueAnswer(PA_Cancel);
        cloneSimProcess sim;
        const QString log = path("frames.log");
        QVERIFY(sim.start(cloneSimProcess::Serial, {"--file", m_radioFile, "--log", log}));
        m_editor->useSim(sim);
        setChannel(m_main->workingImage(), 0, 7100000);
        QSignalSpy finished(m_main, &indMain::cloneFinished);
        m_main->cloneWrite();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kCloneTimeout);
        QCOMPARE(finished.at(0).at(1).toInt(), -1);
        QCOMPARE(prompt.texts().size(), 1);
        QVERIFY(prompt.texts().at(0).startsWith(
            cmcGTex::mainTable().getTextBlock("GI_Mess_Confirm_CloneWrite")));
        // Idle after the answer: nothing more can go out.
        QVERIFY(!m_main->cloneMan().IsBusy());
        QTRY_COMPARE(countCommand(cloneLogLines(log), "E0"), 1);
        QCOMPARE(countCommand(cloneLogLines(log), "E3"), 0);
    }

    // In maker mode the maker caution comes first and the whole image goes out.
    void makerWriteCautionCancelled() {
        ScriptedPrompt prompt;
        m_main->ActivateMakerMode(); // answered OK
        QVERIFY(m_main->makerMode());
        prompt.clear();
        prompt.queueAnswer(PA_Cancel);
        cloneSimProcess sim;
        QVERIFY(sim.start(cloneSimProcess::Tcp, {"--file", m_radioFile}));
        m_editor->useSim(sim);
        setChannel(m_main->workingImage(), 0, 7100000);
        QSignalSpy finished(m_main, &indMain::cloneFinished);
        m_main->cloneWrite();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kCloneTimeout);
        QCOMPARE(prompt.texts(),
                 QStringList({cmcGTex::mainTable().getTextBlock("GI_Mess_Maker_Caution")}));
        QCOMPARE(indMain::Range(1)[0].first, 0);
        QCOMPARE(indMain::Range(1)[0].last, 0xFFEF);
    }

    // The data pre-checks stop a write before anything is sent.
    void writeNeedsAChannel() {
        ScriptedPrompt prompt;
        clearChannels(m_main->workingImage());
        QCOMPARE(datCh::usedChannels(m_main->workingImage()), 0);
        m_main->selectComPort(cmcComm::PortNumberOf(path("no-such-tty")));
        m_main->cloneWrite();
        QVERIFY(!m_main->cloneMan().IsBusy());
        QCOMPARE(
            prompt.texts(),
            QStringList({cmcGTex::mainTable().getTextBlock("GI_AppMess_CloneErr_NoActualCh")}));
        QCOMPARE(prompt.entries().at(0).icon, cmcPromptIcon::Error);
    }

    void failures_data() {
        QTest::addColumn<QStringList>("simArgs");
        QTest::addColumn<int>("status");
        QTest::addColumn<QList<int>>("items");
        QTest::newRow("another model")
            << QStringList{"--other-model"} << 11 << QList<int>{0, 1, 2, 3, 4, 5};
        QTest::newRow("information length byte")
            << QStringList{"--info-length"} << 11 << QList<int>{0, 1, 2, 3, 4, 5};
        QTest::newRow("information kind 3")
            << QStringList{"--info-kind"} << 14 << QList<int>{0, 4, 5};
        QTest::newRow("image identity")
            << QStringList{"--bad-identity"} << 15 << QList<int>{0, 1, 2, 3};
    }

    // A failed read shows its message and leaves the working image and the document as they were.
    void failures() {
        QFETCH(QStringList, simArgs);
        QFETCH(int, status);
        QFETCH(QList<int>, items);
        ScriptedPrompt prompt;
        QVERIFY(m_main->Save(path("doc.icf")));
        const QString doc = m_main->documentFile();
        const cmcEeprom before = m_main->workingImage();
        const QStringList backupsBefore = EditorFixture::backups();
        cloneSimProcess sim;
        QVERIFY(sim.start(cloneSimProcess::Serial, QStringList{"--file", m_radioFile} + simArgs));
        m_editor->useSim(sim);
        QSignalSpy finished(m_main, &indMain::cloneFinished);
        m_main->cloneRead();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kCloneTimeout);
        QCOMPARE(finished.at(0).at(1).toInt(), status);
        QCOMPARE(prompt.texts(), QStringList({cloneMessage(status, items)}));
        QCOMPARE(prompt.entries().at(0).icon, cmcPromptIcon::Error);
        QVERIFY(m_main->workingImage() == before);
        QCOMPARE(m_main->documentFile(), doc);
        QCOMPARE(EditorFixture::backups(), backupsBefore);
        QVERIFY(m_form->isEnabled());
        QCOMPARE(g_events25, 0);
    }

    // A serial device that does not open: status 2 names the port and says why.
    void linkOpenFailureNamesThePort() {
        ScriptedPrompt prompt;
#ifdef Q_OS_WIN
        const QString device = QStringLiteral("COM250"); // a port is its COM name: none here
#else
        const QString device = path("ttyQX9");
#endif
        const int port = cmcComm::PortNumberOf(device);
        m_main->selectComPort(port);
        QSignalSpy finished(m_main, &indMain::cloneFinished);
        m_main->cloneInfo();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kCloneTimeout);
        QCOMPARE(finished.at(0).at(1).toInt(), 2);
        QCOMPARE(prompt.entries().size(), 1);
        const QString text = prompt.texts().at(0);
        QVERIFY2(
            text.startsWith(
                cloneMessage(2, {0, 1, 2, 3}).replace("%d", cmcComm::DisplayName(port).mid(3))),
            qPrintable(text));
#ifndef Q_OS_WIN
        QVERIFY2(text.contains(QStringLiteral("(COM%1 (%2))").arg(port).arg(device)),
                 qPrintable(text));
#endif
        QVERIFY(text.contains(device));
        QVERIFY(!m_main->cloneInfoWindow());
    }

    // A TCP link that cannot even start (no valid address) says which address it tried, and
    // its check items speak of the network adapter instead of the cable and the COM port.
    void tcpLinkOpenFailure() {
        ScriptedPrompt prompt;
        m_env->tcpLink = true;
        m_env->tcpAddress = QStringLiteral("300.1.1.1");
        m_env->tcpPort = 41000;
        QSignalSpy finished(m_main, &indMain::cloneFinished);
        m_main->cloneInfo();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kCloneTimeout);
        QCOMPARE(finished.at(0).at(1).toInt(), 2);
        QCOMPARE(prompt.entries().size(), 1);
        const QString text = prompt.texts().at(0);
        QVERIFY2(
            text.startsWith("Cannot connect to the network adapter at 300.1.1.1, port 41000.\n\n"),
            qPrintable(text));
        QVERIFY2(text.contains("address (300.1.1.1) and port (41000)"), qPrintable(text));
        QVERIFY2(!text.contains("COM") && !text.contains("cable"), qPrintable(text));
    }

    // Clone information opens the information sheet in its own window; its cells show the
    // stored codes and each byte of the 32-byte record, and refuse edits.
    void cloneInformation() {
        ScriptedPrompt prompt;
        cloneSimProcess sim;
        QVERIFY(sim.start(cloneSimProcess::Tcp, {"--file", m_radioFile}));
        m_editor->useSim(sim);
        QSignalSpy finished(m_main, &indMain::cloneFinished);
        m_main->cloneInfo();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kCloneTimeout);
        QCOMPARE(finished.at(0).at(1).toInt(), 0);
        QVERIFY(prompt.entries().isEmpty());
        QCOMPARE(m_main->radioCode1(), uint16_t(0x7041));
        const QByteArray record = m_main->radioInfo();
        QCOMPARE(record.size(), 32);
        QCOMPARE(int(record.at(0)), 32);
        QCOMPARE(int(record.at(2)), 2);

        auto* window = dynamic_cast<cuiSheetWindow*>(m_main->cloneInfoWindow());
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), cmcGTex::mainTable().getText("GI_Sys_AppTitle"));
        cuiSheet* sheet = window->sheet();
        QVERIFY(sheet);
        QCOMPARE(sheet->key(), QStringLiteral("GI_Sheet_CloneInfo"));
        QVERIFY(sheet->cellSource());

        // Every value cell of the sheet, as the grid would paint it.
        QString model, code2;
        QMap<int, QString> bytes, texts;
        for (int r = 0; r < sheet->rowCount(); ++r) {
            for (int c = 0; c < sheet->colCount(); ++c) {
                const cuiCell& cell = sheet->CellObjectAt(c, r);
                if (!cell.hasLabel()) continue;
                const QString text = sheet->cellSource()->view(cell, false, false).text;
                QVERIFY2(!text.endsWith("*Yet*"), qPrintable(text));
                if (cell.label == CL_CloneInfo_Model)
                    model = text;
                else if (cell.label == CL_CloneInfo_Code2)
                    code2 = text;
                else if (cell.label == CL_CloneInfo_Dummy)
                    texts.insert(cell.index, text);
                else if (cell.label == CL_CloneInfo_Byte) {
                    QVERIFY2(!bytes.contains(cell.index), qPrintable(QString::number(cell.index)));
                    bytes.insert(cell.index, text);
                }
            }
        }
        QCOMPARE(model, QStringLiteral("7041"));
        QCOMPARE(code2, QString::asprintf("%04X", unsigned(m_main->radioCode2())));
        QCOMPARE(bytes.size(), 32);
        for (int i = 0; i < 32; ++i)
            QCOMPARE(bytes.value(i), QString::asprintf("%02X", unsigned(uint8_t(record.at(i)))));
        // Beside their bytes, the model name (4..15) and the serial number (16..31) as text,
        // without their padding.
        QCOMPARE(texts.value(0), QStringLiteral("QX-T5200"));
        QCOMPARE(texts.value(1), QStringLiteral("SIM-0005200"));
        QCOMPARE(record.mid(16, 11), QByteArray("SIM-0005200"));

        // Read-only: a typed value changes neither the record nor the cell.
        cmcCellDispatch& dispatch = cmcCellDispatch::global();
        QVERIFY(!dispatch.commit(CT_Null, CL_CloneInfo_Byte, 0, QStringLiteral("FF")));
        QVERIFY(!dispatch.commit(CT_Null, CL_CloneInfo_Model, 0, QStringLiteral("1234")));
        QCOMPARE(m_main->radioInfo(), record);
        QCOMPARE(dispatch.text(CT_Null, CL_CloneInfo_Byte, 0), QStringLiteral("20"));
        QCOMPARE(dispatch.text(CT_Null, CL_CloneInfo_Model, 0), QStringLiteral("7041"));

        // A second information run replaces the window.
        QPointer<QWidget> first = window;
        m_main->cloneInfo();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, kCloneTimeout);
        QCOMPARE(finished.at(1).at(1).toInt(), 0);
        QVERIFY(m_main->cloneInfoWindow());
        QVERIFY(m_main->cloneInfoWindow() != first.data());
        QTRY_VERIFY(!first);
    }

    void search_data() {
        QTest::addColumn<bool>("radioOnSecond");
        QTest::newRow("radio on the second port") << true;
        QTest::newRow("no radio") << false;
    }

    // The search asks each port in turn; the first that answers becomes the COM port.
    void search() {
        QFETCH(bool, radioOnSecond);
        ScriptedPrompt prompt;
        cloneSimProcess silent, radio;
        QVERIFY(silent.start(cloneSimProcess::Serial, {"--silence"}));
        QVERIFY(radio.start(cloneSimProcess::Serial, radioOnSecond
                                                         ? QStringList{"--file", m_radioFile}
                                                         : QStringList{"--other-model"}));
        const int first = cmcComm::PortNumberOf(silent.address());
        const int second = cmcComm::PortNumberOf(radio.address());
        g_listCount = 2;
        g_listPorts[0] = first;
        g_listPorts[1] = second;
        m_main->cloneMan().setPortLister(&scriptedPorts, nullptr);
        m_main->selectComPort(1);
        m_env->tcpLink = true; // the search asks serial ports all the same

        QSignalSpy finished(m_main, &indMain::cloneFinished);
        m_main->portSearch();
        QVERIFY(m_main->cloneMan().progressWindow());
        QCOMPARE(m_main->cloneMan().progressWindow()->windowTitle(), QStringLiteral(" Searching"));
        QVERIFY(!m_form->isEnabled());
        m_main->cloneRead(); // refused while the search runs
        g_listCount = 0;
        m_main->portSearch(); // so is a second search: the list stays, no message
        QCOMPARE(m_main->cloneMan().portCount(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kCloneTimeout);
        QCOMPARE(finished.at(0).at(0).toInt(), int(indCloneMan::OpSearch));
        QVERIFY(m_form->isEnabled());
        QVERIFY(!m_main->cloneMan().progressWindow());
        if (radioOnSecond) {
            QCOMPARE(finished.at(0).at(1).toInt(), 0);
            QCOMPARE(m_env->comPort, second);
            // The radio answered on a serial port: the next clone goes there, not over TCP.
            QVERIFY(!m_env->tcpLink);
            QVERIFY(m_main->isComPortChecked(second));
            QCOMPARE(prompt.texts().size(), 1);
            const QString text = prompt.texts().at(0);
            QCOMPARE(text, cmcGTex::mainTable()
                               .getText("GI_Mess_PortSearch_Succeeded")
                               .replace("%d", cmcComm::DisplayName(second).mid(3)));
#ifndef Q_OS_WIN
            QVERIFY2(text.contains(QStringLiteral("COM%1 (%2)").arg(second).arg(radio.address())),
                     qPrintable(text));
#endif
            QCOMPARE(prompt.entries().at(0).icon, cmcPromptIcon::Information);
        } else {
            QCOMPARE(finished.at(0).at(1).toInt(), 18);
            QCOMPARE(m_env->comPort, 1);
            QVERIFY(m_env->tcpLink); // nothing found: the link stays as it was
            QCOMPARE(prompt.texts(), QStringList({cloneMessage(18, {0, 2, 3, 4})}));
        }
    }

    void searchWithoutPorts() {
        ScriptedPrompt prompt;
        g_listCount = 0;
        m_main->cloneMan().setPortLister(&scriptedPorts, nullptr);
        m_main->portSearch();
        QVERIFY(!m_main->cloneMan().progressWindow());
        QVERIFY(!m_main->cloneMan().IsBusy());
        QCOMPARE(prompt.texts(),
                 QStringList({cmcGTex::mainTable().getTextBlock("GI_Mess_PortErr_Search")}));
    }

    void linkDialogs_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<int>("refusals");
        QTest::addColumn<bool>("tcpAfter");
        QTest::newRow("COM 0, 257, text, then 256")
            << int(cuiLinkDialog::ComPort) << QStringList{"0", "257", "x", "256"} << 3 << false;
        QTest::newRow("address 10.0.0, then 10.0.0.1")
            << int(cuiLinkDialog::TcpAddress) << QStringList{"10.0.0", "10.0.0.1"} << 1 << true;
        QTest::newRow("port 1023, then 65535")
            << int(cuiLinkDialog::TcpPort) << QStringList{"1023", "65535"} << 1 << true;
        QTest::newRow("COM refused, then cancelled")
            << int(cuiLinkDialog::ComPort) << QStringList{"0"} << 1 << true;
    }

    // The dialogs refuse with their error box and stay open; accepting stores the value and
    // switches the TCP link on (address, port) or off (COM port).
    void linkDialogs() {
        QFETCH(int, kind);
        QFETCH(QStringList, typed);
        QFETCH(int, refusals);
        QFETCH(bool, tcpAfter);
        ScriptedPrompt prompt;
        m_env->tcpLink = kind == cuiLinkDialog::ComPort;
        const int comBefore = m_env->comPort;
        answerDialog(typed, true);
        switch (kind) {
        case cuiLinkDialog::ComPort:
            m_main->comPortDialog();
            break;
        case cuiLinkDialog::TcpAddress:
            m_main->tcpAddressDialog();
            break;
        default:
            m_main->tcpPortDialog();
            break;
        }
        QCOMPARE(prompt.entries().size(), refusals);
        const QString refusal = cmcGTex::mainTable().getTextBlock(
            cuiLinkDialog::keyStem(cuiLinkDialog::Kind(kind)) + "_OutofRange");
        for (const auto& e : prompt.entries())
            QCOMPARE(e.text, refusal);
        QCOMPARE(m_env->tcpLink, tcpAfter);
        const bool accepted = refusals < typed.size();
        if (kind == cuiLinkDialog::ComPort)
            QCOMPARE(m_env->comPort, accepted ? typed.last().toInt() : comBefore);
        if (kind == cuiLinkDialog::TcpAddress) QCOMPARE(m_env->tcpAddress, typed.last());
        if (kind == cuiLinkDialog::TcpPort) QCOMPARE(m_env->tcpPort, typed.last().toInt());
    }

    void checkMarks() {
        m_main->selectComPort(3);
        m_main->setHighSpeed(false);
        QVERIFY(m_main->isComPortChecked(3));
        QVERIFY(!m_main->isComPortChecked(4));
        QVERIFY(!m_main->isUsbPortChecked());
        QVERIFY(m_main->isSpeedHighChecked(false));
        QVERIFY(!m_main->isSpeedHighChecked(true));
        QVERIFY(!m_main->isTcpChecked());
        m_main->selectComPort(5);
        QVERIFY(m_main->isUsbPortChecked());
        m_env->tcpLink = true; // no serial item carries a mark while TCP is on
        QVERIFY(m_main->isTcpChecked());
        QVERIFY(!m_main->isComPortChecked(5));
        QVERIFY(!m_main->isUsbPortChecked());
        QVERIFY(!m_main->isSpeedHighChecked(false));
    }

#ifndef Q_OS_WIN
    // Off Windows a COM item names the device behind its number; choosing it switches TCP off.
    void comItemsNameTheirDevice() {
        const QString device = path("ttyQX-menu");
        const int port = cmcComm::PortNumberOf(device);
        QVERIFY(port >= 1);
        m_env->tcpLink = true;
        cmcCellRequest r(CT_Null, CL_Menu_Port_Com, port);
        QVERIFY(m_main->MenuCommand(r));
        QVERIFY(r.menuState & cmcCellObj::F_CaptionSet);
        QVERIFY(!(r.menuState & cmcCellObj::F_Ticked));
        QCOMPARE(r.fl.display, QStringLiteral("COM%1 (%2)").arg(port).arg(device));
        cmcCellRequest run(CT_Null, CL_Menu_Port_Com, port);
        run.execute = true;
        QVERIFY(m_main->MenuCommand(run));
        QVERIFY(!m_env->tcpLink);
        QCOMPARE(m_env->comPort, port);
        QVERIFY(run.menuState & cmcCellObj::F_Ticked);
        // A number with no device keeps the item's own text.
        cmcCellRequest none(CT_Null, CL_Menu_Port_Com, 250);
        QVERIFY(m_main->MenuCommand(none));
        QVERIFY(!(none.menuState & cmcCellObj::F_CaptionSet));
    }

    // Before the window's first paint the devices are not looked for: a COM item refreshed
    // then keeps its own text instead of waiting for the device list; once the look-up has
    // begun, the item names its device again.
    void comItemsWaitForTheLookupToName() {
        const QString device = path("ttyQX-later");
        const int port = cmcComm::PortNumberOf(device);
        QVERIFY(port >= 1);
        cmcPortLookup::defer();
        cmcCellRequest early(CT_Null, CL_Menu_Port_Com, port);
        QVERIFY(m_main->MenuCommand(early));
        QVERIFY(!(early.menuState & cmcCellObj::F_CaptionSet));
        cmcPortLookup::begin();
        cmcCellRequest later(CT_Null, CL_Menu_Port_Com, port);
        QVERIFY(m_main->MenuCommand(later));
        QVERIFY(later.menuState & cmcCellObj::F_CaptionSet);
        QCOMPARE(later.fl.display, QStringLiteral("COM%1 (%2)").arg(port).arg(device));
    }
#endif

    void linkOption_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("applied");
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("port");
        QTest::newRow("two words")
            << QStringList{"qxt5200", "--tcp", "127.0.0.1:41234"} << true << "127.0.0.1" << 41234;
        QTest::newRow("one word") << QStringList{"qxt5200", "--tcp=10.0.0.1:50000"} << true
                                  << "10.0.0.1" << 50000;
        QTest::newRow("localhost")
            << QStringList{"qxt5200", "--tcp", "localhost:5000"} << true << "127.0.0.1" << 5000;
        QTest::newRow("no port") << QStringList{"qxt5200", "--tcp", "10.0.0.1"} << false << "" << 0;
        QTest::newRow("port 0") << QStringList{"qxt5200", "--tcp", "10.0.0.1:0"} << false << ""
                                << 0;
        QTest::newRow("no value") << QStringList{"qxt5200", "--tcp"} << false << "" << 0;
        QTest::newRow("absent") << QStringList{"qxt5200", "file.icf"} << false << "" << 0;
    }

    void linkOption() {
        QFETCH(QStringList, args);
        QFETCH(bool, applied);
        QFETCH(QString, address);
        QFETCH(int, port);
        const QString addressBefore = m_env->tcpAddress;
        const int portBefore = m_env->tcpPort;
        QCOMPARE(m_main->ApplyLinkOption(args), applied);
        QCOMPARE(m_env->tcpLink, applied);
        QCOMPARE(m_env->tcpAddress, applied ? address : addressBefore);
        QCOMPARE(m_env->tcpPort, applied ? port : portBefore);
    }
};

QTEST_MAIN(tst_clonecmds)
#include "tst_clonecmds.moc"

// Progress that says where it is: the read's progress window (percentage, bytes, the link)
// and its Cancel, which leaves the document, its file and the backups as they were; the
// status line that names what a read did and over which link; the sheet in view and its
// current cell kept over a read and a language switch. The simulated radio over a
// pseudo-terminal or loopback TCP, the editor as the program builds it.

#include "EditorFixture.h"
#include "ScriptedPrompt.h"
#include "cloneSimProcess.h"
#include "cmcComm.h"
#include "cmcIcfFile.h"
#include "cmcListInfo.h"
#include "cuiCloneProgress.h"
#include "cuiGrid.h"
#include "cuiSheet.h"
#include "cuiSheetHost.h"
#include "imcListFacts.h"
#include "imcRadioFacts.h"
#include "indCloneMan.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>
#include <memory>

namespace {
constexpr int kCloneTimeout = 60000;
// A cell of the channel sheet away from its first.
constexpr int kCol = 3;
constexpr int kRow = 7;
} // namespace

class tst_CloneProgress : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorFixture> m_editor;
    QString m_radioFile;

    indMain& main() { return *m_editor->main; }
    cuiSheet* sheetInView() { return main().sheetHost() ? main().sheetHost()->sheet() : nullptr; }

    // The sheet and cell in view are the channel sheet's at (kCol, kRow).
    bool placeKept() {
        cuiSheet* sheet = sheetInView();
        return sheet && sheet->command() == EditorFixture::channelSheet &&
               sheet->grid()->col() == kCol && sheet->grid()->row() == kRow;
    }

  private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QDir(indMain::backupFolder()).removeRecursively();
    }
    void cleanupTestCase() { QDir(indMain::backupFolder()).removeRecursively(); }

    void init() {
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-progress-"));
        m_radioFile = m_editor->path(QStringLiteral("radio.icf"));
        cmcEeprom radio = cloneTestImage(52000);
        QVERIFY(cloneWriteImageFile(m_radioFile, radio));
    }
    void cleanup() { m_editor.reset(); }

    // Cancel midway through a paced read: the read ends with status 21 and no message, and
    // the document, its file and the backups are as they were; the progress window said how
    // far it was and over which device.
    void readCancelledMidway() {
        ScriptedPrompt prompt;
        const QString file = m_editor->path(QStringLiteral("mine.icf"));
        QVERIFY(main().Save(file));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray fileBefore = f.readAll();
        f.close();
        const cmcEeprom before = main().workingImage();
        const QStringList backupsBefore = EditorFixture::backups();

        cloneSimProcess sim;
        QVERIFY(sim.start(cloneSimProcess::Serial, {"--file", m_radioFile, "--baud", "38400"}));
        m_editor->useSim(sim);
        QSignalSpy finished(&main(), &indMain::cloneFinished);
        main().cloneRead();
        indCloneMan& man = main().cloneMan();
        QTRY_VERIFY_WITH_TIMEOUT(man.operation() == indCloneMan::OpRead && man.done() > 4000,
                                 kCloneTimeout);
        cuiCloneProgress* window = man.progressWindow();
        QVERIFY(window);
        QTRY_VERIFY(window->progressLine().contains(QLatin1String(" of 65,520 bytes")));
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d+ % - [\\d,]+ of 65,520 bytes"))
                     .match(window->progressLine())
                     .hasMatch(),
                 qPrintable(window->progressLine()));
        const QString device = cmcComm::DisplayName(cmcComm::PortNumberOf(sim.address()));
        QCOMPARE(window->linkLine(), QStringLiteral("Link: ") + device);
        QVERIFY(window->cancelButton()->isVisible());
        QVERIFY(window->noteLine().isEmpty());

        window->cancelButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
        QCOMPARE(finished.at(0).at(1).toInt(), int(CS_Cancelled));
        QVERIFY(!man.IsBusy());
        QVERIFY(!man.progressWindow());
        QVERIFY(m_editor->form->isEnabled());
        QVERIFY(prompt.entries().isEmpty());
        QVERIFY(main().workingImage() == before);
        QVERIFY(!main().IsModified());
        QCOMPARE(main().documentFile(), QFileInfo(file).absoluteFilePath());
        QCOMPARE(EditorFixture::backups(), backupsBefore);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), fileBefore);
        QTRY_COMPARE(main().statusText(),
                     QStringLiteral("Cancelled: the document and the radio are as they were."));
    }

    void readNamesLinkAndKeepsPlace_data() {
        QTest::addColumn<int>("link");
        QTest::newRow("serial") << int(cloneSimProcess::Serial);
        QTest::newRow("tcp") << int(cloneSimProcess::Tcp);
    }

    // After a read the status line says how many bytes came over which link in how long,
    // and the sheet and cell in view are the ones the user was on.
    void readNamesLinkAndKeepsPlace() {
        QFETCH(int, link);
        ScriptedPrompt prompt;
        cuiSheet* sheet = m_editor->showSheet(EditorFixture::channelSheet);
        QVERIFY(sheet);
        sheet->SelectCell(kCol, kRow);
        QVERIFY(placeKept());

        cloneSimProcess sim;
        QVERIFY(sim.start(cloneSimProcess::Link(link), {"--file", m_radioFile}));
        m_editor->useSim(sim);
        QSignalSpy finished(&main(), &indMain::cloneFinished);
        main().cloneRead();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kCloneTimeout);
        QCOMPARE(finished.at(0).at(1).toInt(), 0);
        QVERIFY(prompt.entries().isEmpty());

        const QString device = link == cloneSimProcess::Tcp
                                   ? QStringLiteral("127.0.0.1:%1").arg(sim.tcpPort())
                                   : cmcComm::DisplayName(cmcComm::PortNumberOf(sim.address()));
        const QRegularExpression said(QStringLiteral("^Read 65,520 bytes from %1 in \\d+\\.\\d s$")
                                          .arg(QRegularExpression::escape(device)));
        QTRY_VERIFY2(said.match(main().statusText()).hasMatch(), qPrintable(main().statusText()));
        QVERIFY(placeKept());
    }

    // Once a write has begun to send its data, the progress window no longer offers Cancel
    // and says why; a cancel asked for then is refused and the write ends complete.
    void writeKeepsNoCancelOnceSent() {
        ScriptedPrompt prompt;
        const QString saved = m_editor->path(QStringLiteral("radio-after.icf"));
        cloneSimProcess sim;
        QVERIFY(sim.start(cloneSimProcess::Serial,
                          {"--file", m_radioFile, "--baud", "38400", "--save", saved}));
        m_editor->useSim(sim);
        // One channel in use, so that the write's data checks let it go.
        const cmcListLayout* ch = cmcListInfo::layout(QxList::Channel);
        for (int i = 0; i < 4; ++i) {
            const uint8_t byte = uint8_t(7100000u >> (8 * i));
            main().workingImage().SetByte(ch->base + QxRec::ChFreqR + i, byte);
            main().workingImage().SetByte(ch->base + QxRec::ChFreqT + i, byte);
        }
        main().workingImage().SetByte(ch->base + QxRec::ChMode, 0);
        QSignalSpy finished(&main(), &indMain::cloneFinished);
        main().cloneWrite();
        indCloneMan& man = main().cloneMan();
        QTRY_VERIFY2_WITH_TIMEOUT(man.operation() == indCloneMan::OpWrite && man.done() > 4000,
                                  qPrintable(prompt.texts().join(u'|')), kCloneTimeout);
        cuiCloneProgress* window = man.progressWindow();
        QVERIFY(window);
        QTRY_VERIFY(!window->noteLine().isEmpty());
        QVERIFY(!window->cancelButton()->isVisible());
        QCOMPARE(window->noteLine(),
                 QStringLiteral(
                     "The data is going into the radio: the write can no longer be cancelled."));
        QVERIFY(!man.Cancel());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kCloneTimeout);
        QCOMPARE(finished.at(0).at(1).toInt(), 0);
        QVERIFY(QFile::exists(saved));
    }

    // A language switch builds the tree and the sheet again: the sheet and cell stay.
    void languageSwitchKeepsPlace() {
        cuiSheet* sheet = m_editor->showSheet(EditorFixture::channelSheet);
        QVERIFY(sheet);
        sheet->SelectCell(kCol, kRow);
        main().SelectLanguage(1);
        QTRY_VERIFY(placeKept());
        main().SelectLanguage(0);
        QTRY_VERIFY(placeKept());
    }
};

QTEST_MAIN(tst_CloneProgress)
#include "tst_cloneprogress.moc"

// The editor's write to several radios and the verification of a write: Clone > Write to
// Several Radios over two pseudo-terminals and TCP at once with one radio failing, the
// data checks once for the batch, a network adapter typed wrongly, "Write again" to exactly
// the radios that failed (one added by its device path before a radio was there), the
// devices and adapters added coming back after a restart as they were left, and the
// ordinary write with the confirmation's check box against a radio that stores a byte
// wrong.

#include "EditorFixture.h"
#include "ScriptedPrompt.h"
#include "TForm1.h"
#include "cloneSimProcess.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcCellRequest.h"
#include "cmcComm.h"
#include "cmcGTex.h"
#include "cmcListInfo.h"
#include "cuiFleetWrite.h"
#include "datCh.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"
#include "indCloneMan.h"
#include "indEnviron.h"
#include "indMain.h"

#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableWidget>
#include <QtTest>
#include <memory>

namespace {

constexpr int kCloneTimeout = 150000; // whole images over pseudo-terminals, sanitizers on

void setChannel(cmcEeprom& image, int row, uint32_t frequency) {
    const cmcListLayout* ch = cmcListInfo::layout(QxList::Channel);
    for (int i = 0; i < 4; ++i) {
        image.SetByte(ch->base + row * ch->size + QxRec::ChFreqR + i,
                      uint8_t(frequency >> (8 * i)));
        image.SetByte(ch->base + row * ch->size + QxRec::ChFreqT + i,
                      uint8_t(frequency >> (8 * i)));
    }
    image.SetByte(ch->base + row * ch->size + QxRec::ChMode, 0);
}

void clearChannels(cmcEeprom& image) {
    const cmcListLayout* ch = cmcListInfo::layout(QxList::Channel);
    for (int r = 0; r < ch->rows; ++r)
        for (int i = 0; i < ch->size; ++i)
            image.SetByte(ch->base + r * ch->size + i, 0xFF);
}

// Write frames (command E3, the start of a write) in a simulator's frame log.
int writesIn(const QString& log) {
    int n = 0;
    for (const QString& line : cloneLogLines(log))
        n += line.split(u' ').value(3) == QLatin1String("E3") ? 1 : 0;
    return n;
}

bool sameRange(const cmcEeprom& a, const cmcEeprom& b, int32_t first, int32_t last) {
    for (int32_t i = first; i <= last; ++i)
        if (a.GetByte(i) != b.GetByte(i)) return false;
    return true;
}

} // namespace

class tst_FleetWrite : public QObject {
    Q_OBJECT
    std::unique_ptr<EditorFixture> m_editor;
    indMain* m_main = nullptr;
    cmcEeprom m_radioImage;
    QString m_radioFile;

    // Ticks exactly the links named.
    static void tickOnly(cuiFleetWrite& w, const QStringList& names) {
        for (int i = 0; i < w.linkList()->count(); ++i) {
            QListWidgetItem* item = w.linkList()->item(i);
            item->setCheckState(names.contains(item->text()) ? Qt::Checked : Qt::Unchecked);
        }
    }

  private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QDir(indMain::backupFolder()).removeRecursively();
        m_radioImage = cloneTestImage(5200);
        setChannel(m_radioImage, 0, 7100000);
    }
    void cleanupTestCase() { QDir(indMain::backupFolder()).removeRecursively(); }

    void init() {
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-fleet-"));
        m_main = m_editor->main.get();
        m_radioFile = m_editor->path("radio.icf");
        QVERIFY(cloneWriteImageFile(m_radioFile, m_radioImage));
        setChannel(m_main->workingImage(), 2, 14070000);
    }
    void cleanup() {
        m_editor.reset();
        m_main = nullptr;
    }

    // Three radios at once from the menu: two on pseudo-terminals, one over TCP that
    // refuses a block. The confirmation comes once; the two sound radios hold the data,
    // the third its old memory; the table and the backups say which is which.
    void writeSeveral() {
        ScriptedPrompt prompt;
        cloneSimProcess a, b, c;
        const QString savedA = m_editor->path("a.icf"), savedB = m_editor->path("b.icf"),
                      savedC = m_editor->path("c.icf");
        QVERIFY(a.start(cloneSimProcess::Serial,
                        {"--file", m_radioFile, "--serial", "ED-A", "--save", savedA}));
        QVERIFY(b.start(cloneSimProcess::Serial,
                        {"--file", m_radioFile, "--serial", "ED-B", "--save", savedB}));
        QVERIFY(c.start(cloneSimProcess::Tcp, {"--file", m_radioFile, "--serial", "ED-C", "--save",
                                               savedC, "--nak-at", "0x3000"}));
        const QString nameA = cmcComm::DisplayName(cmcComm::PortNumberOf(a.address()));
        const QString nameB = cmcComm::DisplayName(cmcComm::PortNumberOf(b.address()));
        cmcEeprom expected = m_main->workingImage();
        m_main->PrepareImage(expected, true);

        EditorFixture::runMenu(CL_Menu_Clone_WriteFleet);
        cuiFleetWrite* w = m_main->fleetWindow();
        QVERIFY(w && w->isVisible());
        QVERIFY(w->addAdapter(c.address()));
        QCOMPARE(m_editor->env->fleetAdapters.filter(c.address()).size(), 1);
        tickOnly(*w, {nameA, nameB, c.address()});
        QSignalSpy finished(m_main, &indMain::cloneFinished);
        prompt.clear();
        w->writeButton()->click();
        QVERIFY(w->isRunning());
        QVERIFY(w->progressBar(2));
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kCloneTimeout);
        QCOMPARE(finished.at(0).at(1).toInt(), 6);
        // One confirmation for the batch, naming how many radios and which.
        QCOMPARE(
            prompt.texts(),
            QStringList{cmcGTex::mainTable().getTextBlock("GI_Mess_Confirm_CloneWrite") +
                        QStringLiteral("\n\n3 radios: %1, %2, %3").arg(nameA, nameB, c.address())});

        QTableWidget* table = w->resultTable();
        QCOMPARE(table->rowCount(), 3);
        const QStringList serials = {"ED-A", "ED-B", "ED-C"};
        const QStringList statuses = {"0", "0", "6"};
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(table->item(row, 1)->text(), serials[row]);
            QCOMPARE(table->item(row, 2)->text(), statuses[row]);
        }
        QCOMPARE(table->item(2, 0)->text(), c.address());
        for (const QString& saved : {savedA, savedB}) {
            cmcEeprom radio(QxRadio::ImageSize);
            QCOMPARE(indCloneFile::open(saved, radio), 0);
            QVERIFY(sameRange(radio, expected, 0x0500, 0xAA5F));
            QVERIFY(sameRange(radio, m_radioImage, 0xAA60, 0xFFEF));
        }
        QVERIFY(!QFile::exists(savedC)); // it never completed a write
        QCOMPARE(EditorFixture::backups("*_write-ED-A.icf").size(), 1);
        QCOMPARE(EditorFixture::backups("*_write-ED-B.icf").size(), 1);
        QCOMPARE(EditorFixture::backups("*_write-ED-C.icf").size(), 0);
        QVERIFY(w->writeButton()->isEnabled());
        w->close();
    }

    // The batch meets the checks of an ordinary write before any window: data with no
    // channel is refused with the write's message.
    void checksComeFirst() {
        ScriptedPrompt prompt;
        clearChannels(m_main->workingImage());
        EditorFixture::runMenu(CL_Menu_Clone_WriteFleet);
        QVERIFY(!m_main->fleetWindow());
        QCOMPARE(prompt.entries().size(), 1);
        QCOMPARE(prompt.entries()[0].icon, cmcPromptIcon::Error);
    }

    // A typed adapter that is none is refused with a message and stays in the field; no
    // link at all ticked starts nothing.
    void badChoices_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("no port") << "192.168.1.100";
        QTest::newRow("port out of range") << "192.168.1.100:70000";
        QTest::newRow("not an address") << "radio.local:41000";
    }
    void badChoices() {
        QFETCH(QString, typed);
        ScriptedPrompt prompt;
        EditorFixture::runMenu(CL_Menu_Clone_WriteFleet);
        cuiFleetWrite* w = m_main->fleetWindow();
        QVERIFY(w);
        const int links = w->linkList()->count();
        w->adapterEdit()->setText(typed);
        QVERIFY(!w->addAdapter(typed));
        QCOMPARE(w->linkList()->count(), links);
        QCOMPARE(w->adapterEdit()->text(), typed);
        QVERIFY(prompt.texts().last().contains(typed));
        tickOnly(*w, {});
        prompt.clear();
        QVERIFY(!w->start());
        QCOMPARE(prompt.texts(), QStringList{cuiFleetWrite::text(11)});
        QVERIFY(!w->isRunning());
        w->close();
    }

    // A radio added by its device path before it was there fails the first run; once it is
    // there, "Write again" writes only that radio (the sound one gets no second write) and
    // updates its row. The table shows both rows whole, the long message wrapped.
    void writeAgainToFailed() {
        ScriptedPrompt prompt;
        cloneSimProcess a, b;
        const QString logA = m_editor->path("a.log"), savedB = m_editor->path("b.icf");
        const QString pathB = m_editor->path("radio-b");
        QVERIFY(a.start(cloneSimProcess::Serial,
                        {"--file", m_radioFile, "--serial", "ED-A", "--log", logA}));
        const QString nameA = cmcComm::DisplayName(cmcComm::PortNumberOf(a.address()));
        const qsizetype keptA = EditorFixture::backups("*_write-ED-A.icf").size();
        const qsizetype keptB = EditorFixture::backups("*_write-ED-B.icf").size();

        EditorFixture::runMenu(CL_Menu_Clone_WriteFleet);
        cuiFleetWrite* w = m_main->fleetWindow();
        QVERIFY(w);
        w->adapterEdit()->setText(pathB);
        QTest::mouseClick(w->addButton(), Qt::LeftButton);
        const QString nameB = cmcComm::DisplayName(cmcComm::PortNumberOf(pathB));
        QVERIFY(w->adapterEdit()->text().isEmpty());
        QCOMPARE(m_editor->env->fleetDevices, QStringList{pathB});
        tickOnly(*w, {nameA, nameB});
        QSignalSpy finished(m_main, &indMain::cloneFinished);
        w->writeButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kCloneTimeout);
        QTableWidget* table = w->resultTable();
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(0, 2)->text(), QStringLiteral("0"));
        QVERIFY(table->item(1, 2)->text() != QLatin1String("0"));
        QVERIFY(w->retryButton()->isVisible());

        // Every row in view without scrolling; the message wraps inside its row.
        QTRY_COMPARE(table->verticalScrollBar()->maximum(), 0);
        for (int row = 0; row < 2; ++row)
            QVERIFY(table->viewport()->rect().contains(table->visualItemRect(table->item(row, 3))));
        const QString message = table->item(1, 3)->text();
        const QRect needed = table->fontMetrics().boundingRect(
            QRect(0, 0, table->columnWidth(3) - 8, 10000), Qt::TextWordWrap, message);
        QVERIFY2(table->fontMetrics().horizontalAdvance(message) > table->columnWidth(3),
                 qPrintable(message)); // long enough to need more than one line
        QVERIFY2(
            table->rowHeight(1) >= needed.height(),
            qPrintable(QStringLiteral("%1 < %2").arg(table->rowHeight(1)).arg(needed.height())));

        QVERIFY(b.start(cloneSimProcess::Serial, {"--file", m_radioFile, "--serial", "ED-B",
                                                  "--link", pathB, "--save", savedB}));
        prompt.clear();
        w->retryButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, kCloneTimeout);
        QCOMPARE(finished.at(1).at(1).toInt(), 0);
        QCOMPARE(prompt.texts(),
                 QStringList{cmcGTex::mainTable().getTextBlock("GI_Mess_Confirm_CloneWrite") +
                             QStringLiteral("\n\n1 radios: %1").arg(nameB)});
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(0, 0)->text(), nameA);
        QCOMPARE(table->item(1, 1)->text(), QStringLiteral("ED-B"));
        QCOMPARE(table->item(1, 2)->text(), QStringLiteral("0"));
        QVERIFY(!w->retryButton()->isVisible());
        QCOMPARE(writesIn(logA), 1);
        cmcEeprom expected = m_main->workingImage();
        m_main->PrepareImage(expected, true);
        cmcEeprom radio(QxRadio::ImageSize);
        QCOMPARE(indCloneFile::open(savedB, radio), 0);
        QVERIFY(sameRange(radio, expected, 0x0500, 0xAA5F));
        // One backup each: the sound radio's from the first run, the other's from the second.
        QCOMPARE(EditorFixture::backups("*_write-ED-A.icf").size(), keptA + 1);
        QCOMPARE(EditorFixture::backups("*_write-ED-B.icf").size(), keptB + 1);
        w->close();
    }

    // A device added by its path and an adapter come back after a restart as they were
    // left: the device ticked, the adapter (unticked by the user) unticked.
    void addedLinksComeBack() {
        ScriptedPrompt prompt;
        const QString device = m_editor->path("ttyQX9");
        const QString adapter = QStringLiteral("127.0.0.1:41999");
        EditorFixture::runMenu(CL_Menu_Clone_WriteFleet);
        cuiFleetWrite* w = m_main->fleetWindow();
        QVERIFY(w);
        QVERIFY(w->addLink(device));
        // Typed and entered as a user does: Enter in the field adds the adapter and does not
        // press Write (no confirmation is asked).
        QTest::keyClicks(w->adapterEdit(), adapter);
        QTest::keyClick(w->adapterEdit(), Qt::Key_Return);
        QVERIFY(w->adapterEdit()->text().isEmpty());
        const QString deviceName = cmcComm::DisplayName(cmcComm::PortNumberOf(device));
        tickOnly(*w, {deviceName});
        w->close();
        QVERIFY(prompt.texts().isEmpty());

        // The program started again on the same settings.
        m_editor->form.reset();
        m_editor->main.reset();
        m_editor->env->save();
        m_editor->env.reset();
        indEnviron::Options options;
        options.settingsFolder = m_editor->path("settings");
        options.screenSize = QSize(1280, 900);
        const QString key = QStringLiteral("Software\\Vexo\\QX-T5200");
        m_editor->env = std::make_unique<indEnviron>(
            QStringLiteral("qxt5200-fleet-again-%1").arg(QCoreApplication::applicationPid()), key,
            key, options);
        QCOMPARE(m_editor->env->fleetDevices, QStringList{device});
        m_editor->main = std::make_unique<indMain>(*m_editor->env, QStringLiteral(QX_RUNTIME_DIR));
        m_editor->form = std::make_unique<TForm1>(*m_editor->main, QRect(0, 0, 1280, 900));
        m_main = m_editor->main.get();
        setChannel(m_main->workingImage(), 2, 14070000);

        EditorFixture::runMenu(CL_Menu_Clone_WriteFleet);
        w = m_main->fleetWindow();
        QVERIFY2(w, qPrintable(prompt.texts().join(u'|')));
        QVERIFY(w);
        QMap<QString, Qt::CheckState> shown;
        for (int i = 0; i < w->linkList()->count(); ++i)
            shown.insert(w->linkList()->item(i)->text(), w->linkList()->item(i)->checkState());
        QCOMPARE(shown.value(deviceName, Qt::PartiallyChecked), Qt::Checked);
        QCOMPARE(shown.value(adapter, Qt::PartiallyChecked), Qt::Unchecked);
        int ticked = 0;
        for (Qt::CheckState state : shown)
            ticked += state == Qt::Checked ? 1 : 0;
        QCOMPARE(ticked, 1);
        w->close();
    }

    // The ordinary write with "read back and compare" ticked: a radio that keeps one byte
    // wrong fails the write with the address, the read-back is kept, and the tick is
    // remembered for the next write.
    void verifiedWrite() {
        ScriptedPrompt prompt;
        prompt.queueCheck(true);
        cloneSimProcess sim;
        QVERIFY(
            sim.start(cloneSimProcess::Serial, {"--file", m_radioFile, "--corrupt-at", "0x2345"}));
        m_main->selectComPort(cmcComm::PortNumberOf(sim.address()));
        QVERIFY(!m_editor->env->verifyWrite);
        QSignalSpy finished(m_main, &indMain::cloneFinished);
        m_main->cloneWrite();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kCloneTimeout);
        QCOMPARE(finished.at(0).at(1).toInt(), 20);
        QVERIFY(m_editor->env->verifyWrite);
        QCOMPARE(prompt.entries().at(0).checkText,
                 cmcGTex::mainTable().getText("GI_Mess_Confirm_VerifyWrite"));
        const QString error = prompt.texts().last();
        QVERIFY2(error.startsWith(cmcGTex::mainTable().getText("GI_Mess_CloneErr_Head", 20)),
                 qPrintable(error));
        QVERIFY2(error.contains("0x2345"), qPrintable(error));
        QVERIFY(m_main->lastBackup().endsWith("_readback.icf"));
        QCOMPARE(EditorFixture::backups("*_write.icf").size(),
                 0); // a failed write keeps no write backup
        QVERIFY(m_editor->form->isEnabled());
    }
};

QTEST_MAIN(tst_FleetWrite)
#include "tst_fleetwrite.moc"

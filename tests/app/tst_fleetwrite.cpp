// The editor's write to several radios and the verification of a write: Clone > Write to
// Several Radios over two pseudo-terminals and TCP at once with one radio failing, the
// data checks once for the batch, a network adapter typed wrongly, and the ordinary write
// with the confirmation's check box against a radio that stores a byte wrong.

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

// The adjustment values and the clone manager's adjustment operations against the
// simulated radio, over a pseudo-terminal and over loopback TCP: the link they set up, the
// values read, the service record, and what a failure leaves behind.

#include "ScriptedPrompt.h"
#include "cloneSimProcess.h"
#include "cmcComm.h"
#include "cmcGTex.h"
#include "imcAdjustValues.h"
#include "indCloneMan.h"

#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

namespace {

struct Done {
    int calls = 0;
    int status = -1;
    int operation = -1;
};
void noteDone(void* context, dst_CDrv_Result* r) {
    auto* d = static_cast<Done*>(context);
    ++d->calls;
    d->status = r->status;
    d->operation = r->operation;
}

// What the simulated radio reports for an argument.
uint16_t simValue(uint8_t argument) {
    return uint16_t(argument << 8 | uint8_t(0x80 + argument));
}

void useSim(indCloneMan& man, const cloneSimProcess& sim) {
    indCloneMan::LinkSettings link;
    link.tcpLink = sim.link() == cloneSimProcess::Tcp;
    link.tcpAddress = QStringLiteral("127.0.0.1");
    link.tcpPort = sim.tcpPort();
    link.comPort = link.tcpLink ? 1 : cmcComm::PortNumberOf(sim.address());
    link.highSpeed = false; // the adjustment link asks for 38,400 baud all the same
    man.setLink(link);
    man.SetCodes(0x7041, 0);
}

} // namespace

class tst_Adjust : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

  private slots:
    void initTestCase() {
        QVERIFY(cmcGTex::mainTable().openFile(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_ENG.OVL")));
    }

    // A read that completed replaces the values; one that failed leaves the last good ones.
    void valuesChangeOnlyWithACompleteRead() {
        imcAdjustValues values;
        const imcCloneDrv::Command* table = values.table();
        for (int i = 0; i < imcAdjustValues::Count; ++i) {
            QCOMPARE(table[i].subCommand, 0x03);
            QCOMPARE(*table[i].argument, uint8_t(i));
            table[i].result[0] = uint8_t(i);
            table[i].result[1] = 0x10;
        }
        QCOMPARE(table[imcAdjustValues::Count].subCommand, 255);
        QVERIFY(!values.isRead());
        QVERIFY(values.csv().isEmpty());
        const QDateTime when(QDate(2024, 3, 9), QTime(14, 5));
        values.finishRead(true, {"QX-T5200", "SN 1", {}, true}, when);
        QVERIFY(values.isRead());
        QCOMPARE(values.value(16), uint16_t(0x1010));

        table[16].result[0] = 0xFF; // a read that breaks off halfway
        values.finishRead(false, {"other", "other", {}, true}, when.addDays(1));
        QCOMPARE(values.value(16), uint16_t(0x1010));
        QCOMPARE(values.radio().serial, QStringLiteral("SN 1"));
        QCOMPARE(values.readAt(), when);
    }

    // The service record: a header line, one line per item, the radio's texts quoted when
    // they need it, the date and time of the reading, CR LF line ends; written whole into a
    // real file.
    void serviceRecord() {
        imcAdjustValues values;
        const imcCloneDrv::Command* table = values.table();
        for (int i = 0; i < imcAdjustValues::Count; ++i) {
            table[i].result[0] = uint8_t(0xA0 + i);
            table[i].result[1] = uint8_t(i);
        }
        values.finishRead(true, {"QX-T5200", "A,\"7\"", {}, true},
                          QDateTime(QDate(2024, 12, 31), QTime(23, 59)));
        const QString path = m_dir.filePath("record.csv");
        QString error;
        QVERIFY2(values.writeCsv(path, &error), qPrintable(error));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        const QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), imcAdjustValues::Count + 2); // the last line ends the file
        QCOMPARE(lines.first(),
                 QStringLiteral("item,argument,hex,decimal,model,serial,date,time"));
        QCOMPARE(lines.at(1), QStringLiteral("1,0x00,0xA000,40960,QX-T5200,\"A,\"\"7\"\"\","
                                             "2024-12-31,23:59:00"));
        QCOMPARE(lines.at(17), QStringLiteral("17,0x10,0xB010,45072,QX-T5200,\"A,\"\"7\"\"\","
                                              "2024-12-31,23:59:00"));
        QVERIFY(lines.last().isEmpty());

        // A folder that does not exist: a reason, and no file.
        const QString nowhere = m_dir.filePath("missing/record.csv");
        QVERIFY(!values.writeCsv(nowhere, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(nowhere));
    }

    void tableRead_data() {
        QTest::addColumn<int>("link");
        QTest::newRow("serial") << int(cloneSimProcess::Serial);
        QTest::newRow("tcp") << int(cloneSimProcess::Tcp);
    }

    // The value read through the manager: on the serial port the speed-change frame first,
    // then the 17 commands; over TCP the commands alone. The main window is disabled while
    // it runs, no progress window shows, and nothing else may start meanwhile.
    void tableRead() {
        QFETCH(int, link);
        const QString log = m_dir.filePath(QStringLiteral("table%1.log").arg(link));
        cloneSimProcess sim;
        QVERIFY(sim.start(cloneSimProcess::Link(link), {"--log", log}));
        QWidget main;
        indCloneMan man;
        man.setMainWindow(&main);
        useSim(man, sim);
        imcAdjustValues values;
        man.adjustDriver().SetCommandTable(values.table());
        Done done;
        QVERIFY(man.StartAdjustTable(&noteDone, &done));
        QVERIFY(!main.isEnabled());
        QVERIFY(!man.progressWindow());
        QVERIFY(man.IsBusy());
        QVERIFY(!man.Info(&noteDone, &done));
        QVERIFY(!man.StartAdjust(&noteDone, &done));
        QTRY_COMPARE_WITH_TIMEOUT(done.calls, 1, 20000);
        QCOMPARE(done.status, 0);
        QCOMPARE(done.operation, int(imcCloneDrv::OpTable));
        QVERIFY(main.isEnabled());
        QCOMPARE(man.adjustDriver().IsTcp(), link == cloneSimProcess::Tcp);
        values.finishRead(true, {}, QDateTime::currentDateTime());
        for (int i = 0; i < imcAdjustValues::Count; ++i)
            QCOMPARE(values.value(i), simValue(uint8_t(i)));

        QStringList frames = cloneLogLines(log);
        if (link == cloneSimProcess::Serial) {
            QCOMPARE(frames.value(0), QStringLiteral("FE EE EF E8 70 41 00 00 01 30 39 FD"));
            QCOMPARE(man.adjustDriver().LinkSettings(), QStringLiteral("38400,N,8,1"));
            frames.removeFirst();
        }
        QCOMPARE(frames.size(), imcAdjustValues::Count);
        QCOMPARE(frames.at(0), QStringLiteral("FE EE EF E8 70 41 00 00 03 30 30 FD"));
        QCOMPARE(frames.at(16), QStringLiteral("FE EE EF E8 70 41 00 00 03 31 30 FD"));
    }

    // A radio whose replies carry another model's code is not listened to: the read ends by
    // time-out with the clone message for status 5, and the adjustment mode goes back to
    // none. The command before it, which awaits no reply, succeeds.
    void failureResetsAdjustMode() {
        ScriptedPrompt prompt;
        const QString log = m_dir.filePath("fail.log");
        cloneSimProcess sim;
        QVERIFY(sim.start(cloneSimProcess::Tcp, {"--adjust-other-code", "--log", log}));
        indCloneMan man;
        useSim(man, sim);
        man.setAdjustMode(indCloneMan::AdjustCommanding);

        man.adjustDriver().SetCommand(0x02, 0x01, nullptr);
        Done command;
        QVERIFY(man.StartAdjust(&noteDone, &command));
        QTRY_COMPARE_WITH_TIMEOUT(command.calls, 1, 20000);
        QCOMPARE(command.status, 0);
        QCOMPARE(man.adjustMode(), int(indCloneMan::AdjustCommanding));
        QTRY_COMPARE(cloneLogLines(log), QStringList{"FE EE EF E8 70 41 00 00 02 30 31 FD"});

        imcAdjustValues values;
        man.adjustDriver().SetCommandTable(values.table());
        Done read;
        QVERIFY(man.StartAdjustTable(&noteDone, &read));
        QTRY_COMPARE_WITH_TIMEOUT(read.calls, 1, 20000);
        QCOMPARE(read.status, int(CS_Timeout));
        QCOMPARE(man.adjustMode(), int(indCloneMan::AdjustNone));
        QCOMPARE(prompt.texts(), QStringList{man.ErrorText(CS_Timeout)});
        QCOMPARE(prompt.entries().at(0).icon, cmcPromptIcon::Error);
        QVERIFY(prompt.texts().at(0).startsWith(
            cmcGTex::mainTable().getText("GI_Mess_CloneErr_Head", 5)));
    }
};

QTEST_MAIN(tst_Adjust)
#include "tst_adjust.moc"

// The clone driver against the simulated radio, over a real pseudo-terminal (with the echo
// of the programming cable) and over loopback TCP: every failure the radio can provoke, the
// fixes of the write and link handling, the adjustment commands.

#include "cloneSimProcess.h"
#include "cmcCloneDrv.h"
#include "cmcIcfFile.h"
#include "cmcTick.h"
#include "imcCloneCheck.h"
#include "imcCloneDrv.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const cmcAdrRange kWhole[] = {{0x0000, 0xFFEF}, {1, 0}};
const cmcAdrRange kUser[] = {{0x0500, 0xAA5F}, {1, 0}};
const cmcAdrRange kFirst4k[] = {{0x0000, 0x0FFF}, {1, 0}};
const cmcAdrRange kWrite2k[] = {{0x0500, 0x0CFF}, {1, 0}};

} // namespace

class tst_CloneLink : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void failures_data();
    void failures();
    void linkOpenFailure_data();
    void linkOpenFailure();
    void heldFrameSentBeforeAckWait();
    void serialDeviceFails_data();
    void serialDeviceFails();
    void refusedWhileBusy();
    void adjustmentOverSerial();
    void tcpRunsNoScriptNorDiscard();
    void serialDiscardWaitKeepsLoopRunning();
    void tcpPauseKeepsLoopRunning();
    void writeFailureNotes_data();
    void writeFailureNotes();
    void tcpDroppedMidWrite();
    void tcpConnectionRefused();

  private:
    QTemporaryDir m_dir;
    cmcEeprom m_radioImage;
    QString m_radioFile;
};

void tst_CloneLink::initTestCase() {
    QVERIFY(QFile::exists(cloneSimProcess::executable()));
    QVERIFY(m_dir.isValid());
    m_radioImage = cloneTestImage(7041);
    m_radioFile = m_dir.filePath("radio.icf");
    QVERIFY(cloneWriteImageFile(m_radioFile, m_radioImage));
}

// Every status the simulated radio can provoke, each leaving the caller's image as it was.
void tst_CloneLink::failures_data() {
    QTest::addColumn<int>("link");
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("status");
    const int S = cloneSimProcess::Serial, T = cloneSimProcess::Tcp;
    const int info = 2, read = 3, write = 4;
    QTest::newRow("garbled echo -> 4") << S << QStringList{"--garble-echo", "3"} << info << 4;
    QTest::newRow("no echo -> 4") << S << QStringList{"--no-echo"} << info << 4;
    QTest::newRow("silent serial -> 4") << S << QStringList{"--silence"} << read << 4;
    QTest::newRow("silent tcp -> 5") << T << QStringList{"--silence"} << info << 5;
    QTest::newRow("dies in read tcp -> 5") << T << QStringList{"--die-after", "0"} << read << 5;
    QTest::newRow("dies in write serial -> 4")
        << S << QStringList{"--die-after", "20"} << write << 4;
    QTest::newRow("bad checksum -> 6") << S << QStringList{"--bad-checksum", "0x0120"} << read << 6;
    QTest::newRow("lower-case hex -> 6") << T << QStringList{"--lower-hex", "0x00A0"} << read << 6;
    QTest::newRow("other maker text -> 6")
        << S << QStringList{"--maker-text", "--read-last", "0x0FFF"} << read << 6;
    QTest::newRow("0xFA at a block's end -> 6")
        << S << QStringList{"--nak-at", "0x0670"} << write << 6;
    QTest::newRow("0xFA in write tcp -> 6") << T << QStringList{"--nak-at", "0x0500"} << write << 6;
    QTest::newRow("end count -> 7")
        << T << QStringList{"--end-count", "--read-last", "0x0FFF"} << read << 7;
    QTest::newRow("missing block -> 8")
        << S << QStringList{"--missing-block", "0x0100", "--read-last", "0x0FFF"} << read << 8;
    QTest::newRow("block outside -> 9")
        << T << QStringList{"--outside-block", "--read-last", "0x0FFF"} << read << 9;
    QTest::newRow("bad E6 -> 10") << S << QStringList{"--bad-done"} << write << 10;
    QTest::newRow("bad E6 tcp -> 10") << T << QStringList{"--bad-done"} << write << 10;
    QTest::newRow("other model -> 11") << S << QStringList{"--other-model"} << info << 11;
    QTest::newRow("info length -> 11") << T << QStringList{"--info-length"} << info << 11;
    QTest::newRow("info kind -> 14") << S << QStringList{"--info-kind"} << info << 14;
    QTest::newRow("image identity -> 15") << T << QStringList{"--bad-identity"} << read << 15;
}

void tst_CloneLink::failures() {
    QFETCH(int, link);
    QFETCH(QStringList, simArgs);
    QFETCH(int, operation);
    QFETCH(int, status);
    cloneFastClock clock(4); // time-outs pass four times faster
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Link(link), QStringList{"--file", m_radioFile} + simArgs));
    cmcCloneDrv drv;
    sim.configure(drv);
    drv.SetStepTimeout(1000);

    // The working image only takes what a read brought when every check passed.
    cmcEeprom working = cloneTestImage(99);
    const cmcEeprom before = working;
    cloneOutcome o;
    if (operation == 2) {
        o = cloneRun([&](auto cb, void* ctx) { return drv.StartInfo(cb, ctx); });
        if (o.status == 0) {
            dst_CDrv_Result r;
            r.code1 = o.code1;
            r.information.Set(reinterpret_cast<const uint8_t*>(o.information.constData()),
                              int32_t(o.information.size()));
            o.status = imcCloneCheck::CheckInfo(r);
        }
    } else if (operation == 3) {
        const cmcAdrRange* ranges = simArgs.contains("--read-last") ? kFirst4k : kWhole;
        o = cloneRun([&](auto cb, void* ctx) { return drv.StartRead(ranges, cb, ctx); });
        if (o.status == 0) o.status = imcCloneCheck::CheckReadImage(o.image);
        if (o.status == 0) working = o.image;
    } else {
        o = cloneRun(
            [&](auto cb, void* ctx) { return drv.StartWrite(working, kWrite2k, cb, ctx); });
    }
    QCOMPARE(o.calls, 1);
    QCOMPARE(o.status, status);
    QVERIFY(working == before);
    QVERIFY(!drv.IsBusy());
}

// A write that fails after data went out leaves the radio partly written, and the result
// says so; a 0xFA is told apart from a bad frame.
void tst_CloneLink::writeFailureNotes_data() {
    QTest::addColumn<int>("link");
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<bool>("partly");
    const int S = cloneSimProcess::Serial, T = cloneSimProcess::Tcp;
    QTest::newRow("0xFA after some blocks")
        << S << QStringList{"--nak-at", "0x0670"} << 6 << true << true;
    QTest::newRow("0xFA tcp") << T << QStringList{"--nak-at", "0x0600"} << 6 << true << true;
    QTest::newRow("dies in the data")
        << S << QStringList{"--die-after", "20"} << 4 << false << true;
    QTest::newRow("silent: nothing sent") << S << QStringList{"--silence"} << 4 << false << false;
    QTest::newRow("bad E6") << T << QStringList{"--bad-done"} << 10 << false << true;
    QTest::newRow("success") << T << QStringList{} << 0 << false << false;
}

void tst_CloneLink::writeFailureNotes() {
    QFETCH(int, link);
    QFETCH(QStringList, simArgs);
    QFETCH(int, status);
    QFETCH(bool, refused);
    QFETCH(bool, partly);
    cloneFastClock clock(4);
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Link(link), QStringList{"--file", m_radioFile} + simArgs));
    cmcCloneDrv drv;
    sim.configure(drv);
    const cmcEeprom image = cloneTestImage(99);
    const cloneOutcome o =
        cloneRun([&](auto cb, void* ctx) { return drv.StartWrite(image, kWrite2k, cb, ctx); });
    QCOMPARE(o.status, status);
    QCOMPARE(o.refused, refused);
    QCOMPARE(o.partlyWritten, partly);
}

namespace {
int g_notOpenWarnings = 0;
QtMessageHandler g_previousHandler = nullptr;
void countNotOpen(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("not open"))) ++g_notOpenWarnings;
    if (g_previousHandler) g_previousHandler(type, context, text);
}
} // namespace

// The adapter going away in the middle of a write is noticed once: the write ends with the
// lost-link status well before the step time-out, without a stream of warnings about
// reading a closed socket.
void tst_CloneLink::tcpDroppedMidWrite() {
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Tcp, {"--file", m_radioFile, "--exit-after", "40"}));
    cmcCloneDrv drv;
    sim.configure(drv);
    drv.SetStepTimeout(5000);
    drv.SetAckTimeout(5000);
    const cmcEeprom image = cloneTestImage(99);
    g_notOpenWarnings = 0;
    g_previousHandler = qInstallMessageHandler(&countNotOpen);
    QElapsedTimer t;
    t.start();
    const cloneOutcome o =
        cloneRun([&](auto cb, void* ctx) { return drv.StartWrite(image, kUser, cb, ctx); });
    qInstallMessageHandler(g_previousHandler);
    QCOMPARE(o.calls, 1);
    QCOMPARE(o.status, int(CS_LinkLost));
    QVERIFY(o.partlyWritten);
    QCOMPARE(g_notOpenWarnings, 0);
    QVERIFY2(t.elapsed() < 3000, qPrintable(QString::number(t.elapsed())));
}

// Nothing listens at the port: the link fails to open at once (status 2), without waiting
// for the time-out.
void tst_CloneLink::tcpConnectionRefused() {
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    cmcCloneDrv drv;
    drv.SetTcpLink(true, QStringLiteral("127.0.0.1"), port);
    drv.SetStepTimeout(5000);
    QElapsedTimer t;
    t.start();
    const cloneOutcome o = cloneRun([&](auto cb, void* ctx) { return drv.StartInfo(cb, ctx); });
    QCOMPARE(o.status, int(CS_LinkOpen));
    QVERIFY2(t.elapsed() < 2000, qPrintable(QString::number(t.elapsed())));
}

void tst_CloneLink::linkOpenFailure_data() {
    QTest::addColumn<bool>("tcp");
    QTest::addColumn<QString>("where");
    QTest::newRow("no such device") << false << "/dev/qx-no-such-port";
    QTest::newRow("port number not present") << false << "250";
    QTest::newRow("bad address") << true << "300.1.2.3";
    QTest::newRow("empty address") << true << "";
}

void tst_CloneLink::linkOpenFailure() {
    QFETCH(bool, tcp);
    QFETCH(QString, where);
    cmcCloneDrv drv;
    if (tcp)
        drv.SetTcpLink(true, where, 41000);
    else
        drv.SetLink(cmcComm::PortNumberOf(where), "9600,N,8,1");
    drv.SetEchoCheck(true);
    const cloneOutcome o =
        cloneRun([&](auto cb, void* ctx) { return drv.StartInfo(cb, ctx); }, 3000);
    QCOMPARE(o.status, 2);
}

// A frame that completes a 128-byte block can be held back because the link is busy; it
// must still go out before the driver waits for the radio's 0xFB, or the radio never
// acknowledges and the write times out. Starting at 0x0020, the block's sixth frame
// completes it, and a step hands the link at most five frames at once.
void tst_CloneLink::heldFrameSentBeforeAckWait() {
    const QString saved = m_dir.filePath("held.icf");
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Serial, {"--file", m_radioFile, "--save", saved}));
    cmcCloneDrv drv;
    sim.configure(drv);
    const cmcAdrRange ranges[] = {{0x0020, 0x0FFF}, {1, 0}};
    cmcEeprom source = m_radioImage;
    for (int32_t a = 0; a < 0x1000; ++a)
        source.SetByte(a, uint8_t(~m_radioImage.GetByte(a)));
    const cloneOutcome o =
        cloneRun([&](auto cb, void* ctx) { return drv.StartWrite(source, ranges, cb, ctx); });
    QCOMPARE(o.status, 0);
    QVERIFY(drv.HeldAckFrames() > 0);
    cmcEeprom written(QxRadio::ImageSize);
    cmcIcfFile f(written);
    f.setModelCode(0x7041);
    f.setExtraCode(1);
    f.setMapRevCheck([](void*, int32_t) { return true; }, nullptr);
    QCOMPARE(f.read(saved, kWhole), 0);
    for (int32_t a = 0x0020; a < 0x1000; ++a)
        QCOMPARE(written.GetByte(a), source.GetByte(a));
}

// The serial device failing under the transfer (here the pseudo-terminal hangs up, as a
// pulled USB adapter does) ends it at once with the serial write error, in a write and in
// a read alike.
void tst_CloneLink::serialDeviceFails_data() {
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("frames");
    QTest::newRow("write") << 4 << "10";
    QTest::newRow("read") << 3 << "0";
}

void tst_CloneLink::serialDeviceFails() {
    QFETCH(int, operation);
    QFETCH(QString, frames);
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Serial, {"--file", m_radioFile, "--exit-after", frames}));
    cmcCloneDrv drv;
    sim.configure(drv);
    cmcEeprom working = m_radioImage;
    const cmcEeprom before = working;
    const cloneOutcome o = cloneRun([&](auto cb, void* ctx) {
        return operation == 4 ? drv.StartWrite(working, kUser, cb, ctx)
                              : drv.StartRead(kWhole, cb, ctx);
    });
    QCOMPARE(o.status, 17);
    QVERIFY(working == before);
}

void tst_CloneLink::refusedWhileBusy() {
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Tcp, {"--file", m_radioFile, "--read-last", "0x0FFF"}));
    cmcCloneDrv drv;
    sim.configure(drv);
    cmcEeprom image = m_radioImage;
    const cloneOutcome o = cloneRun([&](auto cb, void* ctx) {
        const bool started = drv.StartRead(kFirst4k, cb, ctx);
        // Every other start is refused while the read runs, and changes nothing.
        return started && !drv.StartInfo(cb, ctx) && !drv.StartIdentify(cb, ctx) &&
               !drv.StartWrite(image, kUser, cb, ctx) && !drv.StartRead(kWhole, cb, ctx);
    });
    QCOMPARE(o.calls, 1);
    QCOMPARE(o.operation, 3);
    QCOMPARE(o.status, 0);
    for (int32_t a = 0; a < 0x1000; ++a)
        QCOMPARE(o.image.GetByte(a), m_radioImage.GetByte(a));
}

// The adjustment driver on the serial link: the speed-change script at 9,600 baud, then a
// table of commands at 38,400 with their 2-byte replies.
void tst_CloneLink::adjustmentOverSerial() {
    const QString logPath = m_dir.filePath("adjust.log");
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Serial, {"--log", logPath}));
    imcCloneDrv drv;
    sim.configure(drv);
    drv.SetEchoCheck(false);
    drv.SetScript(imcCloneDrv::SpeedChangeScript(0x7041));
    uint8_t args[3] = {0x01, 0x22, 0x7F};
    uint8_t results[3][2] = {};
    const imcCloneDrv::Command table[] = {{0x03, &args[0], results[0]},
                                          {0x03, &args[1], results[1]},
                                          {0x03, &args[2], results[2]},
                                          {255, nullptr, nullptr}};
    drv.SetCommandTable(table);
    const cloneOutcome o = cloneRun([&](auto cb, void* ctx) { return drv.StartTable(cb, ctx); });
    QCOMPARE(o.status, 0);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(results[i][0], args[i]);
        QCOMPARE(results[i][1], uint8_t(0x80 + args[i]));
    }
    const QStringList frames = cloneLogLines(logPath);
    QCOMPARE(frames.size(), 4);
    QCOMPARE(frames[0], QString("FE EE EF E8 70 41 00 00 01 30 39 FD"));
    QCOMPARE(frames[1], QString("FE EE EF E8 70 41 00 00 03 30 31 FD"));

    // A single command without a result pointer awaits no reply.
    drv.SetScript(QString());
    drv.SetCommand(0x02, 0x01, nullptr);
    const cloneOutcome single =
        cloneRun([&](auto cb, void* ctx) { return drv.StartCommand(cb, ctx); });
    QCOMPARE(single.status, 0);
    QTRY_COMPARE(cloneLogLines(logPath).size(), 5);
    QCOMPARE(cloneLogLines(logPath).last(), QString("FE EE EF E8 70 41 00 00 02 30 31 FD"));
}

// Over TCP the frames on the wire are exactly the protocol's: no speed-change script, no
// echo wait, nothing before E0 and E2.
void tst_CloneLink::tcpRunsNoScriptNorDiscard() {
    const QString logPath = m_dir.filePath("tcp.log");
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Tcp,
                      {"--file", m_radioFile, "--log", logPath, "--read-last", "0x0FFF"}));
    cmcCloneDrv drv;
    sim.configure(drv);
    drv.SetScript(imcCloneDrv::SpeedChangeScript(0x7041).mid(12)); // would be sent on serial
    QCOMPARE(cloneRun([&](auto cb, void* ctx) { return drv.StartInfo(cb, ctx); }).status, 0);
    QCOMPARE(cloneRun([&](auto cb, void* ctx) { return drv.StartRead(kFirst4k, cb, ctx); }).status,
             0);
    const QStringList frames = cloneLogLines(logPath);
    QCOMPARE(frames, QStringList({"FE EE EF E0 70 41 00 00 FD", "FE EE EF E2 70 41 00 00 FD"}));
}

namespace {
struct Done {
    bool done = false;
    int status = -1;
};
void noteDone(void* context, dst_CDrv_Result* r) {
    static_cast<Done*>(context)->done = true;
    static_cast<Done*>(context)->status = r->status;
}
// Counts the ticks of a 5 ms timer: the event loop's pulse while the driver waits.
struct Pulse {
    QTimer timer;
    int ticks = 0;
    Pulse() {
        QObject::connect(&timer, &QTimer::timeout, [this] { ++ticks; });
        timer.start(5);
    }
};
} // namespace

// The 100 ms input discard after a serial open is a wait of the state machine: with the
// clock standing still the driver waits in it for ever while the event loop runs on.
void tst_CloneLink::serialDiscardWaitKeepsLoopRunning() {
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Serial));
    uint32_t now = cmcTick::now();
    cmcTick::setClock([&now] { return now; });
    cmcCloneDrv drv;
    sim.configure(drv);
    Done d;
    Pulse pulse;
    QVERIFY(drv.StartInfo(&noteDone, &d));
    QTest::qWait(200);
    QCOMPARE(drv.State(), 1);
    QVERIFY(pulse.ticks > 10);
    now += 100;
    QTRY_VERIFY(d.done);
    cmcTick::setClock({});
    QCOMPARE(d.status, 0);
}

// The same for the 20 ms pause before each burst of data frames over TCP.
void tst_CloneLink::tcpPauseKeepsLoopRunning() {
    const QString logPath = m_dir.filePath("pause.log");
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Tcp, {"--log", logPath}));
    uint32_t now = cmcTick::now();
    cmcTick::setClock([&now] { return now; });
    cmcCloneDrv drv;
    sim.configure(drv);
    const cmcAdrRange ranges[] = {{0x0500, 0x057F}, {1, 0}};
    cmcEeprom image = m_radioImage;
    Done d;
    Pulse pulse;
    QVERIFY(drv.StartWrite(image, ranges, &noteDone, &d));
    QTest::qWait(300);
    QCOMPARE(drv.State(), 16);
    QCOMPARE(cloneLogLines(logPath).size(), 1); // E3 only: the first block waits
    QVERIFY(pulse.ticks > 10);
    now += 20;
    QTRY_VERIFY(d.done);
    cmcTick::setClock({});
    QCOMPARE(d.status, 0);
    QCOMPARE(cloneLogLines(logPath).size(), 10);
}

QTEST_GUILESS_MAIN(tst_CloneLink)
#include "tst_clonelink.moc"

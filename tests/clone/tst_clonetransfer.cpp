// Whole transfers between the clone driver and the simulated radio, over a real
// pseudo-terminal (with the echo of the programming cable), over loopback TCP, and over TCP
// through a bridge in front of the cable that passes its echo back (the simulator's own
// echoing TCP link, and a real ser2net bridging the simulator's pseudo-terminal).

#include "cloneSer2net.h"
#include "cloneSimProcess.h"
#include "cmcCloneDrv.h"
#include "imcCloneCheck.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
const cmcAdrRange kWhole[] = {{0x0000, 0xFFEF}, {1, 0}};
const cmcAdrRange kUser[] = {{0x0500, 0xAA5F}, {1, 0}};

// How the driver reaches the simulated radio.
enum Route { Serial, Tcp, EchoingTcp, Ser2net };

// The radio behind its route, and the driver pointed at it with the clone commands' set-up
// (echo check on, as the editor always asks).
struct RadioRoute {
    cloneSimProcess sim;
    cloneSer2net bridge;
    QString error;

    bool start(int route, QStringList args, cmcCloneDrv& drv) {
        if (route == EchoingTcp) args << "--tcp-echo";
        const bool tcp = route == Tcp || route == EchoingTcp;
        if (!sim.start(tcp ? cloneSimProcess::Tcp : cloneSimProcess::Serial, args)) {
            error = "the simulator did not start";
            return false;
        }
        sim.configure(drv);
        if (route != Ser2net) return true;
        if (!bridge.start(sim.address(), "38400n81", &error)) return false;
        drv.SetTcpLink(true, "127.0.0.1", bridge.port());
        return true;
    }
};
} // namespace

class tst_CloneTransfer : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void identify_data();
    void identify();
    void fullRead_data();
    void fullRead();
    void fullWrite_data();
    void fullWrite();

  private:
    QTemporaryDir m_dir;
    cmcEeprom m_radioImage;
    QString m_radioFile;
};

void tst_CloneTransfer::initTestCase() {
    QVERIFY(QFile::exists(cloneSimProcess::executable()));
    QVERIFY(m_dir.isValid());
    m_radioImage = cloneTestImage(7041);
    m_radioFile = m_dir.filePath("radio.icf");
    QVERIFY(cloneWriteImageFile(m_radioFile, m_radioImage));
}

void tst_CloneTransfer::identify_data() {
    QTest::addColumn<int>("link");
    QTest::newRow("serial") << int(Serial);
    QTest::newRow("tcp") << int(Tcp);
    QTest::newRow("tcp, echoed") << int(EchoingTcp);
    QTest::newRow("ser2net bridge") << int(Ser2net);
}

#define SKIP_WITHOUT_SER2NET(link)                                                                 \
    if ((link) == Ser2net && cloneSer2net::executable().isEmpty())                                 \
    QSKIP("ser2net is not installed (scripts/deps installs it)")

void tst_CloneTransfer::identify() {
    QFETCH(int, link);
    SKIP_WITHOUT_SER2NET(link);
    cmcCloneDrv drv;
    RadioRoute radio;
    QVERIFY2(radio.start(link, {}, drv), qPrintable(radio.error));
    const cloneOutcome o = cloneRun([&](auto cb, void* ctx) { return drv.StartInfo(cb, ctx); });
    QCOMPARE(o.calls, 1);
    QCOMPARE(o.status, 0);
    QCOMPARE(o.code1, 0x7041);
    QCOMPARE(o.code2, 1);
    QCOMPARE(o.information.size(), 32);
    dst_CDrv_Result r;
    r.code1 = o.code1;
    r.information.Set(reinterpret_cast<const uint8_t*>(o.information.constData()), 32);
    QCOMPARE(imcCloneCheck::CheckInfo(r), 0);
    QVERIFY(!drv.IsBusy());
}

void tst_CloneTransfer::fullRead_data() {
    identify_data();
}

void tst_CloneTransfer::fullRead() {
    QFETCH(int, link);
    SKIP_WITHOUT_SER2NET(link);
    cmcCloneDrv drv;
    RadioRoute radio;
    QVERIFY2(radio.start(link, {"--file", m_radioFile}, drv), qPrintable(radio.error));
    const cloneOutcome o =
        cloneRun([&](auto cb, void* ctx) { return drv.StartRead(kWhole, cb, ctx); });
    QCOMPARE(o.status, 0);
    QVERIFY(o.image == m_radioImage);
    QCOMPARE(imcCloneCheck::CheckReadImage(o.image), 0);
    QCOMPARE(drv.FrameCount(), 4095);
    QCOMPARE(drv.DataByteCount(), 0xFFF0);
}

void tst_CloneTransfer::fullWrite_data() {
    identify_data();
}

void tst_CloneTransfer::fullWrite() {
    QFETCH(int, link);
    const QString saved = m_dir.filePath(QStringLiteral("written-%1.icf").arg(link));
    QFile::remove(saved);
    const QString logPath = m_dir.filePath("write.log");
    SKIP_WITHOUT_SER2NET(link);
    cmcCloneDrv drv;
    RadioRoute radio;
    QVERIFY2(radio.start(link, {"--file", m_radioFile, "--save", saved, "--log", logPath}, drv),
             qPrintable(radio.error));
    drv.SetStepTimeout(5000);
    drv.SetAckTimeout(5000);
    // The editor's write range; outside it the radio keeps what it had.
    cmcEeprom source = m_radioImage;
    const cmcEeprom other = cloneTestImage(1234);
    for (int32_t a = 0x0500; a <= 0xAA5F; ++a)
        source.SetByte(a, other.GetByte(a));
    const cmcEeprom before = source;
    const cloneOutcome o =
        cloneRun([&](auto cb, void* ctx) { return drv.StartWrite(source, kUser, cb, ctx); }, 60000);
    QCOMPARE(o.status, 0);
    QVERIFY(source == before);
    cmcEeprom written(QxRadio::ImageSize);
    QCOMPARE(indCloneFile::open(saved, written), 0);
    QVERIFY(written == source);
    // E3, 2,646 data frames, E5 with the frame count modulo 256 (0x56).
    const QStringList frames = cloneLogLines(logPath);
    QCOMPARE(frames.size(), 2648);
    QVERIFY(frames.first().startsWith("FE EE EF E3 70 41 00 00"));
    QCOMPARE(frames.last(), QString("FE EE EF E5 56 65 78 6F 20 49 6E 63 2E 35 36 FD"));
}

QTEST_GUILESS_MAIN(tst_CloneTransfer)
#include "tst_clonetransfer.moc"

// qxt5200-cli's cloning verbs against the simulated radio: what they print, the files they
// leave, and their exit statuses.

#include "cloneSimProcess.h"
#include "cmcEeprom.h"
#include "indCloneFile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun cli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(QX_RUNTIME_DIR "/qxt5200-cli"), args);
    CliRun r;
    if (!p.waitForFinished(120000)) return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

QStringList linkArgs(const cloneSimProcess& sim) {
    if (sim.link() == cloneSimProcess::Tcp) return {"--tcp", sim.address()};
    return {"--port", sim.address()};
}

} // namespace

class tst_CliClone : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void identify();
    void readThenWrite();
    void failedReadKeepsFile_data();
    void failedReadKeepsFile();
    void usage();

  private:
    QTemporaryDir m_dir;
    cmcEeprom m_radio;
    QString m_radioFile;
};

void tst_CliClone::initTestCase() {
    QVERIFY(m_dir.isValid());
    m_radio = cloneTestImage(42);
    m_radioFile = m_dir.filePath("radio.icf");
    QVERIFY(cloneWriteImageFile(m_radioFile, m_radio));
}

void tst_CliClone::identify() {
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Serial));
    const CliRun r = cli(QStringList{"identify"} + linkArgs(sim));
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains("code 1: 7041"));
    QVERIFY(r.out.contains("code 2: 0001"));
    QVERIFY(r.out.contains("information (32 bytes): 20 01 02"));
}

// A read over TCP saved as a clone file, then written back over the serial link into
// another radio: the second radio ends up with the first one's user range.
void tst_CliClone::readThenWrite() {
    const QString readFile = m_dir.filePath("read.icf");
    {
        cloneSimProcess sim;
        QVERIFY(sim.start(cloneSimProcess::Tcp, {"--file", m_radioFile}));
        const CliRun r = cli(QStringList{"read", "-o", readFile} + linkArgs(sim));
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    }
    cmcEeprom read(QxMap::ImageSize);
    QCOMPARE(indCloneFile::open(readFile, read, false), 0);
    for (int32_t a = 0; a < QxMap::ImageSize; ++a)
        if (a != 0x8FE5 && a != 0x8FE6 &&
            (a < QxMap::MakerTextAddr || a >= QxMap::MakerTextAddr + 8))
            QCOMPARE(read.GetByte(a), m_radio.GetByte(a));
    QCOMPARE(read.GetByte(0x8FE5), uint8_t(0xFF)); // saved as the editor saves

    const QString saved = m_dir.filePath("second.icf");
    cloneSimProcess second;
    QVERIFY(second.start(cloneSimProcess::Serial, {"--save", saved}));
    const CliRun w = cli(QStringList{"write", readFile} + linkArgs(second));
    QVERIFY2(w.exitCode == 0, qPrintable(w.err));
    cmcEeprom written(QxMap::ImageSize);
    QCOMPARE(indCloneFile::open(saved, written, false), 0);
    for (int32_t a = 0x0500; a <= 0xAA5F; ++a)
        QCOMPARE(written.GetByte(a), read.GetByte(a));
}

void tst_CliClone::failedReadKeepsFile_data() {
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("other model") << QStringList{"--other-model"} << 11;
    QTest::newRow("other kind") << QStringList{"--info-kind"} << 14;
    QTest::newRow("image not this model's") << QStringList{"--bad-identity", "--file"} << 15;
    QTest::newRow("garbled echo") << QStringList{"--garble-echo", "5"} << 4;
}

void tst_CliClone::failedReadKeepsFile() {
    QFETCH(QStringList, simArgs);
    QFETCH(int, exitCode);
    if (simArgs.last() == "--file") simArgs << m_radioFile;
    const QString target = m_dir.filePath("keep.icf");
    QFile::remove(target);
    QVERIFY(QFile::copy(m_radioFile, target));
    QFile f(target);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Serial, simArgs));
    const CliRun r = cli(QStringList{"read", "-o", target} + linkArgs(sim));
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY(r.err.startsWith(QStringLiteral("error %1: ").arg(exitCode)));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
}

void tst_CliClone::usage() {
    QCOMPARE(cli({"read"}).exitCode, 64);
    QCOMPARE(cli({"write"}).exitCode, 64);
    QCOMPARE(cli({"identify", "--speed", "fast"}).exitCode, 64);
    const CliRun missing = cli({"write", m_dir.filePath("no-such.icf"), "--tcp", "127.0.0.1:1"});
    QCOMPARE(missing.exitCode, 33);
    const CliRun noLink = cli({"identify", "--port", "/dev/qx-no-such-port"});
    QCOMPARE(noLink.exitCode, 2);
}

QTEST_GUILESS_MAIN(tst_CliClone)
#include "tst_cliclone.moc"

// qxt5200-cli's cloning verbs against the simulated radio: what they print, the files they
// leave, and their exit statuses.

#include "CliRunner.h"
#include "cloneSimProcess.h"
#include "cmcEeprom.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int32_t ChannelBase = 0x052F, ChannelSize = 29, ModeOffset = 8;

// The overlay's text of a message key, on one line as the tool prints it.
QString overlayMessage(const QString& key) {
    QFile f(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_ENG.OVL"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QStringList lines = QString::fromLatin1(f.readAll()).split(QLatin1Char('\n'));
    const int at = int(lines.indexOf(QLatin1Char('#') + key));
    QStringList text;
    for (int i = at + 1; at >= 0 && i < lines.size() && !lines[i].startsWith(QLatin1Char('#')); ++i)
        text << lines[i].trimmed();
    return text.join(QLatin1Char(' ')).trimmed();
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
    void refusedWriteSendsNothing_data();
    void refusedWriteSendsNothing();
    void forcedWrite();
    void usage();

  private:
    QTemporaryDir m_dir;
    cmcEeprom m_radio;
    QString m_radioFile;
};

void tst_CliClone::initTestCase() {
    QVERIFY(m_dir.isValid());
    m_radio = cloneTestImage(42);
    // Random data whose channels have modes the radio knows, so the data passes the checks
    // made before a write.
    for (int32_t row = 0; row < 500; ++row) {
        const int32_t a = ChannelBase + row * ChannelSize + ModeOffset;
        m_radio.SetByte(a, uint8_t(m_radio.GetByte(a) % 5));
    }
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
    cmcEeprom read(QxRadio::ImageSize);
    QCOMPARE(indCloneFile::open(readFile, read), 0);
    for (int32_t a = 0; a < QxRadio::ImageSize; ++a)
        if (a != 0x8FE5 && a != 0x8FE6 &&
            (a < QxRadio::MakerTextAddr || a >= QxRadio::MakerTextAddr + 8))
            QCOMPARE(read.GetByte(a), m_radio.GetByte(a));
    QCOMPARE(read.GetByte(0x8FE5), uint8_t(0xFF)); // saved as the editor saves

    const QString saved = m_dir.filePath("second.icf");
    cloneSimProcess second;
    QVERIFY(second.start(cloneSimProcess::Serial, {"--save", saved}));
    const CliRun w = cli(QStringList{"write", readFile} + linkArgs(second));
    QVERIFY2(w.exitCode == 0, qPrintable(w.err));
    cmcEeprom written(QxRadio::ImageSize);
    QCOMPARE(indCloneFile::open(saved, written), 0);
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

// The editor refuses to write data without any channel, or with errors; so does the tool,
// with the editor's message and what the checks found, and the radio sees no write.
void tst_CliClone::refusedWriteSendsNothing_data() {
    QTest::addColumn<int>("badModeRows"); // -1: no channel in use at all
    QTest::addColumn<QString>("messageKey");
    QTest::addColumn<QString>("finding");
    QTest::newRow("no channel") << -1 << "GI_AppMess_CloneErr_NoActualCh" << QString();
    QTest::newRow("unknown mode") << 1 << "GI_Mess_DataError"
                                  << "Channels with an unknown mode: 8";
    QTest::newRow("unknown modes") << 7 << "GI_Mess_DataError"
                                   << "Channels with an unknown mode: 8, 10, 12, 14, 16 (7 in all)";
}

void tst_CliClone::refusedWriteSendsNothing() {
    QFETCH(int, badModeRows);
    QFETCH(QString, messageKey);
    QFETCH(QString, finding);
    cmcEeprom image = m_radio;
    if (badModeRows < 0) {
        for (int32_t row = 0; row < 500; ++row)
            for (int i = 0; i < 4; ++i)
                image.SetByte(ChannelBase + row * ChannelSize + i, 0);
    }
    for (int i = 0; i < badModeRows; ++i) {
        const int32_t row = 7 + 2 * i;
        image.SetBlock(ChannelBase + row * ChannelSize,
                       reinterpret_cast<const uint8_t*>("\x60\x56\x6C\x00"), 4);
        image.SetByte(ChannelBase + row * ChannelSize + ModeOffset, 0xEE);
    }
    const QString file = m_dir.filePath("refused.icf");
    QVERIFY(cloneWriteImageFile(file, image));
    const QString saved = m_dir.filePath("refused-radio.icf");
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Serial, {"--save", saved}));
    const CliRun r = cli(QStringList{"write", file} + linkArgs(sim));
    QCOMPARE(r.exitCode, 34);
    const QString message = overlayMessage(messageKey);
    QVERIFY(!message.isEmpty());
    QVERIFY2(r.err.startsWith(message + QLatin1Char('\n')), qPrintable(r.err));
    if (!finding.isEmpty())
        QVERIFY2(r.err.contains(QStringLiteral("  ") + finding + QLatin1Char('\n')),
                 qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
    QVERIFY(!QFile::exists(saved));
}

// --force writes what the checks refuse, as it is.
void tst_CliClone::forcedWrite() {
    cmcEeprom image = m_radio;
    image.SetByte(ChannelBase + ModeOffset, 0xEE);
    const QString file = m_dir.filePath("forced.icf");
    QVERIFY(cloneWriteImageFile(file, image));
    const QString saved = m_dir.filePath("forced-radio.icf");
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Tcp, {"--save", saved}));
    const CliRun w = cli(QStringList{"write", "--force", file} + linkArgs(sim));
    QVERIFY2(w.exitCode == 0, qPrintable(w.err));
    cmcEeprom written(QxRadio::ImageSize);
    QCOMPARE(indCloneFile::open(saved, written), 0);
    QCOMPARE(written.GetByte(ChannelBase + ModeOffset), uint8_t(0xEE));
}

void tst_CliClone::usage() {
    QCOMPARE(cli({"read"}).exitCode, 64);
    QCOMPARE(cli({"write"}).exitCode, 64);
    QCOMPARE(cli({"identify", "--speed", "fast"}).exitCode, 64);
    const CliRun missing = cli({"write", m_dir.filePath("no-such.icf"), "--tcp", "127.0.0.1:1"});
    QCOMPARE(missing.exitCode, 33);
#ifdef Q_OS_WIN
    const CliRun noLink = cli({"identify", "--port", "COM256"});
#else
    const CliRun noLink = cli({"identify", "--port", "/dev/qx-no-such-port"});
#endif
    QCOMPARE(noLink.exitCode, 2);
}

QTEST_GUILESS_MAIN(tst_CliClone)
#include "tst_cliclone.moc"

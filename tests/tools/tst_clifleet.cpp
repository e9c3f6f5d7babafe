// Several radios at once from the command line: a write into radios on pseudo-terminals
// and TCP side by side with one of them failing, verification after a write against a
// radio that stores a byte wrong, and a read of several radios into a folder.

#include "CliRunner.h"
#include "cloneSimProcess.h"
#include "cmcEeprom.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

constexpr int32_t ChannelBase = 0x052F, ChannelSize = 29, ModeOffset = 8;
constexpr int32_t UserFirst = 0x0500, UserLast = 0xAA5F;

// The table line of a link: its serial number and status columns (columns are apart by two
// blanks or more; a serial number may hold one).
QStringList tableRow(const QString& out, const QString& link) {
    for (const QString& line : out.split(QLatin1Char('\n')))
        if (line.startsWith(link + QLatin1Char(' ')))
            return line.split(QRegularExpression(QStringLiteral("\\s{2,}")), Qt::SkipEmptyParts);
    return {};
}

// The image as the tool sends it: prepared as for saving, from the initial data.
cmcEeprom asSent(const cmcEeprom& file) {
    cmcEeprom image = file;
    cmcEeprom initial(QxRadio::ImageSize);
    if (indCloneFile::readInitial(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_Initial.icf"), initial) !=
        0)
        initial = file;
    indCloneFile::prepareImage(image, initial, true);
    return image;
}

QStringList backups(const QString& pattern) {
    return QDir(cliDataHome() + QStringLiteral("/Vexo/QX-T5200/backups"))
        .entryList({pattern}, QDir::Files, QDir::Name);
}

} // namespace

class tst_CliFleet : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void writeSeveral_data();
    void writeSeveral();
    void verifyAfterWrite_data();
    void verifyAfterWrite();
    void readSeveral();
    void usage();

  private:
    QTemporaryDir m_dir;
    cmcEeprom m_data; // the file written
    QString m_dataFile;
    cmcEeprom m_old; // what the radios hold before
    QString m_oldFile;
};

void tst_CliFleet::initTestCase() {
    QVERIFY(m_dir.isValid());
    // Data whose channels have modes the radio knows, so it passes the checks before a write.
    m_data = cloneTestImage(17);
    for (int32_t row = 0; row < 500; ++row) {
        const int32_t a = ChannelBase + row * ChannelSize + ModeOffset;
        m_data.SetByte(a, uint8_t(m_data.GetByte(a) % 5));
    }
    m_dataFile = m_dir.filePath("fleet.icf");
    QVERIFY(cloneWriteImageFile(m_dataFile, m_data));
    m_old = cloneTestImage(99);
    m_oldFile = m_dir.filePath("old.icf");
    QVERIFY(cloneWriteImageFile(m_oldFile, m_old));
}

// One file into three radios at once, two on pseudo-terminals and one over TCP; the radio
// of the row refuses a block. The others hold the data afterwards, the faulty one its old
// memory; the table gives each its serial number and status, the exit status is the
// highest, and each radio written has its backup named by its serial number. The second
// radio lays out its information block otherwise: the serial text with its label right
// after the model name.
void tst_CliFleet::writeSeveral_data() {
    QTest::addColumn<int>("faulty");
    QTest::addColumn<int>("status"); // on the cable the refusal breaks the echo first
    QTest::newRow("a serial radio fails") << 1 << 4;
    QTest::newRow("the network radio fails") << 2 << 6;
}

void tst_CliFleet::writeSeveral() {
    QFETCH(int, faulty);
    QFETCH(int, status);
    const cloneSimProcess::Link kinds[3] = {cloneSimProcess::Serial, cloneSimProcess::Serial,
                                            cloneSimProcess::Tcp};
    const QString serials[3] = {"FLEET-A", "S/N FLEET-B", "FLEET-C"};
    const QString keys[3] = {"FLEET-A", "FLEET-B", "FLEET-C"};
    std::unique_ptr<cloneSimProcess> sims[3];
    QString saved[3];
    QStringList args{"write", m_dataFile};
    const QStringList before = backups("*_write-FLEET-*");
    for (int i = 0; i < 3; ++i) {
        saved[i] = m_dir.filePath(QStringLiteral("radio%1-%2.icf").arg(faulty).arg(i));
        QStringList simArgs{"--file", m_oldFile, "--save", saved[i]};
        if (i == 1)
            simArgs << "--info-body" << QByteArray("QX-T5200S/N FLEET-B").toHex();
        else
            simArgs << "--serial" << serials[i];
        if (i == faulty)
            simArgs << "--nak-at"
                    << "0x2000";
        sims[i] = std::make_unique<cloneSimProcess>();
        QVERIFY(sims[i]->start(kinds[i], simArgs));
        args << linkArgs(*sims[i]);
    }
    const CliRun r = cli(args);
    QVERIFY2(r.exitCode == status, qPrintable(r.out + r.err));

    const cmcEeprom sent = asSent(m_data);
    for (int i = 0; i < 3; ++i) {
        const QStringList row = tableRow(r.out, sims[i]->address());
        QVERIFY2(row.size() >= 4, qPrintable(r.out));
        QCOMPARE(row[1], serials[i]);
        QCOMPARE(row[2], QString::number(i == faulty ? status : 0));
        if (i == faulty) {
            // The radio stores a write only when it completes: its memory is the old one.
            QVERIFY(!QFile::exists(saved[i]));
            QVERIFY(r.err.contains(
                QStringLiteral("error %1 (%2)").arg(status).arg(sims[i]->address())));
            continue;
        }
        cmcEeprom memory(QxRadio::ImageSize);
        QCOMPARE(indCloneFile::open(saved[i], memory), 0);
        for (int32_t a = UserFirst; a <= UserLast; ++a)
            if (memory.GetByte(a) != sent.GetByte(a))
                QFAIL(qPrintable(QStringLiteral("radio %1 differs at %2").arg(i).arg(a, 4, 16)));
        // Outside the user range the radio keeps what it had.
        QCOMPARE(memory.GetByte(UserLast + 1), m_old.GetByte(UserLast + 1));
    }
    const QStringList after = backups("*_write-FLEET-*");
    QCOMPARE(after.size() - before.size(), 2);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(after.filter(QStringLiteral("_write-%1.icf").arg(keys[i])).size() -
                     before.filter(QStringLiteral("_write-%1.icf").arg(keys[i])).size(),
                 i == faulty ? 0 : 1);
}

// --verify reads the range back: a radio that keeps one byte wrong fails the write with
// status 20 and the address, and what it read back is kept; a sound radio passes.
void tst_CliFleet::verifyAfterWrite_data() {
    QTest::addColumn<QString>("corruptAt"); // empty: a sound radio
    QTest::addColumn<int>("exitCode");
    QTest::newRow("byte stored wrong") << "0x1234" << 20;
    QTest::newRow("sound radio") << "" << 0;
}

void tst_CliFleet::verifyAfterWrite() {
    QFETCH(QString, corruptAt);
    QFETCH(int, exitCode);
    QStringList simArgs{"--file", m_oldFile, "--serial", "VERIFY-1"};
    if (!corruptAt.isEmpty()) simArgs << "--corrupt-at" << corruptAt;
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Serial, simArgs));
    const QStringList before = backups("*_readback-VERIFY-1*");
    const CliRun r = cli(QStringList{"write", m_dataFile, "--verify"} + linkArgs(sim));
    QVERIFY2(r.exitCode == exitCode, qPrintable(r.out + r.err));
    const QStringList after = backups("*_readback-VERIFY-1*");
    QCOMPARE(after.size(), before.size() + 1);
    if (exitCode == 0) {
        QVERIFY(r.out.contains("verified"));
        return;
    }
    QVERIFY2(r.err.startsWith("error 20: "), qPrintable(r.err));
    QVERIFY2(r.err.contains(QStringLiteral("0x1234")), qPrintable(r.err));
    QVERIFY(!r.err.contains(QStringLiteral("0x1235")));
    // The backup holds what the radio gave back, the wrong byte included.
    const QString dir = cliDataHome() + QStringLiteral("/Vexo/QX-T5200/backups/");
    cmcEeprom back(QxRadio::ImageSize);
    QCOMPARE(indCloneFile::open(dir + after.last(), back), 0);
    QVERIFY(back.GetByte(0x1234) != asSent(m_data).GetByte(0x1234));
    QCOMPARE(back.GetByte(0x1233), asSent(m_data).GetByte(0x1233));
}

// Several radios read into a folder, a file per radio named by its serial number; two
// radios with the same number both keep their file, and one that fails leaves none.
void tst_CliFleet::readSeveral() {
    cmcEeprom second = cloneTestImage(5);
    const QString secondFile = m_dir.filePath("second.icf");
    QVERIFY(cloneWriteImageFile(secondFile, second));
    cloneSimProcess a, b, c;
    QVERIFY(a.start(cloneSimProcess::Serial, {"--file", m_oldFile, "--serial", "SAME 7"}));
    QVERIFY(b.start(cloneSimProcess::Tcp, {"--file", secondFile, "--serial", "SAME 7"}));
    QVERIFY(c.start(cloneSimProcess::Serial, {"--other-model", "--serial", "OTHER"}));
    const QString out = m_dir.filePath("fleet-read");
    const CliRun r = cli(QStringList{"read", "-o", out} + linkArgs(a) + linkArgs(b) + linkArgs(c));
    QVERIFY2(r.exitCode == 11, qPrintable(r.out + r.err));
    QCOMPARE(QDir(out).entryList(QDir::Files), QStringList({"SAME_7-2.icf", "SAME_7.icf"}));
    QCOMPARE(tableRow(r.out, c.address()).value(2), QStringLiteral("11"));
    // Which radio's file is which follows the order of the links.
    const cmcEeprom* expected[2] = {&m_old, &second};
    const QString files[2] = {"SAME_7.icf", "SAME_7-2.icf"};
    for (int i = 0; i < 2; ++i) {
        cmcEeprom image(QxRadio::ImageSize);
        QCOMPARE(indCloneFile::open(QDir(out).filePath(files[i]), image), 0);
        QCOMPARE(image.GetByte(0x3000), expected[i]->GetByte(0x3000));
        QCOMPARE(image.GetByte(0x7777), expected[i]->GetByte(0x7777));
    }
}

void tst_CliFleet::usage() {
    QCOMPARE(cli({"write", m_dataFile, "--port"}).exitCode, 64);
    QCOMPARE(cli({"write", m_dataFile, "--tcp", "nohost", "--port", "1"}).exitCode, 64);
    QCOMPARE(cli({"read", "--tcp", "127.0.0.1:1", "--tcp", "127.0.0.1:2"}).exitCode, 64);
}

QTEST_GUILESS_MAIN(tst_CliFleet)
#include "tst_clifleet.moc"

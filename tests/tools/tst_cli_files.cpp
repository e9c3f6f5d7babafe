// qxt5200-cli's file verbs, run as a separate process: check, describe and new.

#include "CliRunner.h"
#include "SystemReason.h"
#include "cmcEeprom.h"
#include "cmcIcfFile.h"
#include "imcRadioFacts.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run runCli(const QStringList& args,
           const QString& program = QStringLiteral(QX_RUNTIME_DIR "/qxt5200-cli" QX_EXE_SUFFIX)) {
    QProcess p;
    p.start(program, args);
    Run r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) return r;
    r.status = p.exitCode();
    r.out = cliText(p.readAllStandardOutput());
    r.err = cliText(p.readAllStandardError());
    return r;
}

QString initialFile() {
    return QStringLiteral(QX_RUNTIME_DIR "/QXT5200_Initial.icf");
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

} // namespace

class tst_CliFiles : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void checkInitialFile();
    void checkPatchedFile();
    void checkBrokenFile_data();
    void checkBrokenFile();
    void checkNotRegularFile();
    void readRefusesUnwritableTarget_data();
    void readRefusesUnwritableTarget();
    void describe();
    void newThenCheck();
    void usage_data();
    void usage();
    void withoutOverlay();

  private:
    QTemporaryDir m_dir;
};

void tst_CliFiles::initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFile::exists(QX_RUNTIME_DIR "/qxt5200-cli" QX_EXE_SUFFIX),
             "qxt5200-cli is not built");
    QVERIFY(QFile::exists(initialFile()));
}

void tst_CliFiles::checkInitialFile() {
    const Run r = runCli({"check", initialFile()});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, QByteArray("OK\n"));
    QCOMPARE(r.err, QByteArray());
}

// A file patched by appending lines: a line that gives addresses again overwrites them.
void tst_CliFiles::checkPatchedFile() {
    QByteArray patched = readAll(initialFile());
    patched += "12300141\r\n"; // 0x1230 given a second time, one byte
    const QString path = m_dir.filePath("patched.icf");
    QVERIFY(writeAll(path, patched));
    const Run r = runCli({"check", path});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, QByteArray("OK\n"));
}

void tst_CliFiles::checkBrokenFile_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("detail"); // what the line says beyond the code's message
    const QByteArray good = readAll(initialFile());
    QByteArray lettered = good;
    lettered[1] = 'A';
    QByteArray otherModel = good;
    otherModel[3] = '2';
    QByteArray missing = good;
    const qsizetype at = missing.indexOf("\r\n1230");
    missing.remove(at, 40); // one data line of 16 bytes with its line end
    QByteArray identity = good;
    // The data line for 0x0450 holds the identity text at 0x045E..0x0463: "QM" ends it.
    const qsizetype line = identity.indexOf("\r\n045010") + 2 + 6 + 2 * 14;
    identity.replace(line, 4, "5858");

    QByteArray longComment = good;
    longComment.insert(longComment.indexOf("#Comment=") + 9, QByteArray(100000, 'x'));

    QTest::newRow("lettered header")
        << lettered << 6 << "Line 1 is not a valid line of a clone file.";
    QTest::newRow("other model") << otherModel << 3 << "";
    QTest::newRow("line missing") << missing << 7 << "";
    QTest::newRow("identity text")
        << identity << 8 << "does not hold the identity of this transceiver's memory.";
    QTest::newRow("not there") << QByteArray() << 1
                               << QStringLiteral(": %1.").arg(
                                      openFailureReason(m_dir.filePath("absent.icf")));
    QTest::newRow("comment of 100,000 characters")
        << longComment << 6 << "Line 2 is longer than 766 characters.";
    QTest::newRow("header lines only") << QByteArray("70410001\r\n#Comment=\r\n#MapRev=2\r\n") << 8
                                       << "The file holds no data, only its header.";
    QTest::newRow("header alone") << QByteArray("70410001\r\n") << 8
                                  << "The file holds no data, only its header.";
}

void tst_CliFiles::checkBrokenFile() {
    QFETCH(QByteArray, content);
    QFETCH(int, code);
    const QString path = m_dir.filePath("broken.icf");
    QFile::remove(path);
    if (!content.isEmpty()) QVERIFY(writeAll(path, content));
    const Run r = runCli({"check", path});
    QCOMPARE(r.status, code);
    QCOMPARE(r.out, QByteArray());
    // Exactly one line: the reader's own report is not shown as well.
    QCOMPARE(r.err.count('\n'), 1);
    QVERIFY2(r.err.startsWith(QStringLiteral("error %1: ").arg(code).toLatin1()),
             r.err.constData());
    QVERIFY(r.err.size() > 12);
    QFETCH(QString, detail);
    QVERIFY2(r.err.contains(detail.toUtf8()), r.err.constData());
}

// A FIFO or a folder named as a clone file is refused at once: check used to block on a FIFO
// for ever.
void tst_CliFiles::checkNotRegularFile() {
    QStringList paths{m_dir.path()};
#ifndef Q_OS_WIN // Windows has no FIFOs
    const QString fifo = m_dir.filePath("pipe.icf");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    paths.prepend(fifo);
#endif
    for (const QString& path : paths) {
        const Run r = runCli({"check", path});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err,
                 QStringLiteral("error 1: The file cannot be opened. %1 is not a regular file.\n")
                     .arg(QDir::toNativeSeparators(path))
                     .toUtf8());
    }
}

// read -o refuses a destination it could not write before it talks to the radio: nothing
// connects to the listening adapter.
void tst_CliFiles::readRefusesUnwritableTarget_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("detail");
    QTest::newRow("no such folder")
        << m_dir.filePath("none/x.icf")
        << QStringLiteral("%1: %2.").arg(QDir::toNativeSeparators(m_dir.filePath("none")),
                                         openFailureReason(m_dir.filePath("none")));
#ifndef Q_OS_WIN // Windows has neither FIFOs nor folders that refuse their owner
    // A folder is a destination (one file per radio, named by its serial); a FIFO is not.
    const QString fifo = m_dir.filePath("fifo.icf");
    QFile::remove(fifo);
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QTest::newRow("a FIFO") << fifo << QStringLiteral("%1 is not a regular file.").arg(fifo);
    if (::geteuid() != 0) {
        const QString locked = m_dir.filePath("locked");
        QDir().mkpath(locked);
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
        QTest::newRow("folder without write permission")
            << locked + "/x.icf" << QStringLiteral("%1: Permission denied.").arg(locked);
    }
#endif
}

void tst_CliFiles::readRefusesUnwritableTarget() {
    QFETCH(QString, target);
    QFETCH(QString, detail);
    QTcpServer adapter;
    QVERIFY(adapter.listen(QHostAddress::LocalHost));
    const Run r = runCli(
        {"read", "-o", target, "--tcp", QStringLiteral("127.0.0.1:%1").arg(adapter.serverPort())});
    QCOMPARE(r.status, 33);
    QVERIFY2(r.err.startsWith("error 1: ") && r.err.contains(detail.toUtf8()), r.err.constData());
    QVERIFY(!adapter.waitForNewConnection(200));
}

void tst_CliFiles::describe() {
    cmcEeprom image(QxRadio::ImageSize);
    image.Fill(0xFF);
    auto putFreq = [&](int row, uint32_t hz) {
        for (int i = 0; i < 4; ++i)
            image.SetByte(0x052F + row * 29 + i, uint8_t(hz >> (8 * i)));
    };
    putFreq(0, 7100000);
    putFreq(1, 0);
    putFreq(499, 29999990);
    cmcIcfFile writer(image);
    writer.setModelCode(0x1234);
    writer.setExtraCode(0x0009);
    writer.setComment("Field set A");
    writer.setMapRevision(7);
    const cmcAdrRange ranges[] = {{0, 0x3FFF}, {1, 0}};
    const QString path = m_dir.filePath("describe.icf");
    QCOMPARE(writer.write(path, ranges), 0);

    const Run r = runCli({"describe", path});
    QCOMPARE(r.status, 0);
    QCOMPARE(QString::fromLatin1(r.out).split('\n'),
             QStringList({"model code:   1234", "extra code:   0009", "comment:      Field set A",
                          "map revision: 7", "data lines:   1024", "bytes:        16384",
                          "channels:     2", ""}));

    const Run initial = runCli({"describe", initialFile()});
    QCOMPARE(initial.status, 0);
    QVERIFY(initial.out.contains("data lines:   4095\n"));
    QVERIFY(initial.out.contains("channels:     0\n"));

    QVERIFY(writeAll(path, "70410001\r\n#MapRev=2\r\n00000Z00\r\n"));
    const Run bad = runCli({"describe", path});
    QCOMPARE(bad.status, 6);
    QCOMPARE(bad.err.count('\n'), 1);
}

void tst_CliFiles::newThenCheck() {
    const QString path = m_dir.filePath("new.icf");
    QFile::remove(path);
    Run r = runCli({"new", path});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.err, QByteArray());
    // The initial data saved as the editor saves it is the initial file itself.
    QCOMPARE(readAll(path), readAll(initialFile()));
    QCOMPARE(runCli({"check", path}).out, QByteArray("OK\n"));

    // An existing file is kept unless --force is given.
    QVERIFY(writeAll(path, "mine"));
    r = runCli({"new", path});
    QCOMPARE(r.status, 11);
    QCOMPARE(readAll(path), QByteArray("mine"));
    QCOMPARE(runCli({"new", "--force", path}).status, 0);
    QCOMPARE(readAll(path), readAll(initialFile()));

    r = runCli({"new", m_dir.filePath("no/such/folder.icf")});
    QCOMPARE(r.status, 1);
    QVERIFY(r.err.startsWith("error 1: "));
}

void tst_CliFiles::usage_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::newRow("check without file") << QStringList{"check"} << 64;
    QTest::newRow("check two files") << QStringList{"check", "a", "b"} << 64;
    QTest::newRow("describe without file") << QStringList{"describe"} << 64;
    QTest::newRow("new without file") << QStringList{"new"} << 64;
    QTest::newRow("check --help") << QStringList{"check", "--help"} << 0;
    QTest::newRow("new --help") << QStringList{"new", "--help"} << 0;
}

void tst_CliFiles::usage() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    const Run r = runCli(args);
    QCOMPARE(r.status, status);
    if (status == 0)
        QVERIFY(r.out.startsWith("usage: qxt5200-cli " + args[0].toLatin1()));
    else
        QVERIFY(r.err.startsWith("usage:"));
}

void tst_CliFiles::withoutOverlay() {
    // A copy of the tool alone in a folder: no overlay, no initial data.
    QTemporaryDir dir;
    const QString tool = dir.filePath("qxt5200-cli" QX_EXE_SUFFIX);
    QVERIFY(QFile::copy(QX_RUNTIME_DIR "/qxt5200-cli" QX_EXE_SUFFIX, tool));
    Run r = runCli({"check", dir.filePath("missing.icf")}, tool);
    QCOMPARE(r.status, 1);
    QCOMPARE(r.err,
             QStringLiteral("error 1: The file cannot be opened. The system reports for %1: %2.\n")
                 .arg(QDir::toNativeSeparators(dir.filePath("missing.icf")),
                      openFailureReason(dir.filePath("missing.icf")))
                 .toUtf8());
    r = runCli({"check", initialFile()}, tool);
    QCOMPARE(r.status, 0);

    r = runCli({"new", dir.filePath("out.icf")}, tool);
    QCOMPARE(r.status, 10);
    QVERIFY(!QFile::exists(dir.filePath("out.icf")));
    QVERIFY(r.err.contains("QXT5200_Initial.icf"));
}

QTEST_GUILESS_MAIN(tst_CliFiles)
#include "tst_cli_files.moc"

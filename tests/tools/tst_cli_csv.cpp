// qxt5200-cli export and import, run as a separate process on real files: a list out and
// back in, the common layout, refused rows that leave every file as it was, --clamp, and
// input that is not a regular file.

#include "CliRunner.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QString err;
};

Run runCli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(QX_RUNTIME_DIR "/qxt5200-cli" QX_EXE_SUFFIX), args);
    Run r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) return r;
    r.status = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = QString::fromLocal8Bit(cliText(p.readAllStandardError()));
    return r;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

class tst_CliCsv : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString icf() const { return path(QStringLiteral("f.icf")); }

  private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QFile::copy(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_Initial.icf"), icf()));
        QFile::setPermissions(icf(), QFile::ReadOwner | QFile::WriteOwner);
    }

    // Channels in through the common layout, out in the native one, into another file.
    void importThenExport() {
        const QString csv = path(QStringLiteral("plan.csv"));
        writeAll(csv, "Location,Name,Frequency,Duplex,Offset,Mode,Comment\r\n"
                      "1,\"Base, north\",7.100000,,0.000000,USB,first\r\n"
                      "2,Relay,29.520000,+,0.100000,AM,\r\n"
                      "3,Cross,4.125000,split,8.291000,CW,");
        const QString out = path(QStringLiteral("new.icf"));
        Run r = runCli({QStringLiteral("import"), icf(), QStringLiteral("channels"), csv,
                        QStringLiteral("-o"), out, QStringLiteral("--replace")});
        QCOMPARE(r.status, 0);
        QVERIFY2(cliText(r.out).contains("3 row(s) imported into the channels list (common "
                                         "layout), rows 1-3\n"),
                 r.out.constData());

        r = runCli({QStringLiteral("export"), out, QStringLiteral("channels")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("row,rx_frequency,tx_frequency,mode,name\r\n"
                                   "1,7.100000,7.100000,USB,\"Base, north\"\r\n"
                                   "2,29.520000,29.620000,AM,Relay\r\n"
                                   "3,4.125000,8.291000,CW,Cross\r\n"));

        // The native file goes back in unchanged, and the common layout comes out as it went in.
        const QString native = path(QStringLiteral("native.csv"));
        QCOMPARE(runCli({QStringLiteral("export"), out, QStringLiteral("channels"),
                         QStringLiteral("-o"), native})
                     .status,
                 0);
        QCOMPARE(readAll(native), r.out);
        const QString again = path(QStringLiteral("again.icf"));
        QCOMPARE(runCli({QStringLiteral("import"), icf(), QStringLiteral("CT_ChannelList"), native,
                         QStringLiteral("-o"), again, QStringLiteral("--replace")})
                     .status,
                 0);
        r = runCli({QStringLiteral("export"), again, QStringLiteral("channels"),
                    QStringLiteral("--layout"), QStringLiteral("common")});
        QCOMPARE(r.out, QByteArray("Location,Name,Frequency,Duplex,Offset,Mode,Comment\r\n"
                                   "1,\"Base, north\",7.100000,,0.000000,USB,\r\n"
                                   "2,Relay,29.520000,+,0.100000,AM,\r\n"
                                   "3,Cross,4.125000,split,8.291000,CW,\r\n"));
    }

    // Any wrong row: every error on standard error, status 13, no file written or changed.
    void refusedWritesNothing() {
        const QString csv = path(QStringLiteral("bad.csv"));
        writeAll(csv, "row,rx_frequency,name\n1,7.1,Good\n2,abc,Bad\n3,45,High\n");
        const QByteArray before = readAll(icf());
        const QString out = path(QStringLiteral("new.icf"));
        Run r = runCli({QStringLiteral("import"), icf(), QStringLiteral("channels"), csv,
                        QStringLiteral("-o"), out});
        QCOMPARE(r.status, 13);
        QVERIFY2(r.err.contains(QStringLiteral(
                     "line 3, column 2 (rx_frequency): 'abc' is not a frequency in MHz")),
                 qPrintable(r.err));
        QVERIFY2(r.err.contains(
                     QStringLiteral("line 4, column 2 (rx_frequency): the radio cannot hold '45'")),
                 qPrintable(r.err));
        QVERIFY(r.err.contains(QStringLiteral("nothing written")));
        QVERIFY(!QFile::exists(out));
        // In place: the file stays as it was.
        r = runCli({QStringLiteral("import"), icf(), QStringLiteral("channels"), csv});
        QCOMPARE(r.status, 13);
        QCOMPARE(readAll(icf()), before);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(),
                 2); // f.icf and bad.csv: no temporary left
    }

    void clampReports() {
        const QString csv = path(QStringLiteral("high.csv"));
        writeAll(csv, "row,rx_frequency\n4,45\n");
        Run r = runCli({QStringLiteral("import"), icf(), QStringLiteral("channels"), csv,
                        QStringLiteral("--clamp")});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.err.contains(QStringLiteral(
                     "clamped: line 2, column 2 (rx_frequency): '45' stored as '29.999990'")),
                 qPrintable(r.err));
        r = runCli(
            {QStringLiteral("get"), icf(), QStringLiteral("CT_ChannelList.CL_ChL_FreqR[3]")});
        QCOMPARE(cliText(r.out), QByteArray("29.999990\n"));
    }

    void refusedInputs_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("no such list")
            << QStringList{"import", "F", "bands", "C"} << 12 << "'bands' is no list";
        QTest::newRow("layout of another list")
            << QStringList{"export", "F", "messages", "--layout", "common"} << 64
            << "the messages list has no layout 'common'";
        QTest::newRow("missing file")
            << QStringList{"import", "F", "messages", "none.csv"} << 14 << "there is no such file";
        QTest::newRow("a folder") << QStringList{"import", "F", "messages", "."} << 14
                                  << "it is not a regular file";
        QTest::newRow("replace and append")
            << QStringList{"import", "F", "messages", "C", "--replace", "--append"} << 64
            << "usage";
    }
    void refusedInputs() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        writeAll(path(QStringLiteral("c.csv")), "row,message\n1,hi\n");
        for (QString& a : args) {
            if (a == QLatin1String("F"))
                a = icf();
            else if (a == QLatin1String("C"))
                a = path(QStringLiteral("c.csv"));
            else if (a == QLatin1String(".") || a == QLatin1String("none.csv"))
                a = path(a);
        }
        const QByteArray before = readAll(icf());
        const Run r = runCli(args);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(readAll(icf()), before);
    }

    // A FIFO is refused at once, never opened (opening it would wait for a writer).
    void fifoIsRefused() {
#ifdef Q_OS_WIN
        QSKIP("Windows has no FIFOs");
#else
        const QString fifo = path(QStringLiteral("pipe.csv"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QByteArray before = readAll(icf());
        const Run r = runCli({QStringLiteral("import"), icf(), QStringLiteral("messages"), fifo});
        QCOMPARE(r.status, 14);
        QVERIFY2(r.err.contains(QStringLiteral("it is not a regular file")), qPrintable(r.err));
        QCOMPARE(readAll(icf()), before);
#endif
    }
};

QTEST_GUILESS_MAIN(tst_CliCsv)
#include "tst_cli_csv.moc"

// qxt5200-cli adjust against the simulated radio, over a pseudo-terminal and over loopback
// TCP: the frames it sends, the table it prints, the service record it keeps, and its exit
// statuses when something is wrong.

#include "CliRunner.h"
#include "cloneSimProcess.h"

#include <QDate>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

int simValue(int item) {
    return item << 8 | (0x80 + item);
}

} // namespace

class tst_CliAdjust : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

  private slots:
    void adjust_data() {
        QTest::addColumn<int>("link");
        QTest::newRow("serial") << int(cloneSimProcess::Serial);
        QTest::newRow("tcp") << int(cloneSimProcess::Tcp);
    }

    // Who the radio is, the command into its adjustment state, the 17 values: printed and
    // kept as a CSV record.
    void adjust() {
        QFETCH(int, link);
        const QString log = m_dir.filePath(QStringLiteral("adjust%1.log").arg(link));
        const QString record = m_dir.filePath(QStringLiteral("record%1.csv").arg(link));
        cloneSimProcess sim;
        QVERIFY(sim.start(cloneSimProcess::Link(link), {"--log", log}));
        // --speed low: the adjustment link is switched to 38,400 baud all the same.
        const CliRun r = cli(QStringList{"adjust", "--speed", "low"} + linkArgs(sim) +
                             QStringList{"-o", record});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));

        QStringList frames = cloneLogLines(log);
        QCOMPARE(frames.takeFirst(), QStringLiteral("FE EE EF E0 70 41 00 00 FD"));
        const QString speedChange = QStringLiteral("FE EE EF E8 70 41 00 00 01 30 39 FD");
        if (link == cloneSimProcess::Serial) QCOMPARE(frames.takeFirst(), speedChange);
        QCOMPARE(frames.takeFirst(), QStringLiteral("FE EE EF E8 70 41 00 00 02 30 31 FD"));
        if (link == cloneSimProcess::Serial) QCOMPARE(frames.takeFirst(), speedChange);
        QCOMPARE(frames.size(), 17);
        QCOMPARE(frames.last(), QStringLiteral("FE EE EF E8 70 41 00 00 03 31 30 FD"));

        const QStringList out = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(out.value(0), QStringLiteral("model: QX-T5200"));
        QCOMPARE(out.value(1), QStringLiteral("serial number: SIM-0005200"));
        QCOMPARE(out.value(2), QStringLiteral("item\targument\thex\tdecimal"));
        QCOMPARE(out.size(), 3 + 17);
        QCOMPARE(out.value(3 + 10), QStringLiteral("11\t0x0A\t0x0A8A\t%1").arg(simValue(10)));

        QFile f(record);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 18);
        QCOMPARE(lines.at(0), QStringLiteral("item,argument,hex,decimal,model,serial,date"));
        QCOMPARE(lines.at(11), QStringLiteral("11,0x0A,0x0A8A,%1,QX-T5200,SIM-0005200,%2")
                                   .arg(simValue(10))
                                   .arg(QDate::currentDate().toString(Qt::ISODate)));
    }

    void failures_data() {
        QTest::addColumn<QStringList>("simArgs");
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("framesSent");
        QTest::newRow("another model") << QStringList{"--other-model"} << QString() << 11 << 1;
        QTest::newRow("values not answered")
            << QStringList{"--adjust-other-code"} << QString() << 5 << 3;
        QTest::newRow("record folder missing") << QStringList() << "missing/record.csv" << 35 << 0;
    }

    // A failure says what went wrong and leaves no record behind; a record that could not
    // be written is found out before the radio is asked anything.
    void failures() {
        QFETCH(QStringList, simArgs);
        QFETCH(QString, output);
        QFETCH(int, exitCode);
        QFETCH(int, framesSent);
        const QString log =
            m_dir.filePath(QStringLiteral("fail%1.log").arg(QTest::currentDataTag()));
        const QString record =
            m_dir.filePath(output.isEmpty() ? QStringLiteral("fail.csv") : output);
        cloneSimProcess sim;
        QVERIFY(sim.start(cloneSimProcess::Tcp, QStringList{"--log", log} + simArgs));
        const CliRun r = cli(QStringList{"adjust", "--tcp", sim.address(), "-o", record});
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.startsWith(exitCode == 35 ? QStringLiteral("cannot write")
                                                 : QStringLiteral("error %1: ").arg(exitCode)),
                 qPrintable(r.err));
        QVERIFY(!QFile::exists(record));
        QTest::qWait(100);
        QCOMPARE(cloneLogLines(log).size(), framesSent);
    }
};

QTEST_MAIN(tst_CliAdjust)
#include "tst_cliadjust.moc"

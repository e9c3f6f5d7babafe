// qxt5200-cli adjust against the simulated radio, over a pseudo-terminal and over loopback
// TCP: the clone read that opens the sequence (its image kept with -o), the restart wait
// over TCP, the frames it sends, the lines it prints, the service record it keeps with
// --csv, and its exit statuses when something is wrong.

#include "CliRunner.h"
#include "cloneSimProcess.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

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

    // The read of the whole memory (kept as a clone file), over TCP the wait while the
    // radio restarts, the command into its adjustment state, the 17 values: printed one a
    // line and kept as a CSV record.
    void adjust() {
        QFETCH(int, link);
        const QString log = m_dir.filePath(QStringLiteral("adjust%1.log").arg(link));
        const QString record = m_dir.filePath(QStringLiteral("record%1.csv").arg(link));
        const QString image = m_dir.filePath(QStringLiteral("radio%1.icf").arg(link));
        cloneSimProcess sim;
        // Over TCP the radio restarts after the read, refusing connections for a while.
        QStringList simArgs{"--log", log, "--serial", "S/N 0042"};
        if (link == cloneSimProcess::Tcp)
            simArgs << "--reboot-ms"
                    << "400";
        QVERIFY(sim.start(cloneSimProcess::Link(link), simArgs));
        // --speed low: the adjustment link is switched to 38,400 baud all the same.
        const CliRun r = cli(QStringList{"adjust", "--speed", "low", "--reboot-wait", "1"} +
                             linkArgs(sim) + QStringList{"-o", image, "--csv", record});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY2(r.err.contains("radio: model QX-T5200, serial number S/N 0042"),
                 qPrintable(r.err));

        // The read comes first, as in the editor, and its image is kept.
        QStringList frames = cloneLogLines(log);
        QCOMPARE(frames.takeFirst(), QStringLiteral("FE EE EF E0 70 41 00 00 FD"));
        QVERIFY2(frames.takeFirst().startsWith(QStringLiteral("FE EE EF E2")), qPrintable(log));
        cmcEeprom kept(QxRadio::ImageSize);
        QCOMPARE(indCloneFile::open(image, kept), 0);
        const QString speedChange = QStringLiteral("FE EE EF E8 70 41 00 00 01 30 39 FD");
        if (link == cloneSimProcess::Serial) QCOMPARE(frames.takeFirst(), speedChange);
        QCOMPARE(frames.takeFirst(), QStringLiteral("FE EE EF E8 70 41 00 00 02 30 31 FD"));
        if (link == cloneSimProcess::Serial) QCOMPARE(frames.takeFirst(), speedChange);
        QCOMPARE(frames.size(), 17);
        QCOMPARE(frames.last(), QStringLiteral("FE EE EF E8 70 41 00 00 03 31 30 FD"));

        // One line per item: N, argument, hexadecimal, decimal, tab-separated.
        QStringList out = r.out.split('\n', Qt::SkipEmptyParts);
        out = out.filter(QRegularExpression(QStringLiteral("^\\d+\\t")));
        QCOMPARE(out.size(), 17);
        QCOMPARE(out.value(10), QStringLiteral("11\t0x0A\t0x0A8A\t%1").arg(simValue(10)));

        QFile f(record);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 18);
        QCOMPARE(lines.at(0), QStringLiteral("item,argument,hex,decimal,model,serial,date,time"));
        QVERIFY2(lines.at(11).startsWith(QStringLiteral("11,0x0A,0x0A8A,%1,QX-T5200,S/N 0042,%2,")
                                             .arg(simValue(10))
                                             .arg(QDate::currentDate().toString(Qt::ISODate))),
                 qPrintable(lines.at(11)));
    }

    void failures_data() {
        QTest::addColumn<QStringList>("simArgs");
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("framesSent");
        QTest::newRow("another model") << QStringList{"--other-model"} << QString() << 11 << 1;
        QTest::newRow("values not answered")
            << QStringList{"--adjust-other-code"} << QString() << 5 << 4;
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
        const CliRun r = cli(
            QStringList{"adjust", "--tcp", sim.address(), "--reboot-wait", "0", "--csv", record});
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(exitCode == 35 ? r.err.startsWith(QStringLiteral("cannot write"))
                                : r.err.contains(QStringLiteral("error %1: ").arg(exitCode)),
                 qPrintable(r.err));
        QVERIFY(!QFile::exists(record));
        QTest::qWait(100);
        QCOMPARE(cloneLogLines(log).size(), framesSent);
    }
};

QTEST_MAIN(tst_CliAdjust)
#include "tst_cliadjust.moc"

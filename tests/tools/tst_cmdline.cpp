// The three programs answer --help and --version without a display (no DISPLAY, no
// QT_QPA_PLATFORM): the version is the project's, the help names the program's usage.
// The command-line tool's "list FILE" without a category names the lists it knows.

#include "CliRunner.h"
#include "qxVersion.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run run(const QString& program, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QX_RUNTIME_DIR "/") + program + QStringLiteral(QX_EXE_SUFFIX), args);
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("did not finish");
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(cliText(p.readAllStandardOutput()));
    r.err = QString::fromLocal8Bit(cliText(p.readAllStandardError()));
    return r;
}

} // namespace

class tst_cmdline : public QObject {
    Q_OBJECT

  private slots:
    void helpAndVersionWithoutDisplay_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("expected"); // what stdout starts with
        for (const char* program : {"qxt5200", "qxt5200-cli", "qxt5200-sim"}) {
            const QString name = QLatin1String(program);
            QTest::newRow(qPrintable(name + " --version"))
                << name << "--version" << name + QStringLiteral(" " QX_VERSION "\n");
            QTest::newRow(qPrintable(name + " --help"))
                << name << "--help" << QStringLiteral("Usage: ");
        }
    }

    void helpAndVersionWithoutDisplay() {
        QFETCH(QString, program);
        QFETCH(QString, option);
        QFETCH(QString, expected);
        const Run r = run(program, {option});
        QVERIFY2(r.status == 0,
                 qPrintable(QStringLiteral("status %1: %2").arg(r.status).arg(r.err)));
        QVERIFY2(r.out.startsWith(expected), qPrintable(r.out));
        if (option == QLatin1String("--help")) {
            QVERIFY2(r.out.contains(QLatin1String(" --version")), qPrintable(r.out));
            QVERIFY2(r.out.contains(program), qPrintable(r.out));
        } else {
            QCOMPARE(r.out.count(u'\n'), 1);
        }
    }

    void versionIsTheProjects() {
        // The build's version has the project's form: numbers separated by dots.
        QVERIFY(QString::fromLatin1(QX_VERSION)
                    .contains(QRegularExpression(QStringLiteral("^[0-9]+(\\.[0-9]+)+$"))));
    }

    void cliListWithoutCategory() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("blank.icf"));
        QCOMPARE(run(QStringLiteral("qxt5200-cli"), {QStringLiteral("new"), file}).status, 0);
        const Run r = run(QStringLiteral("qxt5200-cli"), {QStringLiteral("list"), file});
        QCOMPARE(r.status, 0);
        const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), QStringLiteral("category\trows in use\trows"));
        QVERIFY2(lines.filter(QRegularExpression(QStringLiteral("^CT_ChannelList\t[0-9]+\t500$")))
                         .size() == 1,
                 qPrintable(r.out));
        for (const char* category :
             {"CT_AddressList", "CT_NetworkList", "CT_MessageList", "CT_AleNetId", "CT_AleMessage"})
            QVERIFY2(lines.filter(QRegularExpression(QStringLiteral("^%1\t[0-9]+\t[0-9]+$")
                                                         .arg(QLatin1String(category))))
                             .size() == 1,
                     qPrintable(r.out));
        // Every category listed is one that "list FILE CATEGORY" accepts.
        for (const QString& line : lines.mid(1))
            QCOMPARE(run(QStringLiteral("qxt5200-cli"),
                         {QStringLiteral("list"), file, line.section(u'\t', 0, 0)})
                         .status,
                     0);

        const Run missing = run(QStringLiteral("qxt5200-cli"),
                                {QStringLiteral("list"), dir.filePath(QStringLiteral("none.icf"))});
        QCOMPARE(missing.status, 1);
        QVERIFY(missing.err.startsWith(QLatin1String("error 1: ")));
    }

    void cliUnknownVerbIsAMistake() {
        const Run r = run(QStringLiteral("qxt5200-cli"), {QStringLiteral("frobnicate")});
        QCOMPARE(r.status, 64);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.startsWith(QLatin1String("qxt5200-cli: unknown verb 'frobnicate'")));
    }
};

QTEST_GUILESS_MAIN(tst_cmdline)
#include "tst_cmdline.moc"

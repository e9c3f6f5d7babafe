// Damaged overlays are caught at start-up, not later: each damage below either stops the
// editor while it starts, with a message naming the file and the key (and the line, where
// the damage sits on one), or the editor starts and opens every sheet of its tree without
// stopping. None stops later. The command-line print names the damage the same way.

#include "CliRunner.h"
#include "ScriptedPrompt.h"
#include "TForm1.h"
#include "cmcEvMan.h"
#include "cuiStartupCheck.h"
#include "indEnviron.h"
#include "indMain.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

const QStringList DataFiles{"QXT5200.OVL", "QXT5200_ENG.OVL", "QXT5200_DEU.OVL", "QXT5200_HLP.OVL",
                            "QXT5200_Initial.icf"};

// A copy of the program's data files with one change in one of them: within the key's
// values, the first "from" becomes "to"; without a key the whole file becomes "to".
bool damagedCopy(const QString& dir, const QString& file, const QString& key,
                 const QByteArray& from, const QByteArray& to) {
    for (const QString& name : DataFiles)
        if (!QFile::copy(QStringLiteral(QX_RUNTIME_DIR "/") + name, dir + '/' + name)) return false;
    QFile f(dir + '/' + file);
    if (!f.open(QIODevice::ReadWrite)) return false;
    QByteArray text = f.readAll();
    if (key.isEmpty()) {
        text = to;
    } else {
        const qsizetype start = text.indexOf("\n#" + key.toLatin1() + '\n');
        const qsizetype end = text.indexOf("\n#", start + 2);
        const qsizetype at = start < 0 ? -1 : text.indexOf(from, start + 2);
        if (at < 0 || (end >= 0 && at > end)) return false;
        text.replace(at, from.size(), to);
    }
    return f.resize(0) && f.write(text) == text.size();
}

// The editor brought up on the data folder as the program does it, then every sheet of
// its tree opened: the text of the first fatal stop, and whether it came while starting.
struct Outcome {
    QString fatal;
    bool whileStarting = false;
};

Outcome startAndOpenEverySheet(const QString& dataDir) {
    Outcome outcome;
    FatalGuard guard;
    indEnviron::Options options;
    options.settingsFolder = dataDir + QStringLiteral("/settings");
    options.screenSize = QSize(1280, 900);
    const QString key = QStringLiteral("Software\\Vexo\\QX-T5200");
    indEnviron env(
        QStringLiteral("qxt5200-overlaydamage-%1").arg(QCoreApplication::applicationPid()), key,
        key, options);
    cmcEvMan events;
    std::unique_ptr<indMain> main;
    std::unique_ptr<TForm1> form;
    try {
        main = std::make_unique<indMain>(env, dataDir);
        form = std::make_unique<TForm1>(*main, QRect(0, 0, 1280, 900));
        form->show();
    } catch (const cmcFatalError& e) {
        outcome.fatal = e.message;
        outcome.whileStarting = true;
        return outcome;
    }
    try {
        for (const QString& command : main->treeSheetCommands())
            main->ShowSheetNow(command);
        main->AdjustTree(); // a tree move with its change delay
        QTest::qWait(50);
    } catch (const cmcFatalError& e) {
        outcome.fatal = e.message;
    }
    form.reset();
    main.reset();
    return outcome;
}

} // namespace

class tst_overlaydamage : public QObject {
    Q_OBJECT

    QTemporaryDir m_firstDir; // the data of the first start, kept to the end

  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Sound overlays are checked in full once; later starts on the same files skip the check.
    // An overlay damaged afterwards in place, with its size and time of change kept, is
    // still caught while starting (its hash differs). First of the tests: the help table
    // keeps the first help file of the process, which must still be there to be stamped
    // (a help file gone since is never remembered as sound).
    void rememberedCheckStillCatchesDamage() {
        ScriptedPrompt prompt;
        QTemporaryDir& dir = m_firstDir;
        QVERIFY(damagedCopy(dir.path(), QStringLiteral("QXT5200_ENG.OVL"), "GI_Sheet_Mch__Style",
                            "FixedCols=1)", "FixedCols=1)"));
        for (const bool skipped : {false, true}) {
            const Outcome outcome = startAndOpenEverySheet(dir.path());
            QVERIFY2(outcome.fatal.isEmpty(), qPrintable(outcome.fatal));
            QVERIFY(cuiStartupCheck::last());
            QCOMPARE(cuiStartupCheck::last()->skipped(), skipped);
        }
        QFile f(dir.filePath(QStringLiteral("QXT5200_ENG.OVL")));
        QVERIFY(f.open(QIODevice::ReadWrite));
        const QDateTime changed = f.fileTime(QFileDevice::FileModificationTime);
        QByteArray text = f.readAll();
        const qsizetype at = text.indexOf("FixedCols=1)");
        QVERIFY(at > 0);
        text.replace(at, 12, "FixedCols=x)"); // a word for a number, the same length
        QVERIFY(f.seek(0) && f.write(text) == text.size());
        f.close();
        QVERIFY(f.open(QIODevice::ReadWrite) &&
                f.setFileTime(changed, QFileDevice::FileModificationTime));
        f.close();
        const Outcome outcome = startAndOpenEverySheet(dir.path());
        QVERIFY2(outcome.whileStarting,
                 qPrintable(QStringLiteral("stopped later: ") + outcome.fatal));
        QVERIFY2(outcome.fatal.contains(QLatin1String("key 'GI_Sheet_Mch__Style', line ")),
                 qPrintable(outcome.fatal));
        QVERIFY(!cuiStartupCheck::last()->skipped());
    }

    void caughtAtStartOrHarmless_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<bool>("stops");
        QTest::addColumn<QString>("named"); // the key the message names (with a line)
        const QString eng = QStringLiteral("QXT5200_ENG.OVL");
        auto row = [&](const char* name, const QString& file, const char* key, const char* from,
                       const char* to, bool stops, const char* named) {
            QTest::newRow(name) << file << QString::fromLatin1(key) << QByteArray(from)
                                << QByteArray(to) << stops << QString::fromLatin1(named);
        };
        const char* mch = "GI_Sheet_Mch__Style";
        const char* addr = "GI_Sheet_AddrL_Cells";
        row("FixedCols 1000000000", eng, mch, "FixedCols=1)", "FixedCols=1000000000)", true, mch);
        row("FixedRows -5", eng, "GI_Sheet_Top_Style", "FixedRows=1", "FixedRows=-5", true,
            "GI_Sheet_Top_Style");
        row("font height -2147483648", eng, "CellModel_Basic", "clWindowText,-15,",
            "clWindowText,-2147483648,", true, "CellModel_Basic");
        row("loop count -1", eng, addr, "LoopFrom 300", "LoopFrom -1", true, addr);
        row("loop count 0", eng, addr, "LoopFrom 300", "LoopFrom 0", true, addr);
        row("loop count 2^32", eng, addr, "LoopFrom 300", "LoopFrom 4294967296", true, addr);
        row("loop count 10^20", eng, addr, "LoopFrom 300", "LoopFrom 99999999999999999999", true,
            addr);
        row("loop count a word", eng, addr, "LoopFrom 300", "LoopFrom many", true, addr);
        row("loop without its end", eng, addr, ":(LoopTo)\n", "", true, addr);
        row("tree delay -1", eng, "GI_Sys_TreeChangeDelay", "150", "-1", true,
            "GI_Sys_TreeChangeDelay");
        row("image index -1", eng, "GI_Menu_Main_Body", "ImageIndex=2", "ImageIndex=-1", true,
            "GI_Menu_Main_Body");
        row("font size as a percentage 0", eng, "CellModel_Basic", "clWindowText,-15,",
            "clWindowText,%0,", true, "CellModel_Basic");
        // Empty files: the first key looked up is missing; the message names the file.
        row("empty main overlay", eng, "", "", "", true, "");
        row("empty language list", QStringLiteral("QXT5200.OVL"), "", "", "", true, "");
        // Numbers at the edges of their ranges start and work.
        row("FixedCols 0", eng, mch, "FixedCols=1)", "FixedCols=0)", false, "");
        row("loop count 1", eng, addr, "LoopFrom 300", "LoopFrom 1", false, "");
        row("loop count 1000", eng, addr, "LoopFrom 300", "LoopFrom 1000", false, "");
        row("tree delay 0", eng, "GI_Sys_TreeChangeDelay", "150", "0", false, "");
        row("font height -40", eng, "CellModel_Basic", "clWindowText,-15,", "clWindowText,-40,",
            false, "");
    }

    void caughtAtStartOrHarmless() {
        QFETCH(QString, file);
        QFETCH(QString, key);
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(bool, stops);
        QFETCH(QString, named);
        ScriptedPrompt prompt;
        QTemporaryDir dir;
        QVERIFY(damagedCopy(dir.path(), file, key, from, to));
        const Outcome outcome = startAndOpenEverySheet(dir.path());
        if (!stops) {
            QVERIFY2(outcome.fatal.isEmpty(), qPrintable(outcome.fatal));
            return;
        }
        QVERIFY2(outcome.whileStarting,
                 qPrintable(QStringLiteral("stopped later: ") + outcome.fatal));
        QVERIFY2(outcome.fatal.contains(QDir::toNativeSeparators(dir.path() + '/' + file)),
                 qPrintable(outcome.fatal));
        if (!named.isEmpty())
            QVERIFY2(outcome.fatal.contains(QStringLiteral("key '%1', line ").arg(named)),
                     qPrintable(outcome.fatal));
        else
            QVERIFY2(outcome.fatal.contains(QLatin1String("was not found")),
                     qPrintable(outcome.fatal));
    }

    // The line named is the damaged one.
    void lineNamed() {
        QTemporaryDir dir;
        QVERIFY(damagedCopy(dir.path(), QStringLiteral("QXT5200_ENG.OVL"), "GI_Sheet_AddrL_Cells",
                            "LoopFrom 300", "LoopFrom 0"));
        const QList<QByteArray> lines = [&] {
            QFile f(dir.filePath(QStringLiteral("QXT5200_ENG.OVL")));
            return f.open(QIODevice::ReadOnly) ? f.readAll().split('\n') : QList<QByteArray>();
        }();
        const Outcome outcome = startAndOpenEverySheet(dir.path());
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("line (\\d+):")).match(outcome.fatal);
        QVERIFY2(m.hasMatch(), qPrintable(outcome.fatal));
        QCOMPARE(lines.value(m.captured(1).toInt() - 1).trimmed(), QByteArray(":(LoopFrom 0)"));
    }

    // print --overlay with a damaged overlay: status 3, the file, key and line on stderr.
    void cliPrintNamesTheDamage() {
        QTemporaryDir dir;
        QVERIFY(damagedCopy(dir.path(), QStringLiteral("QXT5200_ENG.OVL"), "GI_Sheet_Mch__Style",
                            "FixedCols=1)", "FixedCols=1000000000)"));
        const QString overlay = dir.filePath(QStringLiteral("QXT5200_ENG.OVL"));
        const CliRun r =
            cli({QStringLiteral("print"), dir.filePath(QStringLiteral("QXT5200_Initial.icf")),
                 QStringLiteral("--overlay"), overlay, QStringLiteral("-o"),
                 dir.filePath(QStringLiteral("out.pdf"))});
        QCOMPARE(r.exitCode, 3);
        QVERIFY2(r.err.contains(QDir::toNativeSeparators(overlay)), qPrintable(r.err));
        QVERIFY2(r.err.contains(QLatin1String("key 'GI_Sheet_Mch__Style', line ")),
                 qPrintable(r.err));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out.pdf"))));

        // An empty overlay: the text table's message names the file too.
        QFile empty(overlay);
        QVERIFY(empty.open(QIODevice::WriteOnly | QIODevice::Truncate));
        empty.close();
        const CliRun e =
            cli({QStringLiteral("print"), dir.filePath(QStringLiteral("QXT5200_Initial.icf")),
                 QStringLiteral("--overlay"), overlay, QStringLiteral("-o"),
                 dir.filePath(QStringLiteral("out.pdf"))});
        QCOMPARE(e.exitCode, 3);
        QVERIFY2(e.err.contains(QDir::toNativeSeparators(overlay)), qPrintable(e.err));
    }
};

QTEST_MAIN(tst_overlaydamage)
#include "tst_overlaydamage.moc"

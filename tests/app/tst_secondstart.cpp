// A second start of the editor on the same display: the built program started as a real
// process meets the running editor (this test's own, or another real process) through the
// single-instance guard. The display name, the runtime folder and the settings are the
// test's own, so nothing meets the user's editor or another test.

#include "ScriptedPrompt.h"
#include "TForm1.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcEvMan.h"
#include "cuiHandedFiles.h"
#include "indEnviron.h"
#include "indMain.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {
const QString MutexName = QStringLiteral("Vexo QX-T5200 APP Exclusive Mutex");
const QString Program = QStringLiteral(QX_RUNTIME_DIR "/qxt5200");
} // namespace

class tst_secondstart : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void fileHandedToRunningEditor();
    void twoStartedAtOnceLeaveOne();

  private:
    // A start of the program with its settings, data and runtime folders in the test's.
    std::unique_ptr<QProcess> start(const QStringList& args);

    QTemporaryDir m_dir;
};

void tst_secondstart::initTestCase() {
    QVERIFY(m_dir.isValid());
    // The guard's name carries the display: one of this test's own.
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("DISPLAY",
            QByteArray(":qxt-second-") + QByteArray::number(QCoreApplication::applicationPid()));
    const QString runtime = m_dir.filePath(QStringLiteral("runtime"));
    QVERIFY(QDir().mkpath(runtime));
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
}

std::unique_ptr<QProcess> tst_secondstart::start(const QStringList& args) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), m_dir.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
    p->setProcessEnvironment(env);
    p->setWorkingDirectory(m_dir.path());
    p->start(Program, args);
    return p;
}

// The running editor is this test's: a second start naming a file while the window is not
// up yet (the splash) hands the file over and exits 0; the request waits for the window,
// which then asks about its own unsaved change and shows the file.
void tst_secondstart::fileHandedToRunningEditor() {
    ScriptedPrompt prompt;
    prompt.defaultAnswer = PA_No; // "save the changes?": no
    const QString key = QStringLiteral("Software\\Vexo\\QX-T5200");
    indEnviron::Options options;
    options.settingsFolder = m_dir.filePath(QStringLiteral("settings"));
    options.screenSize = QSize(1280, 900);
    auto env = std::make_unique<indEnviron>(MutexName, key, key, options);
    QVERIFY(env->isFirstInstance());
    auto events = std::make_unique<cmcEvMan>();
    auto main = std::make_unique<indMain>(*env, QStringLiteral(QX_RUNTIME_DIR));
    auto form = std::make_unique<TForm1>(*main, QRect(0, 0, 1280, 900));
    cuiHandedFiles handed(env->instanceGuard(),
                          [&main](const QString& path) { return main->Open(path); });

    const QString handedFile = m_dir.filePath(QStringLiteral("handed.icf"));
    const QString ownFile = m_dir.filePath(QStringLiteral("own.icf"));
    QVERIFY(main->Save(handedFile));
    QVERIFY(main->Save(ownFile));
    cmcCellDispatch& cells = cmcCellDispatch::global();
    QVERIFY(cells.commit(CT_ChannelList, CL_ChL_FreqR, 3, QStringLiteral("14.2")));
    QVERIFY(cells.commit(CT_ChannelList, CL_ChL_Name, 3, QStringLiteral("OWN")));
    QVERIFY(main->IsModified());

    // Named relative to the second start's working folder.
    auto second = start({QStringLiteral("--no-splash"), QStringLiteral("handed.icf")});
    QVERIFY(QTest::qWaitFor([&] { return second->state() == QProcess::NotRunning; }, 60000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QTRY_COMPARE(handed.pending(), QStringList{QFileInfo(handedFile).absoluteFilePath()});
    QCOMPARE(main->documentFile(), QFileInfo(ownFile).absoluteFilePath());
    QVERIFY(prompt.entries().isEmpty());

    form->show();
    handed.setWindow(form.get());
    QTRY_COMPARE(main->documentFile(), QFileInfo(handedFile).absoluteFilePath());
    QVERIFY(handed.pending().isEmpty());
    QCOMPARE(prompt.entries().size(), 1); // the question about the own change, answered No
    QVERIFY(prompt.entries().first().question);
    QVERIFY(!main->IsModified());
    QVERIFY(cells.text(CT_ChannelList, CL_ChL_Name, 3).trimmed() != QLatin1String("OWN"));

    form.reset();
    main.reset();
    events.reset();
    env.reset();
}

// Two editors started at the same moment: one stays, the other hands over and ends with
// status 0. A few rounds, as a race shows only now and then.
void tst_secondstart::twoStartedAtOnceLeaveOne() {
    for (int round = 0; round < 3; ++round) {
        auto a = start({QStringLiteral("--no-splash")});
        auto b = start({QStringLiteral("--no-splash")});
        QVERIFY(a->waitForStarted() && b->waitForStarted());
        QVERIFY(QTest::qWaitFor(
            [&] {
                return a->state() == QProcess::NotRunning || b->state() == QProcess::NotRunning;
            },
            60000));
        // The survivor is up; give a late loser time to end too, which it must not.
        QTest::qWait(1500);
        const bool aLeft = a->state() == QProcess::NotRunning;
        const bool bLeft = b->state() == QProcess::NotRunning;
        QVERIFY2(aLeft != bLeft, qPrintable(QStringLiteral("round %1").arg(round)));
        QProcess& ended = aLeft ? *a : *b;
        QProcess& running = aLeft ? *b : *a;
        QCOMPARE(ended.exitStatus(), QProcess::NormalExit);
        QCOMPARE(ended.exitCode(), 0);
#ifdef Q_OS_WIN
        // terminate() asks the windows to close, and on the offscreen platform they are none
        // of the system's.
        running.kill();
#else
        running.terminate();
#endif
        QVERIFY(running.waitForFinished(30000));
    }
}

QTEST_MAIN(tst_secondstart)
#include "tst_secondstart.moc"

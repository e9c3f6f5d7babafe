// Timer tasks, the countdown tick, the fatal stop and the prompt service.

#include "ScriptedPrompt.h"
#include "cmcTask.h"
#include "cmcTick.h"

#include <QEventLoop>
#include <QPointer>
#include <QProcess>
#include <QTest>
#include <QTimer>

namespace {

struct Counter {
    int calls = 0;
    int maxDepth = 0;
    int depth = 0;
    bool nestLoop = false;
    bool disposeSelf = false;
};

void count(void* ctx, cmcTask* task) {
    auto* c = static_cast<Counter*>(ctx);
    ++c->calls;
    ++c->depth;
    c->maxDepth = std::max(c->maxDepth, c->depth);
    if (c->nestLoop && c->calls == 1) {
        // A modal dialog's loop: the task's own ticks keep arriving and must be dropped.
        QEventLoop loop;
        QTimer::singleShot(60, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (c->disposeSelf) cmcTask::release(task);
    --c->depth;
}

uint32_t g_now = 0;

} // namespace

class tst_task : public QObject {
    Q_OBJECT
  private slots:
    void taskRunsAndStops() {
        Counter c;
        auto* task = new cmcTask;
        QVERIFY(task->isStopped());
        task->setCallback(&count, &c);
        task->setInterval(0); // every millisecond
        QVERIFY(!task->isStopped());
        QTRY_VERIFY_WITH_TIMEOUT(c.calls >= 3, 1000);
        task->setInterval(-1);
        QVERIFY(task->isStopped());
        const int calls = c.calls;
        QTest::qWait(20);
        QCOMPARE(c.calls, calls);
        cmcTask::release(task);
        QVERIFY(task == nullptr);
    }

    void nestedLoopDoesNotReenter() {
        Counter c;
        c.nestLoop = true;
        auto* task = new cmcTask;
        task->setCallback(&count, &c);
        task->setInterval(5);
        QTRY_VERIFY_WITH_TIMEOUT(c.calls >= 2, 2000);
        QCOMPARE(c.maxDepth, 1);
        cmcTask::release(task);
    }

    void disposeFromOwnCallbackIsDeferred() {
        Counter c;
        c.disposeSelf = true;
        auto* task = new cmcTask;
        QPointer<cmcTask> watch(task);
        task->setCallback(&count, &c);
        task->setInterval(1);
        QTRY_VERIFY_WITH_TIMEOUT(watch.isNull(), 1000);
        QCOMPARE(c.calls, 1);
    }

    void releaseOfRunningTaskDeletesAtOnce() {
        auto* task = new cmcTask;
        QPointer<cmcTask> watch(task);
        Counter c;
        task->setCallback(&count, &c);
        task->setInterval(10);
        cmcTask::release(task);
        QVERIFY(watch.isNull());
        QVERIFY(task == nullptr);
    }

    void tickCountsDownAcrossTheWrap_data() {
        QTest::addColumn<uint32_t>("startAt");
        QTest::newRow("plain") << uint32_t(1000);
        QTest::newRow("across wrap") << uint32_t(0xFFFFFF00u);
    }

    void tickCountsDownAcrossTheWrap() {
        QFETCH(uint32_t, startAt);
        g_now = startAt;
        cmcTick::setClock([] { return g_now; });
        cmcTick tick;
        QCOMPARE(tick.remaining(), 0u);
        tick.start(250);
        QCOMPARE(tick.remaining(), 250u);
        g_now += 249;
        QCOMPARE(tick.remaining(), 1u);
        QVERIFY(tick.isRunning());
        g_now += 1;
        QCOMPARE(tick.remaining(), 0u);
        QVERIFY(!tick.isRunning());
        g_now += 0x80000000u; // far later: still expired until restarted
        QCOMPARE(tick.remaining(), 0u);
        tick.start(10);
        QCOMPARE(tick.remaining(), 10u);
        cmcTick::setClock({});
    }

    void steadyClockAdvances() {
        cmcTick tick;
        tick.start(30);
        QVERIFY(tick.remaining() > 0);
        QTRY_COMPARE_WITH_TIMEOUT(tick.remaining(), 0u, 1000);
        QCOMPARE(tick.resolution(), 1u);
    }

    void fatalStopShowsTextAndEnds() {
        ScriptedPrompt prompt;
        FatalGuard guard;
        cmcFatal::setShowMessage(true);
        bool thrown = false;
        try {
            cmcFatal::stop(QStringLiteral("Out of cmcBuff element !"));
        } catch (const cmcFatalError& e) {
            thrown = true;
            QCOMPARE(e.message, QStringLiteral("Out of cmcBuff element !"));
        }
        QVERIFY(thrown);
        QCOMPARE(prompt.entries().size(), 1);
        QCOMPARE(prompt.entries()[0].caption, QStringLiteral("tst_task" QX_EXE_SUFFIX));
        QCOMPARE(prompt.entries()[0].icon, cmcPromptIcon::Error);
    }

    void fatalStopExitsWithStatus3() {
        // The real ending, in a child process (this executable with an argument).
        QProcess p;
        p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--fatal-child")});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 3);
        QVERIFY(p.readAllStandardError().contains("Fatal for test"));
    }

    void promptAnswersFromQueue() {
        ScriptedPrompt prompt;
        prompt.queueAnswer(PA_No);
        QCOMPARE(cmcPrompt::ask("Save?", "T", cmcPromptButtons::YesNoCancel), int(PA_No));
        QCOMPARE(cmcPrompt::ask("Again?", "T", cmcPromptButtons::OkCancel), int(PA_Ok));
        cmcPrompt::tell("Done", "T");
        QCOMPARE(prompt.texts(), (QStringList{"Save?", "Again?", "Done"}));
    }
};

int main(int argc, char** argv) {
    if (argc > 1 && QByteArray(argv[1]) == "--fatal-child") {
        QCoreApplication app(argc, argv);
        cmcFatal::stop(QStringLiteral("Fatal for test"));
    }
    QCoreApplication app(argc, argv);
    tst_task t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_task.moc"

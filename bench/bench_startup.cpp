// Start-up time of the editor: from starting the process to the main window shown with the
// channel sheet painted (the splash skipped). Runs the program several times with a
// settings folder of its own and prints the median and the range: once with the overlays
// checked in full on every start, once with the check remembered from the first start; and
// each time the check's own share.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/qxt5200");
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    // A desktop session keeps its runtime folder (the single-instance guard's lock and
    // socket) in memory; without one the guard would fall back to a folder on disk.
    QTemporaryDir runtime(QStringLiteral("/dev/shm/qxt5200-bench-XXXXXX"));
    if (!env.contains(QStringLiteral("XDG_RUNTIME_DIR")) && runtime.isValid()) {
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    }
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")) &&
        !env.contains(QStringLiteral("DISPLAY")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    // The cache of overlays already checked lives in the user's cache folder: emptied before
    // every run, each start checks its overlays in full; kept, only the first one does.
    const QString cache = home.filePath(QStringLiteral("cache"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), cache);
    for (const bool fullCheck : {true, false}) {
        std::vector<double> times, checks;
        bool skipped = true;
        for (int i = 0; i < 11; ++i) {
            if (fullCheck) QDir(cache).removeRecursively();
            QProcess p;
            p.setProcessEnvironment(env);
            QElapsedTimer t;
            t.start();
            p.start(program, {QStringLiteral("--no-splash"), QStringLiteral("--startup-probe")});
            if (!p.waitForStarted(10000)) {
                std::printf("cannot start %s\n", qPrintable(program));
                return 1;
            }
            QByteArray out;
            while (!out.contains('\n') && p.waitForReadyRead(20000))
                out += p.readAllStandardOutput();
            const double ms = t.nsecsElapsed() / 1e6;
            p.waitForFinished(10000);
            // "PAINTED check MS full|skipped"
            const QList<QByteArray> words = out.trimmed().split(' ');
            if (words.value(0) != "PAINTED" || words.size() < 5) {
                std::printf("the channel sheet was not shown: %s\n", out.constData());
                return 1;
            }
            if (i == 0) continue; // the first run warms the file cache (and fills the check's)
            times.push_back(ms);
            checks.push_back(words.value(2).toDouble());
            skipped = skipped && words.value(4) == "skipped";
        }
        std::sort(times.begin(), times.end());
        std::sort(checks.begin(), checks.end());
        std::printf("start-up to channel sheet painted, overlay check %s: median %.1f ms "
                    "(min %.1f, max %.1f, %zu runs, platform %s); the check's share %.2f ms\n",
                    fullCheck ? "in full" : (skipped ? "remembered" : "NOT remembered"),
                    times[times.size() / 2], times.front(), times.back(), times.size(),
                    qPrintable(env.value(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"))),
                    checks[checks.size() / 2]);
    }
    return 0;
}

// Start-up time of the editor: from starting the process to the main window shown with the
// channel sheet painted (the splash skipped). Runs the program several times with a
// settings folder of its own and prints the median and the range.

#include <QCoreApplication>
#include <QElapsedTimer>
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
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")) &&
        !env.contains(QStringLiteral("DISPLAY")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    std::vector<double> times;
    for (int i = 0; i < 11; ++i) {
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
        if (!out.startsWith("PAINTED")) {
            std::printf("the channel sheet was not shown: %s\n", out.constData());
            return 1;
        }
        if (i > 0) times.push_back(ms); // the first run warms the file cache
    }
    std::sort(times.begin(), times.end());
    std::printf("start-up to channel sheet painted: median %.1f ms (min %.1f, max %.1f, %zu runs, "
                "platform %s)\n",
                times[times.size() / 2], times.front(), times.back(), times.size(),
                qPrintable(env.value(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"))));
    return 0;
}

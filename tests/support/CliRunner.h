#pragma once
// Runs the command-line tool as a real process, for tests: its exit status and what it
// printed, and the link options that point it at a simulated radio.

#include "cloneSimProcess.h"

#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

struct CliRun {
    int exitCode = -1; // -1: it did not finish within two minutes
    QString out;
    QString err;
};

// Where the tool keeps its backups during tests: a folder of the test run, not the user's
// data location.
inline QString cliDataHome() {
    static QTemporaryDir dir;
    return dir.path();
}

// What a program printed as text, with the line ends written as line feeds: on Windows the C
// library writes each line feed of a text stream as CR LF.
inline QByteArray cliText(QByteArray printed) {
#ifdef Q_OS_WIN
    printed.replace("\r\n", "\n");
#endif
    return printed;
}

inline CliRun cli(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), cliDataHome());
#ifdef Q_OS_WIN
    // There the tool keeps its backups in the roaming application data it is given.
    env.insert(QStringLiteral("APPDATA"), QDir::toNativeSeparators(cliDataHome()));
#endif
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QX_RUNTIME_DIR "/qxt5200-cli" QX_EXE_SUFFIX), args);
    CliRun r;
    if (!p.waitForFinished(120000)) return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromLocal8Bit(cliText(p.readAllStandardOutput()));
    r.err = QString::fromLocal8Bit(cliText(p.readAllStandardError()));
    return r;
}

inline QStringList linkArgs(const cloneSimProcess& sim) {
    if (sim.link() == cloneSimProcess::Tcp) return {"--tcp", sim.address()};
    return {"--port", sim.address()};
}

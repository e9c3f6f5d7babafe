#include "cloneSer2net.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QHostAddress>
#include <QStandardPaths>
#include <QTcpServer>
#include <QThread>

namespace {

// A port that nothing listens on now (the bridge takes it a moment later).
uint16_t freeLoopbackPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
    return probe.serverPort();
}

// Whether something listens on 127.0.0.1:port, from the kernel's socket table. Asking by
// connecting would open the bridged device and keep the bridge's one connection busy.
bool listening(uint16_t port) {
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly)) return false;
    const QByteArray local =
        QByteArray("0100007F:") + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() > 3 && f[1] == local && f[3] == "0A") return true; // 0A: LISTEN
    }
    return false;
}

} // namespace

cloneSer2net::~cloneSer2net() {
    stop();
}

QString cloneSer2net::executable() {
    const QString inPath = QStandardPaths::findExecutable(QStringLiteral("ser2net"));
    if (!inPath.isEmpty()) return inPath;
    // The program lives in sbin, which a user's PATH may leave out.
    return QStandardPaths::findExecutable(
        QStringLiteral("ser2net"),
        {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin"), QStringLiteral("/sbin")});
}

bool cloneSer2net::start(const QString& device, const QString& line, QString* error) {
    stop();
    const QString program = executable();
    if (program.isEmpty() || !m_dir.isValid()) {
        if (error) *error = QStringLiteral("ser2net or a temporary folder is missing");
        return false;
    }
    m_port = freeLoopbackPort();
    const QString config = m_dir.filePath(QStringLiteral("ser2net.yaml"));
    QFile f(config);
    if (m_port == 0 || !f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error) *error = QStringLiteral("no free port or no configuration file");
        return false;
    }
    // "local": the pseudo-terminal has no modem lines to watch.
    f.write(QStringLiteral("connection: &radio\n"
                           "  accepter: tcp,127.0.0.1,%1\n"
                           "  connector: serialdev,%2,%3,local\n"
                           "  options:\n"
                           "    kickolduser: true\n")
                .arg(m_port)
                .arg(device, line)
                .toLocal8Bit());
    f.close();
    // Foreground, no lock files, the pid file in the temporary folder.
    m_process.setProgram(program);
    m_process.setArguments({QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-c"),
                            config, QStringLiteral("-P"),
                            m_dir.filePath(QStringLiteral("ser2net.pid"))});
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start();
    if (!m_process.waitForStarted(5000)) {
        if (error) *error = QStringLiteral("ser2net did not start: ") + m_process.errorString();
        return false;
    }
    QDeadlineTimer deadline(10000);
    while (!listening(m_port)) {
        if (m_process.state() == QProcess::NotRunning || deadline.hasExpired()) {
            if (error)
                *error = QStringLiteral("ser2net does not listen on port %1: %2")
                             .arg(m_port)
                             .arg(QString::fromLocal8Bit(m_process.readAll()));
            stop();
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

void cloneSer2net::stop() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
}

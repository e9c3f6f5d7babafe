#include "cmcSingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include <functional>

namespace {
constexpr int ConnectTimeoutMs = 2000;
constexpr int WriteTimeoutMs = 2000;
// Long enough for a first instance that is busy starting (the decision of another waits).
constexpr int LockTimeoutMs = 10000;
const QByteArray FlashRequest = "flash\n";
// "open " and the file's path as Base64 of its UTF-8 text: any character, one line.
const QByteArray OpenRequest = "open ";
constexpr qint64 MaxRequestLine = 16384;
} // namespace

cmcSingleInstance::cmcSingleInstance(const QString& name, QObject* parent)
    : QObject(parent),
      m_serverName(name + QLatin1Char('-') + userName() + QLatin1Char('-') + sessionName()) {}

cmcSingleInstance::~cmcSingleInstance() {
    release();
}

QString cmcSingleInstance::userName() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("USERNAME");
    // The name becomes part of a socket or pipe name: no separators in it.
    user.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    if (user.isEmpty()) user = QStringLiteral("user");
    return user;
}

// The desktop session the process shows its windows in: the display it talks to (X11 or
// Wayland), else the login session, else the Windows terminal-services session. Two
// displays of one user, like two users, each get their own instance.
QString cmcSingleInstance::sessionName() {
    QString session;
    for (const char* name : {"WAYLAND_DISPLAY", "DISPLAY", "XDG_SESSION_ID", "SESSIONNAME"}) {
        session = qEnvironmentVariable(name);
        if (!session.isEmpty()) break;
    }
    if (session.isEmpty()) session = QStringLiteral("console");
    // Part of a socket or pipe name: keep letters, digits, dots and dashes only.
    for (QChar& c : session)
        if (!c.isLetterOrNumber() && c != QLatin1Char('.') && c != QLatin1Char('-'))
            c = QLatin1Char('_');
    return session.left(40);
}

bool cmcSingleInstance::spinUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() >= timeoutMs) return false;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    }
    return true;
}

QString cmcSingleInstance::lockPath() const {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder)) folder = QDir::tempPath();
    return folder + QLatin1Char('/') + m_serverName + QStringLiteral(".lock");
}

bool cmcSingleInstance::acquire() {
    if (m_decided) return isFirst();
    m_decided = true;
    // Without the lock two processes could both find nobody answering, and the later one
    // would remove the earlier one's server before listening itself.
    QLockFile lock(lockPath());
    lock.setStaleLockTime(LockTimeoutMs);
    const bool locked = lock.tryLock(LockTimeoutMs);
    const bool first = connectOrListen();
    if (locked) lock.unlock();
    return first;
}

bool cmcSingleInstance::connectOrListen() {
    // Somebody answering under this name means another instance is running.
    auto* socket = new QLocalSocket(this);
    socket->connectToServer(m_serverName);
    spinUntil([socket] { return socket->state() != QLocalSocket::ConnectingState; },
              ConnectTimeoutMs);
    if (socket->state() == QLocalSocket::ConnectedState) {
        m_peer = socket;
        return false;
    }
    socket->abort();
    delete socket;

    // Nobody answers: whatever is left under the name belongs to a process that ended.
    QLocalServer::removeServer(m_serverName);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_serverName)) {
        delete server;
        return false;
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &cmcSingleInstance::onNewConnection);
    return true;
}

bool cmcSingleInstance::isAnswering(const QString& serverName) {
    QLocalSocket socket;
    socket.connectToServer(serverName);
    spinUntil([&socket] { return socket.state() != QLocalSocket::ConnectingState; },
              ConnectTimeoutMs);
    const bool answering = socket.state() == QLocalSocket::ConnectedState;
    socket.abort();
    return answering;
}

void cmcSingleInstance::onNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequests(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        readRequests(socket);
    }
}

void cmcSingleInstance::readRequests(QLocalSocket* socket) {
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine(MaxRequestLine);
        if (line == FlashRequest) {
            emit flashRequested();
        } else if (line.startsWith(OpenRequest) && line.endsWith('\n')) {
            const QByteArray coded = line.mid(OpenRequest.size()).chopped(1);
            const auto decoded =
                QByteArray::fromBase64Encoding(coded, QByteArray::AbortOnBase64DecodingErrors);
            const QString path = decoded ? QString::fromUtf8(*decoded) : QString();
            if (!path.isEmpty() && QDir::isAbsolutePath(path)) emit openRequested(path);
        }
    }
    // A peer that sends something else without a line end is not worth keeping.
    if (socket->bytesAvailable() > MaxRequestLine) socket->abort();
}

bool cmcSingleInstance::requestFlash() {
    return send(FlashRequest);
}

bool cmcSingleInstance::requestOpen(const QString& path) {
    return send(OpenRequest + path.toUtf8().toBase64() + '\n');
}

bool cmcSingleInstance::send(const QByteArray& lines) {
    if (!m_peer || m_peer->state() != QLocalSocket::ConnectedState) return false;
    if (m_peer->write(lines) != lines.size()) return false;
    m_peer->flush();
    const bool sent = spinUntil([this] { return m_peer->bytesToWrite() == 0; }, WriteTimeoutMs);
    m_peer->disconnectFromServer();
    return sent;
}

void cmcSingleInstance::release() {
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    if (m_peer) {
        m_peer->abort();
        delete m_peer;
        m_peer = nullptr;
    }
}

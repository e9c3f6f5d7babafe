#include "cmcTcpClient.h"

#include "cmcTask.h"

#include <QHostAddress>
#include <QStringList>
#include <QTcpSocket>
#include <algorithm>

cmcTcpClient::cmcTcpClient() {
    m_sendTask = new cmcTask;
    m_sendTask->setCallback(&cmcTcpClient::drainCallback, this);
}

cmcTcpClient::~cmcTcpClient() {
    Disconnect();
    cmcTask::release(m_sendTask);
}

bool cmcTcpClient::ParseAddress(const QString& text, uint32_t* address) {
    const QStringList groups = text.split(QLatin1Char('.'));
    if (groups.size() != 4) return false;
    uint32_t a = 0;
    for (const QString& g : groups) {
        if (g.isEmpty() || g.size() > 3) return false;
        for (QChar c : g)
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
        const uint32_t v = g.toUInt();
        if (v > 255) return false;
        a = a << 8 | v;
    }
    if (address) *address = a;
    return true;
}

bool cmcTcpClient::Connect(uint16_t port, const QString& address) {
    Disconnect();
    m_port = port;
    uint32_t a = 0;
    if (!ParseAddress(address, &a) || a == 0xFFFFFFFFu) return false;
    m_address = a;
    m_wasConnected = false;
    m_socket = std::make_unique<QTcpSocket>();
    QObject::connect(m_socket.get(), &QTcpSocket::readyRead, m_socket.get(), [this] {
        if (m_arrival) m_arrival(m_arrivalContext);
    });
    QObject::connect(m_socket.get(), &QTcpSocket::connected, m_socket.get(),
                     [this] { m_wasConnected = true; });
    m_socket->connectToHost(QHostAddress(a), port);
    if (m_socket->state() == QAbstractSocket::UnconnectedState) {
        Disconnect();
        return false;
    }
    return IsValid();
}

void cmcTcpClient::Disconnect() {
    m_address = 0xFFFFFFFFu;
    m_sendTask->setInterval(-1);
    m_send.Clear();
    if (m_socket) {
        // Bytes already handed over still leave; the socket goes when the loop next runs.
        QTcpSocket* s = m_socket.release();
        QObject::disconnect(s, &QTcpSocket::readyRead, nullptr, nullptr);
        s->disconnectFromHost();
        if (s->state() == QAbstractSocket::UnconnectedState) {
            s->deleteLater();
        } else {
            QObject::connect(s, &QAbstractSocket::disconnected, s, &QObject::deleteLater);
            QObject::connect(s, &QAbstractSocket::errorOccurred, s, &QObject::deleteLater);
        }
    }
}

bool cmcTcpClient::IsValid() const {
    return m_address != 0xFFFFFFFFu && m_socket;
}

bool cmcTcpClient::IsConnecting() const {
    return !m_socket || m_socket->state() != QAbstractSocket::ConnectedState;
}

bool cmcTcpClient::HasFailed() const {
    return m_socket && m_socket->state() == QAbstractSocket::UnconnectedState;
}

bool cmcTcpClient::IsLost() const {
    return HasFailed() && m_wasConnected && !(m_socket->isOpen() && m_socket->bytesAvailable() > 0);
}

int cmcTcpClient::Pending() const {
    return m_send.GetLength() + (m_socket ? int(m_socket->bytesToWrite()) : 0);
}

int cmcTcpClient::Write(const uint8_t* bytes, int count) {
    if (!IsValid() || count <= 0) return 0;
    if (count >= BufferCapacity - m_send.GetLength()) return 0;
    m_sendTask->setInterval(-1);
    m_send.AppendBytes(bytes, count);
    m_sendTask->setInterval(0);
    drainStep();
    return count;
}

int cmcTcpClient::Read(uint8_t* buffer, int capacity) {
    if (!IsValid() || capacity <= 0) return 0;
    // A socket the peer has closed is no longer open for reading; what it sent before is
    // read while it lasts.
    if (!m_socket->isOpen() || m_socket->bytesAvailable() <= 0) return 0;
    const qint64 n = m_socket->read(reinterpret_cast<char*>(buffer), capacity);
    return n > 0 ? int(n) : 0;
}

void cmcTcpClient::drainCallback(void* context, cmcTask*) {
    static_cast<cmcTcpClient*>(context)->drainStep();
}

void cmcTcpClient::drainStep() {
    if (!IsValid()) {
        m_sendTask->setInterval(-1);
        return;
    }
    const int chunk = std::min(ChunkSize, m_send.GetLength());
    if (chunk == 0) {
        m_sendTask->setInterval(-1);
        return;
    }
    // Nothing goes out before the connection stands, and nothing after it has ended.
    if (m_socket->state() != QAbstractSocket::ConnectedState) {
        m_sendTask->setInterval(HasFailed() ? -1 : 10);
        return;
    }
    // Handed to the network at once, as a send() would.
    const qint64 sent = m_socket->write(reinterpret_cast<const char*>(m_send.GetData()), chunk);
    if (sent < chunk) {
        m_sendTask->setInterval(-1);
        return;
    }
    m_socket->flush();
    if (chunk < m_send.GetLength()) {
        for (int i = 0; i < chunk; ++i)
            m_send.PopFront();
        m_sendTask->setInterval(10);
    } else {
        m_send.SetLength(0);
        m_sendTask->setInterval(-1);
    }
}

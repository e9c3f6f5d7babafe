#include "cmcComm.h"

#include "cmcTask.h"

#include <QSerialPortInfo>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace {

QStringList& portTableRef() {
    static QStringList table;
    static bool built = false;
    if (!built) {
        built = true;
        cmcComm::RefreshPortTable();
    }
    return table;
}

// Orders device names so that ttyS2 comes before ttyS10.
bool naturalLess(const QString& a, const QString& b) {
    auto split = [](const QString& s) {
        int i = int(s.size());
        while (i > 0 && s[i - 1].isDigit())
            --i;
        return std::make_pair(s.left(i), i < s.size() ? s.mid(i).toLongLong() : -1LL);
    };
    return split(a) < split(b);
}

} // namespace

cmcComm::cmcComm() {
    m_writeTask = new cmcTask;
    m_writeTask->setCallback(&cmcComm::drainCallback, this);
    QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                     [this](QSerialPort::SerialPortError e) {
                         // A device that refuses a write, fails a read or vanishes (a
                         // pulled adapter, a hung-up pseudo-terminal) has failed: the
                         // transfer ends as on a short write rather than by time-out.
                         if (e == QSerialPort::WriteError || e == QSerialPort::ReadError ||
                             e == QSerialPort::ResourceError)
                             if (m_port.isOpen()) m_writeError = 1;
                     });
    QObject::connect(&m_port, &QSerialPort::readyRead, &m_port, [this] {
        if (m_arrival) m_arrival(m_arrivalContext);
    });
}

cmcComm::~cmcComm() {
    Close();
    cmcTask::release(m_writeTask);
}

cmcComm::Settings cmcComm::ParseSettings(const QString& text) {
    Settings s;
    const QStringList f = text.split(QLatin1Char(','));
    if (f.size() > 0) s.baud = f[0].trimmed().toUInt();
    if (f.size() > 1) {
        const QString p = f[1].trimmed().toUpper();
        const QChar c = p.isEmpty() ? QChar() : p[0];
        s.parity = c == QLatin1Char('O')   ? 1
                   : c == QLatin1Char('E') ? 2
                   : c == QLatin1Char('M') ? 3
                                           : 0;
        s.parityCheck = s.parity != 0;
    }
    if (f.size() > 2) {
        const int bits = f[2].trimmed().toInt();
        s.dataBits = uint8_t(bits > 8 ? 8 : bits < 5 ? 4 : bits);
    }
    if (f.size() > 3) {
        const QString sb = f[3].trimmed();
        s.stopBits = sb == QLatin1String("1.5") ? 1 : sb == QLatin1String("2") ? 2 : 0;
    }
    return s;
}

QString cmcComm::DeviceName(int port) {
#ifdef Q_OS_WIN
    return port >= 1 ? QStringLiteral("\\\\.\\COM%1").arg(port) : QString();
#else
    const QStringList& t = portTableRef();
    return port >= 1 && port <= t.size() ? t[port - 1] : QString();
#endif
}

int cmcComm::PortNumberOf(const QString& device) {
    const QString d = device.trimmed();
    if (d.isEmpty()) return 0;
    bool isNumber = false;
    const int n = d.toInt(&isNumber);
    if (isNumber) return n >= 1 && n <= MaxPorts ? n : 0;
#ifdef Q_OS_WIN
    if (d.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) return d.mid(3).toInt();
    return 0;
#else
    QStringList& t = portTableRef();
    const int i = int(t.indexOf(d));
    if (i >= 0) return i + 1;
    if (t.size() >= MaxPorts) return 0;
    t.append(d);
    return int(t.size());
#endif
}

namespace {
QString deviceSuffix(int port) {
#ifdef Q_OS_WIN
    Q_UNUSED(port);
    return QString();
#else
    const QString device = cmcComm::DeviceName(port);
    return device.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(device);
#endif
}
} // namespace

QString cmcComm::DisplayName(int port) {
    return QStringLiteral("COM%1").arg(port) + deviceSuffix(port);
}

QString cmcComm::FormatPortText(const QString& format, int port) {
    QString text = format;
    const qsizetype at = text.indexOf(QLatin1String("%d"));
    if (at >= 0) text.replace(at, 2, QString::number(port) + deviceSuffix(port));
    return text;
}

void cmcComm::RefreshPortTable() {
    QStringList fresh;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        fresh.append(info.systemLocation());
    std::sort(fresh.begin(), fresh.end(), naturalLess);
    QStringList& t = portTableRef();
    for (const QString& d : fresh)
        if (!t.contains(d) && t.size() < MaxPorts) t.append(d);
}

QStringList cmcComm::PortTable() {
    return portTableRef();
}

bool cmcComm::Open(int port, const QString& settings) {
    if (IsOpen()) return false;
    m_portNumber = port;
    m_writeError = 0;
    m_settings = ParseSettings(settings);
    const QString device = DeviceName(port);
    if (device.isEmpty() || m_settings.baud == 0) return false;
    m_port.setPortName(device);
    if (!m_port.open(QIODevice::ReadWrite)) return false;
    m_port.setReadBufferSize(InputQueueSize);
    m_port.clear(QSerialPort::AllDirections);
    if (!configure()) {
        Close();
        return false;
    }
    m_writeError = 0; // refusals while configuring are not write errors
    return true;
}

bool cmcComm::configure() {
    const Settings& s = m_settings;
    bool ok = m_port.setBaudRate(qint32(s.baud));
    ok = ok && m_port.setDataBits(QSerialPort::DataBits(std::max<int>(s.dataBits, 5)));
    static const QSerialPort::Parity parities[] = {QSerialPort::NoParity, QSerialPort::OddParity,
                                                   QSerialPort::EvenParity,
                                                   QSerialPort::MarkParity};
    ok = ok && m_port.setParity(parities[s.parity & 3]);
    static const QSerialPort::StopBits stops[] = {QSerialPort::OneStop, QSerialPort::OneAndHalfStop,
                                                  QSerialPort::TwoStop};
    // One and a half stop bits exist only on Windows; elsewhere two are the nearest.
    ok = ok && (m_port.setStopBits(stops[s.stopBits % 3]) ||
                (s.stopBits == 1 && m_port.setStopBits(QSerialPort::TwoStop)));
    ok = ok && m_port.setFlowControl(QSerialPort::NoFlowControl);
    // RTS held on, DTR off. Pseudo-terminals refuse modem lines: that is not an error.
    m_port.setRequestToSend(true);
    m_port.setDataTerminalReady(false);
    m_port.clearError();
    return ok;
}

void cmcComm::Close() {
    m_writeTask->setInterval(-1);
    if (m_port.isOpen()) m_port.close();
    m_tx.Clear();
    m_writeError = 0;
}

bool cmcComm::IsOpen() const {
    return m_port.isOpen();
}

int cmcComm::Write(const uint8_t* bytes, int count) {
    if (!IsOpen()) return 0;
    m_writeTask->setInterval(-1);
    m_tx.AppendBytes(bytes, count);
    m_writeTask->setInterval(0);
    drainStep();
    return 0;
}

int cmcComm::Read(uint8_t* buffer, int capacity) {
    if (!IsOpen() || capacity <= 0) return 0;
    const qint64 n = std::min<qint64>(capacity, m_port.bytesAvailable());
    if (n <= 0) return 0;
    const qint64 got = m_port.read(reinterpret_cast<char*>(buffer), n);
    return got > 0 ? int(got) : 0;
}

int cmcComm::InQueueCount() const {
    return IsOpen() ? int(m_port.bytesAvailable()) : 0;
}

int cmcComm::OutQueueCount() const {
    if (!IsOpen()) return 0;
    qint64 n = m_port.bytesToWrite();
#ifdef Q_OS_UNIX
    // Bytes the driver still holds below the port's own buffer.
    int queued = 0;
    if (::ioctl(m_port.handle(), TIOCOUTQ, &queued) == 0 && queued > 0) n += queued;
#endif
    return int(n);
}

void cmcComm::drainCallback(void* context, cmcTask*) {
    static_cast<cmcComm*>(context)->drainStep();
}

void cmcComm::drainStep() {
    if (!IsOpen()) {
        m_writeTask->setInterval(-1);
        return;
    }
    const int pending = m_tx.GetLength();
    const int chunk = std::min<int>(int(OutputQueueSize), pending);
    if (OutQueueCount() > 0) {
        m_writeTask->setInterval(10);
        return;
    }
    if (chunk == 0) {
        m_writeTask->setInterval(-1);
        return;
    }
    const qint64 took = m_port.write(reinterpret_cast<const char*>(m_tx.GetData()), chunk);
    if (took < chunk) {
        m_writeError = 1;
        m_writeTask->setInterval(-1);
        return;
    }
    if (chunk < pending) {
        for (int i = 0; i < chunk; ++i)
            m_tx.PopFront();
        m_writeTask->setInterval(10);
    } else {
        m_tx.SetLength(0);
        m_writeTask->setInterval(-1);
    }
}

bool cmcComm::EnumeratePorts(int* ports, int* count) {
    Close();
    RefreshPortTable();
    int found = 0;
    const int total = std::min<int>(MaxPorts, int(portTableRef().size()));
    for (int n = 1; n <= total; ++n) {
        QSerialPort probe(DeviceName(n));
        if (probe.open(QIODevice::ReadWrite)) {
            probe.close();
            if (ports) ports[found] = n;
            ++found;
        }
    }
    if (count) *count = found;
    return found > 0;
}

#include "cmcComm.h"

#include "cmcPortLookup.h"
#include "cmcTask.h"

#include <algorithm>

namespace {

QStringList& portTableRef();

// Orders device names so that ttyS2 comes before ttyS10.
bool naturalLess(const QString& a, const QString& b);

// Adds the devices of fresh not yet numbered at the end, in natural order.
void addDevices(QStringList fresh) {
    std::sort(fresh.begin(), fresh.end(), naturalLess);
    QStringList& t = portTableRef();
    for (const QString& d : fresh)
        if (!t.contains(d) && t.size() < cmcComm::MaxPorts) t.append(d);
}

QStringList& portTableRef() {
    static QStringList table;
    static bool built = false;
    if (!built) {
        built = true;
        // The devices a look-up begun ahead found, or those present now.
        if (std::optional<QStringList> found = cmcPortLookup::take())
            addDevices(*found);
        else
            cmcComm::RefreshPortTable();
    }
    return table;
}

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
    // "COM12", or the device name "\\.\COM12" as DeviceName gives it.
    QString name = d;
    if (name.startsWith(QLatin1String("\\\\.\\"))) name = name.mid(4);
    if (!name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) return 0;
    const int com = name.mid(3).toInt();
    return com >= 1 && com <= MaxPorts ? com : 0;
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
    addDevices(cmcCommDevice::presentDevices());
}

void cmcComm::PrefetchPortTable() {
    cmcPortLookup::begin();
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
    return m_device.open(device, m_settings);
}

void cmcComm::Close() {
    m_writeTask->setInterval(-1);
    m_device.close();
    m_tx.Clear();
    m_writeError = 0;
}

bool cmcComm::IsOpen() const {
    return m_device.isOpen();
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
    return m_device.read(buffer, capacity);
}

int cmcComm::InQueueCount() const {
    return m_device.inQueue();
}

int cmcComm::OutQueueCount() const {
    return m_device.outQueue();
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
    const int took = m_device.write(m_tx.GetData(), chunk);
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
#ifdef Q_OS_WIN
    const int total = MaxPorts; // COM1 to COM256
#else
    const int total = std::min<int>(MaxPorts, int(portTableRef().size()));
#endif
    for (int n = 1; n <= total; ++n) {
        if (cmcCommDevice::probe(DeviceName(n)) == cmcCommDevice::Refusal::None) {
            if (ports) ports[found] = n;
            ++found;
        }
    }
    if (count) *count = found;
    return found > 0;
}

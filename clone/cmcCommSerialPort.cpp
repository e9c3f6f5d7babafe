// The serial device on Linux: QSerialPort, whose notifier tells when bytes arrive. The
// driver's own transmit queue is read with TIOCOUTQ, below QSerialPort's buffer.

#include "cmcCommDevice.h"

#include <QSerialPort>
#include <QSerialPortInfo>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#endif

struct cmcCommDevice::Impl {
    QSerialPort port;
    bool failed = false;
    ArrivalHook arrival = nullptr;
    void* arrivalContext = nullptr;

    bool configure(const cmcCommSettings& s) {
        bool ok = port.setBaudRate(qint32(s.baud));
        ok = ok && port.setDataBits(QSerialPort::DataBits(std::max<int>(s.dataBits, 5)));
        static const QSerialPort::Parity parities[] = {
            QSerialPort::NoParity, QSerialPort::OddParity, QSerialPort::EvenParity,
            QSerialPort::MarkParity};
        ok = ok && port.setParity(parities[s.parity & 3]);
        static const QSerialPort::StopBits stops[] = {
            QSerialPort::OneStop, QSerialPort::OneAndHalfStop, QSerialPort::TwoStop};
        // One and a half stop bits exist only on Windows; elsewhere two are the nearest.
        ok = ok && (port.setStopBits(stops[s.stopBits % 3]) ||
                    (s.stopBits == 1 && port.setStopBits(QSerialPort::TwoStop)));
        ok = ok && port.setFlowControl(QSerialPort::NoFlowControl);
        // RTS held on, DTR off. Pseudo-terminals refuse modem lines: that is not an error.
        port.setRequestToSend(true);
        port.setDataTerminalReady(false);
        port.clearError();
        return ok;
    }
};

cmcCommDevice::cmcCommDevice() : d(std::make_unique<Impl>()) {
    QObject::connect(&d->port, &QSerialPort::errorOccurred, &d->port,
                     [this](QSerialPort::SerialPortError e) {
                         // A device that refuses a write, fails a read or vanishes (a
                         // pulled adapter, a hung-up pseudo-terminal) has failed: the
                         // transfer ends as on a short write rather than by time-out.
                         if (e == QSerialPort::WriteError || e == QSerialPort::ReadError ||
                             e == QSerialPort::ResourceError)
                             if (d->port.isOpen()) d->failed = true;
                     });
    QObject::connect(&d->port, &QSerialPort::readyRead, &d->port, [this] {
        if (d->arrival) d->arrival(d->arrivalContext);
    });
}

cmcCommDevice::~cmcCommDevice() = default;

bool cmcCommDevice::open(const QString& device, const cmcCommSettings& settings) {
    d->port.setPortName(device);
    if (!d->port.open(QIODevice::ReadWrite)) return false;
    d->port.setReadBufferSize(InputQueueSize);
    d->port.clear(QSerialPort::AllDirections);
    if (!d->configure(settings)) {
        close();
        return false;
    }
    d->failed = false; // refusals while configuring are not failures
    return true;
}

void cmcCommDevice::close() {
    if (d->port.isOpen()) d->port.close();
    d->failed = false;
}

bool cmcCommDevice::isOpen() const {
    return d->port.isOpen();
}

int cmcCommDevice::read(uint8_t* buffer, int capacity) {
    const qint64 n = std::min<qint64>(capacity, d->port.bytesAvailable());
    if (n <= 0) return 0;
    const qint64 got = d->port.read(reinterpret_cast<char*>(buffer), n);
    return got > 0 ? int(got) : 0;
}

int cmcCommDevice::write(const uint8_t* bytes, int count) {
    const qint64 took = d->port.write(reinterpret_cast<const char*>(bytes), count);
    return took > 0 ? int(took) : 0;
}

int cmcCommDevice::inQueue() const {
    return isOpen() ? int(d->port.bytesAvailable()) : 0;
}

int cmcCommDevice::outQueue() const {
    if (!isOpen()) return 0;
    qint64 n = d->port.bytesToWrite();
#ifdef Q_OS_UNIX
    // Bytes the driver still holds below the port's own buffer.
    int queued = 0;
    if (::ioctl(d->port.handle(), TIOCOUTQ, &queued) == 0 && queued > 0) n += queued;
#endif
    return int(n);
}

bool cmcCommDevice::failed() const {
    return d->failed;
}

void cmcCommDevice::setArrivalHook(ArrivalHook hook, void* context) {
    d->arrival = hook;
    d->arrivalContext = context;
}

cmcCommDevice::Refusal cmcCommDevice::probe(const QString& device, QString* detail) {
    QSerialPort probe(device);
    if (probe.open(QIODevice::ReadWrite)) {
        probe.close();
        return Refusal::None;
    }
    if (detail) *detail = probe.errorString();
    switch (probe.error()) {
    case QSerialPort::DeviceNotFoundError:
        return Refusal::Missing;
    case QSerialPort::PermissionError:
        return Refusal::Busy;
    default:
        return Refusal::Other;
    }
}

QStringList cmcCommDevice::presentDevices() {
    QStringList devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.append(info.systemLocation());
    return devices;
}

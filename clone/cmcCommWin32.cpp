// The serial device on Windows: the Win32 communications API. The device is opened without
// overlapped I/O; reads never wait because the read time-outs return at once with whatever
// the receive queue holds, and a write waits at most its write time-out (3 s plus the time
// of its bytes at the line rate), which the caller bounds by writing only into an empty
// transmit queue, one chunk at a time.

#include "cmcCommDevice.h"

#include <algorithm>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

struct cmcCommDevice::Impl {
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool failed = false;

    static HANDLE openHandle(const QString& device) {
        return ::CreateFileW(reinterpret_cast<LPCWSTR>(device.utf16()),
                             GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    bool configure(const cmcCommSettings& s) {
        COMMTIMEOUTS timeouts{};
        timeouts.ReadIntervalTimeout = MAXDWORD;
        timeouts.ReadTotalTimeoutMultiplier = 0;
        timeouts.ReadTotalTimeoutConstant = 0;
        timeouts.WriteTotalTimeoutMultiplier = s.baud ? 100000u / s.baud : 0u;
        timeouts.WriteTotalTimeoutConstant = 3000;
        if (!::SetCommTimeouts(handle, &timeouts)) return false;

        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!::GetCommState(handle, &dcb)) return false;
        dcb.BaudRate = s.baud;
        dcb.fBinary = TRUE;
        dcb.fParity = s.parityCheck ? TRUE : FALSE;
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fDtrControl = DTR_CONTROL_DISABLE;
        dcb.fDsrSensitivity = FALSE;
        dcb.fTXContinueOnXoff = TRUE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        dcb.fErrorChar = FALSE;
        dcb.fNull = FALSE;
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
        dcb.fAbortOnError = FALSE;
        dcb.XonLim = WORD(InputQueueSize / 2);
        dcb.XoffLim = WORD(InputQueueSize * 3 / 4);
        dcb.ByteSize = s.dataBits;
        dcb.Parity = s.parity;     // NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY
        dcb.StopBits = s.stopBits; // ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS
        dcb.XonChar = 0x11;
        dcb.XoffChar = 0x13;
        dcb.ErrorChar = 0x3F;
        dcb.EofChar = char(0xFD); // the frame end and start of the clone protocol, kept only
        dcb.EvtChar = char(0xFE); // in the device settings
        if (::SetCommState(handle, &dcb)) return true;
        // Setting the modem lines is the last step of SetCommState, and a device without
        // them (a pseudo-terminal behind Wine, some adapters) refuses it: that is no error
        // as long as the line itself took the settings.
        DCB now{};
        now.DCBlength = sizeof now;
        return ::GetCommState(handle, &now) && now.BaudRate == dcb.BaudRate &&
               now.ByteSize == dcb.ByteSize && now.Parity == dcb.Parity &&
               now.StopBits == dcb.StopBits;
    }

    bool queues(COMSTAT* stat) const {
        DWORD errors = 0;
        return handle != INVALID_HANDLE_VALUE && ::ClearCommError(handle, &errors, stat);
    }
};

cmcCommDevice::cmcCommDevice() : d(std::make_unique<Impl>()) {}

cmcCommDevice::~cmcCommDevice() {
    close();
}

bool cmcCommDevice::open(const QString& device, const cmcCommSettings& settings) {
    d->handle = Impl::openHandle(device);
    if (d->handle == INVALID_HANDLE_VALUE) return false;
    d->failed = false;
    const bool ready =
        ::SetupComm(d->handle, InputQueueSize, OutputQueueSize) &&
        ::PurgeComm(d->handle, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR) &&
        d->configure(settings);
    if (!ready) close();
    return ready;
}

void cmcCommDevice::close() {
    if (d->handle != INVALID_HANDLE_VALUE) ::CloseHandle(d->handle);
    d->handle = INVALID_HANDLE_VALUE;
    d->failed = false;
}

bool cmcCommDevice::isOpen() const {
    return d->handle != INVALID_HANDLE_VALUE;
}

int cmcCommDevice::read(uint8_t* buffer, int capacity) {
    COMSTAT stat{};
    if (!d->queues(&stat)) return 0;
    const DWORD n = std::min<DWORD>(DWORD(capacity), stat.cbInQue);
    if (n == 0) return 0;
    DWORD got = 0;
    if (!::ReadFile(d->handle, buffer, n, &got, nullptr)) {
        d->failed = true;
        return 0;
    }
    return int(got);
}

int cmcCommDevice::write(const uint8_t* bytes, int count) {
    DWORD took = 0;
    if (!isOpen() || !::WriteFile(d->handle, bytes, DWORD(count), &took, nullptr)) return 0;
    return int(took);
}

int cmcCommDevice::inQueue() const {
    COMSTAT stat{};
    return d->queues(&stat) ? int(stat.cbInQue) : 0;
}

int cmcCommDevice::outQueue() const {
    COMSTAT stat{};
    return d->queues(&stat) ? int(stat.cbOutQue) : 0;
}

bool cmcCommDevice::failed() const {
    return d->failed;
}

void cmcCommDevice::setArrivalHook(ArrivalHook, void*) {
    // Nothing tells of arrivals without overlapped I/O; the reader polls on its ticks.
}

cmcCommDevice::Refusal cmcCommDevice::probe(const QString& device, QString* detail) {
    const HANDLE h = Impl::openHandle(device);
    if (h != INVALID_HANDLE_VALUE) {
        ::CloseHandle(h);
        return Refusal::None;
    }
    const DWORD error = ::GetLastError();
    if (detail) {
        wchar_t* text = nullptr;
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                             FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
        *detail =
            text ? QString::fromWCharArray(text).trimmed() : QStringLiteral("error %1").arg(error);
        if (text) ::LocalFree(text);
    }
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return Refusal::Missing;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return Refusal::Busy;
    default:
        return Refusal::Other;
    }
}

QStringList cmcCommDevice::presentDevices() {
    // On Windows port n is COMn: there is no table to fill.
    return {};
}

#pragma once
// The serial port of the clone link. It opens a port by number (or by device path) with a
// settings text such as "38400,N,8,1", reads whatever has arrived without ever blocking,
// and sends through a transmit buffer that a timer task drains in chunks of at most 1,024
// bytes, handing a chunk to the device only when the device's own queue is empty.
//
// Port numbers: on Windows number n is COMn. Elsewhere a stable table of the serial
// devices present numbers them from 1 in the order first seen; a device path given by the
// user (a USB adapter, a pseudo-terminal) is added to the table and gets a number too.
// The device beneath is the platform's own back end (cmcCommDevice); everything here,
// the settings text, the port numbers and the draining, is the same on every platform.

#include "cmcBuff.h"
#include "cmcCommDevice.h"

#include <QString>
#include <QStringList>
#include <cstdint>

class cmcTask;

class cmcComm {
  public:
    // Line settings parsed from a settings text.
    using Settings = cmcCommSettings;

    static constexpr uint32_t InputQueueSize = cmcCommDevice::InputQueueSize;
    static constexpr uint32_t OutputQueueSize = cmcCommDevice::OutputQueueSize;
    static constexpr int MaxPorts = 256;

    cmcComm();
    ~cmcComm();
    cmcComm(const cmcComm&) = delete;
    cmcComm& operator=(const cmcComm&) = delete;

    // Opens the port with the settings; false when already open or when any step fails.
    bool Open(int port, const QString& settings);
    void Close();
    bool IsOpen() const;

    // Queues bytes for the drain task; nothing happens when closed. Always 0: callers
    // watch PendingOutput.
    int Write(const uint8_t* bytes, int count);
    // Reads up to capacity of the bytes already received; never waits.
    int Read(uint8_t* buffer, int capacity);
    int InQueueCount() const;
    int OutQueueCount() const;
    // Everything accepted and not yet on the wire.
    int PendingOutput() const { return OutQueueCount() + m_tx.GetLength(); }
    bool HasWriteError() const { return m_writeError != 0 || m_device.failed(); }

    // Fills ports (MaxPorts entries) with the numbers of the ports that can be opened, in
    // ascending order; true when at least one could. Leaves this port closed.
    bool EnumeratePorts(int* ports, int* count);

    // Called (function and context) whenever bytes have arrived, so that a waiting reader
    // can look at once instead of at its next tick.
    using ArrivalHook = void (*)(void* context);
    void SetArrivalHook(ArrivalHook hook, void* context) { m_device.setArrivalHook(hook, context); }

    int PortNumber() const { return m_portNumber; }
    const Settings& LineSettings() const { return m_settings; }

    static Settings ParseSettings(const QString& text);
    // Write time-out per byte in ms (100,000 / baud, integer division), as the platform's
    // write time-out would be set.
    static uint32_t WriteTimeoutPerByte(uint32_t baud) { return baud ? 100000u / baud : 0u; }

    // The port table. DeviceName is empty for a number the table does not hold.
    static QString DeviceName(int port);
    // The number of a device path, adding it to the table when it is new; 0 when the table
    // is full or the text is empty. A plain number ("3") is taken as that number.
    static int PortNumberOf(const QString& device);
    // A port as the user sees it: "COM2"; off Windows, where the number is only a place in
    // the port table, with its device: "COM2 (/dev/ttyUSB0)".
    static QString DisplayName(int port);
    // A text that names a port by number ("... (COM%d)."): the number fills the integer
    // placeholder and, off Windows, the device follows it in brackets.
    static QString FormatPortText(const QString& format, int port);
    // Adds newly present serial devices at the end; numbers already given never change.
    static void RefreshPortTable();
    static QStringList PortTable();
    // Starts looking for the present serial devices on a thread of its own (cmcPortLookup),
    // so that a later use of the port table finds it done instead of waiting for the
    // system's device list. Without it the first use looks.
    static void PrefetchPortTable();
    // Tries to open a device and closes it at once; why it could not be opened.
    static cmcCommDevice::Refusal Probe(const QString& device, QString* detail = nullptr) {
        return cmcCommDevice::probe(device, detail);
    }

  private:
    static void drainCallback(void* context, cmcTask* task);
    void drainStep();

    cmcCommDevice m_device;
    int m_portNumber = 0;
    int m_writeError = 0;
    cmcBuff m_tx;
    Settings m_settings;
    cmcTask* m_writeTask = nullptr;
};

#pragma once
// The platform's serial device under cmcComm, one small back end per platform chosen at
// build time: QSerialPort on Linux (cmcCommSerialPort.cpp), the Win32 communications API on
// Windows (cmcCommWin32.cpp). It opens a device by name, sets the line, reads what has
// arrived without waiting, writes one chunk, and reports the device's queue counts; the
// transmit buffer and its draining stay in cmcComm, above both.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

// Line settings parsed from a settings text such as "38400,N,8,1".
struct cmcCommSettings {
    uint32_t baud = 9600;
    uint8_t dataBits = 8;
    uint8_t parity = 0;   // 0 none, 1 odd, 2 even, 3 mark
    uint8_t stopBits = 0; // 0 one, 1 one and a half, 2 two
    bool parityCheck = false;
    bool operator==(const cmcCommSettings&) const = default;
};

class cmcCommDevice {
  public:
    // Receive and transmit queue sizes asked of the driver; the transmit size is also the
    // largest chunk handed to one write.
    static constexpr uint32_t InputQueueSize = 32000;
    static constexpr uint32_t OutputQueueSize = 1024;

    // Why a device could not be opened.
    enum class Refusal { None, Missing, Busy, Other };

    cmcCommDevice();
    ~cmcCommDevice();
    cmcCommDevice(const cmcCommDevice&) = delete;
    cmcCommDevice& operator=(const cmcCommDevice&) = delete;

    // Opens the device, asks for the queue sizes, clears both directions and sets the line;
    // on any failure the device is left closed.
    bool open(const QString& device, const cmcCommSettings& settings);
    void close();
    bool isOpen() const;

    // Reads up to capacity of the bytes already received; 0 when none or on failure.
    int read(uint8_t* buffer, int capacity);
    // Hands bytes to the device in one write; the number it took.
    int write(const uint8_t* bytes, int count);
    // Bytes waiting in the device's receive and transmit queues; 0 when closed or unknown.
    int inQueue() const;
    int outQueue() const;
    // The device failed on its own (a refused read, a vanished adapter) since it was opened.
    bool failed() const;

    // Called whenever bytes have arrived, where the platform tells (Linux); elsewhere the
    // reader finds them at its next look.
    using ArrivalHook = void (*)(void* context);
    void setArrivalHook(ArrivalHook hook, void* context);

    // Tries to open the device and closes it at once; the system's reason when it fails.
    static Refusal probe(const QString& device, QString* detail = nullptr);
    // The serial devices the system lists, for the port table off Windows.
    static QStringList presentDevices();

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

#pragma once
// The TCP link of the clone driver: a connection to a network adapter that carries the same
// clone frames as the serial cable. It connects without blocking, reads whatever has
// arrived, and sends through a 32,000-byte buffer that a timer task drains in chunks of at
// most 1,024 bytes, mirroring the serial port.

#include "cmcBuff.h"

#include <QString>
#include <cstdint>
#include <memory>

class QTcpSocket;
class cmcTask;

class cmcTcpClient {
  public:
    static constexpr int BufferCapacity = 32000;
    static constexpr int ChunkSize = 1024;

    cmcTcpClient();
    ~cmcTcpClient();
    cmcTcpClient(const cmcTcpClient&) = delete;
    cmcTcpClient& operator=(const cmcTcpClient&) = delete;

    // Starts connecting to a dotted IPv4 address; true when a socket exists and the address
    // is valid (the connection may still be pending).
    bool Connect(uint16_t port, const QString& address);
    void Disconnect();
    bool IsValid() const;
    bool IsConnecting() const;
    // The connection could not be made (refused, unreachable) or has ended: the socket is
    // back in its unconnected state.
    bool HasFailed() const;
    // The connection stood and the peer has closed it, and nothing it sent is left to read.
    bool IsLost() const;
    // Bytes accepted and not yet handed over to the network.
    int Pending() const;
    void DiscardOutput() { m_send.SetLength(0); }
    // Queues the bytes; 0 (nothing queued) when not valid or when they do not fit.
    int Write(const uint8_t* bytes, int count);
    // Reads up to capacity bytes that have arrived; never waits.
    int Read(uint8_t* buffer, int capacity);

    // Parses a dotted IPv4 text (four decimal groups 0..255); false for anything else.
    static bool ParseAddress(const QString& text, uint32_t* address);
    // Called whenever bytes have arrived (see cmcComm).
    using ArrivalHook = void (*)(void* context);
    void SetArrivalHook(ArrivalHook hook, void* context) {
        m_arrival = hook;
        m_arrivalContext = context;
    }

    uint16_t Port() const { return m_port; }
    uint32_t Address() const { return m_address; }

  private:
    static void drainCallback(void* context, cmcTask* task);
    void drainStep();

    uint16_t m_port = 0;
    uint32_t m_address = 0xFFFFFFFFu; // none
    std::unique_ptr<QTcpSocket> m_socket;
    bool m_wasConnected = false;
    cmcBuff m_send;
    cmcTask* m_sendTask = nullptr;
    ArrivalHook m_arrival = nullptr;
    void* m_arrivalContext = nullptr;
};

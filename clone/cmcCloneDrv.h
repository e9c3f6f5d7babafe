#pragma once
// The clone driver: moves the radio's memory between the radio and a memory image over the
// serial port or a TCP connection, speaking the clone frame protocol. It is a state machine
// stepped by a 10 ms timer task; nothing blocks. A caller starts one operation (identify,
// information, read, write, or a subclass's own) and is called back once with a result
// record that lives only for the duration of the callback.
//
// Frames: FE FE dst src cmd body FD; the radio is 0xEE, the program 0xEF. Data travels as
// upper-case hexadecimal text in E4 blocks (address, length, data, checksum) that never
// cross a 16-byte boundary; E5 closes a transfer with the maker text and the frame count.
// On the serial line (a single-wire bus) every byte sent comes back as an echo, which the
// driver checks when asked to. A TCP link may be a direct network adapter (no echo) or a
// transparent bridge in front of the programming cable (ser2net, a serial device server)
// that passes the cable's echo back: over TCP the program's own frames are recognised by
// their addresses and skipped wherever they appear.

#include "cmcBuff.h"
#include "cmcComm.h"
#include "cmcIcfFile.h"
#include "cmcTcpClient.h"
#include "cmcTick.h"
#include "dst_CDrv_Result.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>

class cmcEeprom;
class cmcTask;

// A link the driver can use instead of its serial port and TCP client: a scripted peer for
// tools that drive the protocol without a device (the fuzzer), or another transport. The
// driver treats it as the serial line or as TCP according to SetTcpLink.
class cmcCloneLink {
  public:
    virtual ~cmcCloneLink() = default;
    virtual bool Open(const QString& settings) = 0;
    virtual void Close() = 0;
    // Still connecting: the driver waits (state 5, TCP only).
    virtual bool IsConnecting() const { return false; }
    // The peer has gone and nothing it sent is left to read: the operation ends.
    virtual bool IsLost() const { return false; }
    virtual int Read(uint8_t* buffer, int capacity) = 0;
    virtual void Write(const uint8_t* bytes, int count) = 0;
    virtual int Pending() const { return 0; }
};

class cmcCloneDrv {
  public:
    using Callback = void (*)(void* context, dst_CDrv_Result* result);

    enum Operation : int32_t { OpIdentify = 1, OpInfo = 2, OpRead = 3, OpWrite = 4 };

    static constexpr uint8_t RadioAddress = 0xEE;
    static constexpr uint8_t ProgramAddress = 0xEF;
    static constexpr const char* MakerText = "Vexo Inc.";
    static constexpr int MakerTextLength = 9;
    static constexpr int ReadChunk = 256;
    static constexpr int MaxPassesPerStep = 8;
    static constexpr int MaxUnechoedInWrite = 128;
    static constexpr int MaxDataFrame = 522;  // a frame being received, without its FD
    static constexpr int MaxOtherFrame = 521; // the same for command frames
    static constexpr int StepIntervalMs = 10;
    static constexpr int DiscardWaitMs = 100; // after a serial open, before input is dropped
    static constexpr int TcpPauseMs = 20;     // before each burst of data frames over TCP

    cmcCloneDrv();
    virtual ~cmcCloneDrv();
    cmcCloneDrv(const cmcCloneDrv&) = delete;
    cmcCloneDrv& operator=(const cmcCloneDrv&) = delete;

    // Set-up, kept between operations.
    void SetCodes(uint32_t code1, uint32_t code2);
    void SetImageSize(int32_t n) { m_imageSize = n; }
    void SetLink(int port, const QString& settings);
    // Chooses the TCP link (on) or the serial port (off) for the next operations.
    void SetTcpLink(bool on, const QString& address = QString(), uint16_t port = 0);
    void SetScript(const QString& script) { m_script = script; }
    void SetEchoCheck(bool on) { m_echoCheck = on; }
    void SetAckBlock(int32_t block) {
        if (block > 0) m_ackBlock = block;
    }
    void SetStepTimeout(int32_t ms) {
        if (ms > 0) m_timeout[0] = ms;
    }
    void SetAckTimeout(int32_t ms) {
        if (ms > 0) m_timeout[4] = ms;
    }
    // Uses link instead of the serial port and the TCP client (null: back to them); not
    // owned, and must outlive every operation started while it is set.
    void SetLinkOverride(cmcCloneLink* link) { m_override = link; }
    // Runs one tick of the step task at once, for tools that drive the driver without an
    // event loop (with their own clock, see cmcTick::setClock).
    void Tick() { tick(); }
    // T1..T5 by number (1..5); changed only when ms > 0.
    void SetTimeout(int which, int32_t ms);
    int32_t Timeout(int which) const { return which >= 1 && which <= 5 ? m_timeout[which - 1] : 0; }

    // Operations; each returns false and changes nothing while busy.
    bool StartIdentify(Callback callback, void* context);
    bool StartInfo(Callback callback, void* context);
    // ranges may be null (no coverage check); the list must live until the callback.
    bool StartRead(const cmcAdrRange* ranges, Callback callback, void* context);
    bool StartWrite(const cmcEeprom& source, const cmcAdrRange* ranges, Callback callback,
                    void* context);
    bool IsBusy() const { return m_state != 0; }
    // Ends the running operation with status 21 on the next tick, closing the link; the
    // caller hears of it through its callback as of any other end. A write whose data
    // frames have gone out cannot be stopped (the radio would be left partly written):
    // false then, and when nothing runs.
    bool Cancel();
    bool CanCancel() const { return IsBusy() && !(m_operation == OpWrite && m_dataSent); }
    // Data frames of the running (or last) write have gone out.
    bool DataSent() const { return m_dataSent; }

    // Progress of the running operation.
    int32_t ByteCount() const { return m_byteCount; }
    int32_t FrameCount() const { return m_frameCount; }
    int32_t DataByteCount() const { return m_dataBytes; }
    // Frames that completed an acknowledge block while the link was busy, and so were sent
    // on a later step before the wait for the acknowledgement began.
    int32_t HeldAckFrames() const { return m_heldAckFrames; }
    int32_t State() const { return m_state; }
    int Port() const { return m_portNumber; }
    QString LinkSettings() const { return m_linkSettings; }
    bool IsTcp() const { return m_useTcp; }
    uint32_t Code1() const { return m_code1; }
    uint32_t Code2() const { return m_code2; }

    // Frame arithmetic, shared with the simulated radio and the tests.
    static QByteArray CommandFrame(uint8_t command, uint32_t code1, uint32_t code2,
                                   uint8_t destination = RadioAddress,
                                   uint8_t source = ProgramAddress);
    // Data bytes in the block at address, cut at last (inclusive).
    static int32_t BlockLength(int32_t address, int32_t last, int32_t blockSize = 16);
    // The E4 body text: address and length, data, checksum.
    static QByteArray BlockText(const uint8_t* data, int32_t address, int32_t length);
    static QByteArray DataFrame(const uint8_t* data, int32_t address, int32_t length,
                                uint8_t destination = RadioAddress,
                                uint8_t source = ProgramAddress);
    static QByteArray EndFrame(int32_t frameCount, uint8_t destination = RadioAddress,
                               uint8_t source = ProgramAddress);
    static uint8_t Checksum(const uint8_t* bytes, int n);

  protected:
    // Next state for an operation of number 5 and above (state 7); the base gives 8.
    virtual int32_t FirstOwnState(int32_t operation);
    // A step of a subclass's state (20..26, or above 28); returns the next state.
    virtual int32_t OwnStep(int32_t state);

    // Services for subclasses.
    bool Begin(int32_t operation, Callback callback, void* context);
    void SetTickInterval(int ms) { m_tickInterval = ms; }
    void SendBytes(const QByteArray& bytes);
    // Reads what has arrived and returns the last complete frame (without FD), or false.
    bool ReadFrame(QByteArray* frame);
    void SetStatus(int32_t status);
    void MarkProgress() { m_progress = true; }
    dst_CDrv_Result* Result() { return m_result.get(); }
    int32_t Operation() const { return m_operation; }
    int32_t m_dataBytes = 0;

  private:
    static void tickCallback(void* context, cmcTask* task);
    static void arrived(void* context);
    void tick();
    void step();
    void runState(int32_t state);
    void finish();
    void restartDeadline(int32_t state);
    bool echoActive() const { return m_echoCheck && !m_useTcp; }
    // A frame (as assembled, from its first FE, without FD) that the program sent itself.
    static bool isOwnFrame(const cmcBuff& frame);
    // Whether own frames coming back are skipped: over TCP, where no echo check runs.
    bool skipsOwnFrames() const { return m_useTcp; }

    // Link operations, choosing serial or TCP.
    bool linkOpen(const QString& settings);
    void linkClose();
    int linkRead(uint8_t* buffer, int capacity);
    int linkPending() const;
    bool linkConnecting() const;
    // The connection failed while being made (refused, unreachable): TCP only.
    bool linkFailed() const;
    // The peer closed the connection and nothing of it is left to read.
    bool linkLost() const;

    void scriptState(int32_t state);
    void beginInputDiscard(int32_t after);
    void sendCommand(uint8_t command);
    void identifyReply();
    void readPhase();
    int32_t dataFrame(); // -1 block stored, 0 end frame matched, else an error status
    int32_t coverage() const;
    void ackWait();
    void tcpAckWait();
    void writePhase();
    bool sendHeld();
    void endReply();

    uint32_t m_code1 = 0;
    uint32_t m_code2 = 0;
    int32_t m_imageSize = 1;
    int m_portNumber = 1;
    QString m_linkSettings = QStringLiteral("9600,n,8,1");
    bool m_useTcp = false;
    QString m_tcpAddress;
    uint16_t m_tcpPort = 0;
    int32_t m_operation = 0;
    bool m_echoCheck = false;
    int32_t m_ackBlock = 0;
    cmcComm m_comm;
    cmcTcpClient m_tcp;
    cmcCloneLink* m_override = nullptr;
    cmcBuff m_rx;
    cmcBuff m_frame;
    cmcBuff m_echo;
    uint8_t m_block[ReadChunk] = {};
    QString m_script;
    int32_t m_byteCount = 0;
    int32_t m_frameCount = 0;
    int32_t m_blockSize = 16;
    const cmcAdrRange* m_ranges = nullptr;
    int m_rangeIndex = 0;
    int32_t m_current = 0;
    std::unique_ptr<dst_CDrv_Result> m_result;
    Callback m_callback = nullptr;
    void* m_context = nullptr;
    int32_t m_state = 0;
    cmcTick m_deadline;
    cmcTask* m_task = nullptr;
    int32_t m_timeout[5] = {1000, 1000, 2000, 1000, 1000};

    // Per-step working values.
    int32_t m_next = 0;
    bool m_progress = false;
    bool m_repeat = false;
    // The TCP acknowledgement wait is inside a frame (between FE and FD) that it passes over.
    bool m_ackInFrame = false;
    int m_lastPending = 0;
    int m_tickInterval = StepIntervalMs;

    // Waits inside the state machine (state 1): input discard after a serial open.
    cmcTick m_wait;
    int32_t m_afterWait = 0;
    // Write phase: a frame that completed an acknowledge block and is still held; the
    // pause before a TCP burst (0 none, 1 running, 2 over for this step).
    bool m_ackDue = false;
    int32_t m_heldAckFrames = 0;
    // Data frames of a write have gone out: a failure now leaves the radio partly written.
    bool m_dataSent = false;
    cmcTick m_pause;
    int m_pauseState = 0;
};

#include "cmcCloneDrv.h"

#include "cmcEeprom.h"
#include "cmcTask.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr uint8_t kPreamble = 0xFE;
constexpr uint8_t kEnd = 0xFD;
constexpr uint8_t kAck = 0xFB;
constexpr uint8_t kNak = 0xFA;

const char kHex[] = "0123456789ABCDEF";

void appendHexByte(QByteArray& text, uint8_t b) {
    text.append(kHex[b >> 4]);
    text.append(kHex[b & 15]);
}

// Upper-case hexadecimal only: lower case is not part of the protocol.
int upperNibble(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool decimalDigits(uint8_t b) {
    return (b >> 4) <= 9 && (b & 15) <= 9;
}

// A pair that ends a range list: last below first, or not wholly inside the image.
bool endsList(const cmcAdrRange& r, int32_t imageSize) {
    return r.last < r.first || r.first < 0 || r.last >= imageSize;
}

} // namespace

cmcCloneDrv::cmcCloneDrv() {
    m_task = new cmcTask;
    m_task->setCallback(&cmcCloneDrv::tickCallback, this);
    m_comm.SetArrivalHook(&cmcCloneDrv::arrived, this);
    m_tcp.SetArrivalHook(&cmcCloneDrv::arrived, this);
}

cmcCloneDrv::~cmcCloneDrv() {
    cmcTask::release(m_task);
    linkClose();
}

void cmcCloneDrv::SetCodes(uint32_t code1, uint32_t code2) {
    m_code1 = code1;
    m_code2 = code2;
}

void cmcCloneDrv::SetLink(int port, const QString& settings) {
    m_portNumber = port;
    m_linkSettings = settings;
}

void cmcCloneDrv::SetTcpLink(bool on, const QString& address, uint16_t port) {
    m_useTcp = on;
    if (on) {
        m_tcpAddress = address;
        m_tcpPort = port;
    }
}

void cmcCloneDrv::SetTimeout(int which, int32_t ms) {
    if (which >= 1 && which <= 5 && ms > 0) m_timeout[which - 1] = ms;
}

// ---- frame arithmetic ------------------------------------------------------------------

QByteArray cmcCloneDrv::CommandFrame(uint8_t command, uint32_t code1, uint32_t code2,
                                     uint8_t destination, uint8_t source) {
    // Written as hexadecimal text and turned into bytes, as every command frame is.
    const QString text = QString::asprintf("FEFE %02X %02X %02X %04X %04X FD", destination, source,
                                           command, code1 & 0xFFFF, code2 & 0xFFFF);
    cmcBuff b;
    b.AppendHexText(text);
    return QByteArray(reinterpret_cast<const char*>(b.GetData()), b.GetLength());
}

int32_t cmcCloneDrv::BlockLength(int32_t address, int32_t last, int32_t blockSize) {
    int32_t n = blockSize - address % blockSize;
    if (address + n - 1 > last) n = last - address + 1;
    return n;
}

uint8_t cmcCloneDrv::Checksum(const uint8_t* bytes, int n) {
    unsigned sum = 0;
    for (int i = 0; i < n; ++i)
        sum += bytes[i];
    return uint8_t((256 - sum % 256) % 256);
}

QByteArray cmcCloneDrv::BlockText(const uint8_t* data, int32_t address, int32_t length) {
    QByteArray raw;
    raw.append(char(address >> 8 & 0xFF));
    raw.append(char(address & 0xFF));
    raw.append(char(length & 0xFF));
    raw.append(reinterpret_cast<const char*>(data), length);
    const uint8_t sum =
        Checksum(reinterpret_cast<const uint8_t*>(raw.constData()), int(raw.size()));
    raw.append(char(sum));
    QByteArray text;
    text.reserve(raw.size() * 2);
    for (char c : raw)
        appendHexByte(text, uint8_t(c));
    return text;
}

QByteArray cmcCloneDrv::DataFrame(const uint8_t* data, int32_t address, int32_t length,
                                  uint8_t destination, uint8_t source) {
    QByteArray f;
    f.append(char(kPreamble));
    f.append(char(kPreamble));
    f.append(char(destination));
    f.append(char(source));
    f.append(char(0xE4));
    f.append(BlockText(data, address, length));
    f.append(char(kEnd));
    return f;
}

QByteArray cmcCloneDrv::EndFrame(int32_t frameCount, uint8_t destination, uint8_t source) {
    QByteArray f;
    f.append(char(kPreamble));
    f.append(char(kPreamble));
    f.append(char(destination));
    f.append(char(source));
    f.append(char(0xE5));
    f.append(MakerText, MakerTextLength);
    appendHexByte(f, uint8_t(frameCount & 0xFF));
    f.append(char(kEnd));
    return f;
}

// ---- operations --------------------------------------------------------------------------

bool cmcCloneDrv::Begin(int32_t operation, Callback callback, void* context) {
    if (IsBusy()) return false;
    m_operation = operation;
    m_callback = callback;
    m_context = context;
    m_state = 2;
    m_result = std::make_unique<dst_CDrv_Result>();
    m_result->operation = operation;
    m_result->code1 = int32_t(m_code1);
    m_result->code2 = int32_t(m_code2);
    m_result->image.SetSize(m_imageSize);
    m_byteCount = 0;
    m_frameCount = 0;
    m_dataBytes = 0;
    m_rx.Clear();
    m_frame.Clear();
    m_echo.Clear();
    m_ackDue = false;
    m_ackInFrame = false;
    m_heldAckFrames = 0;
    m_dataSent = false;
    m_pauseState = 0;
    m_deadline.start(uint32_t(m_timeout[0]));
    if (m_tickInterval <= 0) m_tickInterval = StepIntervalMs;
    m_task->setInterval(m_tickInterval);
    return true;
}

bool cmcCloneDrv::StartIdentify(Callback callback, void* context) {
    m_tickInterval = StepIntervalMs;
    return Begin(OpIdentify, callback, context);
}

bool cmcCloneDrv::StartInfo(Callback callback, void* context) {
    m_tickInterval = StepIntervalMs;
    return Begin(OpInfo, callback, context);
}

bool cmcCloneDrv::StartRead(const cmcAdrRange* ranges, Callback callback, void* context) {
    if (IsBusy()) return false;
    m_ranges = ranges;
    m_tickInterval = StepIntervalMs;
    return Begin(OpRead, callback, context);
}

bool cmcCloneDrv::StartWrite(const cmcEeprom& source, const cmcAdrRange* ranges, Callback callback,
                             void* context) {
    if (IsBusy()) return false;
    m_ranges = ranges;
    m_rangeIndex = 0;
    m_current = ranges ? ranges[0].first : 0;
    m_tickInterval = StepIntervalMs;
    if (!Begin(OpWrite, callback, context)) return false;
    m_result->image = source;
    return true;
}

int32_t cmcCloneDrv::FirstOwnState(int32_t) {
    return 8;
}

int32_t cmcCloneDrv::OwnStep(int32_t) {
    return 0;
}

bool cmcCloneDrv::Cancel() {
    if (!CanCancel() || m_state == 28) return false;
    SetStatus(CS_Cancelled);
    m_state = 28;
    return true;
}

void cmcCloneDrv::SetStatus(int32_t status) {
    if (m_result) m_result->status = status;
}

// ---- link --------------------------------------------------------------------------------

bool cmcCloneDrv::linkOpen(const QString& settings) {
    if (m_override) return m_override->Open(settings);
    if (m_useTcp) return m_tcp.Connect(m_tcpPort, m_tcpAddress);
    return m_comm.Open(m_portNumber, settings);
}

void cmcCloneDrv::linkClose() {
    if (m_override) m_override->Close();
    m_comm.Close();
    m_tcp.Disconnect();
}

int cmcCloneDrv::linkRead(uint8_t* buffer, int capacity) {
    const int n = m_override ? m_override->Read(buffer, capacity)
                  : m_useTcp ? m_tcp.Read(buffer, capacity)
                             : m_comm.Read(buffer, capacity);
    m_byteCount += n;
    return n;
}

int cmcCloneDrv::linkPending() const {
    if (m_override) return m_override->Pending();
    return m_useTcp ? m_tcp.Pending() : m_comm.PendingOutput();
}

bool cmcCloneDrv::linkConnecting() const {
    if (m_override) return m_override->IsConnecting();
    return m_useTcp && m_tcp.IsConnecting();
}

bool cmcCloneDrv::linkFailed() const {
    return !m_override && m_useTcp && m_tcp.HasFailed();
}

bool cmcCloneDrv::linkLost() const {
    if (m_override) return m_override->IsLost();
    return m_useTcp && m_tcp.IsLost();
}

void cmcCloneDrv::SendBytes(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
    const int n = int(bytes.size());
    if (m_override)
        m_override->Write(p, n);
    else if (m_useTcp)
        m_tcp.Write(p, n);
    else
        m_comm.Write(p, n);
    m_echo.AppendBytes(p, n);
    m_byteCount += n;
}

bool cmcCloneDrv::isOwnFrame(const cmcBuff& frame) {
    return frame.GetLength() >= 3 && frame.GetData()[1] == RadioAddress &&
           frame.GetData()[2] == ProgramAddress;
}

bool cmcCloneDrv::ReadFrame(QByteArray* frame) {
    const int n = linkRead(m_block, ReadChunk);
    m_rx.AppendBytes(m_block, n);
    bool got = false;
    for (int b; (b = m_rx.PopFront()) >= 0;) {
        if (b == kPreamble) {
            m_frame.SetLength(0);
            m_frame.AppendByte(kPreamble);
        } else if (m_frame.GetLength() == 0) {
            continue;
        } else if (b == kEnd) {
            if (!(skipsOwnFrames() && isOwnFrame(m_frame))) {
                *frame = QByteArray(reinterpret_cast<const char*>(m_frame.GetData()),
                                    m_frame.GetLength());
                got = true;
            }
            m_frame.SetLength(0);
        } else if (m_frame.GetLength() >= MaxOtherFrame) {
            // Overlong: what comes out is a frame that every check rejects.
            m_frame.SetLength(0);
            *frame = QByteArray(1, '\0');
            got = true;
        } else {
            m_frame.AppendByte(uint8_t(b));
        }
    }
    return got;
}

// ---- the tick and the step ---------------------------------------------------------------

void cmcCloneDrv::tickCallback(void* context, cmcTask*) {
    static_cast<cmcCloneDrv*>(context)->tick();
}

// While a write waits for the radio's acknowledgement, the step runs as soon as bytes
// arrive, so the next block goes out without waiting for the next tick. Never inside a
// running tick; a step from a wait for 0xFB never ends the operation, so the end (link
// closing, callback) stays with the tick.
void cmcCloneDrv::arrived(void* context) {
    auto* d = static_cast<cmcCloneDrv*>(context);
    if ((d->m_state != 14 && d->m_state != 17) || d->m_task->isBusy()) return;
    do {
        d->m_repeat = false;
        d->step();
    } while (d->m_repeat && d->m_state != 0 && d->m_state != 28);
}

void cmcCloneDrv::tick() {
    if (m_state != 0 && m_state != 28) {
        do {
            m_repeat = false;
            step();
        } while (m_repeat && m_state != 0 && m_state != 28);
        if (!m_useTcp && m_comm.HasWriteError()) {
            SetStatus(CS_SerialWrite);
            m_state = 28;
        }
    }
    if (m_state == 28) finish();
    if (m_state == 0) m_task->setInterval(-1);
}

void cmcCloneDrv::finish() {
    linkClose();
    if (m_result && m_operation == OpWrite && m_result->status != CS_Ok && m_dataSent)
        m_result->partlyWritten = true;
    m_state = 0;
    m_rx.Clear();
    m_frame.Clear();
    m_echo.Clear();
    std::unique_ptr<dst_CDrv_Result> result = std::move(m_result);
    Callback callback = m_callback;
    void* context = m_context;
    m_callback = nullptr;
    m_context = nullptr;
    // The callback may start the next operation at once.
    if (callback) callback(context, result.get());
}

void cmcCloneDrv::restartDeadline(int32_t state) {
    int32_t t = m_timeout[0];
    if (state == 19)
        t = m_timeout[2];
    else if (state == 14)
        t = m_timeout[4];
    else if (state == 9)
        t = m_timeout[3];
    else if ((state == 3 || state == 6) && !m_script.isEmpty())
        t = m_timeout[1];
    m_deadline.start(uint32_t(t));
}

void cmcCloneDrv::step() {
    const int32_t current = m_state;
    m_next = current + 1;
    m_progress = false;
    bool skipAction = false;

    if (!echoActive()) {
        m_echo.SetLength(0);
    } else if (current != 27 && m_echo.GetLength() > 0) {
        const int n = linkRead(m_block, ReadChunk);
        m_rx.AppendBytes(m_block, n);
        bool mismatch = false;
        while (m_rx.GetLength() > 0 && m_echo.GetLength() > 0) {
            if (m_rx.GetData()[0] != m_echo.GetData()[0]) {
                m_next = 27;
                SetStatus(CS_Echo);
                mismatch = true;
                break;
            }
            m_rx.PopFront();
            m_echo.PopFront();
            m_progress = true;
        }
        if (m_echo.GetLength() == 0) m_echo.Clear();
        if (mismatch) {
            skipAction = true;
        } else if ((current == 16 && m_echo.GetLength() > MaxUnechoedInWrite) ||
                   (current != 16 && m_echo.GetLength() > 0)) {
            m_next = current; // waiting for the echo
            skipAction = true;
        }
    }

    if (!skipAction) runState(current);

    // A connection the peer closed is noticed once, after what it sent has been taken, and
    // ends the operation instead of reading a closed socket until the time-out.
    if (current > 5 && current < 27 && m_next != 27 && m_next != 28 && linkLost()) {
        SetStatus(CS_LinkLost);
        m_next = 27;
        if (m_useTcp) m_tcp.DiscardOutput();
    }

    if (m_next != current) m_progress = true;
    if (m_progress) {
        restartDeadline(m_next);
    } else if (m_deadline.remaining() == 0) {
        if (current == 27) {
            // Output that never drains: give up on it, keeping the operation's verdict.
            if (m_result && m_result->status == CS_Ok) SetStatus(CS_Timeout);
            m_next = 28;
        } else {
            m_next = 27;
            SetStatus(echoActive() && m_echo.GetLength() > 0 ? CS_Echo : CS_Timeout);
        }
        if (m_useTcp) m_tcp.DiscardOutput();
    }

    if (m_rx.GetLength() > 4096) m_rx.Compact();
    if (m_echo.GetLength() > 4096) m_echo.Compact();
    m_state = m_next;
}

void cmcCloneDrv::runState(int32_t state) {
    switch (state) {
    case 0:
        m_next = 0;
        break;
    case 1: // a wait inside the state machine; then the input is dropped
        m_progress = true;
        if (m_wait.remaining() > 0) {
            m_next = 1;
        } else {
            for (int i = 0; i < 65535 && linkRead(m_block, 1) == 1; ++i) {
            }
            m_rx.SetLength(0);
            m_next = m_afterWait;
        }
        break;
    case 2:
        m_next = m_useTcp ? 4 : 3;
        break;
    case 3:
    case 6:
        scriptState(state);
        break;
    case 4:
        linkClose();
        if (!linkOpen(m_linkSettings)) {
            SetStatus(CS_LinkOpen);
            m_next = 27;
        } else if (m_useTcp) {
            m_next = 5;
        } else {
            beginInputDiscard(6);
        }
        break;
    case 5:
        // A refused or unreachable address fails at once; silence waits for the time-out.
        if (linkFailed()) {
            SetStatus(CS_LinkOpen);
            m_next = 27;
        } else {
            m_next = linkConnecting() ? 5 : 6;
        }
        break;
    case 7:
        if (m_operation == OpIdentify || m_operation == OpInfo)
            m_next = 8;
        else if (m_operation == OpRead)
            m_next = 10;
        else if (m_operation == OpWrite)
            m_next = 12;
        else
            m_next = FirstOwnState(m_operation);
        break;
    case 8:
        sendCommand(0xE0);
        m_next = 9;
        break;
    case 9:
        identifyReply();
        break;
    case 10:
        sendCommand(0xE2);
        m_next = 11;
        break;
    case 11:
        readPhase();
        break;
    case 12:
        m_frame.SetLength(0);
        m_ackDue = false;
        m_next = 13;
        break;
    case 13:
        sendCommand(0xE3);
        m_next = 14;
        break;
    case 14:
    case 17:
        ackWait();
        break;
    case 16:
        writePhase();
        break;
    case 18:
        m_frame.SetLength(0);
        SendBytes(EndFrame(m_frameCount));
        m_next = 19;
        break;
    case 19:
        endReply();
        break;
    case 27: {
        const int pending = linkPending();
        if (pending < m_lastPending) m_progress = true;
        m_lastPending = pending;
        m_next = pending > 0 ? 27 : 28;
        break;
    }
    default:
        m_next = OwnStep(state);
        break;
    }
    if (m_next == 27) m_lastPending = linkPending();
}

void cmcCloneDrv::beginInputDiscard(int32_t after) {
    m_wait.start(DiscardWaitMs);
    m_afterWait = after;
    m_next = 1;
}

void cmcCloneDrv::scriptState(int32_t state) {
    // The script speaks to the radio's serial interface; a TCP link has none.
    if (!m_script.isEmpty() && !m_useTcp) {
        m_next = state;
        m_progress = true;
        int length = 0;
        if (m_script.startsWith(QLatin1Char('('))) {
            const int close = int(m_script.indexOf(QLatin1Char(')')));
            length = close < 0 ? 0 : close + 1;
            if (length > 0 && state == 3) {
                const QString settings = m_script.mid(1, length - 2);
                linkClose();
                if (!linkOpen(settings)) {
                    SetStatus(CS_LinkOpen);
                    m_script.clear();
                    m_next = 27;
                    return;
                }
                beginInputDiscard(3);
            }
        } else {
            const int open = int(m_script.indexOf(QLatin1Char('(')));
            length = open < 0 ? int(m_script.size()) : open;
            cmcBuff bytes;
            bytes.AppendHexText(m_script.left(length));
            SendBytes(
                QByteArray(reinterpret_cast<const char*>(bytes.GetData()), bytes.GetLength()));
        }
        if (length <= 0 || length > m_script.size())
            m_script.clear();
        else
            m_script.remove(0, length);
        return;
    }
    if (linkPending() > 0) {
        m_next = state;
        return;
    }
    m_next = state == 3 ? 4 : 7;
}

void cmcCloneDrv::sendCommand(uint8_t command) {
    SendBytes(CommandFrame(command, m_code1, m_code2));
    m_frame.SetLength(0);
}

void cmcCloneDrv::identifyReply() {
    QByteArray f;
    if (!ReadFrame(&f)) {
        m_next = 9;
        return;
    }
    const auto* p = reinterpret_cast<const uint8_t*>(f.constData());
    const bool ok = f.size() >= 8 && p[0] == 0xFE && p[1] == ProgramAddress &&
                    p[2] == RadioAddress && p[3] == 0xE1 && decimalDigits(p[4]) &&
                    decimalDigits(p[5]) && decimalDigits(p[6]) && decimalDigits(p[7]);
    if (!ok) {
        SetStatus(CS_BadFrame);
    } else {
        m_result->code1 = p[4] << 8 | p[5];
        m_result->code2 = p[6] << 8 | p[7];
        m_result->information.Set(p + 8, int32_t(f.size() - 8));
        SetStatus(CS_Ok);
    }
    m_next = 27;
}

// ---- read --------------------------------------------------------------------------------

void cmcCloneDrv::readPhase() {
    m_next = 11;
    const int n = linkRead(m_block, ReadChunk);
    m_rx.AppendBytes(m_block, n);
    for (int b; (b = m_rx.PopFront()) >= 0;) {
        if (b == kPreamble) {
            m_frame.SetLength(0);
            m_frame.AppendByte(kPreamble);
            continue;
        }
        if (m_frame.GetLength() == 0) continue;
        if (b == kEnd) {
            if (skipsOwnFrames() && isOwnFrame(m_frame)) {
                m_frame.SetLength(0);
                continue;
            }
            const int32_t verdict = dataFrame();
            m_frame.SetLength(0);
            if (verdict < 0) continue;
            SetStatus(verdict == 0 ? (m_ranges ? coverage() : CS_Ok) : verdict);
            m_next = 27;
            return;
        }
        if (m_frame.GetLength() >= MaxDataFrame) {
            SetStatus(CS_BadFrame);
            m_next = 27;
            return;
        }
        m_frame.AppendByte(uint8_t(b));
    }
}

int32_t cmcCloneDrv::dataFrame() {
    const uint8_t* f = m_frame.GetData();
    const int32_t length = m_frame.GetLength();
    if (length < 12 || length > MaxDataFrame || f[1] != ProgramAddress || f[2] != RadioAddress)
        return CS_BadFrame;
    const uint8_t command = f[3];
    const uint8_t* body = f + 4;
    const int32_t chars = length - 4;
    m_progress = true;
    if (command == 0xE4) {
        // Every well-formed block is taken, whatever its number of data bytes; a stray
        // last character is left out.
        const int32_t count = chars / 2;
        uint8_t bytes[MaxDataFrame / 2];
        for (int32_t i = 0; i < count; ++i) {
            const int hi = upperNibble(body[2 * i]);
            const int lo = upperNibble(body[2 * i + 1]);
            if (hi < 0 || lo < 0) return CS_BadFrame;
            bytes[i] = uint8_t(hi << 4 | lo);
        }
        const int32_t dataLength = bytes[2];
        if (dataLength != count - 4 || Checksum(bytes, count) != 0) return CS_BadFrame;
        const int32_t address = bytes[0] << 8 | bytes[1];
        if (dataLength > 0 && (address + dataLength > m_imageSize ||
                               !m_result->image.IsValidAddress(address + dataLength - 1)))
            return CS_Outside;
        m_result->image.SetBlock(address, bytes + 3, dataLength);
        cmcBuff& map = m_result->receivedMap;
        const int32_t mapLength = (address + dataLength + 7) / 8;
        if (map.GetLength() < mapLength) {
            const int32_t old = map.GetLength();
            map.SetLength(mapLength);
            std::memset(map.GetData() + old, 0, size_t(mapLength - old));
        }
        for (int32_t a = address; a < address + dataLength; ++a)
            map.GetData()[a / 8] |= uint8_t(1u << (a % 8));
        m_dataBytes += dataLength;
        ++m_frameCount;
        return -1;
    }
    if (command == 0xE5) {
        if (chars != MakerTextLength + 2 || std::memcmp(body, MakerText, MakerTextLength) != 0)
            return CS_BadFrame;
        QByteArray count;
        appendHexByte(count, uint8_t(m_frameCount & 0xFF));
        if (body[MakerTextLength] != uint8_t(count[0]) ||
            body[MakerTextLength + 1] != uint8_t(count[1]))
            return CS_FrameCount;
        return 0;
    }
    return CS_BadFrame;
}

int32_t cmcCloneDrv::coverage() const {
    const int32_t mapLength = (m_imageSize + 7) / 8;
    std::vector<uint8_t> expected(size_t(mapLength), 0);
    for (const cmcAdrRange* r = m_ranges; !endsList(*r, m_imageSize); ++r)
        for (int32_t a = r->first; a <= r->last; ++a)
            expected[size_t(a / 8)] |= uint8_t(1u << (a % 8));
    const cmcBuff& got = m_result->receivedMap;
    if (got.GetLength() > mapLength) return CS_Outside;
    bool missing = false;
    for (int32_t i = 0; i < mapLength; ++i) {
        const uint8_t g = i < got.GetLength() ? got.GetData()[i] : 0;
        if (g & ~expected[size_t(i)]) return CS_Outside;
        if (g != expected[size_t(i)]) missing = true;
    }
    return missing ? CS_Missing : CS_Ok;
}

// ---- write -------------------------------------------------------------------------------

void cmcCloneDrv::ackWait() {
    const int32_t state = m_state;
    m_next = state;
    if (skipsOwnFrames()) {
        tcpAckWait();
        return;
    }
    if (m_rx.GetLength() == 0) {
        const int n = linkRead(m_block, ReadChunk);
        m_rx.AppendBytes(m_block, n);
    }
    const int b = m_rx.PopFront();
    if (b == kAck) {
        m_next = 16;
        m_repeat = true;
    } else if (b == kNak) {
        SetStatus(CS_BadFrame);
        m_result->refused = true;
        m_next = 27;
    }
}

// Through a bridge the acknowledgement follows the echo of the frames just sent. A byte
// between FE and FD belongs to a frame and is passed over (the flag keeps a frame split
// across reads); only a byte outside every frame answers.
void cmcCloneDrv::tcpAckWait() {
    for (;;) {
        if (m_rx.GetLength() == 0) {
            const int n = linkRead(m_block, ReadChunk);
            if (n <= 0) return;
            m_rx.AppendBytes(m_block, n);
        }
        const int b = m_rx.PopFront();
        if (b == kPreamble) {
            m_ackInFrame = true;
        } else if (m_ackInFrame) {
            if (b == kEnd) m_ackInFrame = false;
        } else if (b == kAck) {
            m_next = 16;
            m_repeat = true;
            return;
        } else if (b == kNak) {
            SetStatus(CS_BadFrame);
            m_result->refused = true;
            m_next = 27;
            return;
        }
    }
}

bool cmcCloneDrv::sendHeld() {
    if (m_frame.GetLength() == 0) return true;
    if (linkPending() > 4 * m_frame.GetLength()) return false;
    if (m_useTcp && m_pauseState != 2) {
        // A short pause before each burst gives the adapter time to pass the frames on.
        if (m_pauseState == 0) {
            m_pause.start(TcpPauseMs);
            m_pauseState = 1;
            return false;
        }
        if (m_pause.remaining() > 0) return false;
        m_pauseState = 2;
    }
    SendBytes(QByteArray(reinterpret_cast<const char*>(m_frame.GetData()), m_frame.GetLength()));
    m_frame.SetLength(0);
    m_progress = true;
    m_dataSent = true;
    return true;
}

void cmcCloneDrv::writePhase() {
    m_next = 16;
    if (m_pauseState == 2) m_pauseState = 0;
    // A frame held back by a busy link goes out before anything else, and the wait for an
    // acknowledgement starts only once the frame that completes the block has been sent.
    if (!sendHeld()) return;
    if (m_ackDue) {
        m_ackDue = false;
        m_next = 17;
        return;
    }
    for (int pass = 0; pass < MaxPassesPerStep; ++pass) {
        const cmcAdrRange* r = m_ranges ? &m_ranges[m_rangeIndex] : nullptr;
        if (!r || endsList(*r, std::min(m_imageSize, m_result->image.GetSize()))) {
            if (linkPending() == 0 && m_frame.GetLength() == 0) m_next = 18;
            return;
        }
        if (m_current > r->last) {
            ++m_rangeIndex;
            m_current = m_ranges[m_rangeIndex].first;
            return;
        }
        const int32_t n = BlockLength(m_current, r->last, m_blockSize);
        const uint8_t* data = m_result->image.data() + m_current;
        const QByteArray frame = DataFrame(data, m_current, n);
        m_frame.AppendBytes(reinterpret_cast<const uint8_t*>(frame.constData()),
                            int32_t(frame.size()));
        ++m_frameCount;
        m_current += n;
        m_dataBytes += n;
        const bool ackPoint =
            m_current != r->first && m_ackBlock > 0 && m_current % m_ackBlock == 0;
        if (!sendHeld()) {
            m_ackDue = ackPoint;
            if (ackPoint) ++m_heldAckFrames;
            return;
        }
        if (ackPoint) {
            m_next = 17;
            return;
        }
    }
}

void cmcCloneDrv::endReply() {
    QByteArray f;
    if (!ReadFrame(&f)) {
        m_next = 19;
        return;
    }
    static const char done[] = {char(0xFE), char(0xEF), char(0xEE), char(0xE6), 0x00};
    SetStatus(f == QByteArray(done, 5) ? CS_Ok : CS_WriteReply);
    m_next = 27;
}

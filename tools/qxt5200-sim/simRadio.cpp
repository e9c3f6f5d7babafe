#include "simRadio.h"

#include "cmcCloneDrv.h"
#include "cmcIcfFile.h"
#include "imcCloneCheck.h"
#include "imcRadioFacts.h"

#include <cstdlib>
#include <cstring>

namespace {
constexpr char kAck = char(0xFB);
constexpr char kNak = char(0xFA);
constexpr uint8_t kRadio = 0xEE;
constexpr uint8_t kProgram = 0xEF;
constexpr uint32_t OtherModelCode = QxRadio::ModelCode + 1; // the code of a model not this one
} // namespace

simRadio::simRadio(const cmcEeprom& memory, QObject* parent) : QObject(parent), m_memory(memory) {
    m_pacer.setTimerType(Qt::PreciseTimer);
    m_pacer.setInterval(1);
    connect(&m_pacer, &QTimer::timeout, this, &simRadio::pump);
}

void simRadio::setLogPath(const QString& path) {
    m_log.setFileName(path);
    m_log.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
}

void simRadio::reset() {
    m_in.clear();
    m_out.clear();
    m_writing = false;
    m_readQueued = false;
    m_pacer.stop();
}

uint16_t simRadio::adjustValue(uint8_t argument) {
    // Distinct for every argument, and both bytes readable at a glance in a log.
    return uint16_t(argument << 8 | uint8_t(0x80 + argument));
}

void simRadio::queue(const QByteArray& bytes) {
    if (m_out.isEmpty()) {
        // The pacer's clock starts with the first byte waiting: an idle line earns no credit.
        m_clock.start();
        m_sent = 0;
    }
    m_out.append(bytes);
    if (!m_pacer.isActive()) m_pacer.start();
    if (m_baud <= 0) pump();
}

void simRadio::pump() {
    if (m_out.isEmpty() || !m_sink) {
        m_pacer.stop();
        return;
    }
    qint64 allowed = m_out.size();
    if (m_baud > 0) {
        const qint64 due = m_clock.nsecsElapsed() / 1000 * (m_baud / 10) / 1000000;
        allowed = std::min<qint64>(allowed, due - m_sent);
    }
    if (allowed <= 0) return;
    const qint64 took = m_sink(m_out.constData(), allowed);
    if (took > 0) {
        m_out.remove(0, took);
        m_sent += took;
    }
    if (m_out.isEmpty()) {
        m_pacer.stop();
        if (m_readQueued) {
            m_readQueued = false;
            if (m_readSent) m_readSent();
        }
    }
}

void simRadio::feed(const char* bytes, qint64 n) {
    for (qint64 i = 0; i < n; ++i) {
        if (m_dead || m_faults.silence) return;
        const char b = bytes[i];
        if (m_echo && !m_faults.noEcho) {
            // The single-wire bus returns every byte the program sends.
            const char e = m_received == m_faults.garbleEcho ? char(b ^ 0x10) : b;
            queue(QByteArray(1, e));
        }
        ++m_received;
        const auto u = uint8_t(b);
        if (u == 0xFE) {
            m_in = QByteArray(1, b);
        } else if (m_in.isEmpty()) {
            continue;
        } else if (u == 0xFD) {
            const QByteArray f = m_in;
            m_in.clear();
            frame(f);
        } else if (m_in.size() < 1024) {
            m_in.append(b);
        }
    }
}

void simRadio::log(const QByteArray& f) {
    if (!m_log.isOpen()) return;
    m_log.write(f.toHex(' ').toUpper() + " FD\n");
}

void simRadio::frame(const QByteArray& f) {
    log(f);
    ++m_frames;
    if (m_faults.exitAfter >= 0 && m_frames > m_faults.exitAfter) {
        // The echo of everything received goes out first, then the radio is gone (the
        // pseudo-terminal hangs up), as when the cable is pulled between two frames.
        for (int tries = 0; !m_out.isEmpty() && m_sink && tries < 1000; ++tries) {
            const qint64 took = m_sink(m_out.constData(), m_out.size());
            if (took > 0) m_out.remove(0, took);
        }
        std::_Exit(0);
    }
    if (m_faults.dieAfter >= 0 && m_frames > m_faults.dieAfter) {
        m_dead = true;
        return;
    }
    if (f.size() < 4 || uint8_t(f[1]) != kRadio || uint8_t(f[2]) != kProgram) return;
    const QByteArray body = f.mid(4);
    switch (uint8_t(f[3])) {
    case 0xE0:
        identify();
        break;
    case 0xE2:
        sendImage();
        break;
    case 0xE3:
        m_incoming = m_memory;
        m_writing = true;
        m_writeFrames = 0;
        queue(QByteArray(1, kAck));
        break;
    case 0xE4:
        if (m_writing) writeBlock(body);
        break;
    case 0xE5:
        if (m_writing) writeEnd();
        break;
    case 0xE8:
        extended(f);
        break;
    default:
        break;
    }
}

void simRadio::identify() {
    const uint32_t code1 = m_faults.otherModel ? OtherModelCode : QxRadio::ModelCode;
    const uint32_t code2 = m_faults.otherCode2 ? 2 : QxRadio::RadioCode2;
    QByteArray f = cmcCloneDrv::CommandFrame(0xE1, code1, code2, kProgram, kRadio);
    f.chop(1);
    // The information block: its length, a version, the kind (2), then this simulated
    // radio's layout: the model name from byte 4 and the serial number from byte 16, each
    // padded with blanks; or the body it was given.
    QByteArray info(32, '\0');
    info[0] = char(m_faults.infoLength ? 31 : 32);
    info[1] = 0x01;
    info[2] = char(m_faults.infoKind ? 3 : 2);
    if (m_infoBody.isEmpty()) {
        const QByteArray model = QByteArray(QxRadio::ModelName).leftJustified(12);
        info.replace(4, model.size(), model);
        info.replace(16, 16, m_serial.leftJustified(16));
    } else {
        info.replace(3, 29, m_infoBody.left(29).leftJustified(29, char(0xFF)));
    }
    f.append(info);
    f.append(char(0xFD));
    queue(f);
}

void simRadio::sendImage() {
    cmcEeprom image = m_memory;
    if (m_faults.badIdentity)
        image.SetBlock(QxRadio::IdentityAddr, reinterpret_cast<const uint8_t*>("QM9999"),
                       QxRadio::IdentityLen);
    QByteArray out;
    int frames = 0;
    int32_t last = image.GetSize() - 1;
    if (m_faults.readLast >= 0 && m_faults.readLast < last) last = m_faults.readLast;
    for (int32_t a = 0; a <= last;) {
        const int32_t n = cmcCloneDrv::BlockLength(a, last);
        if (a != m_faults.missingBlock) {
            QByteArray f = cmcCloneDrv::DataFrame(image.data() + a, a, n, kProgram, kRadio);
            if (a == m_faults.badChecksum) {
                char& c = f[f.size() - 2];
                c = c == '0' ? '1' : '0';
            }
            if (a == m_faults.lowerHex)
                f = f.left(5) + f.mid(5, f.size() - 6).toLower() + f.right(1);
            out.append(f);
            ++frames;
        }
        a += n;
    }
    if (m_faults.outsideBlock) {
        const uint8_t extra[16] = {};
        out.append(cmcCloneDrv::DataFrame(extra, QxRadio::ImageSize, 16, kProgram, kRadio));
        ++frames;
    }
    QByteArray end = cmcCloneDrv::EndFrame(frames + (m_faults.endCount ? 1 : 0), kProgram, kRadio);
    if (m_faults.makerText) end.replace("Vexo Inc.", "Vexo Ltd.");
    out.append(end);
    m_readQueued = true;
    queue(out);
}

void simRadio::writeBlock(const QByteArray& body) {
    const QByteArray raw = QByteArray::fromHex(body);
    if (raw.size() < 4) return;
    const int32_t address = uint8_t(raw[0]) << 8 | uint8_t(raw[1]);
    const int32_t length = uint8_t(raw[2]);
    ++m_writeFrames;
    if (length == raw.size() - 4 && address + length <= m_incoming.GetSize()) {
        m_incoming.SetBlock(address, reinterpret_cast<const uint8_t*>(raw.constData()) + 3, length);
        // A weak memory cell: the block is acknowledged, but one byte keeps another value.
        if (m_faults.corruptAt >= address && m_faults.corruptAt < address + length)
            m_incoming.SetByte(m_faults.corruptAt,
                               uint8_t(uint8_t(raw[3 + m_faults.corruptAt - address]) ^ 0x5A));
    }
    if (m_faults.nakAt >= address && m_faults.nakAt < address + length) {
        queue(QByteArray(1, kNak));
        return;
    }
    if ((address + length) % 128 == 0) queue(QByteArray(1, kAck));
}

void simRadio::writeEnd() {
    m_writing = false;
    m_memory = m_incoming;
    if (!m_savePath.isEmpty()) {
        cmcIcfFile file(m_memory);
        file.setModelCode(QxRadio::ModelCode);
        file.setExtraCode(QxRadio::ExtraCode);
        file.setMapRevision(QxRadio::CloneMapRevision);
        file.write(m_savePath, QxRadio::WholeImage);
    }
    QByteArray done = QByteArray::fromHex("FEFEEFEEE600FD");
    if (m_faults.badDone) done[5] = 0x01;
    queue(done);
}

void simRadio::extended(const QByteArray& f) {
    if (f.size() < 11) return;
    const uint8_t sub = uint8_t(f[8]);
    const QByteArray arg = QByteArray::fromHex(f.mid(9, 2));
    const uint8_t argument = arg.isEmpty() ? 0 : uint8_t(arg[0]);
    if (sub == 0x01) {
        // Speed change: "09" asks for 38,400 baud; the paced line follows.
        if (m_baud > 0 && argument == 0x09) m_baud = 38400;
        return;
    }
    // Sub-command 0x02 (argument "01" puts the radio into its adjustment state) has no
    // reply; 0x03 reports the adjustment value of its argument.
    if (sub != 0x03) return;
    const uint32_t code1 = m_faults.adjustOtherCode ? OtherModelCode : QxRadio::ModelCode;
    QByteArray r = cmcCloneDrv::CommandFrame(0xE8, code1, 0, kProgram, kRadio);
    r.chop(1);
    r.append(char(sub));
    r.append(QString::asprintf("%04X", unsigned(adjustValue(argument))).toLatin1());
    r.append(char(0xFD));
    queue(r);
}

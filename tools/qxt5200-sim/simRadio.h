#pragma once
// The simulated radio: a memory of the image's size (imcRadioFacts.h) that answers the
// clone frame protocol. Bytes come in through feed(); everything the radio sends (the echo
// of each byte on the serial bus, replies, data frames) goes into an output queue that a
// pacer drains at the line rate, or at once when no rate is set. Fault switches make it
// misbehave in the ways a real radio or cable can.

#include "cmcEeprom.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

struct simFaults {
    bool otherModel = false;      // code 1 of the identify reply is not this model's
    bool otherCode2 = false;      // code 2 of the identify reply is 2
    bool infoLength = false;      // the information block's first byte is not its length
    bool infoKind = false;        // the information block's kind byte is not 2
    int missingBlock = -1;        // the read leaves out the block at this address
    int badChecksum = -1;         // the block at this address carries a wrong checksum
    int lowerHex = -1;            // the block at this address is sent in lower-case hex
    int readLast = -1;            // a read sends 0000 up to this address only
    bool endCount = false;        // the read's end frame carries a wrong frame count
    bool makerText = false;       // the read's end frame carries another maker text
    bool badIdentity = false;     // the image read out carries another identity text
    bool outsideBlock = false;    // the read adds a block at 0xFFF0 (outside the image)
    bool silence = false;         // nothing comes back at all
    bool noEcho = false;          // bytes are not echoed
    int garbleEcho = -1;          // the echo of the n-th byte received (from 0) is altered
    int nakAt = -1;               // a write block at this address is answered with 0xFA
    bool badDone = false;         // the write's completion reply is E6 01
    int dieAfter = -1;            // after this many frames received the radio goes silent
    int exitAfter = -1;           // after this many frames received the process ends
    bool adjustOtherCode = false; // adjustment replies carry another model's code 1
    int corruptAt = -1;           // a write stores the byte at this address altered
};

class simRadio : public QObject {
    Q_OBJECT
  public:
    explicit simRadio(const cmcEeprom& memory, QObject* parent = nullptr);

    void setFaults(const simFaults& f) { m_faults = f; }
    void setEcho(bool on) { m_echo = on; }
    void setBaud(int baud) { m_baud = baud; }
    int baud() const { return m_baud; }
    void setSavePath(const QString& path) { m_savePath = path; }
    // The serial number of the information block (up to 16 characters).
    void setSerial(const QByteArray& serial) { m_serial = serial.left(16); }
    // Everything of the information block after its three header bytes, as another radio
    // may lay it out (the model name and serial number at other places, or no text at all);
    // cut or padded with 0xFF to the block's length. Empty: this radio's own layout.
    void setInfoBody(const QByteArray& body) { m_infoBody = body; }
    void setLogPath(const QString& path);
    // Where output goes: returns the number of bytes taken (may be fewer than offered).
    void setSink(std::function<qint64(const char*, qint64)> sink) { m_sink = std::move(sink); }

    void feed(const char* bytes, qint64 n);
    // Called once the whole image of a read has been handed to the line (a network
    // adapter restarts the radio's link then).
    void setReadSentHook(std::function<void()> hook) { m_readSent = std::move(hook); }

    // A new connection: partial frames and unsent output are dropped.
    void reset();
    const cmcEeprom& memory() const { return m_memory; }
    // The 16-bit adjustment value the radio reports for an argument byte.
    static uint16_t adjustValue(uint8_t argument);

  private:
    void pump();
    void queue(const QByteArray& bytes);
    void frame(const QByteArray& f);
    void identify();
    void sendImage();
    void writeBlock(const QByteArray& body);
    void writeEnd();
    void extended(const QByteArray& f);
    void log(const QByteArray& f);

    cmcEeprom m_memory;
    cmcEeprom m_incoming; // what a write sends, taken over at its end
    simFaults m_faults;
    bool m_echo = true;
    int m_baud = 0;
    QString m_savePath;
    QByteArray m_serial = "SIM-0005200";
    QByteArray m_infoBody;
    QFile m_log;
    std::function<qint64(const char*, qint64)> m_sink;

    QByteArray m_in;   // the frame being received
    QByteArray m_out;  // bytes waiting for the line
    qint64 m_sent = 0; // bytes sent since the pacer's clock started
    QElapsedTimer m_clock;
    QTimer m_pacer;
    qint64 m_received = 0; // bytes received (for the garbled echo)
    int m_frames = 0;      // frames received
    int m_writeFrames = 0;
    bool m_writing = false;
    bool m_dead = false;
    bool m_readQueued = false; // a read's image is waiting in the output queue
    std::function<void()> m_readSent;
};

#pragma once
// Test fixtures of the clone engine: the simulated radio run as a separate process (on a
// pseudo-terminal or on loopback TCP), a runner that starts one driver operation and waits
// for its callback, and a clock that runs faster than real time so that time-outs pass
// quickly.

#include "cmcCloneDrv.h"
#include "cmcEeprom.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

class cloneSimProcess {
  public:
    enum Link { Serial, Tcp };

    cloneSimProcess() = default;
    ~cloneSimProcess();
    cloneSimProcess(const cloneSimProcess&) = delete;
    cloneSimProcess& operator=(const cloneSimProcess&) = delete;

    // Starts qxt5200-sim with the arguments and waits for its ready line.
    bool start(Link link, const QStringList& args = {});
    // Ends the simulator; true when it had crashed before (rather than running until now or
    // ending as asked).
    bool stop();

    // The pseudo-terminal path (under Wine its COM port, \\.\COMn), or the TCP host:port.
    QString address() const { return m_address; }
    uint16_t tcpPort() const { return m_port; }
    Link link() const { return m_link; }
    // Points the driver at this simulator, with the link set-up of the clone commands.
    void configure(cmcCloneDrv& driver, const QString& speed = QStringLiteral("38400,N,8,1")) const;

    static QString executable();

  private:
    QProcess m_process;
    QString m_address;
    uint16_t m_port = 0;
    Link m_link = Serial;
    bool m_killed = false; // ended by stop(), not by itself
};

// What a driver callback delivered, copied out of the short-lived result.
struct cloneOutcome {
    bool done = false;
    int32_t operation = 0;
    int32_t status = -1;
    int32_t code1 = 0;
    int32_t code2 = 0;
    QByteArray information;
    cmcEeprom image;
    bool refused = false;
    bool partlyWritten = false;
    int calls = 0;
};

// Starts an operation (the function gets the callback and context to pass on) and runs the
// event loop until the callback came or timeoutMs passed.
cloneOutcome cloneRun(const std::function<bool(cmcCloneDrv::Callback, void*)>& start,
                      int timeoutMs = 20000);

// While alive, cmcTick's clock runs `factor` times faster than real time.
class cloneFastClock {
  public:
    explicit cloneFastClock(int factor);
    ~cloneFastClock();
};

// An image of this model's size with the identity, map revision and maker text in place
// and every other byte from a seeded pattern.
cmcEeprom cloneTestImage(uint32_t seed);

// Writes the image as a clone file of this model (whole image); false on failure.
bool cloneWriteImageFile(const QString& path, const cmcEeprom& image);
// The simulator's frame log, one frame per line.
QStringList cloneLogLines(const QString& path);

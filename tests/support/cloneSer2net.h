#pragma once
// A transparent serial-to-network bridge (ser2net) in front of a serial device, the common
// way to reach a radio's programming cable over the network: whatever crosses the line,
// the cable's echo included, comes back over TCP. The bridge runs as a real process on a
// free loopback port with a configuration file of its own.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>

class cloneSer2net {
  public:
    cloneSer2net() = default;
    ~cloneSer2net();
    cloneSer2net(const cloneSer2net&) = delete;
    cloneSer2net& operator=(const cloneSer2net&) = delete;

    // The ser2net program, or empty when it is not installed.
    static QString executable();

    // Bridges the device at the line settings ("38400n81") to a free loopback port and
    // waits until the port listens. On failure, error says why.
    bool start(const QString& device, const QString& line, QString* error);
    void stop();
    uint16_t port() const { return m_port; }

  private:
    QTemporaryDir m_dir;
    QProcess m_process;
    uint16_t m_port = 0;
};

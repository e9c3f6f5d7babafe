#pragma once
// The link of the cloning verbs: the options --port, --speed and --tcp, the link set-up that
// the editor's clone commands use, running one driver operation to its end with a progress
// bar on a terminal, and the error line of a clone status.

#include "cmcCloneDrv.h"

#include <QString>
#include <QStringList>
#include <functional>

// Exit statuses of the cloning verbs beyond the clone statuses, which are returned as they
// are: the file could not be read or written; write: the data failed the editor's checks.
enum cliLinkExit : int { CLI_CloneFileError = 33, CLI_WriteRefused = 34 };

class cliLink {
  public:
    // Takes the link options out of args; false (with a message) on a bad option.
    bool parse(QStringList& args, QString* error);
    // Link set-up of the clone commands: echo check, 128-byte acknowledge block, 1,000 ms
    // step time-out, serial speed or TCP address.
    void configure(cmcCloneDrv& driver) const;
    // "serial /dev/ttyUSB0 at 38400,N,8,1" or "tcp 127.0.0.1:41000".
    QString describe() const;
    int port() const { return m_port; }
    bool isTcp() const { return m_tcp; }

    // Starts an operation and runs the event loop until its callback; onResult sees the
    // result inside the callback. total > 0 shows a progress bar of the driver's data bytes
    // on standard error when that is a terminal. Returns the driver's status.
    int run(cmcCloneDrv& driver, const std::function<bool(cmcCloneDrv::Callback, void*)>& start,
            const std::function<int(dst_CDrv_Result&)>& onResult, int total = 0,
            const QString& label = QString()) const;

    // Prints "error N: message" for a clone status on standard error.
    void reportStatus(int status) const;

    static const char* OptionsHelp;

  private:
    int m_port = 1;
    QString m_device;
    bool m_high = true;
    bool m_tcp = false;
    QString m_host;
    uint16_t m_tcpPort = 0;
};

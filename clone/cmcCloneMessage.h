#pragma once
// The message of a clone status: the headline item of "GI_Mess_CloneErr_Head" for the
// status, two line breaks, and the check items that fit the status. Over the serial link
// the items speak of the programming cable and the COM port ("GI_Mess_CloneErr_Check"),
// over TCP of the network adapter ("GI_Mess_CloneErr_TcpCheck", same item numbers).
// Without an overlay (command-line use before one is found) a built-in English sentence.

#include <QList>
#include <QString>

class cmcCloneMessage {
  public:
    // The link a message speaks of.
    struct Link {
        bool tcp = false;
        int comPort = 1;
        QString tcpAddress;
        int tcpPort = 0;
    };

    // Empty for status 0. port fills the placeholder of status 2's headline (serial link).
    static QString Text(int status, int port);
    static QString Text(int status, const Link& link);
    // The check items shown for a status.
    static QList<int> CheckItems(int status);
    // One English sentence per status.
    static QString Plain(int status);
};

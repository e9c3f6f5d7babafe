#pragma once
// The message of a clone status: the headline item of "GI_Mess_CloneErr_Head" for the
// status, two line breaks, and the check items that fit the status. Over the serial link
// the items speak of the programming cable and the COM port ("GI_Mess_CloneErr_Check"),
// over TCP of the network adapter ("GI_Mess_CloneErr_TcpCheck", same item numbers).
// Without an overlay (command-line use before one is found) a built-in English sentence.
//
// What the result record adds: a write the radio refused (0xFA) says so instead of speaking
// of a bad frame, and a write cut off after data went out says that the radio now holds a
// partly written memory that must be written again before use.

#include <QList>
#include <QString>

struct dst_CDrv_Result;

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
    static QString Text(const dst_CDrv_Result& result, const Link& link);
    // The check items shown for a status.
    static QList<int> CheckItems(int status);
    // One English sentence per status.
    static QString Plain(int status);
    static QString Plain(const dst_CDrv_Result& result);
};

#pragma once
// The message of a clone status: the headline item of "GI_Mess_CloneErr_Head" for the
// status, two line breaks, and the "GI_Mess_CloneErr_Check" items that fit the status.
// Without an overlay (command-line use before one is found) a built-in English sentence.

#include <QList>
#include <QString>

class cmcCloneMessage {
  public:
    // Empty for status 0. port fills the placeholder of status 2's headline.
    static QString Text(int status, int port);
    // The check items shown for a status.
    static QList<int> CheckItems(int status);
    // One English sentence per status.
    static QString Plain(int status);
};

#pragma once
// The acceptance rules of the link dialogs, kept apart from the windows so that each rule
// is a plain function of the text typed.

#include <QString>

class clsLinkInput {
  public:
    static constexpr int NotANumber = -999;
    static constexpr int MinComPort = 1;
    static constexpr int MaxComPort = 256;
    static constexpr int MinTcpPort = 1024;
    static constexpr int MaxTcpPort = 65535;

    // The number typed, or NotANumber for text that is not a decimal number.
    static int number(const QString& text);
    // A COM port: a number from 1 to 256, or (off Windows) the path of a serial device,
    // which gets a number in the port table. 0 when refused.
    static int comPort(const QString& text);
    // Four groups of one to three decimal digits separated by exactly three dots, each
    // group from 0 to 255.
    static bool tcpAddress(const QString& text);
    // A TCP port from 1,024 to 65,535; 0 when refused.
    static int tcpPort(const QString& text);
};

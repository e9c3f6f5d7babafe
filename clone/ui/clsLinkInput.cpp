#include "clsLinkInput.h"

#include "cmcComm.h"

#include <QStringList>

int clsLinkInput::number(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return NotANumber;
    for (QChar c : t)
        if (!c.isDigit() && c != QLatin1Char('-') && c != QLatin1Char('+')) return NotANumber;
    bool ok = false;
    const int n = t.toInt(&ok);
    return ok ? n : NotANumber;
}

int clsLinkInput::comPort(const QString& text) {
    const int n = number(text);
    if (n != NotANumber) return n >= MinComPort && n <= MaxComPort ? n : 0;
#ifndef Q_OS_WIN
    // A device path (a USB adapter, a pseudo-terminal) is kept in the port table.
    const QString path = text.trimmed();
    if (path.startsWith(QLatin1Char('/'))) return cmcComm::PortNumberOf(path);
#endif
    return 0;
}

bool clsLinkInput::tcpAddress(const QString& text) {
    if (text.count(QLatin1Char('.')) != 3) return false;
    const QStringList groups = text.split(QLatin1Char('.'));
    for (const QString& g : groups) {
        if (g.isEmpty() || g.size() > 3) return false;
        for (QChar c : g)
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
        if (g.toInt() > 255) return false;
    }
    return true;
}

int clsLinkInput::tcpPort(const QString& text) {
    const int n = number(text);
    return n >= MinTcpPort && n <= MaxTcpPort ? n : 0;
}

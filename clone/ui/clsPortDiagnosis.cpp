#include "clsPortDiagnosis.h"

#include "cmcComm.h"
#include "cmcGTex.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

clsPortDiagnosis::Reason clsPortDiagnosis::reason(int port, QString* device, QString* detail) {
    const QString name = cmcComm::DeviceName(port);
    if (device) *device = name;
    if (name.isEmpty()) return NoDevice;
#ifdef Q_OS_UNIX
    if (!QFileInfo::exists(name)) return Missing;
    const QByteArray local = name.toLocal8Bit();
    if (::access(local.constData(), R_OK | W_OK) != 0 && errno == EACCES) return Permission;
#endif
    // Permission is ruled out above, so a refusal here means another program holds it
    // (a lock, or an exclusive open).
    switch (cmcComm::Probe(name, detail)) {
    case cmcCommDevice::Refusal::None:
        return Unknown;
    case cmcCommDevice::Refusal::Missing:
        return Missing;
    case cmcCommDevice::Refusal::Busy:
        return Busy;
    case cmcCommDevice::Refusal::Other:
        break;
    }
    return Other;
}

QString clsPortDiagnosis::explain(int port) {
    QString device, detail;
    const Reason r = reason(port, &device, &detail);
    const QString key = QStringLiteral("GI_Mess_CloneErr_Device");
    cmcGTex& t = cmcGTex::mainTable();
    switch (r) {
    case Unknown:
        return QString();
    case NoDevice:
        return t.getText(key, 0).arg(port);
    case Missing:
        return t.getText(key, 1).arg(device);
    case Permission:
        return t.getText(key, 2).arg(device) + QLatin1Char('\n') + t.getText(key, 3);
    case Busy:
        return t.getText(key, 4).arg(device);
    case Other:
        return t.getText(key, 5).arg(device, detail);
    }
    return QString();
}

#pragma once

#include <QString>

// The system's reason for a failed file operation (QFile::errorString()) as a phrase to
// quote inside a sentence of ours: Windows' reasons end with a full stop of their own
// ("File not found."), Linux's do not ("No such file or directory").
inline QString cmcSysReason(QString reason) {
    reason = reason.trimmed();
    if (reason.endsWith(QLatin1Char('.'))) reason.chop(1);
    return reason;
}

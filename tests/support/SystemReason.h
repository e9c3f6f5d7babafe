#pragma once
// What the system says when a file cannot be opened, for comparing the messages that quote
// it: "No such file or directory" here, "File not found" or "Path not found" on Windows.

#include <QFile>
#include <QString>

// QFile's reason for not opening the path for reading, without a closing full stop.
inline QString openFailureReason(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) return QString();
    QString reason = file.errorString().trimmed();
    if (reason.endsWith(QLatin1Char('.'))) reason.chop(1);
    return reason;
}

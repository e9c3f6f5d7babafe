#pragma once

#include <QByteArray>

// Whether standard error is a terminal (progress bars and redrawn status lines are only
// drawn there, never into a file or a pipe).
bool cliStderrIsTerminal();

// Writes a file's bytes to standard output as they are. A text stream on Windows would
// write each line feed as CR LF, and a CSV's own CR LF as CR CR LF.
void cliWriteBytes(const QByteArray& bytes);

#include "cliConsole.h"

#include <QtGlobal>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

bool cliStderrIsTerminal() {
#ifdef Q_OS_WIN
    return ::_isatty(::_fileno(stderr)) != 0;
#else
    return ::isatty(STDERR_FILENO) != 0;
#endif
}

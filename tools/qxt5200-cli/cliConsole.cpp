#include "cliConsole.h"

#include <QtGlobal>
#include <cstdio>

#ifdef Q_OS_WIN
#include <fcntl.h>
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

void cliWriteBytes(const QByteArray& bytes) {
    std::fflush(stdout);
#ifdef Q_OS_WIN
    const int mode = ::_setmode(::_fileno(stdout), _O_BINARY);
#endif
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
#ifdef Q_OS_WIN
    if (mode != -1) ::_setmode(::_fileno(stdout), mode);
#endif
}

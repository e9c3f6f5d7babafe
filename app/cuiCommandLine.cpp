#include "cuiCommandLine.h"

#include "qxVersion.h"

#include <cstring>

bool cuiCommandLine::answerEarly(int argc, const char* const* argv, std::FILE* out) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        // "--tcp" takes the next argument as its value, whatever it looks like.
        if (std::strcmp(a, "--tcp") == 0) {
            ++i;
            continue;
        }
        QString text;
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0)
            text = helpText();
        else if (std::strcmp(a, "--version") == 0 || std::strcmp(a, "-v") == 0)
            text = versionText();
        else
            continue;
        std::fputs(text.toLocal8Bit().constData(), out);
        std::fflush(out);
        return true;
    }
    return false;
}

QString cuiCommandLine::helpText() {
    return QStringLiteral(
        "Usage: qxt5200 [OPTION]... [FILE]\n"
        "The QX-T5200 cloning editor: reads the configuration memory of a QX-T5200 HF SSB\n"
        "transceiver through a programming cable or a TCP network adapter, edits it in\n"
        "sheets, keeps it in clone files (*.icf) and writes it back into the radio.\n"
        "\n"
        "  FILE               open this clone file at start\n"
        "  --tcp HOST:PORT    clone over this TCP network adapter for this run (not stored)\n"
        "  --no-splash        start without the splash window\n"
        "  /factory           ask to turn the maker mode on (clone writes send the whole\n"
        "                     memory, the Debug menu appears)\n"
        "  -h, --help         show this help and exit\n"
        "  -v, --version      show the version and exit\n"
        "\n"
        "The overlay files, the initial clone file and the help are read from the\n"
        "program's folder or from ../share/qxt5200 beside it. Settings are kept per user\n"
        "(on Linux in ~/.config/Vexo/QX-T5200.conf); clone images read from or written to a\n"
        "radio are also kept in ~/.local/share/Vexo/QX-T5200/backups.\n");
}

QString cuiCommandLine::versionText() {
    return QStringLiteral("qxt5200 " QX_VERSION "\n");
}

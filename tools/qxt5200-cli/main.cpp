// qxt5200-cli: check, describe and edit clone files and clone a radio from the command line.

#include "cliVerb.h"
#include "cmcPrompt.h"
#include "qxVersion.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <memory>

std::vector<cliVerb>& cliVerbs() {
    static std::vector<cliVerb> verbs;
    return verbs;
}

bool cliTakeOption(QStringList& args, const QString& name, QString* value) {
    const int at = int(args.indexOf(name));
    if (at < 0) return true;
    if (at + 1 >= args.size()) return false;
    *value = args[at + 1];
    args.remove(at, 2);
    return true;
}

void cliError(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

void cliOut(const QString& text) {
    std::fprintf(stdout, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stdout);
}

// The usage: on standard output when asked for (--help), on standard error after a mistake.
static void usage(void (*write)(const QString&)) {
    auto verbs = cliVerbs();
    std::sort(verbs.begin(), verbs.end(),
              [](const cliVerb& a, const cliVerb& b) { return a.name < b.name; });
    write(
        QStringLiteral("Usage: qxt5200-cli VERB [ARGUMENTS]\n"
                       "Checks, describes and edits QX-T5200 clone files and clones the radio.\n\n"
                       "Verbs:"));
    for (const auto& v : verbs)
        write(QStringLiteral("  ") + v.synopsis);
    write(QStringLiteral("\nOptions:\n"
                         "  -h, --help     show this help and exit\n"
                         "  -v, --version  show the version and exit\n\n"
                         "\"qxt5200-cli VERB --help\" tells more about a verb."));
}

// The application a verb needs: a GUI one (on the offscreen platform when there is no
// display) for the verbs that draw, else a core one.
static std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv) {
    const bool gui =
        argc > 1 && std::any_of(cliVerbs().begin(), cliVerbs().end(), [&](const cliVerb& v) {
            return v.gui && v.name == QString::fromLocal8Bit(argv[1]);
        });
    if (!gui) return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

int main(int argc, char** argv) {
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv);
    QStringList args = app->arguments().mid(1);
    if (args.isEmpty()) {
        usage(cliError);
        return CLI_USAGE;
    }
    if (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        usage(cliOut);
        return CLI_OK;
    }
    if (args[0] == QLatin1String("--version") || args[0] == QLatin1String("-v")) {
        cliOut(QStringLiteral("qxt5200-cli " QX_VERSION));
        return CLI_OK;
    }
    const QString name = args.takeFirst();
    for (const auto& v : cliVerbs()) {
        if (v.name != name) continue;
        if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
            cliOut(QStringLiteral("usage: qxt5200-cli ") + v.synopsis + QStringLiteral("\n\n") +
                   v.help);
            return CLI_OK;
        }
        return v.run(args);
    }
    cliError(QStringLiteral("qxt5200-cli: unknown verb '%1'").arg(name));
    usage(cliError);
    return CLI_USAGE;
}

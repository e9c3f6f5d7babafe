// qxt5200-cli: check, describe and edit clone files and clone a radio from the command line.

#include "cliVerb.h"
#include "cmcPrompt.h"

#include <QCoreApplication>
#include <QTextStream>
#include <algorithm>
#include <cstdio>

std::vector<cliVerb>& cliVerbs()
{
    static std::vector<cliVerb> verbs;
    return verbs;
}

void cliError(const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

void cliOut(const QString& text)
{
    std::fprintf(stdout, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stdout);
}

static void usage()
{
    auto verbs = cliVerbs();
    std::sort(verbs.begin(), verbs.end(), [](const cliVerb& a, const cliVerb& b) { return a.name < b.name; });
    cliError(QStringLiteral("usage: qxt5200-cli VERB [ARGUMENTS]\n\nverbs:"));
    for (const auto& v : verbs) cliError(QStringLiteral("  ") + v.synopsis);
    cliError(QStringLiteral("\n\"qxt5200-cli VERB --help\" tells more about a verb."));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        usage();
        return args.isEmpty() ? CLI_USAGE : CLI_OK;
    }
    const QString name = args.takeFirst();
    for (const auto& v : cliVerbs()) {
        if (v.name != name) continue;
        if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
            cliOut(QStringLiteral("usage: qxt5200-cli ") + v.synopsis + QStringLiteral("\n\n") + v.help);
            return CLI_OK;
        }
        return v.run(args);
    }
    cliError(QStringLiteral("qxt5200-cli: unknown verb '%1'").arg(name));
    usage();
    return CLI_USAGE;
}

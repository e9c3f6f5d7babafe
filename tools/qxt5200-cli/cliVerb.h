#pragma once
// The verbs of qxt5200-cli. Each verb_<name>.cpp defines one verb and registers it with a
// static cliVerbRegistrar, so main() needs no list of them.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

struct cliVerb {
    QString name;
    QString synopsis; // one line: "check FILE"
    QString help;     // the text that "VERB --help" prints (after the synopsis)
    // Runs the verb with its arguments (the verb name removed); returns the exit status.
    std::function<int(const QStringList& args)> run;
    // The verb draws text (fonts, pages): it runs on a GUI application, headless when no
    // display is there.
    bool gui = false;
};

std::vector<cliVerb>& cliVerbs();

struct cliVerbRegistrar {
    explicit cliVerbRegistrar(cliVerb verb) { cliVerbs().push_back(std::move(verb)); }
};

// Writes a line to standard error / standard output.
void cliError(const QString& text);
void cliOut(const QString& text);
// Takes "NAME VALUE" out of args into value (left as it was when NAME is not there); false
// when NAME is there without a value.
bool cliTakeOption(QStringList& args, const QString& name, QString* value);

// Common exit statuses of the tool (verbs add their own distinct ones above these).
enum cliExit : int {
    CLI_OK = 0,
    CLI_USAGE = 64, // wrong arguments
};

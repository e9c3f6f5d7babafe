#include "cliLists.h"

#include "cliVerb.h"
#include "imcCsvLists.h"

namespace cliLists {

bool takeOption(QStringList& args, const QString& name, QString* value, const QString& verb) {
    const int at = int(args.indexOf(name));
    if (at < 0) return true;
    if (at + 1 >= args.size()) {
        cliError(QStringLiteral("qxt5200-cli %1: %2 needs a value").arg(verb, name));
        return false;
    }
    *value = args[at + 1];
    args.remove(at, 2);
    return true;
}

bool takeSwitch(QStringList& args, const QString& name) {
    return args.removeAll(name) > 0;
}

const cmcCsvTable* findList(const QString& name, const QString& verb) {
    if (const cmcCsvTable* t = imcCsvLists::find(name)) return t;
    QStringList names;
    for (const cmcCsvTable* t : imcCsvLists::all())
        names << QString::fromLatin1(t->name);
    cliError(QStringLiteral("qxt5200-cli %1: '%2' is no list; the lists are %3")
                 .arg(verb, name, names.join(QStringLiteral(", "))));
    return nullptr;
}

} // namespace cliLists

#pragma once
// Shared parts of the list verbs (export, import): their exit statuses and the option
// parsing they have in common.

#include <QString>
#include <QStringList>

struct cmcCsvTable;

enum cliListExit : int {
    CLI_ListFileError = 14, // the CSV file cannot be read or written
};

namespace cliLists {

// Takes "NAME VALUE" out of args; false (with a message) when the value is missing.
bool takeOption(QStringList& args, const QString& name, QString* value, const QString& verb);
// Takes a switch out of args; whether it was there.
bool takeSwitch(QStringList& args, const QString& name);
// The list a name stands for, or nullptr after a message naming the lists.
const cmcCsvTable* findList(const QString& name, const QString& verb);

} // namespace cliLists

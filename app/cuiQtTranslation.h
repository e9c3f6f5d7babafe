#pragma once
// Qt's own texts (message-box buttons, key names such as "Ctrl", standard dialogs) in the
// language of the overlay in use. The main overlay names Qt's translation file under
// "GI_Sys_QtTranslation" ("qtbase_de"); an empty name, or a file not installed, leaves Qt's
// built-in English.

#include <QString>

class cuiQtTranslation {
  public:
    // Installs the translation named by the main text table, replacing the one installed
    // before; returns whether a translation is installed now.
    static bool applyFromMainTable();
    // Installs the translation file name (without ".qm") from Qt's translations folder.
    static bool apply(const QString& name);
};

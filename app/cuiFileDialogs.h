#pragma once
// The file dialogs the controller shows, behind a small service so that tests can answer
// them: the application uses the platform's dialogs, tests install answers.

#include <QString>

class QWidget;

class cuiFileDialogs {
public:
    virtual ~cuiFileDialogs() = default;
    // The chosen path of an existing file, or empty when cancelled.
    virtual QString openFile(QWidget* parent, const QString& title, const QString& filter,
                             const QString& directory) = 0;
    // The chosen path to save to (the overwrite question already answered), or empty.
    virtual QString saveFile(QWidget* parent, const QString& title, const QString& filter,
                             const QString& directory, const QString& proposedName) = 0;

    // The service in use (the platform dialogs unless another is installed).
    static cuiFileDialogs& current();
    // Installs a service (not owned); nullptr restores the platform dialogs.
    static void install(cuiFileDialogs* dialogs);
};

#pragma once
// The file dialogs the controller shows, behind a small service so that tests can answer
// them: the application uses the platform's dialogs, tests install answers.

#include <QString>
#include <QStringList>

class QWidget;

class cuiFileDialogs {
  public:
    virtual ~cuiFileDialogs() = default;
    // The chosen path of an existing file, or empty when cancelled.
    virtual QString openFile(QWidget* parent, const QString& title, const QString& filter,
                             const QString& directory) = 0;
    // The chosen paths of several existing files, or none when cancelled. By default the one
    // file openFile chooses.
    virtual QStringList openFiles(QWidget* parent, const QString& title, const QString& filter,
                                  const QString& directory);
    // The chosen path to save to (the overwrite question already answered), or empty. A
    // name typed without a suffix gets the filter's first one, so that the file shows in
    // the open dialog's filter afterwards.
    virtual QString saveFile(QWidget* parent, const QString& title, const QString& filter,
                             const QString& directory, const QString& proposedName) = 0;

    // The first suffix a filter names ("icf" of "Clone files (*.icf);;All files (*)").
    static QString defaultSuffix(const QString& filter);
    // path with the filter's first suffix added when the file name has none.
    static QString withDefaultSuffix(const QString& path, const QString& filter);

    // The service in use (the platform dialogs unless another is installed).
    static cuiFileDialogs& current();
    // Installs a service (not owned); nullptr restores the platform dialogs.
    static void install(cuiFileDialogs* dialogs);
};

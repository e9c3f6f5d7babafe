#include "cuiFileDialogs.h"

#include <QDir>
#include <QFileDialog>

namespace {

class PlatformDialogs : public cuiFileDialogs {
public:
    QString openFile(QWidget* parent, const QString& title, const QString& filter,
                     const QString& directory) override
    {
        return QFileDialog::getOpenFileName(parent, title, directory, filter);
    }
    QString saveFile(QWidget* parent, const QString& title, const QString& filter,
                     const QString& directory, const QString& proposedName) override
    {
        return QFileDialog::getSaveFileName(parent, title, QDir(directory).filePath(proposedName),
                                            filter);
    }
};

PlatformDialogs g_platform;
cuiFileDialogs* g_installed = nullptr;

} // namespace

cuiFileDialogs& cuiFileDialogs::current() { return g_installed ? *g_installed : g_platform; }

void cuiFileDialogs::install(cuiFileDialogs* dialogs) { g_installed = dialogs; }

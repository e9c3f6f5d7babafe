#include "cuiFileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

class PlatformDialogs : public cuiFileDialogs {
  public:
    QString openFile(QWidget* parent, const QString& title, const QString& filter,
                     const QString& directory) override {
        return QFileDialog::getOpenFileName(parent, title, directory, filter);
    }
    QStringList openFiles(QWidget* parent, const QString& title, const QString& filter,
                          const QString& directory) override {
        return QFileDialog::getOpenFileNames(parent, title, directory, filter);
    }
    QString saveFile(QWidget* parent, const QString& title, const QString& filter,
                     const QString& directory, const QString& proposedName) override {
        // The dialog adds the suffix itself, so that its overwrite question names the
        // file that is really written.
        QFileDialog dialog(parent, title, QDir(directory).filePath(proposedName), filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(defaultSuffix(filter));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return withDefaultSuffix(dialog.selectedFiles().constFirst(), filter);
    }
};

PlatformDialogs g_platform;
cuiFileDialogs* g_installed = nullptr;

} // namespace

QStringList cuiFileDialogs::openFiles(QWidget* parent, const QString& title, const QString& filter,
                                      const QString& directory) {
    const QString one = openFile(parent, title, filter, directory);
    return one.isEmpty() ? QStringList() : QStringList{one};
}

QString cuiFileDialogs::defaultSuffix(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9_]+)"));
    const QRegularExpressionMatch m = pattern.match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}

QString cuiFileDialogs::withDefaultSuffix(const QString& path, const QString& filter) {
    const QString suffix = defaultSuffix(filter);
    if (path.isEmpty() || suffix.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
    return path + QLatin1Char('.') + suffix;
}

cuiFileDialogs& cuiFileDialogs::current() {
    return g_installed ? *g_installed : g_platform;
}

void cuiFileDialogs::install(cuiFileDialogs* dialogs) {
    g_installed = dialogs;
}

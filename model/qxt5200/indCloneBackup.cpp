#include "indCloneBackup.h"

#include "cmcEeprom.h"
#include "cmcIcfFile.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString indCloneBackup::defaultFolder() {
    if (!QCoreApplication::organizationName().isEmpty())
        return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
               QStringLiteral("/backups");
#ifdef Q_OS_WIN
    // The editor's folder lies in the roaming application data, which is not the generic
    // (local) data location there: a program without the editor's names uses the same one.
    const QString roaming = QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
    if (!roaming.isEmpty()) return roaming + QStringLiteral("/Vexo/QX-T5200/backups");
#endif
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Vexo/QX-T5200/backups");
}

QString indCloneBackup::write(const QString& folder, const cmcEeprom& image, const QString& kind) {
    const QString stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    // Several radios may finish within the same millisecond: a name already taken gets a
    // number.
    QString path;
    for (int n = 1; n < 1000; ++n) {
        path = folder + QStringLiteral("/%1_%2_%3%4.icf")
                            .arg(QString::fromLatin1(ModelShortName), stamp, kind,
                                 n == 1 ? QString() : QStringLiteral("-%1").arg(n));
        if (!QFileInfo::exists(path)) break;
    }
    int code = ICF_FileOpen;
    if (QDir().mkpath(folder)) {
        cmcEeprom copy = image;
        cmcIcfFile file(copy);
        file.setModelCode(QxRadio::ModelCode);
        file.setExtraCode(QxRadio::ExtraCode);
        file.setMapRevision(QxRadio::CloneMapRevision);
        file.setComment(indCloneFile::commentOf(copy));
        code = file.write(path, QxRadio::WholeImage);
    }
    return code == ICF_Ok ? path : QString();
}

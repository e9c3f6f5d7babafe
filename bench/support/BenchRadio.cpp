#include "BenchRadio.h"

#include "cmcFCache.h"
#include "cmcGTex.h"
#include "cmcIcfFile.h"
#include "imcRadioFacts.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QRandomGenerator>

bool BenchSim::start(const QStringList& args) {
    process.setProgram(QCoreApplication::applicationDirPath() + "/../bin/qxt5200-sim");
    process.setArguments(args);
    process.start();
    if (!process.waitForStarted(5000)) return false;
    QByteArray line;
    QDeadlineTimer deadline(10000);
    while (!line.contains('\n') && !deadline.hasExpired())
        if (process.waitForReadyRead(int(deadline.remainingTime())))
            line += process.readAllStandardOutput();
    if (!line.startsWith("READY ")) return false;
    address = QString::fromLocal8Bit(line.mid(6).trimmed());
    return true;
}

bool BenchSim::stop() {
    const bool crashed =
        process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::CrashExit;
    process.kill();
    process.waitForFinished(5000);
    return crashed;
}

cmcEeprom benchRadioImage(quint32 seed) {
    cmcEeprom image(QxRadio::ImageSize);
    QRandomGenerator rng(seed);
    for (int32_t a = 0; a < image.GetSize(); ++a)
        image.SetByte(a, uint8_t(rng.bounded(256)));
    image.SetBlock(QxRadio::IdentityAddr, reinterpret_cast<const uint8_t*>(QxRadio::IdentityText),
                   QxRadio::IdentityLen);
    image.SetByte(QxRadio::MapRevisionAddr, QxRadio::MapRevision);
    image.SetBlock(QxRadio::MakerTextAddr, reinterpret_cast<const uint8_t*>(QxRadio::MakerText),
                   QxRadio::MakerTextLen);
    return image;
}

bool benchWriteRadioFile(const QString& path, const cmcEeprom& image) {
    cmcEeprom copy = image; // the file object works on an image it may change
    cmcIcfFile f(copy);
    f.setModelCode(QxRadio::ModelCode);
    f.setExtraCode(QxRadio::ExtraCode);
    f.setMapRevision(QxRadio::CloneMapRevision);
    return f.write(path, QxRadio::WholeImage) == 0;
}

cmcEeprom benchWriteSource(const cmcEeprom& image) {
    cmcEeprom source = image;
    for (int32_t a = QxRadio::UserWriteFirst; a <= QxRadio::UserWriteLast; ++a)
        source.SetByte(a, uint8_t(a * 7));
    return source;
}

void benchUseEnglishTexts(cmcGTex& texts) {
    texts.openFile(QDir(QCoreApplication::applicationDirPath())
                       .filePath(QStringLiteral("../bin/QXT5200_ENG.OVL")));
    cmcFCache::instance().setTable(&texts);
}

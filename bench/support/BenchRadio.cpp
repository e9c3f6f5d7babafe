#include "BenchRadio.h"

#include "cmcFCache.h"
#include "cmcGTex.h"
#include "imcRadioFacts.h"

#include <QCoreApplication>
#include <QDir>

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

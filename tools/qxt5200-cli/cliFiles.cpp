#include "cliFiles.h"

#include "cmcEeprom.h"
#include "cmcGTex.h"
#include "cmcIcfFile.h"
#include "cmcListInfo.h"
#include "cmcOverlayFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// Used when no overlay lies beside the executable.
const char* const EnglishErrors[] = {
    "The file cannot be opened.",                               // 1
    "The file could not be written completely.",                // 2
    "The file belongs to another transceiver model.",           // 3
    "The file belongs to another version of this transceiver.", // 4
    "The memory map revision of the file is not supported.",    // 5
    "The file is not a valid clone file (format error).",       // 6
    "The file does not hold all the data of the transceiver.",  // 7
    "The file holds data outside the expected addresses.",      // 8
    "The file was made by a newer version of this program.",    // 9
};

const char* const DefaultInitialFile = "QXT5200_Initial.icf";

QString runtimeDir() {
    return cmcOverlayFiles::dataDir();
}

// Opens the main overlay named by the language list of the data folder (first language),
// without ever stopping on a missing file or key. False when there is none.
bool mainOverlay() {
    static int state = -1;
    if (state >= 0) return state == 1;
    state = 0;
    const QDir dir(runtimeDir());
    const QString list = dir.filePath(QStringLiteral("QXT5200.OVL"));
    if (!QFileInfo(list).isFile()) return false;
    cmcGTex& languages = cmcGTex::languageTable();
    languages.openFile(list);
    if (!languages.hasKey(QStringLiteral("GI_Sys_Language"))) return false;
    const QStringList fields =
        languages.getText(QStringLiteral("GI_Sys_Language"), 0).split(QLatin1Char('\t'));
    if (fields.size() < 2 || fields[1].isEmpty()) return false;
    const QString main = dir.filePath(fields[1]);
    if (!QFileInfo(main).isFile()) return false;
    cmcGTex::mainTable().openFile(main);
    state = 1;
    return true;
}

QString overlayText(const QString& key) {
    if (!mainOverlay() || !cmcGTex::mainTable().hasKey(key)) return {};
    return cmcGTex::mainTable()
        .getTextBlock(key)
        .replace(QLatin1Char('\n'), QLatin1Char(' '))
        .trimmed();
}

} // namespace

namespace cliFiles {

QString overlayValue(const QString& key) {
    return overlayText(key);
}

QString errorText(int code) {
    const QString text = overlayText(cmcIcfFile::errorKey(code));
    if (!text.isEmpty()) return text;
    if (code >= 1 && code <= 9) return QString::fromLatin1(EnglishErrors[code - 1]);
    return QStringLiteral("Unknown error.");
}

QString errorLine(int code) {
    return errorLine(code, cmcIcfFile::lastProblem());
}

QString errorLine(int code, const cmcIcfProblem& problem) {
    QString line = QStringLiteral("error %1: %2").arg(code).arg(errorText(code));
    QString detail;
    if (mainOverlay()) detail = cmcIcfFile::problemText(problem);
    if (detail.isEmpty()) detail = cmcIcfFile::englishProblemText(problem);
    if (!detail.isEmpty()) line += QLatin1Char(' ') + detail;
    return line;
}

QString initialFilePath() {
    QString name = overlayText(QStringLiteral("GI_App_InitialFile"));
    if (name.isEmpty()) name = QString::fromLatin1(DefaultInitialFile);
    return QDir(runtimeDir()).filePath(name);
}

int usedChannelRows(const cmcEeprom& image) {
    const cmcListLayout& channels = *cmcListInfo::layout(QxList::Channel);
    int used = 0;
    for (int32_t row = 0; row < channels.rows; ++row) {
        uint8_t f[4] = {};
        image.GetBlock(channels.base + row * channels.size, f, 4);
        const uint32_t rx =
            uint32_t(f[0]) | uint32_t(f[1]) << 8 | uint32_t(f[2]) << 16 | uint32_t(f[3]) << 24;
        if (rx != 0 && rx != 0xFFFFFFFFu) ++used;
    }
    return used;
}

} // namespace cliFiles

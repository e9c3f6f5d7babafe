#include "indCloneFile.h"

#include "cmcEeprom.h"

#include <cstring>

const cmcAdrRange indCloneFile::WholeImage[] = {{0x0000, QxMap::ImageSize - 1}, {1, 0}};
const cmcAdrRange indCloneFile::RepeaterData[] = {{0x0000, QxMap::RepeaterEnd}, {1, 0}};
const cmcAdrRange indCloneFile::DefaultRange[] = {{0x0000, QxMap::DefaultRangeEnd}, {1, 0}};

void indCloneFile::prepareImage(cmcEeprom& image, const cmcEeprom& loaded, bool forSaving) {
    uint8_t maker[QxMap::MakerTextLen] = {};
    loaded.GetBlock(QxMap::MakerTextAddr, maker, QxMap::MakerTextLen);
    image.SetBlock(QxMap::MakerTextAddr, maker, QxMap::MakerTextLen);
    if (loaded.IsValidAddress(QxMap::MapRevisionAddr) &&
        image.IsValidAddress(QxMap::MapRevisionAddr))
        image.SetByte(QxMap::MapRevisionAddr, loaded.GetByte(QxMap::MapRevisionAddr));
    if (forSaving) {
        const uint8_t mark[2] = {0xFF, 0xFF};
        image.SetBlock(QxMap::SaveMarkAddr, mark, 2);
    }
}

QString indCloneFile::commentOf(const cmcEeprom& image) {
    uint8_t bytes[QxMap::CommentLen];
    std::memset(bytes, ' ', sizeof bytes);
    image.GetBlock(QxMap::CommentAddr, bytes, QxMap::CommentLen);
    QString text;
    for (uint8_t b : bytes)
        text.append(QChar(b >= 32 && b <= 126 ? char(b) : ' '));
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

bool indCloneFile::hasIdentity(const cmcEeprom& image) {
    if (image.GetSize() < QxMap::ImageSize) return false;
    uint8_t identity[QxMap::IdentityLen];
    image.GetBlock(QxMap::IdentityAddr, identity, QxMap::IdentityLen);
    return std::memcmp(identity, QxMap::IdentityText, QxMap::IdentityLen) == 0 &&
           image.GetByte(QxMap::MapRevisionAddr) == QxMap::MapRevision;
}

bool indCloneFile::acceptModel(void*, uint32_t modelCode, uint32_t extraCode, int* error) {
    if (modelCode != ModelCode) {
        *error = ICF_Model;
        return false;
    }
    if (extraCode != ExtraCode) {
        *error = ICF_Extra;
        return false;
    }
    return true;
}

bool indCloneFile::acceptCloneMapRev(void*, int32_t mapRevision) {
    return mapRevision == CloneMapRevision;
}

bool indCloneFile::acceptRepeaterMapRev(void*, int32_t mapRevision) {
    return mapRevision == RepeaterMapRevision;
}

bool indCloneFile::acceptVersion(const cmcEeprom&) {
    return true;
}

void indCloneFile::setUpReader(cmcIcfFile& file, bool repeater, bool report) {
    file.setModelCode(ModelCode);
    file.setExtraCode(ExtraCode);
    file.setModelCheck(&acceptModel, nullptr);
    file.setMapRevCheck(repeater ? &acceptRepeaterMapRev : &acceptCloneMapRev, nullptr);
    file.setReportErrors(report);
}

int indCloneFile::save(const QString& path, cmcEeprom& image, const cmcEeprom& loaded,
                       bool report) {
    prepareImage(image, loaded, true);
    cmcIcfFile file(image);
    file.setModelCode(ModelCode);
    file.setExtraCode(ExtraCode);
    file.setComment(commentOf(image));
    file.setMapRevision(CloneMapRevision);
    file.setReportErrors(report);
    return file.write(path, WholeImage);
}

int indCloneFile::open(const QString& path, cmcEeprom& image, bool report) {
    cmcEeprom copy(image.GetSize()); // zero-filled
    cmcIcfFile file(copy);
    setUpReader(file, false, report);
    int code = file.read(path);
    if (code != ICF_Ok) return code; // reported by the reader
    // The identity can only be judged when the file gave its bytes; a file that lacks them
    // (one of header lines alone, for instance) is missing data rather than another radio's.
    bool identityGiven = file.isLoaded(QxMap::MapRevisionAddr);
    for (int32_t a = 0; a < QxMap::IdentityLen; ++a)
        identityGiven = identityGiven && file.isLoaded(QxMap::IdentityAddr + a);
    if (!identityGiven)
        code = file.checkCoverage(WholeImage);
    else if (!hasIdentity(copy))
        code = ICF_Data;
    else if (!acceptVersion(copy))
        code = ICF_Newer;
    else
        code = file.checkCoverage(WholeImage);
    if (code != ICF_Ok) {
        if (report) cmcIcfFile::report(code, file.problem());
        return code;
    }
    image = copy;
    return ICF_Ok;
}

int indCloneFile::readInitial(const QString& path, cmcEeprom& loaded, bool report) {
    cmcIcfFile file(loaded);
    setUpReader(file, false, report);
    return file.read(path, WholeImage);
}

int indCloneFile::saveRepeater(const QString& path, const cmcEeprom& image, bool report) {
    cmcEeprom copy(image); // the writer only reads; it wants a modifiable reference
    cmcIcfFile file(copy);
    file.setModelCode(ModelCode);
    file.setExtraCode(ExtraCode);
    file.setComment(QStringLiteral("Repeater Data"));
    file.setMapRevision(RepeaterMapRevision);
    file.setReportErrors(report);
    return file.write(path, RepeaterData);
}

int indCloneFile::readRepeater(const QString& path, cmcEeprom& copy, bool report) {
    copy.SetSize(copy.GetSize()); // zero-filled
    cmcIcfFile file(copy);
    setUpReader(file, true, report);
    return file.read(path, RepeaterData);
}

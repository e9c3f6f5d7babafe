#include "indCloneFile.h"

#include "cmcEeprom.h"
#include "imcRadioFacts.h"

#include <cstring>

void indCloneFile::prepareImage(cmcEeprom& image, const cmcEeprom& loaded, bool forSaving) {
    uint8_t maker[QxRadio::MakerTextLen] = {};
    loaded.GetBlock(QxRadio::MakerTextAddr, maker, QxRadio::MakerTextLen);
    image.SetBlock(QxRadio::MakerTextAddr, maker, QxRadio::MakerTextLen);
    if (loaded.IsValidAddress(QxRadio::MapRevisionAddr) &&
        image.IsValidAddress(QxRadio::MapRevisionAddr))
        image.SetByte(QxRadio::MapRevisionAddr, loaded.GetByte(QxRadio::MapRevisionAddr));
    if (forSaving) {
        const uint8_t mark[2] = {0xFF, 0xFF};
        image.SetBlock(QxRadio::SaveMarkAddr, mark, 2);
    }
}

QString indCloneFile::commentOf(const cmcEeprom& image) {
    uint8_t bytes[QxRadio::CommentLen];
    std::memset(bytes, ' ', sizeof bytes);
    image.GetBlock(QxRadio::CommentAddr, bytes, QxRadio::CommentLen);
    QString text;
    for (uint8_t b : bytes)
        text.append(QChar(b >= 32 && b <= 126 ? char(b) : ' '));
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

bool indCloneFile::hasIdentity(const cmcEeprom& image) {
    if (image.GetSize() < QxRadio::ImageSize) return false;
    uint8_t identity[QxRadio::IdentityLen];
    image.GetBlock(QxRadio::IdentityAddr, identity, QxRadio::IdentityLen);
    return std::memcmp(identity, QxRadio::IdentityText, QxRadio::IdentityLen) == 0 &&
           image.GetByte(QxRadio::MapRevisionAddr) == QxRadio::MapRevision;
}

bool indCloneFile::acceptModel(void*, uint32_t modelCode, uint32_t extraCode, int* error) {
    if (modelCode != QxRadio::ModelCode) {
        *error = ICF_Model;
        return false;
    }
    if (extraCode != QxRadio::ExtraCode) {
        *error = ICF_Extra;
        return false;
    }
    return true;
}

bool indCloneFile::acceptCloneMapRev(void*, int32_t mapRevision) {
    return mapRevision == QxRadio::CloneMapRevision;
}

bool indCloneFile::acceptRepeaterMapRev(void*, int32_t mapRevision) {
    return mapRevision == QxRadio::RepeaterMapRevision;
}

bool indCloneFile::acceptVersion(const cmcEeprom&) {
    return true;
}

void indCloneFile::setUpReader(cmcIcfFile& file, bool repeater) {
    file.setModelCode(QxRadio::ModelCode);
    file.setExtraCode(QxRadio::ExtraCode);
    file.setModelCheck(&acceptModel, nullptr);
    file.setMapRevCheck(repeater ? &acceptRepeaterMapRev : &acceptCloneMapRev, nullptr);
}

int indCloneFile::save(const QString& path, cmcEeprom& image, const cmcEeprom& loaded) {
    prepareImage(image, loaded, true);
    cmcIcfFile file(image);
    file.setModelCode(QxRadio::ModelCode);
    file.setExtraCode(QxRadio::ExtraCode);
    file.setComment(commentOf(image));
    file.setMapRevision(QxRadio::CloneMapRevision);
    return file.write(path, QxRadio::WholeImage);
}

int indCloneFile::open(const QString& path, cmcEeprom& image) {
    cmcEeprom copy(image.GetSize()); // zero-filled
    cmcIcfFile file(copy);
    setUpReader(file, false);
    int code = file.read(path);
    if (code != ICF_Ok) return code;
    // The identity first, then the version, then the coverage. A file of header lines alone
    // fails the identity as any file without this radio's identity does; its reason is that
    // it holds no data.
    if (!hasIdentity(copy))
        return file.reject(ICF_Data, file.dataLineCount() == 0 ? cmcIcfProblem::NoData
                                                               : cmcIcfProblem::Identity);
    if (!acceptVersion(copy)) return file.reject(ICF_Newer, cmcIcfProblem::None);
    code = file.checkCoverage(QxRadio::WholeImage);
    if (code != ICF_Ok) return code;
    image = copy;
    return ICF_Ok;
}

int indCloneFile::readInitial(const QString& path, cmcEeprom& loaded) {
    cmcIcfFile file(loaded);
    setUpReader(file, false);
    return file.read(path, QxRadio::WholeImage);
}

int indCloneFile::saveRepeater(const QString& path, const cmcEeprom& image) {
    cmcEeprom copy(image); // the writer only reads; it wants a modifiable reference
    cmcIcfFile file(copy);
    file.setModelCode(QxRadio::ModelCode);
    file.setExtraCode(QxRadio::ExtraCode);
    file.setComment(QStringLiteral("Repeater Data"));
    file.setMapRevision(QxRadio::RepeaterMapRevision);
    return file.write(path, QxRadio::RepeaterData);
}

int indCloneFile::readRepeater(const QString& path, cmcEeprom& copy) {
    copy.SetSize(copy.GetSize()); // zero-filled
    cmcIcfFile file(copy);
    setUpReader(file, true);
    const int code = file.read(path, QxRadio::RepeaterData);
    // A clone file offered as repeater data fails on its map revision; say what it is.
    if (code == ICF_MapRev && file.mapRevision() == QxRadio::CloneMapRevision)
        return file.reject(code, cmcIcfProblem::CloneFile);
    return code;
}

#include "imcCloneCheck.h"

#include "cmcEeprom.h"
#include "dst_CDrv_Result.h"
#include "imcRadioFacts.h"

#include <algorithm>
#include <cstring>

const cmcAdrRange* imcCloneCheck::WriteRanges(bool makerMode) {
    return makerMode ? QxRadio::MakerWrite : QxRadio::UserWrite;
}

int32_t imcCloneCheck::RangeBytes(const cmcAdrRange* ranges) {
    int32_t total = 0;
    for (const cmcAdrRange* r = ranges; r && r->last >= r->first; ++r)
        total += r->last - r->first + 1;
    return total;
}

int32_t imcCloneCheck::CheckInfo(const dst_CDrv_Result& result, uint32_t modelCode) {
    if (uint32_t(result.code1) != modelCode) return CS_InfoMismatch;
    const cmcBuff& info = result.information;
    if (info.GetLength() < 1 || info.GetData()[0] != info.GetLength()) return CS_InfoMismatch;
    if (info.GetLength() < 3 || info.GetData()[2] != InfoKind) return CS_InfoKind;
    return CS_Ok;
}

int32_t imcCloneCheck::CheckIdentify(const dst_CDrv_Result& result, uint32_t modelCode) {
    if (uint32_t(result.code1) != modelCode) return CS_InfoMismatch;
    if (result.code2 != 0 && result.code2 != 1) return CS_InfoMismatch;
    if (result.information.GetLength() != InfoLength) return CS_InfoMismatch;
    return CS_Ok;
}

int imcCloneCheck::CheckImageIdentity(const cmcEeprom& image, bool checkMakerText) {
    if (image.GetSize() < QxRadio::ImageSize) return 1;
    const uint8_t* d = image.data();
    if (std::memcmp(d + QxRadio::IdentityAddr, QxRadio::IdentityText, QxRadio::IdentityLen) != 0)
        return 1;
    if (d[QxRadio::MapRevisionAddr] != QxRadio::MapRevision) return 2;
    if (checkMakerText &&
        std::memcmp(d + QxRadio::MakerTextAddr, QxRadio::MakerText, QxRadio::MakerTextLen) != 0)
        return 3;
    return 0;
}

int32_t imcCloneCheck::CheckReadImage(const cmcEeprom& image) {
    return CheckImageIdentity(image, true) == 0 ? CS_Ok : CS_ImageCheck;
}

std::vector<int32_t> imcCloneCheck::Differences(const cmcEeprom& sent, const cmcEeprom& readBack,
                                                const cmcAdrRange* ranges, int max) {
    std::vector<int32_t> at;
    const int32_t size = std::min(sent.GetSize(), readBack.GetSize());
    for (const cmcAdrRange* r = ranges; r && r->first <= r->last; ++r)
        for (int32_t a = r->first; a <= r->last && int(at.size()) < max; ++a)
            if (a >= size || sent.GetByte(a) != readBack.GetByte(a)) at.push_back(a);
    return at;
}

#pragma once
// This model's checks of what a radio sends, shared by the editor's clone commands and the
// command-line tool: the information block of an information exchange, the identify reply
// of a port search, and the identity of an image read.

#include "cmcIcfFile.h"
#include "imcRadioFacts.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

class cmcEeprom;
struct dst_CDrv_Result;

class imcCloneCheck {
  public:
    static constexpr int InfoLength = 32;
    static constexpr uint8_t InfoKind = 2;
    // The model name and serial number in the block: imcRadioIdentity.

    // The ranges of the clone commands are this radio's facts (imcRadioFacts.h): a read
    // takes QxRadio::CloneRead, a write the user range or, in the maker mode, the whole
    // image.
    static const cmcAdrRange* WriteRanges(bool makerMode);
    // Bytes of all pairs of a list (the progress total).
    static int32_t RangeBytes(const cmcAdrRange* ranges);

    // An information result (status 0): code 1 must be the model code, else 11; the block's
    // first byte must be its length, else 11; its third byte must be 2, else 14.
    static int32_t CheckInfo(const dst_CDrv_Result& result,
                             uint32_t modelCode = QxRadio::ModelCode);
    // An identify result of a port search: code 1 the model code, code 2 0 or 1, a block of
    // exactly 32 bytes; else 11.
    static int32_t CheckIdentify(const dst_CDrv_Result& result,
                                 uint32_t modelCode = QxRadio::ModelCode);
    // Whether an image belongs to this model: identity text, map revision and, when asked,
    // the maker text. 0 when it does.
    static int CheckImageIdentity(const cmcEeprom& image, bool checkMakerText);
    // The image check of a clone read: 0, or 15 when the image is not this model's.
    static int32_t CheckReadImage(const cmcEeprom& image);
    // The verification of a write: the first addresses (up to max) in ranges (ended by
    // {1, 0}) where the memory read back differs from what was sent; empty when it matches.
    static constexpr int MaxDifferences = 8;
    static std::vector<int32_t> Differences(const cmcEeprom& sent, const cmcEeprom& readBack,
                                            const cmcAdrRange* ranges, int max = MaxDifferences);
};

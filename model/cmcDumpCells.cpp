#include "cmcDumpCells.h"

#include "cmcCellDispatch.h"
#include "cmcCellRequest.h"
#include "cmcEeprom.h"
#include "cmcFlagSet.h"
#include "cmcFmtNumber.h"

// The byte at the cell's index as flags B7 (flag 1) to B0.
bool cmcDumpCells::bitsCell(cmcCellDispatch& d, cmcCellRequest& r) {
    cmcEeprom& image = *d.image();
    const int32_t address = r.index;
    if (address < 0 || address >= image.GetSize()) return false;
    constexpr int n = BitsPerByte;
    if (r.fl.operation == cuiFlector::OpCommit) {
        bool ok = false;
        const qulonglong value = r.fl.editText.trimmed().toULongLong(&ok);
        if (ok && value <= 0xFFFFFFFFull) {
            const auto byte = uint8_t(cmcFlagSet::toField(uint32_t(value), n));
            if (byte != image.GetByte(address)) {
                image.SetByte(address, byte);
                d.changedNow(r);
            }
        }
    }
    const uint8_t byte = image.GetByte(address);
    r.fl.display = QString::number(byte, 2).rightJustified(n, QLatin1Char('0'));
    r.setValue(cmcFlagSet::fromField(byte, n));
    return r.changed;
}

bool cmcDumpCells::serves(int32_t label) {
    return label >= CL_EeDebugWin_Adr && label <= CL_EeDebugWin_Bits;
}

int32_t cmcDumpCells::addressOf(int32_t label, int32_t index) {
    if (label < CL_EeDebugWin_0 || label > CL_EeDebugWin_F || index < 0) return -1;
    return index * BytesPerRow + (label - CL_EeDebugWin_0);
}

bool cmcDumpCells::dispatch(cmcCellDispatch& d, cmcCellRequest& r) {
    if (r.label == CL_EeDebugWin_Bits) return bitsCell(d, r);
    cmcEeprom& image = *d.image();
    if (r.label == CL_EeDebugWin_Adr) {
        const int32_t address = r.index * BytesPerRow;
        if (r.index < 0 || address >= image.GetSize()) return false;
        r.fl.display = QString::asprintf("%04X", unsigned(address));
        r.setValue(address);
        return false;
    }
    const int32_t address = addressOf(r.label, r.index);
    if (address < 0 || address >= image.GetSize()) return false;
    int64_t value = image.GetByte(address);
    if (cmcFmtNumber::hex(r.fl, value, 0, 255, 2)) {
        image.SetByte(address, uint8_t(value));
        d.changedNow(r);
    }
    r.setValue(image.GetByte(address));
    // Marked: differs from the comparison copy. The editor starts from the plain digits.
    const cmcEeprom* comparison = d.comparisonImage();
    const bool differs = comparison && (comparison->GetSize() != image.GetSize() ||
                                        comparison->GetByte(address) != image.GetByte(address));
    if (differs && r.fl.editStatus != cuiFlector::EsEdit) {
        r.fl.style = cuiFlector::StMark;
        r.fl.display += QLatin1Char('*');
    }
    return r.changed;
}

#include "cmcDumpCells.h"

#include "cmcCellDispatch.h"
#include "cmcCellRequest.h"
#include "cmcEeprom.h"
#include "cmcFmtNumber.h"

bool cmcDumpCells::serves(int32_t label) {
    return label >= CL_EeDebugWin_Adr && label <= CL_EeDebugWin_F;
}

int32_t cmcDumpCells::addressOf(int32_t label, int32_t index) {
    if (label < CL_EeDebugWin_0 || label > CL_EeDebugWin_F || index < 0) return -1;
    return index * BytesPerRow + (label - CL_EeDebugWin_0);
}

bool cmcDumpCells::dispatch(cmcCellDispatch& d, cmcCellRequest& r) {
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

#include "imcWriteCheck.h"

#include "cmcCellRequest.h"
#include "datCh.h"
#include "imcCheckCells.h"

imcWriteCheck::Result imcWriteCheck::check(const cmcEeprom& image, QStringList* findings) {
    if (datCh::usedChannels(image) <= 0) return NoChannel;
    Result result = Ok;
    for (const int32_t label : imcCheckCells::labels()) {
        cmcCellRequest r(CT_None, label, 0);
        imcCheckCells::dispatch(image, r);
        if (!r.error) continue;
        result = DataError;
        if (findings) findings->append(r.fl.display.split(QLatin1Char('\n')));
    }
    return result;
}

const char* imcWriteCheck::messageKey(Result result) {
    switch (result) {
    case NoChannel:
        return "GI_AppMess_CloneErr_NoActualCh";
    case DataError:
        return "GI_Mess_DataError";
    default:
        return nullptr;
    }
}

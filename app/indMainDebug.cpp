// The memory dump sheet's cells ("GI_Sheet_EeDebugWin"): the controller serves them over
// the working image, like the clone information sheet's.

#include "cmcCellRequest.h"
#include "cmcFmtNumber.h"
#include "cuiEeDebugWin.h"
#include "indMain.h"

bool indMain::EeDebugCell(cmcCellRequest& r)
{
    if (r.label == CL_EeDebugWin_Adr) {
        const int32_t address = r.index * cuiEeDebugWin::BytesPerRow;
        if (r.index < 0 || address >= m_working.GetSize()) {
            r.fl.display.clear();
        } else {
            r.fl.display = QString::asprintf("%04X", unsigned(address));
            r.setValue(address);
        }
        return true;
    }
    const int32_t address = cuiEeDebugWin::addressOf(r.label, r.index);
    if (address < 0) return false;
    if (address >= m_working.GetSize()) {
        r.fl.display.clear();
        return true;
    }
    int64_t value = m_working.GetByte(address);
    if (cmcFmtNumber::hex(r.fl, value, 0, 255, 2)) {
        m_working.SetByte(address, uint8_t(value));
        r.changed = true;
        ImageChanged();
    }
    r.setValue(m_working.GetByte(address));
    // Marked: differs from the comparison copy ("Set Comp"). The editor starts from the
    // plain digits.
    const bool differs = m_debug.GetSize() != m_working.GetSize() || m_debug.GetByte(address) != m_working.GetByte(address);
    if (differs && r.fl.editStatus != cuiFlector::EsEdit) {
        r.fl.style = cuiFlector::StMark;
        r.fl.display += QLatin1Char('*');
    }
    return true;
}

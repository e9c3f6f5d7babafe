// The maker's Debug menu windows of the bit-field editing and the display characters.

#include "cmcCellNames.h"
#include "cmcEeprom.h"
#include "cmcFlagSet.h"
#include "cmcGTex.h"
#include "cuiEeDebugWin.h"
#include "cuiFBitsR.h"
#include "cuiGrid.h"
#include "cuiSegmentSet.h"
#include "cuiSegmentWin.h"
#include "cuiSheet.h"
#include "indMain.h"

#include <QMainWindow>

namespace {

// The address of the memory dump's current byte and its cell on the screen; address 0
// and no cell when the dump is not open or shows no byte as current.
int32_t dumpAddress(QWidget* window, QRect& cellRect) {
    auto* dump = dynamic_cast<cuiEeDebugWin*>(window);
    cuiSheet* sheet = dump ? dump->sheet() : nullptr;
    cuiGrid* grid = sheet ? sheet->grid() : nullptr;
    if (!grid || grid->col() < 0 || grid->row() < 0 || grid->col() >= sheet->colCount() ||
        grid->row() >= sheet->rowCount())
        return 0;
    const cuiCell& cell = sheet->CellObjectAt(grid->col(), grid->row());
    const int32_t address = cuiEeDebugWin::addressOf(cell.label, cell.index);
    if (address < 0) return 0;
    const QRect r = grid->cellRect(grid->col(), grid->row());
    cellRect = QRect(grid->viewport()->mapToGlobal(r.topLeft()), r.size());
    return address;
}

} // namespace

void indMain::OpenBitFieldWindow() {
    // One at a time: a new one starts from the byte as it is now.
    if (m_bitFieldWindow) m_bitFieldWindow->close();
    QRect cellRect;
    const int32_t address = dumpAddress(memoryDumpWindow(), cellRect);
    if (address >= workingImage().GetSize()) return;

    cuiCell caller;
    caller.category = CT_Null;
    caller.label = CL_EeDebugWin_Bits;
    caller.index = address;
    cuiFBitsR::Setup setup;
    setup.value = cmcFlagSet::fromField(workingImage().GetByte(address), 8);
    setup.lo = 0;
    setup.hi = 7;
    setup.kind = cuiFBitsR::HeaderBitNumbers;
    setup.mode = cuiFBitsR::DrawTick;
    auto* window = new cuiFBitsR(caller, setup, mainForm(), nullptr, cellRect);
    window->setWindowTitle(
        cmcGTex::mainTable()
            .getText(QStringLiteral("GI_AppInd_FBits_Title"), 3)
            .replace(QLatin1String("%s"), QString::asprintf("%04X", unsigned(address))));
    m_bitFieldWindow = window;
    window->show();
}

const cuiSegmentSet& indMain::segmentSet() {
    if (!m_segments) {
        m_segments = std::make_shared<cuiSegmentSet>();
        m_segments->load(cmcGTex::mainTable());
    }
    return *m_segments;
}

void indMain::OpenSegmentWindow() {
    if (m_segmentWindow) {
        m_segmentWindow->raise();
        m_segmentWindow->activateWindow();
        return;
    }
    auto* window = new cuiSegmentWin(segmentSet(), QStringLiteral("0123456789-AbCdEF"), mainForm());
    m_segmentWindow = window;
    window->show();
}

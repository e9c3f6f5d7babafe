// The main menu's and tool bar's commands: every item is a cell whose label names the
// command; the cell dispatcher hands these labels to the controller, which runs the
// command when the item is chosen and otherwise answers the item's state (ticked,
// hidden, disabled, or a caption of its own).

#include "cmcCellDispatch.h"
#include "cmcCellObj.h"
#include "cmcCellRequest.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cuiChangeNames.h"
#include "indCloneMan.h"
#include "indEnviron.h"
#include "indMain.h"

#include <QMainWindow>
#include <QToolBar>

#include "cuiSheet.h"
#include "cuiSheetHost.h"
#include "cuiToolBar.h"

namespace {
constexpr uint32_t Ticked = cmcCellObj::F_Ticked;
constexpr uint32_t Hidden = cmcCellObj::F_Hidden;
constexpr uint32_t Disabled = cmcCellObj::F_Disabled;
constexpr uint32_t Caption = cmcCellObj::F_CaptionSet;
} // namespace

bool indMain::menuCommand(void* context, cmcCellRequest& r) {
    return static_cast<indMain*>(context)->MenuCommand(r);
}

bool indMain::MenuCommand(cmcCellRequest& r) {
    if (CloneInfoCell(r) || LanguageCell(r) || AdjustCell(r) || RepeaterCell(r) || TidyCell(r) ||
        FleetCell(r))
        return true;
    // Only the command labels are the controller's; heads without a command (labels of
    // other cells) are not.
    if (r.label < CL_Menu_File_New || r.label > CL_AppInfo_Revision) return false;
    const bool run = r.execute;
    const int value = r.index;
    uint32_t state = 0;
    // A value typed into a cell but not yet committed belongs to the document before any
    // command acts on it, whether a shortcut, the menu or the tool bar started it.
    if (run) CommitPendingEdit();
    switch (r.label) {
    case CL_Menu_File_New:
        if (run) New();
        break;
    case CL_Menu_File_Open:
        if (run) Open();
        break;
    case CL_Menu_File_Save:
        if (run) m_doc.fileName().isEmpty() ? SaveAs() : Save(m_doc.fileName());
        break;
    case CL_Menu_File_SaveAs:
        if (run) SaveAs();
        break;
    case CL_Menu_File_Recent: {
        // Item n shows recent file n, by name alone when it lies in the current folder.
        const QString text = m_env.recent.entryText(value, m_currentDir);
        if (text.isEmpty()) {
            state |= Hidden;
        } else {
            state |= Caption;
            r.fl.display = QStringLiteral("&%1 %2").arg((value + 1) % 10).arg(text);
            if (run) Open(m_env.recent.entryText(value, QString()));
        }
        break;
    }
    case CL_Menu_File_Backups:
        if (run) openBackupFolder();
        break;
    case CL_Menu_File_ExportList:
    case CL_Menu_File_ImportList:
        if (run) r.label == CL_Menu_File_ExportList ? ExportList() : ImportList();
        break;
    case CL_Menu_File_Compare:
        if (!CanCompareWith(value))
            state |= Disabled;
        else if (run)
            CompareWith(value);
        break;
    case CL_Menu_File_Exit:
        if (run && m_form) m_form->close();
        break;
    // Undo and Redo name the step they take back or again.
    case CL_Menu_Edit_Undo:
        state |= Caption;
        r.fl.display = cuiChangeNames::menuCaption(false, m_doc.undoName(), cmcGTex::mainTable());
        if (!CanUndo())
            state |= Disabled;
        else if (run)
            Undo();
        break;
    case CL_Menu_Edit_Redo:
        state |= Caption;
        r.fl.display = cuiChangeNames::menuCaption(true, m_doc.redoName(), cmcGTex::mainTable());
        if (!CanRedo())
            state |= Disabled;
        else if (run)
            Redo();
        break;
    case CL_Menu_View_ToolBar:
        if (run) {
            m_env.toolbarVisible = !m_env.toolbarVisible;
            if (toolBar()) toolBar()->bar()->setVisible(m_env.toolbarVisible);
        }
        if (m_env.toolbarVisible) state |= Ticked;
        break;
    case CL_Menu_Port_Com:
        if (run) selectComPort(value);
        if (isComPortChecked(value)) state |= Ticked;
        break;
    case CL_Menu_Port_Usb:
        if (run) comPortDialog();
        if (isUsbPortChecked()) state |= Ticked;
        break;
    case CL_Menu_Port_SpeedHigh:
        if (run) setHighSpeed(value != 0);
        if (isSpeedHighChecked(value != 0)) state |= Ticked;
        break;
    case CL_Menu_Port_Search:
        if (run) portSearch();
        break;
    case CL_Menu_Tcpip_Top:
        break;
    case CL_Menu_Tcpip_Address:
        if (run) tcpAddressDialog();
        if (isTcpChecked()) state |= Ticked;
        break;
    case CL_Menu_Tcpip_Port:
        if (run) tcpPortDialog();
        break;
    case CL_Menu_Clone_Read:
        if (run) cloneRead();
        break;
    case CL_Menu_Clone_Write:
        if (run) cloneWrite();
        break;
    case CL_Menu_Clone_WriteFleet:
        if (run) cloneWriteFleet();
        break;
    case CL_Menu_Clone_FleetSheet:
        if (run) value == 1 ? fleetSheetFromRadios() : fleetSheetFromFiles();
        break;
    case CL_Menu_Clone_Info:
        if (run) cloneInfo();
        break;
    case CL_Menu_View_Repeater:
        if (run) OpenRepeaterWindow();
        break;
    case CL_Menu_Ad_Read:
        if (run) adjustRead();
        break;
    // The Options menu is the maker's, title included (index 1).
    case CL_Menu_Opt_ServicePassword:
        if (!m_makerMode)
            state |= Hidden;
        else if (run && value == 0)
            servicePasswordDialog();
        break;
    case CL_Menu_View_Ad:
        // Offered once the radio is in its adjustment state.
        if (cloneMan().adjustMode() != indCloneMan::AdjustCommanding) {
            state |= Hidden;
        } else if (run) {
            if (auto* ev = cmcEvMan::instance()) ev->post(EV_AdjustWindow);
        }
        break;
    // The Debug menu is the maker's: hidden, title included (index 1 of the debug window's
    // label), while the maker mode is off.
    case CL_Menu_Debug_Compare:
    case CL_Menu_Debug_EeWindow:
    case CL_Menu_Debug_Window:
        if (!m_makerMode) {
            state |= Hidden;
        } else if (run && !(r.label == CL_Menu_Debug_Window && value != 0)) {
            if (auto* ev = cmcEvMan::instance())
                ev->post(r.label == CL_Menu_Debug_Compare    ? EV_DebugCompare
                         : r.label == CL_Menu_Debug_EeWindow ? EV_MemoryDump
                                                             : EV_DebugWindow);
        }
        break;
    case CL_Menu_Debug_FBits:
    case CL_Menu_Debug_Segments:
        if (!m_makerMode)
            state |= Hidden;
        else if (run)
            r.label == CL_Menu_Debug_FBits ? OpenBitFieldWindow() : OpenSegmentWindow();
        break;
    case CL_Help_About:
        if (run) ShowAbout();
        break;
    case CL_Help_Contents:
        if (run) ShowHelpContents();
        break;
    case CL_Menu_Lang:
        if (run) OpenLanguageWindow();
        break;
    case CL_Menu_View_FontSize:
        // The sheets' font size in percent: the sheet shown is built again with it.
        if (run && m_env.fontSizePercentage != value) {
            m_env.fontSizePercentage = value;
            if (sheetHost()) sheetHost()->CloseSheet();
        }
        if (m_env.fontSizePercentage == value) state |= Ticked;
        break;
    case CL_Menu_Edit_Top:
        break;
    case CL_Menu_File_Print_Current: {
        cuiSheet* sheet = sheetHost() ? sheetHost()->sheet() : nullptr;
        if (!sheet || !sheet->CanPrint() || (m_printer && m_printer->isPrinting()))
            state |= Disabled;
        else if (run)
            PrintCurrent();
        break;
    }
    case CL_Menu_File_ExportPdf: {
        // [0] the sheet on screen, [1] every sheet.
        cuiSheet* sheet = sheetHost() ? sheetHost()->sheet() : nullptr;
        if (value == 0 ? !sheet || !sheet->CanPrint() : !tree())
            state |= Disabled;
        else if (run)
            ExportPdf(value != 0);
        break;
    }
    case CL_Menu_File_Print_All:
        if (!tree() || (m_printer && m_printer->isPrinting()))
            state |= Disabled;
        else if (run)
            PrintAll();
        break;
    default:
        // Commands this editor does not offer yet are shown disabled.
        state |= Disabled;
        break;
    }
    r.menuState = state;
    // A command may change what the tool bar shows (port, link, tool bar itself).
    if (run)
        if (auto* ev = cmcEvMan::instance()) ev->post(EV_Controller);
    return true;
}

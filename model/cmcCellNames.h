#pragma once
// Cell identifiers: the categories (what kind of sheet or list a cell belongs to) and the
// labels (which value a cell is), with their name tables. Both tables live in one string
// hash table that is filled on first use; names that are not in a table are faults of the
// definitions and stop the program.
//
// The label table is this program's vocabulary: the framework's families (menus, pop-up
// menu entries, memory channels, signalling, adjustment ...) as far as this program's
// definitions and code use them, and this model's own lists and settings. Labels are
// added to a family by adding a line to QX_CELL_LABELS; CL_None is always the table size.

#include <QString>
#include <cstdint>

// Categories, numbered 0..48 in this order, with the list number each one selects.
#define QX_CELL_CATEGORIES(X)                                                                      \
    X(CT_Null, 0)                                                                                  \
    X(CT_PopupMenu, 0)                                                                             \
    X(CT_Mch, 0)                                                                                   \
    X(CT_Mch_Check, 0)                                                                             \
    X(CT_CEdit, 2)                                                                                 \
    X(CT_DTMF, 3)                                                                                  \
    X(CT_Scan, 4)                                                                                  \
    X(CT_CTone, 5)                                                                                 \
    X(CT_RX_Code, 6)                                                                               \
    X(CT_TX_Code, 7)                                                                               \
    X(CT_2Tone_Code, 9)                                                                            \
    X(CT_2ToneTX_Common, 10)                                                                       \
    X(CT_UserTone, 8)                                                                              \
    X(CT_BankOp, 11)                                                                               \
    X(CT_MSK_AdrRange, 0)                                                                          \
    X(CT_MSK_IdGroup, 12)                                                                          \
    X(CT_MSK_CallList, 13)                                                                         \
    X(CT_MSK_Msg_Status, 14)                                                                       \
    X(CT_MSK_Msg_ShortTxt, 15)                                                                     \
    X(CT_MSK_TimingErr, 0)                                                                         \
    X(CT_MSK_Cfg, 0)                                                                               \
    X(CT_DIG_Inv, 16)                                                                              \
    X(CT_DIG_Tg, 17)                                                                               \
    X(CT_DIG_Op, 0)                                                                                \
    X(CT_DIG_NacCh, 18)                                                                            \
    X(CT_DIG_Status, 19)                                                                           \
    X(CT_DIG_Encryption, 20)                                                                       \
    X(CT_DIG_SDM, 21)                                                                              \
    X(CT_Rpt, 22)                                                                                  \
    X(CT_Ltr_Op, 0)                                                                                \
    X(CT_DTMF_Rx, 23)                                                                              \
    X(CT_MDC_Alias, 24)                                                                            \
    X(CT_EXP_ChSwitchTable, 25)                                                                    \
    X(CT_MultiTable, 26)                                                                           \
    X(CT_ADJ, 0)                                                                                   \
    X(CT_ChannelList, 27)                                                                          \
    X(CT_AddressList, 28)                                                                          \
    X(CT_NetworkList, 29)                                                                          \
    X(CT_FrequencyList, 30)                                                                        \
    X(CT_PhoneList, 31)                                                                            \
    X(CT_MessageList, 32)                                                                          \
    X(CT_PhoneLinkList, 33)                                                                        \
    X(CT_ProfileList, 34)                                                                          \
    X(CT_AleNetId, 35)                                                                             \
    X(CT_AleSelfIndId, 36)                                                                         \
    X(CT_AleCallIndId, 37)                                                                         \
    X(CT_AleMessage, 38)                                                                           \
    X(CT_NetworkChannels, 39)                                                                      \
    X(CT_AleChannels, 40)

// Labels, by families. The first entries are the free-purpose ones, the last is CL_Dummy.
#define QX_CELL_LABELS(X)                                                                          \
    X(CL_Null) X(Flex0) X(Flex1) X(Flex2) X(FlexMark) X(FlexMark2) X(FlexDtcs) X(FlexKeyOpt)        \
    X(FlexEeDebugWin) X(Flex_Language_ChNo) X(Flex_InvIDList_ChNo) X(Flex_TgIDList_ChNo)            \
    X(FlexZoneSel) X(FlexZoneSelNum) X(FlexCHSel) X(FlexCHSelNum) X(FlexRxCodeAUX) X(FlexRefCh)     \
    X(FlexRefChW)                                                                                   \
    /* menu commands */                                                                             \
    X(CL_Menu_File_New) X(CL_Menu_File_Open) X(CL_Menu_File_Save) X(CL_Menu_File_SaveAs)            \
    X(CL_Menu_File_Print_Current) X(CL_Menu_File_Print_All) X(CL_Menu_File_Recent)                  \
    X(CL_Menu_File_Exit) X(CL_Menu_Edit_Top) X(CL_Menu_View_FontSize) X(CL_Menu_View_ToolBar)       \
    X(CL_Menu_Port_Com) X(CL_Menu_Port_Usb) X(CL_Menu_Port_SpeedHigh) X(CL_Menu_Port_Search)        \
    X(CL_Menu_Tcpip_Top) X(CL_Menu_Tcpip_Address) X(CL_Menu_Tcpip_Port) X(CL_Menu_Clone_Read)       \
    X(CL_Menu_Clone_Write) X(CL_Menu_Clone_Info) X(CL_Menu_Clone_Check) X(CL_Menu_Clone_Update)     \
    X(CL_Menu_Debug_Compare) X(CL_Menu_Debug_CorrectComp) X(CL_Menu_Debug_25kCheckComp)             \
    X(CL_Menu_Debug_Window) X(CL_Menu_Debug_EeWindow) X(CL_Menu_Lang) X(CL_Menu_Ad_Read)            \
    X(CL_Menu_View_Ad) X(CL_Menu_View_Ad_Update)                                                    \
    /* menu commands of this editor beyond the original set */                                  \
    X(CL_Menu_Edit_Undo) X(CL_Menu_Edit_Redo) X(CL_Menu_File_Backups)                               \
    X(CL_Menu_File_ExportList) X(CL_Menu_File_ImportList) X(CL_Menu_File_Compare)                 \
    X(CL_Menu_View_Repeater)                                                                        \
    X(CL_Menu_Debug_FBits) X(CL_Menu_Debug_Segments)                                                \
    X(CL_Menu_File_ExportPdf) X(CL_Menu_Clone_WriteFleet) X(CL_Menu_Clone_FleetSheet)               \
    X(CL_Menu_Edit_Find) X(CL_Menu_Edit_Sort) X(CL_Menu_Edit_Duplicates) X(CL_Menu_Edit_Compact)    \
    X(CL_Menu_Opt_ServicePassword)                                                                  \
    X(CL_Help_About) X(CL_Help_Contents) X(CL_Language_Text) X(CL_Langage_Select)                   \
    X(CL_AppInfo_Revision)                                                                          \
    X(CL_Check_Mch) X(CL_Check_MDC_Status)                                                          \
    /* this model's checks of its lists (the warning check list) */                               \
    X(CL_Check_AddrL) X(CL_Check_NetL) X(CL_Check_AleCallId)                                      \
    X(CL_CloneInfo_Model) X(CL_CloneInfo_Dummy) X(CL_CloneInfo_Code2) X(CL_CloneInfo_Byte)          \
    X(CL_EeDebugWin_Adr) X(CL_EeDebugWin_0) X(CL_EeDebugWin_1) X(CL_EeDebugWin_2) X(CL_EeDebugWin_3)  \
    X(CL_EeDebugWin_4) X(CL_EeDebugWin_5) X(CL_EeDebugWin_6) X(CL_EeDebugWin_7) X(CL_EeDebugWin_8)    \
    X(CL_EeDebugWin_9) X(CL_EeDebugWin_A) X(CL_EeDebugWin_B) X(CL_EeDebugWin_C) X(CL_EeDebugWin_D)    \
    X(CL_EeDebugWin_E) X(CL_EeDebugWin_F) X(CL_EeDebugWin_Bits)                                   \
    /* pop-up menu entries */                                                                       \
    X(CL_PMenu_NoItem) X(CL_PMenu_Edit) X(CL_PMenu_Copy) X(CL_PMenu_Paste) X(CL_PMenu_Clear)        \
    X(CL_PMenu_Delete) X(CL_PMenu_Insert) X(CL_PMenu_MoveUp) X(CL_PMenu_MoveDown)                   \
    X(CL_PMenu_AllSelect) X(CL_PMenu_AllDeselect) X(CL_PMenu_FleetColumn)                           \
    /* this model's lists */                                                                        \
    X(CL_ChL_Name) X(CL_ChL_FreqR) X(CL_ChL_FreqT) X(CL_ChL_Mode)                                   \
    X(CL_AddrL_Name) X(CL_AddrL_Id) X(CL_AddrL_CallType) X(CL_AddrL_Channel) X(CL_AddrL_Network)    \
    X(CL_AddrL_Phone) X(CL_AddrL_Msg) X(CL_AddrL_Emergency)                                         \
    X(CL_NetL_Name) X(CL_NetL_ScanType) X(CL_NetL_CallSys) X(CL_NetL_DetectTime)                    \
    X(CL_NetL_Preamble) X(CL_NetL_Ch_NetNo) X(CL_NetL_ChBit_Selected)                               \
    X(CL_MsgL_Msg) X(CL_PhoneLinkL_Name) X(CL_PhoneLinkL_Id) X(CL_PhoneLinkL_Network)               \
    X(CL_PhoneLinkL_Channel) X(CL_ProfileL_Name) X(CL_ProfileL_Id) X(CL_ProfileL_Network)           \
    X(CL_Ale_NetId_Id) X(CL_Ale_SelfId_Id) X(CL_Ale_SelfId_Slot) X(CL_Ale_SelfId_NetId)             \
    X(CL_Ale_CallId_Id) X(CL_Ale_CallId_ChGroupNo) X(CL_Ale_Msg_Msg) X(CL_Ale_ChGrpL_GroupNo)       \
    X(CL_Ale_ChGrpL_Count) X(CL_Ale_ChGrpL_ChBit_Selected)                                          \
    X(CL_EnabledChBit_Header) X(CL_EnabledChBit_9) X(CL_EnabledChBit_8) X(CL_EnabledChBit_7)        \
    X(CL_EnabledChBit_6) X(CL_EnabledChBit_5) X(CL_EnabledChBit_4) X(CL_EnabledChBit_3)             \
    X(CL_EnabledChBit_2) X(CL_EnabledChBit_1) X(CL_EnabledChBit_0) X(CL_ChBit_Name)                 \
    X(CL_ChBit_Freq)                                                                                \
    X(CL_VFO_A_Band1) X(CL_VFO_A_Band2) X(CL_VFO_A_Band3) X(CL_VFO_A_Band4) X(CL_VFO_A_Band5)       \
    X(CL_VFO_A_Band6) X(CL_VFO_A_Band7) X(CL_VFO_A_Band8) X(CL_VFO_A_Band9)                         \
    X(CL_VFO_B_Band1) X(CL_VFO_B_Band2) X(CL_VFO_B_Band3) X(CL_VFO_B_Band4) X(CL_VFO_B_Band5)       \
    X(CL_VFO_B_Band6) X(CL_VFO_B_Band7) X(CL_VFO_B_Band8) X(CL_VFO_B_Band9)                         \
    /* maker-mode settings (no case of their own in this model) */                                  \
    X(CL_Maker_Temp1) X(CL_Maker_APF_Width) X(CL_Maker_RCX_Transceive) X(CL_Maker_PitchFreq)        \
    /* user and set-mode settings: the settings block, in address order */                          \
    X(CL_USetM_LcdContrast) X(CL_USetM_LcdDimmer) X(CL_USetM_BackLight) X(CL_USetM_BeepLevel)       \
    X(CL_USetM_SqlLevel) X(CL_USetM_NoiseBlanker) X(CL_USetM_NoiseBlankerLv) X(CL_USetM_Agc)        \
    X(CL_USetM_BandWidth) X(CL_USetM_Clarifier) X(CL_USetM_OpMode) X(CL_USetM_PreAmp)               \
    X(CL_USetM_Split) X(CL_USetM_RfPower) X(CL_USetM_SpeechProcessor)                               \
    X(CL_USetM_SpeechProcessorLv) X(CL_USetM_MicGain) X(CL_USetM_KeyLock) X(CL_USetM_SideToneLv)    \
    X(CL_USetM_Scrambler) X(CL_USetM_Gps) X(CL_USetM_Mode) X(CL_SetM_DisplayMode)                   \
    X(CL_SetM_TunerType) X(CL_SetM_TxTimeout) X(CL_SetM_CwBreakIn) X(CL_SetM_ScrambleCode)          \
    X(CL_SetM_VfoMode) X(CL_SetM_Agc) X(CL_SetM_ClearTalkLv) X(CL_SetM_MeterType)                   \
    X(CL_SetM_FskTone) X(CL_SetM_FskShift) X(CL_SetM_FskPolarity) X(CL_SetM_Modem)                  \
    X(CL_SetM_DataMode1) X(CL_SetM_DataMode2) X(CL_SetM_DataMode3) X(CL_SetM_ShiftFreq)             \
    X(CL_SetM_Scan) X(CL_SetM_ScanResume) X(CL_SetM_ScanAutoStart) X(CL_SetM_ScanSpeed)             \
    X(CL_SetM_SelcallSilent) X(CL_SetM_SelcallTimeout) X(CL_SetM_SelcallSelectiveMode)              \
    X(CL_SetM_SelcallChannelTest) X(CL_SetM_SelcallSendPosition) X(CL_SetM_SelcallGetPosition)      \
    X(CL_SetM_SelcallPhone) X(CL_SetM_SelcallGetStatus) X(CL_SetM_SelcallMessage)                   \
    X(CL_SetM_SelcallEmergency) X(CL_SetM_AleMode) X(CL_SetM_AleScanGroup) X(CL_SetM_AleScanSpeed)  \
    X(CL_SetM_AleAutoSound) X(CL_SetM_AleAutoSoundGroup) X(CL_SetM_AleAutoSoundSelfId)              \
    X(CL_SetM_AleDecayTime) X(CL_SetM_AleSoundLength) X(CL_SetM_AleBerThreshold)                    \
    X(CL_SetM_AleGolayThreshold) X(CL_SetM_AleErrThreshold) X(CL_SetM_AleSilent)                    \
    X(CL_SetM_AleCallRetry) X(CL_SetM_AleLqaAverage) X(CL_SetM_AleLqaRequest)                       \
    X(CL_SetM_AleScanCallTime) X(CL_SetM_AdvanceUserMode) X(CL_SetM_InitTransMode)                  \
    X(CL_SetM_RCX_Address) X(CL_SetM_RCX_Baudrate)                                                  \
    /* memory channels and banks of the framework */                                                \
    X(CL_Bank_UsedLeft) X(CL_Mch_No) X(CL_Mch_Atr) X(CL_Mch_Inh) X(CL_Mch_UsedCHs) X(CL_Mch_Bank)   \
    X(CL_Mch_Scan_Tarn) X(CL_Mch_AutoChScan) X(CL_Mch_CTone_R) X(CL_Mch_CTone_T) X(CL_Mch_Dig_Sig)  \
    X(CL_Mch_Encryption_No) X(CL_Mch_Fast_Mute) X(CL_Mch_FreqR) X(CL_Mch_FreqT) X(CL_Mch_Lockout)   \
    X(CL_Mch_Log_Pmr) X(CL_Mch_Nar) X(CL_Mch_PwrSave) X(CL_Mch_RfPo) X(CL_Mch_RxCNoDtmf)            \
    X(CL_Mch_RxNac) X(CL_Mch_SQL_Type) X(CL_Mch_Scan) X(CL_Mch_Scan_Inc) X(CL_Mch_Scan_List)        \
    X(CL_Mch_Scan_ListSel) X(CL_Mch_Scrm_Code) X(CL_Mch_Scrm_On) X(CL_Mch_Scrm_Type)                \
    X(CL_Mch_Sql_Tight) X(CL_Mch_TxInh) X(CL_Mch_TxNac) X(CL_Mch_Unit_Dec) X(CL_Mch_Unit_Hex)       \
    X(CL_Misc_ChNo_0Base) X(CL_Misc_ChNo_1Base) X(CL_Misc_QuarterPillar) X(CL_FBits)                \
    /* land-mobile families of the framework */                                                     \
    X(CL_Ltr_BlockIdEna) X(CL_Msk_AdrRange_Individual) X(CL_Digi_Ind_Id_Hex) X(CL_Grp_BlockIdEnable) \
    X(CL_Grp_BlockIdEnd) X(CL_Grp_BlockIdStart) X(CL_Grp_HomeRptCh) X(CL_Grp_PhonePriv)             \
    X(CL_Grp_RxId) X(CL_Grp_TxId) X(CL_Grp_TxInh) X(CL_Rpt_No) X(CL_Mdc_System_List_Text)           \
    /* signalling and scan */                                                                       \
    X(CL_CW_ID_Code) X(CL_Dtmf_ChNo) X(CL_CTone_RX) X(CL_ScanComm_StopTimer) X(CL_5TTx_TxCode)      \
    X(CL_CEdit)                                                                                     \
    /* keys, ports and general */                                                                   \
    X(CL_KDisp_Disp_Mode) X(CL_Comm_Digital_Function) X(CL_Exp_UserCtcss)                           \
    /* adjustment */                                                                                \
    X(CL_Adjust_ChNo) X(CL_ADP_Level_Pwr_H) X(CL_WinAD_SQLV)                                        \
    /* the adjustment window: an item's argument, value in hexadecimal and in decimal; the   */     \
    /* radio's model name [0], serial number [1] and the time of the reading [2]             */     \
    X(CL_WinAD_Arg) X(CL_WinAD_Hex) X(CL_WinAD_Dec) X(CL_WinAD_Radio)                               \
    X(CL_Dummy)

enum cmcCategory : int32_t {
#define QX_CT_ENUM(name, list) name,
    QX_CELL_CATEGORIES(QX_CT_ENUM)
#undef QX_CT_ENUM
        CT_None // 49: no category
};

enum cmcLabel : int32_t {
#define QX_CL_ENUM(name) name,
    QX_CELL_LABELS(QX_CL_ENUM)
#undef QX_CL_ENUM
        CL_None // the table size: no label
};

class cmcCellNames {
  public:
    static constexpr int32_t CategoryCount = CT_None; // 49
    static constexpr int32_t LabelCount = CL_None;

    // Category number of a name; the empty name gives CT_None; an unknown name is fatal.
    static int32_t categoryOf(const QString& name);
    // Label number of a name; the empty name gives CL_None; an unknown name is fatal.
    static int32_t labelOf(const QString& name);
    // Non-fatal lookups for tools: false when the name is not in the table.
    static bool findCategory(const QString& name, int32_t* number);
    static bool findLabel(const QString& name, int32_t* number);

    // Names of numbers; the empty text outside the tables.
    static QString categoryName(int32_t category);
    static QString labelName(int32_t label);
    static const char* labelNameRaw(int32_t label);

    // List number of a category (0..49; CT_None gives 0); any other number is fatal.
    static int32_t listOf(int32_t category);
};

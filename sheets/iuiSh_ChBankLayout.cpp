#include "iuiSh_ChBankLayout.h"

#include "cmcGTex.h"
#include "cmcScrBlock.h"
#include "cuiSheetEnv.h"

#include <QList>

namespace {

// Labels whose columns are hidden, by bank type.
const char* const HiddenPlain[] = {
    "CL_Grp_RxId",      "CL_Grp_TxId",          "CL_Grp_TxInh",        "CL_Grp_HomeRptCh",
    "CL_Grp_PhonePriv", "CL_Grp_BlockIdEnable", "CL_Grp_BlockIdStart", "CL_Grp_BlockIdEnd"};
const char* const HiddenB[] = {"CL_Mch_RfPo",      "CL_Mch_Scan",      "CL_Mch_AutoChScan",
                               "CL_Mch_Scan_Inc",  "CL_Mch_Scan_List", "CL_Mch_Scan_ListSel",
                               "CL_Mch_Scan_Tarn", "CL_Mch_RxCNoDtmf", "CL_Mch_Scrm_On",
                               "CL_Mch_Scrm_Type", "CL_Mch_Scrm_Code", "CL_Mch_Encryption_No",
                               "CL_Mch_Fast_Mute"};
const char* const HiddenA[] = {
    "CL_Mch_FreqR",        "CL_Mch_FreqT",         "CL_Mch_TxInh",     "CL_Mch_Nar",
    "CL_Mch_CTone_R",      "CL_Mch_CTone_T",       "CL_Mch_PwrSave",   "CL_Mch_RfPo",
    "CL_Mch_Lockout",      "CL_Mch_Sql_Tight",     "CL_Mch_Log_Pmr",   "CL_Mch_Dig_Sig",
    "CL_Mch_RxNac",        "CL_Mch_TxNac",         "CL_Mch_Unit_Hex",  "CL_Mch_Unit_Dec",
    "CL_Mch_SQL_Type",     "CL_Mch_Encryption_No", "CL_Mch_Fast_Mute", "CL_Grp_BlockIdEnable",
    "CL_Grp_BlockIdStart", "CL_Grp_BlockIdEnd"};

bool validBank(int bank) {
    return bank >= 0 && bank < cuiSheetEnv::current().bankCount();
}

} // namespace

int iuiSh_ChBankLayout::bankChannels(int bank) {
    return validBank(bank) ? ChannelsPerBank : 0;
}

int iuiSh_ChBankLayout::bankFirstChannel(int bank) {
    int first = 0;
    for (int b = 0; b < bank && validBank(b); ++b)
        first += bankChannels(b);
    return first;
}

void iuiSh_ChBankLayout::SetArguments(const QString& arguments) {
    cuiSheetLayout::SetArguments(arguments);
    const cmcScrBlock block(arguments);
    if (block.word() != QLatin1String("Bank")) return;
    if (!block.arg(0).isEmpty()) m_bank = block.arg(0).toInt();
    m_firstChannel = bankFirstChannel(m_bank);
    m_channelCount = bankChannels(m_bank);
}

void iuiSh_ChBankLayout::ApplyDirective(const QString& directive) {
    if (directive.trimmed() != QLatin1String("LoopFrom")) {
        cuiSheetLayout::ApplyDirective(directive);
        return;
    }
    m_pass.loopStart = m_pass.line;
    m_pass.loopCount = m_channelCount;
    if (!m_printing) rowAt(m_channelCount + 5).select = false;
    if (m_loopRow < 0) m_loopRow = m_rowCount;
}

void iuiSh_ChBankLayout::BuildCells() {
    buildCellsPadded(MatrixRows);
}

void iuiSh_ChBankLayout::FillCells(const QString& key) {
    cuiSheetLayout::FillCells(key);
    const cuiSheetEnv& env = cuiSheetEnv::current();
    QList<int32_t> hidden;
    auto add = [&](const auto& names) {
        for (const char* n : names)
            hidden.append(env.labelByName(QLatin1String(n)));
    };
    if (env.bankCapabilityA(m_bank)) {
        add(HiddenA);
    } else {
        add(HiddenPlain);
        if (env.bankCapabilityB(m_bank)) add(HiddenB);
    }
    for (int c = 0; c < m_colCount; ++c) {
        bool hide = false;
        for (int r = 0; r < m_rowCount && !hide; ++r) {
            const cuiCell& cell = matrixAt(c, r).cell;
            hide = cell.hasLabel() && hidden.contains(cell.label);
        }
        if (!hide) continue;
        setColWidth(c, 0);
        for (int r = 0; r < m_rowCount; ++r)
            matrixAt(c, r).cell.selectable = false;
    }
}

void iuiSh_ChBankLayout::OnRowBuilt(int row) {
    if (row == m_loopRow) m_counters[0] = m_firstChannel;
}

QString iuiSh_ChBankLayout::GetTitle() {
    return m_table.getText(QStringLiteral("GI_AppInd_MchSheet_Printer_Head"), 0);
}

bool iuiSh_ChBankLayout::IsPrintable() {
    return cuiSheetLayout::IsPrintable() && m_channelCount > 0;
}

bool iuiSh_ChBankLayout::addRow() {
    return addListRow();
}

bool iuiSh_ChBankLayout::removeRow() {
    return removeListRow();
}

#include "iuiSh_MultiTableLayout.h"

#include "cmcGTex.h"
#include "cmcScrBlock.h"
#include "cuiSheetEnv.h"
#include "iuiSh_ChBankLayout.h"

#include <algorithm>

namespace {

// The languages of the language list (lines before the first "#", at most 255).
int languageCount() {
    cmcGTex& list = cmcGTex::languageTable();
    int n = 0;
    while (n < 255 &&
           !list.getText(QStringLiteral("GI_Sys_Language"), n).startsWith(QLatin1Char('#')))
        ++n;
    return n;
}

bool skipsWhenEmpty(QChar kind) {
    return QStringLiteral("CBYZW").contains(kind);
}

} // namespace

void iuiSh_MultiTableLayout::SetArguments(const QString& arguments) {
    cuiSheetLayout::SetArguments(arguments);
    m_kind = arguments.isEmpty() ? QChar() : arguments.at(0);
    const cuiSheetEnv& env = cuiSheetEnv::current();
    switch (m_kind.unicode()) {
    case 'X':
    case 'x':
        m_listRows = env.individualIdCount();
        break;
    case 'Q':
    case 'q':
        m_listRows = env.talkgroupCount();
        break;
    case 'M': {
        m_listRows = MultipleTables;
        const cmcScrBlock block(arguments);
        if (block.arg(0).startsWith(QLatin1Char('P')) && !block.arg(1).isEmpty())
            m_selectedTable = block.arg(1).toInt();
        break;
    }
    case 'C':
        m_listRows = iuiSh_ChBankLayout::bankChannels(0);
        break;
    case 'B':
        m_listRows = env.bankCount();
        break;
    case 'Y':
        m_listRows = languageCount();
        break;
    case 'Z':
        m_listRows = env.individualIdCount();
        break;
    case 'W':
        m_listRows = env.talkgroupCount();
        break;
    default:
        m_listRows = 0;
        break; // "R": this model keeps no repeater sites
    }
}

int iuiSh_MultiTableLayout::loopCountFor(QChar kind, int listRows) {
    if (QStringLiteral("RXxQq").contains(kind)) return listRows + 1;
    return listRows;
}

void iuiSh_MultiTableLayout::ApplyDirective(const QString& directive) {
    if (directive.trimmed() != QLatin1String("LoopFrom")) {
        cuiSheetLayout::ApplyDirective(directive);
        return;
    }
    const int count = m_printing ? m_listRows : loopCountFor(m_kind, m_listRows);
    if (count == 0 && skipsWhenEmpty(m_kind)) {
        m_pass.skip = 1;
        return;
    }
    m_pass.loopStart = m_pass.line;
    m_pass.loopCount = std::max(1, count);
    if (!m_printing) rowAt(count + fixedRowsStyle() - 1).select = false;
    if (m_loopRow < 0) m_loopRow = m_rowCount;
}

void iuiSh_MultiTableLayout::BuildCells() {
    buildCellsPadded(MatrixRows);
}

void iuiSh_MultiTableLayout::OnRowBuilt(int row) {
    if (row == m_loopRow) m_counters[0] = m_firstRow;
}

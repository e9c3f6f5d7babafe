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
    const cmcScrBlock block(arguments);
    if (m_kind == QLatin1Char('R') && !block.arg(1).isEmpty()) {
        m_site = block.arg(1).toInt();
        m_siteGiven = true;
    }
    if (m_kind == QLatin1Char('M') && block.arg(0).startsWith(QLatin1Char('P')) &&
        !block.arg(1).isEmpty())
        m_selectedTable = block.arg(1).toInt();
    countRows();
}

void iuiSh_MultiTableLayout::setSite(int site) {
    if (m_siteGiven) return;
    m_site = site;
    countRows();
}

bool iuiSh_MultiTableLayout::grows() const {
    return QStringLiteral("RXxQq").contains(m_kind);
}

void iuiSh_MultiTableLayout::countRows() {
    const cuiSheetEnv& env = cuiSheetEnv::current();
    m_firstRow = 0;
    switch (m_kind.unicode()) {
    case 'R':
        m_listRows = env.repeaterRows(m_site);
        m_firstRow = env.repeaterFirstRow(m_site);
        break;
    case 'X':
    case 'x':
    case 'Z':
        m_listRows = env.individualIdCount();
        break;
    case 'Q':
    case 'q':
    case 'W':
        m_listRows = env.talkgroupCount();
        break;
    case 'M':
        m_listRows = MultipleTables;
        break;
    case 'C':
        m_listRows = iuiSh_ChBankLayout::bankChannels(0);
        break;
    case 'B':
        m_listRows = env.bankCount();
        break;
    case 'Y':
        m_listRows = languageCount();
        break;
    default:
        m_listRows = 0;
        break;
    }
}

int iuiSh_MultiTableLayout::loopCountFor(QChar kind, int listRows) {
    if (QStringLiteral("RXxQq").contains(kind)) return listRows + 1;
    return listRows;
}

void iuiSh_MultiTableLayout::ApplyDirective(const QString& directive) {
    const QString d = directive.trimmed();
    if (d.startsWith(QLatin1String("Only_Print"))) {
        // Lines for printed copies: skipped on screen.
        bool ok = false;
        const int n = d.mid(int(qstrlen("Only_Print"))).trimmed().toInt(&ok);
        if (ok && !m_printing) m_pass.skip = std::max(0, n);
        return;
    }
    if (d != QLatin1String("LoopFrom")) {
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

// Titles by sheet key: a repeater table names its site, an ID table (keys ending in
// "_Ind_Id" or "_Grp_Id") shows its title, the multiple tables their selected table.
QString iuiSh_MultiTableLayout::GetTitle() {
    if (m_key.startsWith(QLatin1String("GI_Sheet_RptSetWin")))
        return QStringLiteral("%1 (%2:%3)")
            .arg(m_table.getText(QStringLiteral("GI_AppInd_RptSheet_Printer_Head")),
                 m_table.getText(QStringLiteral("GI_AppInd_Sheet_Title_Site")))
            .arg(m_site + 1, 3);
    if (m_key.endsWith(QLatin1String("_Ind_Id")) || m_key.endsWith(QLatin1String("_Grp_Id")))
        return m_title;
    if (m_key.endsWith(QLatin1String("_MultipleTable")))
        return QStringLiteral("%1 - %2").arg(m_title).arg(m_selectedTable + 1);
    return QString();
}

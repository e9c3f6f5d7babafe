#include "iuiSh_MultiTable.h"

#include "cmcEvMan.h"
#include "cuiSheetEnv.h"

#include <QLabel>
#include <algorithm>

iuiSh_MultiTable::iuiSh_MultiTable(QWidget* owner, cmcGTex& table)
    : cuiSheet(owner, std::make_unique<iuiSh_MultiTableLayout>(table)) {}

QString iuiSh_MultiTable::siteTitle() const {
    return QStringLiteral(" %1 - Site:%2  (Left CH - %3)")
        .arg(title())
        .arg(site() + 1, 3)
        .arg(cuiSheetEnv::current().repeaterFreeRows(site()), 4);
}

void iuiSh_MultiTable::onEvent(const cmcEvent* event) {
    cmcEvMan* ev = cmcEvMan::instance();
    if (cmcEvListPosition::asked(event)) {
        if (ev) ev->answer(cmcEvListPosition{0, firstRow()});
    } else if (cmcEvSite::asked(event)) {
        if (ev) ev->answer(cmcEvSite{site()});
    } else if (event->code == EV_ListChanged) {
        showSiteTitle();
    } else if (const auto added = cmcEvRowsAdded::read(event)) {
        addRows(added->rows);
    } else if (const auto removed = cmcEvRowsRemoved::read(event)) {
        removeRows(removed->rows);
    } else {
        cuiSheet::onEvent(event);
    }
}

void iuiSh_MultiTable::showSiteTitle() {
    if (!m_titleLabel || m_building || kind() != QLatin1Char('R')) return;
    m_titleLabel->setText(siteTitle());
    QPalette pal = m_titleLabel->palette();
    pal.setColor(QPalette::WindowText, Qt::yellow);
    m_titleLabel->setPalette(pal);
}

void iuiSh_MultiTable::addRows(int n) {
    if (!m_grid || m_building || !tableLayout().grows()) return;
    bool added = false;
    for (int i = 0; i < std::max(1, n); ++i)
        added = m_layout->addListRow() || added;
    if (!added) return;
    m_grid->setRowCount(cuiSheet::rowCount());
    for (int r = 0; r < cuiSheet::rowCount(); ++r)
        m_grid->setRowHeight(r, m_layout->rowHeight(r));
    m_grid->viewport()->update();
}

// The current cell stays on the same entry: when the rows removed reach past it, it moves
// up by as many rows as they overlap. The loop keeps its first row (the row for a new
// entry when the list is empty).
void iuiSh_MultiTable::removeRows(int n) {
    if (!m_grid || m_building || !tableLayout().grows()) return;
    n = std::max(1, n);
    const int keep = std::max(1, loopRow() + 1);
    const int col = m_grid->col();
    int row = m_grid->row();
    const int overlap = row - (cuiSheet::rowCount() - 1 - n);
    if (overlap > 0) row = std::max(std::min(row, keep - 1), row - overlap);
    const cuiCell current = CellAt(col, row).cell;
    int removed = 0;
    while (removed < n && cuiSheet::rowCount() > keep && m_layout->removeListRow())
        ++removed;
    if (removed == 0) return;
    m_grid->setRowCount(cuiSheet::rowCount());
    m_selecting = true;
    m_grid->setCurrent(col, std::min(row, cuiSheet::rowCount() - 1), true);
    m_selecting = false;
    if (n > 1) SelectCellById(current.category, current.label, current.index);
    m_grid->viewport()->update();
}

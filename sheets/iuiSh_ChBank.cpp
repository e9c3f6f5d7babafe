#include "iuiSh_ChBank.h"

#include "cmcEvMan.h"

#include <algorithm>

iuiSh_ChBank::iuiSh_ChBank(QWidget* owner, cmcGTex& table)
    : cuiSheet(owner, std::make_unique<iuiSh_ChBankLayout>(table)) {}

void iuiSh_ChBank::Build() {
    cuiSheet::Build();
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->post(EV_ListChanged);
}

void iuiSh_ChBank::onEvent(const cmcEvent* event) {
    // A bank sheet adds or removes one channel row per event, whatever the count.
    if (cmcEvListPosition::asked(event)) {
        if (cmcEvMan* ev = cmcEvMan::instance())
            ev->answer(cmcEvListPosition{bank(), firstChannel()});
    } else if (cmcEvRowsAdded::read(event)) {
        addRow();
    } else if (cmcEvRowsRemoved::read(event)) {
        removeRow();
    } else {
        cuiSheet::onEvent(event);
    }
}

void iuiSh_ChBank::addRow() {
    if (!bankLayout().addRow() || !m_grid) return;
    const int last = rowCount() - 1;
    m_grid->setRowCount(rowCount());
    m_grid->setRowHeight(last, m_layout->rowHeight(last));
    m_grid->viewport()->update();
}

void iuiSh_ChBank::removeRow() {
    const int current = m_grid ? m_grid->row() : 0;
    if (!bankLayout().removeRow() || !m_grid) return;
    m_grid->setRowCount(rowCount());
    const int row = std::max(0, std::min(current - 1, rowCount() - 1));
    m_selecting = true;
    m_grid->setCurrent(m_grid->col(), row, true);
    m_selecting = false;
    m_grid->viewport()->update();
}

#include "cuiSheetHost.h"

#include "cmcEvMan.h"
#include "cuiCell.h"
#include "cuiSheet.h"
#include "cuiTree.h"

#include <QLayout>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWidget>

cuiSheetHost::cuiSheetHost(QWidget* area, cmcGTex& table) : m_area(area), m_table(table) {
    if (m_area && !m_area->layout()) {
        auto* layout = new QVBoxLayout(m_area);
        layout->setContentsMargins(0, 0, 0, 0);
    }
}

cuiSheetHost::~cuiSheetHost() = default;

cuiSheet* cuiSheetHost::OpenSheet(const QString& command) {
    CloseSheet();
    m_sheet.reset(cuiSheet::create(m_area, command, m_table));
    for (const Position& p : m_history) {
        if (p.key == m_sheet->key()) {
            m_sheet->setSavedSelection(p.col, p.row, p.leftCol, p.topRow);
            break;
        }
    }
    if (m_resetWidths) {
        m_sheet->setResetWidths(true);
        m_resetWidths = false;
    }
    m_sheet->Build();
    if (m_area && m_area->layout()) m_area->layout()->addWidget(m_sheet->frame());
    m_sheet->frame()->show();
    if (m_area && m_area->window()->isActiveWindow()) {
        if (m_treeHadFocus && m_tree)
            m_tree->view()->setFocus();
        else
            m_sheet->grid()->setFocus();
    }
    return m_sheet.get();
}

void cuiSheetHost::CloseSheet() {
    if (!m_sheet) return;
    cuiGrid* grid = m_sheet->grid();
    if (grid && grid->isVisible()) {
        Position p;
        p.key = m_sheet->key();
        p.command = m_sheet->command();
        p.col = grid->col();
        p.row = grid->row();
        p.leftCol = grid->leftCol();
        p.topRow = grid->topRow();
        for (int i = 0; i < m_history.size(); ++i) {
            if (m_history[i].key == p.key) {
                m_history.removeAt(i);
                break;
            }
        }
        m_history.prepend(p);
    }
    m_treeHadFocus = m_tree && m_tree->view()->hasFocus();
    m_sheet.reset();
}

void cuiSheetHost::RefreshSheet() {
    if (m_tree) {
        if (const cuiCell* cell = m_tree->SelectedCell()) OpenSheet(cell->option);
        return;
    }
    if (!m_history.isEmpty()) OpenSheet(m_history.first().command);
}

void cuiSheetHost::CommitEdits() {
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->post(EV_BeforePrint);
}

// The shell keeps the sheet in view and its current cell over a rebuild of the tree, and
// shows a waiting status text once the sheet is back.

#include "cmcEvMan.h"
#include "cuiColor.h"
#include "cuiGrid.h"
#include "cuiMain.h"
#include "cuiMainTree.h"
#include "cuiSheet.h"
#include "cuiSheetHost.h"

#include <QTreeWidget>

void cuiMain::rememberPlace() {
    cuiSheet* sheet = m_host ? m_host->sheet() : nullptr;
    // A rebuild that finds no sheet open keeps a place still waiting for its sheet.
    if (!sheet) return;
    m_place.command = sheet->command();
    m_place.col = sheet->grid() ? sheet->grid()->col() : -1;
    m_place.row = sheet->grid() ? sheet->grid()->row() : -1;
}

void cuiMain::selectPlaceNode() {
    QTreeWidget* view = m_tree ? m_tree->view() : nullptr;
    if (!view) return;
    QTreeWidgetItem* node =
        m_place.command.isEmpty() ? nullptr : m_tree->FindNodeByCommand(m_place.command);
    if (!node) {
        m_place = {};
        node = view->topLevelItemCount() > 0 ? view->topLevelItem(0) : nullptr;
    }
    if (!node) return;
    view->setCurrentItem(node);
    // Opens the branches down to it.
    view->scrollToItem(node);
}

void cuiMain::restorePlace(const QString& command) {
    cuiSheet* sheet = m_host ? m_host->sheet() : nullptr;
    if (sheet && !m_place.command.isEmpty() && command == m_place.command && m_place.col >= 0 &&
        m_place.row >= 0 && m_place.col < sheet->colCount() && m_place.row < sheet->rowCount())
        sheet->SelectCell(m_place.col, m_place.row);
    m_place = {};
    if (m_statusAfterRebuild.isEmpty()) return;
    // Posted after what selecting the cell posted, so it is the one that stays.
    if (auto* ev = cmcEvMan::instance())
        ev->post(cmcEvStatusText{m_statusAfterRebuild,
                                 cuiColor::toQColor(cuiColor::clWindowText).rgb(),
                                 cuiColor::toQColor(cuiColor::clBtnFace).rgb()});
    m_statusAfterRebuild.clear();
}

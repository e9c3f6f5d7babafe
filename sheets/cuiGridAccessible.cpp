#include "cuiGridAccessible.h"

#include "cuiGrid.h"

#include <QApplication>
#include <QHash>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <vector>

namespace {

QAccessibleInterface* gridFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("cuiGrid") && object && object->isWidgetType())
        return new cuiGridAccessible(static_cast<cuiGrid*>(object));
    return nullptr;
}

// The grids a reader has looked at, with their interfaces.
QHash<const QObject*, cuiGridAccessible*>& live() {
    static QHash<const QObject*, cuiGridAccessible*> grids;
    return grids;
}

// The interface of a grid: the one a reader has asked for, else one made now while a reader
// listens; null otherwise, so that a grid nobody reads tells nothing.
cuiGridAccessible* accessibleOf(cuiGrid* grid) {
    if (!grid) return nullptr;
    if (cuiGridAccessible* known = live().value(grid)) return known;
    if (!QAccessible::isActive()) return nullptr;
    return dynamic_cast<cuiGridAccessible*>(QAccessible::queryAccessibleInterface(grid));
}

// A cell's text as one line: its lines joined by blanks.
QString oneLine(const QString& text) {
    return text.simplified();
}

} // namespace

// ---- the grid --------------------------------------------------------------------------

cuiGridAccessible::cuiGridAccessible(cuiGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {
    live().insert(grid, this);
}

cuiGridAccessible::~cuiGridAccessible() {
    live().remove(object());
    dropCells();
}

void cuiGridAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(&gridFactory);
        return true;
    }();
    (void)installed;
}

cuiGrid* cuiGridAccessible::grid() const {
    return static_cast<cuiGrid*>(object());
}

cuiGridOwner* cuiGridAccessible::owner() const {
    return grid() ? grid()->owner() : nullptr;
}

bool cuiGridAccessible::isList() const {
    return owner() && owner()->gridIsList();
}

int cuiGridAccessible::fixedCols() const {
    return std::min(grid()->fixedCols(), grid()->colCount());
}

int cuiGridAccessible::fixedRows() const {
    return std::min(grid()->fixedRows(), grid()->rowCount());
}

void cuiGridAccessible::dropCells() {
    for (const auto& [cell, id] : m_cells)
        QAccessible::deleteAccessibleInterface(id);
    m_cells.clear();
}

int cuiGridAccessible::indexOf(int col, int row) const {
    const cuiGrid* g = grid();
    if (isList()) return row >= fixedRows() && row < g->rowCount() ? row - fixedRows() : -1;
    if (col < 0 || row < 0 || col >= g->colCount() || row >= g->rowCount()) return -1;
    return row * g->colCount() + col;
}

QAccessibleInterface* cuiGridAccessible::cellOf(int col, int row) const {
    if (indexOf(col, row) < 0) return nullptr;
    if (isList()) col = -1;
    const auto key = std::make_pair(row, col);
    const auto it = m_cells.find(key);
    if (it != m_cells.end()) return QAccessible::accessibleInterface(it->second);
    auto* cell = new cuiGridAccessibleCell(grid(), col, row);
    m_cells[key] = QAccessible::registerAccessibleInterface(cell);
    return cell;
}

QString cuiGridAccessible::cellName(int col, int row) const {
    cuiGridOwner* o = owner();
    cuiGrid* g = grid();
    if (!o || row < 0 || row >= g->rowCount()) return QString();
    if (col < 0) {
        // A list item: what its row shows, cell by cell.
        QStringList parts;
        for (int c = 0; c < g->colCount(); ++c) {
            const QString part = cellName(c, row);
            if (!part.isEmpty()) parts.append(part);
        }
        return parts.join(QLatin1Char(' '));
    }
    if (col >= g->colCount()) return QString();
    int first = col, last = col;
    o->gridJoinedRun(col, row, first, last);
    if (first != col) return QString();
    return oneLine(o->gridCellText(col, row));
}

int cuiGridAccessible::cellStates(int col, int row) const {
    cuiGridOwner* o = owner();
    if (!o) return 0;
    if (col >= 0) return o->gridCellStates(col, row);
    int states = 0; // a list item: selectable and selected as any of its cells is
    for (int c = 0; c < grid()->colCount(); ++c)
        states |=
            o->gridCellStates(c, row) & (cuiGridOwner::CellSelectable | cuiGridOwner::CellSelected);
    return states;
}

int cuiGridAccessible::joinedExtent(int col, int row) const {
    int first = col, last = col;
    if (owner() && col >= 0) owner()->gridJoinedRun(col, row, first, last);
    return first == col ? last - first + 1 : 1;
}

int cuiGridAccessible::currentChild() const {
    return indexOf(grid()->col(), grid()->row());
}

void* cuiGridAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface && !isList())
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::Role cuiGridAccessible::role() const {
    return isList() ? QAccessible::List : QAccessible::Table;
}

QString cuiGridAccessible::text(QAccessible::Text type) const {
    if (type == QAccessible::Name) {
        const QString name = grid()->accessibleName();
        if (!name.isEmpty() || !owner()) return name;
        return oneLine(owner()->gridName());
    }
    return QAccessibleWidget::text(type);
}

QAccessible::State cuiGridAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.focusable = true;
    return s;
}

int cuiGridAccessible::childCount() const {
    const cuiGrid* g = grid();
    if (isList()) return std::max(0, g->rowCount() - fixedRows());
    return g->rowCount() * g->colCount();
}

QAccessibleInterface* cuiGridAccessible::child(int index) const {
    const cuiGrid* g = grid();
    if (index < 0 || index >= childCount()) return nullptr;
    if (isList()) return cellOf(-1, index + fixedRows());
    return cellOf(index % g->colCount(), index / g->colCount());
}

int cuiGridAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* cell = dynamic_cast<const cuiGridAccessibleCell*>(child);
    if (!cell || !cell->isValid() || cell->parent() != this) return -1;
    return indexOf(cell->col(), cell->row());
}

QAccessibleInterface* cuiGridAccessible::childAt(int x, int y) const {
    cuiGrid* g = grid();
    const QPoint p = g->viewport()->mapFromGlobal(QPoint(x, y));
    int col = 0, row = 0;
    if (!g->cellAt(p, col, row)) return nullptr;
    return cellOf(col, row);
}

QAccessibleInterface* cuiGridAccessible::focusChild() const {
    return grid()->hasFocus() ? cellOf(grid()->col(), grid()->row()) : nullptr;
}

// ---- table -------------------------------------------------------------------------------

int cuiGridAccessible::columnCount() const {
    return std::max(0, grid()->colCount() - fixedCols());
}

int cuiGridAccessible::rowCount() const {
    return std::max(0, grid()->rowCount() - fixedRows());
}

QAccessibleInterface* cuiGridAccessible::cellAt(int row, int column) const {
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) return nullptr;
    return cellOf(column + fixedCols(), row + fixedRows());
}

QList<QAccessibleInterface*> cuiGridAccessible::columnHeaders(int col) const {
    QList<QAccessibleInterface*> headers;
    for (int r = 0; r < fixedRows(); ++r) {
        int first = col, last = col;
        if (owner()) owner()->gridJoinedRun(col, r, first, last);
        if (!cellName(first, r).isEmpty()) headers.append(cellOf(first, r));
    }
    return headers;
}

QList<QAccessibleInterface*> cuiGridAccessible::rowHeaders(int row) const {
    QList<QAccessibleInterface*> headers;
    for (int c = 0; c < fixedCols(); ++c)
        if (!cellName(c, row).isEmpty()) headers.append(cellOf(c, row));
    return headers;
}

QString cuiGridAccessible::columnDescription(int column) const {
    QStringList parts;
    for (const QAccessibleInterface* h : columnHeaders(column + fixedCols()))
        parts.append(h->text(QAccessible::Name));
    return parts.join(QLatin1Char(' '));
}

QString cuiGridAccessible::rowDescription(int row) const {
    QStringList parts;
    for (const QAccessibleInterface* h : rowHeaders(row + fixedRows()))
        parts.append(h->text(QAccessible::Name));
    return parts.join(QLatin1Char(' '));
}

QList<QAccessibleInterface*> cuiGridAccessible::selectedCells() const {
    QList<QAccessibleInterface*> cells;
    const cuiGrid* g = grid();
    for (int r = fixedRows(); r < g->rowCount(); ++r)
        for (int c = fixedCols(); c < g->colCount(); ++c)
            if (cellStates(c, r) & cuiGridOwner::CellSelected) cells.append(cellOf(c, r));
    return cells;
}

int cuiGridAccessible::selectedCellCount() const {
    return int(selectedCells().size());
}

bool cuiGridAccessible::isRowSelected(int row) const {
    const int r = row + fixedRows();
    if (row < 0 || r >= grid()->rowCount()) return false;
    for (int c = fixedCols(); c < grid()->colCount(); ++c)
        if (cellStates(c, r) & cuiGridOwner::CellSelected) return true;
    return false;
}

QList<int> cuiGridAccessible::selectedRows() const {
    QList<int> rows;
    for (int r = 0; r < rowCount(); ++r)
        if (isRowSelected(r)) rows.append(r);
    return rows;
}

int cuiGridAccessible::selectedRowCount() const {
    return int(selectedRows().size());
}

void cuiGridAccessible::modelChange(QAccessibleTableModelChangeEvent*) {
    dropCells();
}

// ---- what the grid tells -----------------------------------------------------------------

void cuiGridAccessible::currentMoved(cuiGrid* grid) {
    cuiGridAccessible* iface = accessibleOf(grid);
    if (!iface) return;
    const int child = iface->currentChild();
    if (child < 0) return;
    // A pick list takes the keys through its window: its highlighted item has the focus
    // while the list is open.
    const bool focused = grid->hasFocus() ||
                         (iface->isList() && grid->window() == QApplication::activePopupWidget());
    if (focused) {
        iface->m_focusSent = child;
        QAccessibleEvent focus(grid, QAccessible::Focus);
        focus.setChild(child);
        QAccessible::updateAccessibility(&focus);
    }
    QAccessibleEvent active(grid, QAccessible::ActiveDescendantChanged);
    active.setChild(child);
    QAccessible::updateAccessibility(&active);
}

// The widget's own focus event follows its focus-in: the focus cell's comes after it.
// A move in the same turn (the click that gave the focus) has told of the cell already.
void cuiGridAccessible::focusGained(cuiGrid* grid) {
    cuiGridAccessible* gained = accessibleOf(grid);
    if (!gained) return;
    gained->m_focusSent = -1;
    QTimer::singleShot(0, grid, [grid] {
        cuiGridAccessible* iface = accessibleOf(grid);
        if (!iface || !grid->hasFocus()) return;
        const int child = iface->currentChild();
        if (child < 0 || child == iface->m_focusSent) return;
        iface->m_focusSent = child;
        QAccessibleEvent focus(grid, QAccessible::Focus);
        focus.setChild(child);
        QAccessible::updateAccessibility(&focus);
    });
}

void cuiGridAccessible::layoutChanged(cuiGrid* grid) {
    // Only a grid a reader knows has cells to forget.
    if (cuiGridAccessible* iface = live().value(grid)) {
        iface->dropCells();
        if (!iface->isList()) {
            QAccessibleTableModelChangeEvent reset(grid,
                                                   QAccessibleTableModelChangeEvent::ModelReset);
            QAccessible::updateAccessibility(&reset);
        }
    }
}

void cuiGridAccessible::cellsChanged(cuiGrid* grid) {
    if (cuiGridAccessible* iface = accessibleOf(grid)) iface->sendNameChanges();
}

void cuiGridAccessible::sendNameChanges() {
    // Events may make new cells: the ones to look at are taken first.
    std::vector<std::pair<int, QAccessible::Id>> known;
    for (const auto& [cell, id] : m_cells)
        known.emplace_back(indexOf(cell.second, cell.first), id);
    for (const auto& [index, id] : known) {
        auto* cell = dynamic_cast<cuiGridAccessibleCell*>(QAccessible::accessibleInterface(id));
        if (index < 0 || !cell || !cell->nameChanged()) continue;
        QAccessibleEvent changed(grid(), QAccessible::NameChanged);
        changed.setChild(index);
        QAccessible::updateAccessibility(&changed);
    }
}

// ---- a cell ------------------------------------------------------------------------------

cuiGridAccessibleCell::cuiGridAccessibleCell(cuiGrid* grid, int col, int row)
    : m_grid(grid), m_col(col), m_row(row) {
    m_name = text(QAccessible::Name);
}

cuiGridAccessible* cuiGridAccessibleCell::grid() const {
    return m_grid ? dynamic_cast<cuiGridAccessible*>(QAccessible::queryAccessibleInterface(m_grid))
                  : nullptr;
}

bool cuiGridAccessibleCell::isValid() const {
    return m_grid && m_row >= 0 && m_row < m_grid->rowCount() && m_col < m_grid->colCount() &&
           grid();
}

bool cuiGridAccessibleCell::nameChanged() {
    const QString now = text(QAccessible::Name);
    if (now == m_name) return false;
    m_name = now;
    return true;
}

QWindow* cuiGridAccessibleCell::window() const {
    return m_grid ? m_grid->window()->windowHandle() : nullptr;
}

QAccessibleInterface* cuiGridAccessibleCell::parent() const {
    return grid();
}

bool cuiGridAccessibleCell::isHeader() const {
    const cuiGridAccessible* g = grid();
    return g && !g->isList() && (m_row < g->fixedRows() || m_col < g->fixedCols());
}

QString cuiGridAccessibleCell::text(QAccessible::Text type) const {
    const cuiGridAccessible* g = grid();
    if (!g || !isValid()) return QString();
    return type == QAccessible::Name ? g->cellName(m_col, m_row) : QString();
}

QRect cuiGridAccessibleCell::rect() const {
    if (!isValid()) return QRect();
    QRect r = m_grid->cellRect(std::max(0, m_col), m_row);
    if (r.isEmpty()) return QRect();
    if (m_col < 0) r = QRect(0, r.top(), m_grid->viewport()->width(), r.height());
    return QRect(m_grid->viewport()->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::Role cuiGridAccessibleCell::role() const {
    const cuiGridAccessible* g = grid();
    if (g && g->isList()) return QAccessible::ListItem;
    if (g && m_row < g->fixedRows()) return QAccessible::ColumnHeader;
    if (g && m_col < g->fixedCols()) return QAccessible::RowHeader;
    return QAccessible::Cell;
}

QAccessible::State cuiGridAccessibleCell::state() const {
    QAccessible::State s;
    const cuiGridAccessible* g = grid();
    if (!g || !isValid()) {
        s.invalid = true;
        return s;
    }
    const int states = g->cellStates(m_col, m_row);
    if (states & cuiGridOwner::CellSelectable) {
        s.focusable = true;
        s.selectable = true;
        const bool current = m_row == m_grid->row() && (m_col < 0 || m_col == m_grid->col());
        s.focused = current && m_grid->hasFocus();
        s.active = current;
    }
    s.selected = (states & cuiGridOwner::CellSelected) != 0;
    s.readOnly = (states & cuiGridOwner::CellReadOnly) != 0;
    s.checkable = (states & cuiGridOwner::CellCheckable) != 0;
    s.checked = (states & cuiGridOwner::CellChecked) != 0;
    s.editable = (states & cuiGridOwner::CellSelectable) && !s.readOnly && !g->isList();
    if (rect().isEmpty()) {
        s.invisible = true;
        s.offscreen = true;
    }
    return s;
}

void* cuiGridAccessibleCell::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableCellInterface && !isHeader() && grid() && !grid()->isList())
        return static_cast<QAccessibleTableCellInterface*>(this);
    return nullptr;
}

bool cuiGridAccessibleCell::isSelected() const {
    const cuiGridAccessible* g = grid();
    return g && (g->cellStates(m_col, m_row) & cuiGridOwner::CellSelected);
}

QList<QAccessibleInterface*> cuiGridAccessibleCell::columnHeaderCells() const {
    const cuiGridAccessible* g = grid();
    return g ? g->columnHeaders(m_col) : QList<QAccessibleInterface*>();
}

QList<QAccessibleInterface*> cuiGridAccessibleCell::rowHeaderCells() const {
    const cuiGridAccessible* g = grid();
    return g ? g->rowHeaders(m_row) : QList<QAccessibleInterface*>();
}

int cuiGridAccessibleCell::columnIndex() const {
    const cuiGridAccessible* g = grid();
    return g ? m_col - g->fixedCols() : -1;
}

int cuiGridAccessibleCell::rowIndex() const {
    const cuiGridAccessible* g = grid();
    return g ? m_row - g->fixedRows() : -1;
}

int cuiGridAccessibleCell::columnExtent() const {
    const cuiGridAccessible* g = grid();
    return g ? g->joinedExtent(m_col, m_row) : 1;
}

QAccessibleInterface* cuiGridAccessibleCell::table() const {
    return grid();
}

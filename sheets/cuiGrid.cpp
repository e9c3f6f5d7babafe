#include "cuiGrid.h"

#include "cuiGridAccessible.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

cuiGrid::cuiGrid(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(true);
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setSingleStep(1);
    cuiGridAccessible::install();
}

void cuiGrid::cellsChanged() {
    cuiGridAccessible::cellsChanged(this);
}

void cuiGrid::setColCount(int n) {
    m_colWidths.resize(size_t(std::max(0, n)), m_defaultColWidth);
    m_col = std::min(m_col, std::max(0, n - 1));
    updateScrollBars();
    cuiGridAccessible::layoutChanged(this);
}

void cuiGrid::setRowCount(int n) {
    m_rowHeights.resize(size_t(std::max(0, n)), m_defaultRowHeight);
    m_row = std::min(m_row, std::max(0, n - 1));
    m_topRow = std::min(std::max(m_topRow, m_fixedRows), std::max(m_fixedRows, n - 1));
    updateScrollBars();
    viewport()->update();
    cuiGridAccessible::layoutChanged(this);
}

int cuiGrid::colWidth(int col) const {
    return col >= 0 && col < colCount() ? m_colWidths[size_t(col)] : 0;
}

int cuiGrid::rowHeight(int row) const {
    return row >= 0 && row < rowCount() ? m_rowHeights[size_t(row)] : 0;
}

void cuiGrid::setColWidth(int col, int width) {
    if (col < 0 || col >= colCount()) return;
    m_colWidths[size_t(col)] = std::max(0, width);
    updateScrollBars();
    viewport()->update();
}

void cuiGrid::setRowHeight(int row, int height) {
    if (row < 0 || row >= rowCount()) return;
    m_rowHeights[size_t(row)] = std::max(0, height);
    if (!m_suspended) updateScrollBars();
}

void cuiGrid::setDefaultSizes(int colWidth, int rowHeight) {
    m_defaultColWidth = colWidth;
    m_defaultRowHeight = rowHeight;
    std::fill(m_colWidths.begin(), m_colWidths.end(), colWidth);
    std::fill(m_rowHeights.begin(), m_rowHeights.end(), rowHeight);
}

void cuiGrid::setFixedCols(int n) {
    m_fixedCols = std::max(0, n);
    m_leftCol = std::max(m_leftCol, m_fixedCols);
    updateScrollBars();
    cuiGridAccessible::layoutChanged(this);
}

void cuiGrid::setFixedRows(int n) {
    m_fixedRows = std::max(0, n);
    m_topRow = std::max(m_topRow, m_fixedRows);
    updateScrollBars();
    cuiGridAccessible::layoutChanged(this);
}

void cuiGrid::setSuspended(bool on) {
    m_suspended = on;
    if (!on) {
        updateScrollBars();
        viewport()->update();
    }
}

int cuiGrid::clientWidth() const {
    return viewport()->width();
}
int cuiGrid::clientHeight() const {
    return viewport()->height();
}

int cuiGrid::fixedWidth() const {
    int w = 0;
    for (int c = 0; c < std::min(m_fixedCols, colCount()); ++c)
        w += m_colWidths[size_t(c)];
    return w;
}

int cuiGrid::fixedHeight() const {
    int h = 0;
    for (int r = 0; r < std::min(m_fixedRows, rowCount()); ++r)
        h += m_rowHeights[size_t(r)];
    return h;
}

int cuiGrid::colLeft(int col) const {
    if (col < 0 || col >= colCount()) return -1;
    if (col < m_fixedCols) {
        int x = 0;
        for (int c = 0; c < col; ++c)
            x += m_colWidths[size_t(c)];
        return x;
    }
    if (col < m_leftCol) return -1;
    int x = fixedWidth();
    for (int c = m_leftCol; c < col; ++c)
        x += m_colWidths[size_t(c)];
    return x;
}

static int rowTopOf(const std::vector<int>& heights, int fixedRows, int topRow, int row) {
    if (row < fixedRows) {
        int y = 0;
        for (int r = 0; r < row; ++r)
            y += heights[size_t(r)];
        return y;
    }
    if (row < topRow) return -1;
    int y = 0;
    for (int r = 0; r < std::min(fixedRows, int(heights.size())); ++r)
        y += heights[size_t(r)];
    for (int r = topRow; r < row; ++r)
        y += heights[size_t(r)];
    return y;
}

QRect cuiGrid::cellRect(int col, int row) const {
    if (col < 0 || row < 0 || col >= colCount() || row >= rowCount()) return QRect();
    const int x = colLeft(col);
    const int y = rowTopOf(m_rowHeights, m_fixedRows, m_topRow, row);
    if (x < 0 || y < 0 || x >= clientWidth() || y >= clientHeight()) return QRect();
    return QRect(x, y, m_colWidths[size_t(col)], m_rowHeights[size_t(row)]);
}

bool cuiGrid::cellAt(const QPoint& p, int& col, int& row) const {
    if (p.x() < 0 || p.y() < 0) return false;
    col = -1;
    int x = 0;
    for (int c = 0; c < colCount(); ++c) {
        if (c >= m_fixedCols && c < m_leftCol) continue;
        const int w = m_colWidths[size_t(c)];
        if (p.x() >= x && p.x() < x + w) {
            col = c;
            break;
        }
        x += w;
        if (x > clientWidth()) break;
    }
    row = -1;
    int y = 0;
    for (int r = 0; r < rowCount(); ++r) {
        if (r >= m_fixedRows && r < m_topRow) continue;
        const int h = m_rowHeights[size_t(r)];
        if (p.y() >= y && p.y() < y + h) {
            row = r;
            break;
        }
        y += h;
        if (y > clientHeight()) break;
    }
    return col >= 0 && row >= 0;
}

int cuiGrid::lastVisibleCol() const {
    int x = fixedWidth();
    int last = std::min(m_fixedCols, colCount()) - 1;
    for (int c = m_leftCol; c < colCount() && x < clientWidth(); ++c) {
        x += m_colWidths[size_t(c)];
        last = c;
    }
    return last;
}

int cuiGrid::lastVisibleRow() const {
    int y = fixedHeight();
    int last = std::min(m_fixedRows, rowCount()) - 1;
    for (int r = m_topRow; r < rowCount() && y < clientHeight(); ++r) {
        y += m_rowHeights[size_t(r)];
        last = r;
    }
    return last;
}

bool cuiGrid::allColsVisible() const {
    int w = 0;
    for (int v : m_colWidths)
        w += v;
    return w <= clientWidth();
}

bool cuiGrid::allRowsVisible() const {
    int h = 0;
    for (int v : m_rowHeights)
        h += v;
    return h <= clientHeight();
}

void cuiGrid::setLeftCol(int col) {
    const int v = std::clamp(col, m_fixedCols, std::max(m_fixedCols, colCount() - 1));
    if (v == m_leftCol) return;
    m_leftCol = v;
    updateScrollBars();
    viewport()->update();
}

void cuiGrid::setTopRow(int row) {
    const int v = std::clamp(row, m_fixedRows, std::max(m_fixedRows, rowCount() - 1));
    if (v == m_topRow) return;
    m_topRow = v;
    updateScrollBars();
    viewport()->update();
}

void cuiGrid::updateScrollBars() {
    if (m_syncingBars) return;
    m_syncingBars = true;
    // The furthest first column (row) that still fills the client area.
    int maxLeft = colCount() - 1, w = fixedWidth();
    for (int c = colCount() - 1; c >= m_fixedCols; --c) {
        w += m_colWidths[size_t(c)];
        if (w > clientWidth()) break;
        maxLeft = c;
    }
    int maxTop = rowCount() - 1, h = fixedHeight();
    for (int r = rowCount() - 1; r >= m_fixedRows; --r) {
        h += m_rowHeights[size_t(r)];
        if (h > clientHeight()) break;
        maxTop = r;
    }
    maxLeft = std::max(m_fixedCols, maxLeft);
    maxTop = std::max(m_fixedRows, maxTop);
    horizontalScrollBar()->setRange(m_fixedCols, std::max(maxLeft, m_leftCol));
    horizontalScrollBar()->setPageStep(std::max(1, lastVisibleCol() - m_leftCol));
    horizontalScrollBar()->setValue(m_leftCol);
    verticalScrollBar()->setRange(m_fixedRows, std::max(maxTop, m_topRow));
    verticalScrollBar()->setPageStep(std::max(1, lastVisibleRow() - m_topRow));
    verticalScrollBar()->setValue(m_topRow);
    m_syncingBars = false;
}

void cuiGrid::scrollContentsBy(int, int) {
    if (m_syncingBars) return;
    m_leftCol = horizontalScrollBar()->value();
    m_topRow = verticalScrollBar()->value();
    viewport()->update();
}

void cuiGrid::scrollIntoView(int col, int row) {
    if (col >= m_fixedCols && col < colCount()) {
        if (col < m_leftCol) {
            m_leftCol = col;
        } else {
            // Advance the left column until the cell's right edge is inside.
            auto right = [&] {
                int x = fixedWidth();
                for (int c = m_leftCol; c <= col; ++c)
                    x += m_colWidths[size_t(c)];
                return x;
            };
            while (m_leftCol < col && right() > clientWidth())
                ++m_leftCol;
        }
    }
    if (row >= m_fixedRows && row < rowCount()) {
        if (row < m_topRow) {
            m_topRow = row;
        } else {
            auto bottom = [&] {
                int y = fixedHeight();
                for (int r = m_topRow; r <= row; ++r)
                    y += m_rowHeights[size_t(r)];
                return y;
            };
            while (m_topRow < row && bottom() > clientHeight())
                ++m_topRow;
        }
    }
    updateScrollBars();
}

bool cuiGrid::setCurrent(int col, int row, bool silent) {
    if (col < 0 || row < 0 || col >= colCount() || row >= rowCount()) return false;
    if (!silent && m_owner && !m_owner->gridSelectCell(col, row)) return false;
    const bool moved = col != m_col || row != m_row;
    m_col = col;
    m_row = row;
    scrollIntoView(col, row);
    viewport()->update();
    if (moved) {
        cuiGridAccessible::currentMoved(this);
        emit currentChanged(col, row);
    }
    return moved;
}

void cuiGrid::invalidateCell(int col, int row) {
    const QRect r = cellRect(col, row);
    if (!r.isEmpty()) viewport()->update(r);
}

void cuiGrid::invalidateRow(int row) {
    const QRect r = cellRect(std::min(m_fixedCols, colCount() - 1), row);
    if (r.isNull()) return;
    viewport()->update(QRect(0, r.top(), clientWidth(), r.height()));
}

void cuiGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void cuiGrid::paintEvent(QPaintEvent*) {
    if (m_suspended || !m_owner) return;
    QPainter painter(viewport());
    const int fw = fixedWidth(), fh = fixedHeight();
    const int lastCol = lastVisibleCol(), lastRow = lastVisibleRow();
    auto paintRegion = [&](int c0, int c1, int r0, int r1, const QRect& clip) {
        if (clip.isEmpty()) return;
        painter.setClipRect(clip);
        for (int r = r0; r <= r1; ++r) {
            const int y = rowTopOf(m_rowHeights, m_fixedRows, m_topRow, r);
            const int h = m_rowHeights[size_t(r)];
            if (y < 0 || h <= 0) continue;
            for (int c = c0; c <= c1; ++c) {
                const int x = colLeft(c);
                const int w = m_colWidths[size_t(c)];
                if (x < 0 || w <= 0) continue;
                m_owner->gridPaintCell(painter, c, r, QRect(x, y, w, h));
            }
        }
    };
    const int fc = std::min(m_fixedCols, colCount()) - 1;
    const int fr = std::min(m_fixedRows, rowCount()) - 1;
    const int W = clientWidth(), H = clientHeight();
    paintRegion(m_leftCol, lastCol, m_topRow, lastRow, QRect(fw, fh, W - fw, H - fh));
    paintRegion(0, fc, m_topRow, lastRow, QRect(0, fh, fw, H - fh));
    paintRegion(m_leftCol, lastCol, 0, fr, QRect(fw, 0, W - fw, fh));
    paintRegion(0, fc, 0, fr, QRect(0, 0, fw, fh));
}

void cuiGrid::paintCells(QPainter& painter, int c0, int r0, int c1, int r1, double scale) {
    if (!m_owner) return;
    c1 = std::min(c1, colCount() - 1);
    r1 = std::min(r1, rowCount() - 1);
    double y = 0;
    for (int r = r0; r <= r1; ++r) {
        const double h = m_rowHeights[size_t(r)] * scale;
        double x = 0;
        for (int c = c0; c <= c1; ++c) {
            const double w = m_colWidths[size_t(c)] * scale;
            const QRect rect(int(std::lround(x)), int(std::lround(y)),
                             int(std::lround(x + w)) - int(std::lround(x)),
                             int(std::lround(y + h)) - int(std::lround(y)));
            if (rect.width() > 0 && rect.height() > 0) m_owner->gridPaintCell(painter, c, r, rect);
            x += w;
        }
        y += h;
    }
}

int cuiGrid::resizeEdgeAt(const QPoint& p) const {
    if (!m_colSizing || p.y() >= fixedHeight()) return -1;
    const int last = lastVisibleCol();
    for (int c = 0; c <= last; ++c) {
        const int x = colLeft(c);
        if (x < 0) continue;
        const int right = x + m_colWidths[size_t(c)];
        if (std::abs(p.x() - right) <= 2 && m_colWidths[size_t(c)] > 0) return c;
    }
    return -1;
}

// The function keys belong to the current cell (F1: its help) while the grid has the
// focus, before any menu shortcut of the window.
bool cuiGrid::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F12 &&
            key->modifiers() == Qt::NoModifier) {
            event->accept();
            return true;
        }
    }
    // Tab and Shift+Tab move between the cells of a row, as in a spreadsheet, instead of
    // taking the focus out of the grid; Ctrl+Tab and Ctrl+Shift+Tab do that, to the window's
    // next or previous control.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            keyPressEvent(key);
            return true;
        }
        if (tab && (key->modifiers() & Qt::ControlModifier) &&
            !(key->modifiers() & Qt::AltModifier)) {
            QWidget::focusNextPrevChild(key->key() == Qt::Key_Tab &&
                                        !(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void cuiGrid::keyPressEvent(QKeyEvent* event) {
    if (m_owner && m_owner->gridKeyDown(event)) {
        event->accept();
        return;
    }
    if (m_owner && !event->text().isEmpty()) m_owner->gridKeyPress(event->text());
    event->ignore();
}

void cuiGrid::keyReleaseEvent(QKeyEvent* event) {
    if (m_owner) m_owner->gridKeyUp(event);
    QAbstractScrollArea::keyReleaseEvent(event);
}

void cuiGrid::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        const int edge = resizeEdgeAt(p);
        if (edge >= 0) {
            m_resizeCol = edge;
            m_resizeStartX = p.x();
            m_resizeStartWidth = colWidth(edge);
            return;
        }
        m_dragging = true;
    }
    if (m_owner) m_owner->gridMouseDown(event);
}

void cuiGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (m_resizeCol >= 0) {
        int w = m_resizeStartWidth + p.x() - m_resizeStartX;
        if (m_owner) w = m_owner->gridColumnResizing(m_resizeCol, w);
        setColWidth(m_resizeCol, w);
        return;
    }
    viewport()->setCursor(resizeEdgeAt(p) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
    if (m_dragging) {
        int dirs = 0;
        if (p.x() < 0) dirs |= cuiGridOwner::ScrollLeft;
        if (p.x() >= clientWidth()) dirs |= cuiGridOwner::ScrollRight;
        if (p.y() < 0) dirs |= cuiGridOwner::ScrollUp;
        if (p.y() >= clientHeight()) dirs |= cuiGridOwner::ScrollDown;
        m_scrollDirs = dirs;
        if (dirs && !m_scrollTimer)
            m_scrollTimer = startTimer(60);
        else if (!dirs && m_scrollTimer) {
            killTimer(m_scrollTimer);
            m_scrollTimer = 0;
        }
    }
    if (m_owner) m_owner->gridMouseMove(event);
}

void cuiGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (m_resizeCol >= 0) {
        m_resizeCol = -1;
        if (m_owner) m_owner->gridColumnsResized();
        return;
    }
    if (event->button() == Qt::LeftButton) {
        m_dragging = false;
        if (m_scrollTimer) {
            killTimer(m_scrollTimer);
            m_scrollTimer = 0;
        }
    }
    if (m_owner) m_owner->gridMouseUp(event);
}

void cuiGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (m_owner) m_owner->gridDoubleClick(event);
}

void cuiGrid::wheelEvent(QWheelEvent* event) {
    const int dy = event->angleDelta().y();
    if (m_owner && dy != 0) m_owner->gridWheel(dy < 0 ? 1 : -1);
    event->accept();
}

// A menu or pick list popping up over the grid takes the keyboard only for a moment: the
// grid keeps its cell menu (and the main window's Edit menu its items) meanwhile.
void cuiGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    cuiGridAccessible::focusGained(this);
    if (m_owner && event->reason() != Qt::PopupFocusReason) m_owner->gridFocus(true);
}

void cuiGrid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    if (m_owner && event->reason() != Qt::PopupFocusReason) m_owner->gridFocus(false);
}

bool cuiGrid::focusNextPrevChild(bool) {
    return false;
}

void cuiGrid::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_scrollTimer && m_owner && m_scrollDirs)
        m_owner->gridTimedScroll(m_scrollDirs);
}

#pragma once
// The owner-drawn grid: columns and rows of variable width and height, fixed (non-scrolling)
// leading columns and rows, scroll bars and a focus cell. It paints nothing itself: every
// cell is drawn by its owner, and every input goes to the owner, which decides what it
// means. Scrolling is by whole columns and rows.

#include <QAbstractScrollArea>
#include <QRect>
#include <QString>
#include <vector>

class QPainter;

class cuiGridOwner {
  public:
    enum ScrollDir { ScrollLeft = 1, ScrollRight = 2, ScrollUp = 4, ScrollDown = 8 };
    virtual ~cuiGridOwner() = default;
    virtual void gridPaintCell(QPainter& painter, int col, int row, const QRect& rect) = 0;
    // Asked before the focus cell changes; false keeps the old one.
    virtual bool gridSelectCell(int col, int row) = 0;
    // Return true when the event was consumed.
    virtual bool gridKeyDown(QKeyEvent* event) = 0;
    virtual void gridKeyPress(const QString& text) = 0;
    virtual void gridKeyUp(QKeyEvent* event) = 0;
    virtual void gridMouseDown(QMouseEvent* event) = 0;
    virtual void gridMouseUp(QMouseEvent* event) = 0;
    virtual void gridMouseMove(QMouseEvent* event) = 0;
    virtual void gridDoubleClick(QMouseEvent* event) = 0;
    virtual void gridWheel(int steps) = 0; // positive: down
    virtual void gridFocus(bool gained) = 0;
    // The user drags a column edge; returns the width to use.
    virtual int gridColumnResizing(int col, int width) = 0;
    virtual void gridColumnsResized() = 0;
    virtual void gridTimedScroll(int directions) = 0;

    // What assistive technology reads of the grid (cuiGridAccessible): the text a cell
    // shows, the grid's name, a cell's states, and whether the grid is a list of its rows
    // (a pick list) rather than a table.
    enum CellState {
        CellSelectable = 1, // can be the focus cell
        CellSelected = 2,   // shown selected
        CellReadOnly = 4,
        CellCheckable = 8,
        CellChecked = 16,
    };
    virtual QString gridCellText(int col, int row) {
        (void)col, (void)row;
        return QString();
    }
    virtual QString gridName() { return QString(); }
    virtual int gridCellStates(int col, int row) {
        (void)col, (void)row;
        return 0;
    }
    virtual bool gridIsList() { return false; }
    // The run of joined cells (col, row) belongs to: the first cell shows the run's text.
    virtual void gridJoinedRun(int col, int /*row*/, int& first, int& last) { first = last = col; }
};

class cuiGrid : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit cuiGrid(QWidget* parent = nullptr);

    void setOwner(cuiGridOwner* owner) { m_owner = owner; }
    cuiGridOwner* owner() const { return m_owner; }
    // Tells assistive technology that cell values may have changed: the cells it knows
    // whose text changed send a name change.
    void cellsChanged();

    void setColCount(int n);
    void setRowCount(int n);
    int colCount() const { return int(m_colWidths.size()); }
    int rowCount() const { return int(m_rowHeights.size()); }
    int colWidth(int col) const;
    int rowHeight(int row) const;
    void setColWidth(int col, int width);
    void setRowHeight(int row, int height);
    void setDefaultSizes(int colWidth, int rowHeight);
    void setFixedCols(int n);
    void setFixedRows(int n);
    int fixedCols() const { return m_fixedCols; }
    int fixedRows() const { return m_fixedRows; }
    void setColSizing(bool on) { m_colSizing = on; }
    bool colSizing() const { return m_colSizing; }

    int col() const { return m_col; }
    int row() const { return m_row; }
    // Makes (col, row) the focus cell after asking the owner (unless silent) and scrolls
    // it into view. Returns whether it moved.
    bool setCurrent(int col, int row, bool silent = false);
    int leftCol() const { return m_leftCol; }
    int topRow() const { return m_topRow; }
    void setLeftCol(int col);
    void setTopRow(int row);
    // Last column and row that are at least partly visible.
    int lastVisibleCol() const;
    int lastVisibleRow() const;
    // Number of scrolling columns / rows that fit wholly after the fixed ones.
    bool allColsVisible() const;
    bool allRowsVisible() const;

    // Rectangle of a cell in viewport coordinates (empty when not visible).
    QRect cellRect(int col, int row) const;
    // Cell under a viewport point; false outside the cells.
    bool cellAt(const QPoint& p, int& col, int& row) const;
    // Left edge in viewport coordinates of a visible column (-1 when hidden).
    int colLeft(int col) const;
    void invalidateCell(int col, int row);
    void invalidateRow(int row);

    // Paints the cells [c0..c1] × [r0..r1] on any canvas, laid out from (0, 0), each
    // width and height multiplied by scale.
    void paintCells(QPainter& painter, int c0, int r0, int c1, int r1, double scale);

    int clientWidth() const;
    int clientHeight() const;
    // Drawing is suspended while the owner builds.
    void setSuspended(bool on);

  signals:
    void currentChanged(int col, int row);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    void updateScrollBars();
    void scrollIntoView(int col, int row);
    int resizeEdgeAt(const QPoint& p) const;
    int fixedWidth() const;
    int fixedHeight() const;

    cuiGridOwner* m_owner = nullptr;
    std::vector<int> m_colWidths;
    std::vector<int> m_rowHeights;
    int m_defaultColWidth = 1;
    int m_defaultRowHeight = 1;
    int m_fixedCols = 0;
    int m_fixedRows = 0;
    int m_col = 0;
    int m_row = 0;
    int m_leftCol = 0;
    int m_topRow = 0;
    bool m_colSizing = false;
    bool m_suspended = false;
    bool m_syncingBars = false;
    int m_resizeCol = -1; // column being resized by a drag
    int m_resizeStartX = 0;
    int m_resizeStartWidth = 0;
    int m_scrollTimer = 0; // timed scroll while dragging beyond an edge
    int m_scrollDirs = 0;
    bool m_dragging = false;
};

#pragma once
// The grid as assistive technology reads it (AT-SPI on Linux, UI Automation on Windows).
// A grid is a table: its rows and columns are the grid's scrolling rows and columns, the
// fixed rows give the column headers and the fixed columns the row headers, each cell is
// named by the text its owner paints in it, and the grid by its owner's caption. Every
// cell of the grid, headers included, is a child (index row × columns + column). A pick
// list's grid is a list instead, whose items are its rows.
//
// Cell objects are made when first asked for and kept until the grid's layout changes;
// each remembers the name it last gave, so that a change of the values (cellsChanged)
// tells of exactly the cells whose text changed among those a reader has seen. Moving the
// focus cell sends focus and active-descendant events for the new cell.

#include <QAccessibleWidget>
#include <QPointer>
#include <map>
#include <utility>

class cuiGrid;
class cuiGridOwner;

class cuiGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
  public:
    explicit cuiGridAccessible(cuiGrid* grid);
    ~cuiGridAccessible() override;

    // Installs the factory that gives every cuiGrid this interface (once per process).
    static void install();
    // What the grid tells: its focus cell moved, it gained the keyboard focus, its rows or
    // columns changed, its values may have changed.
    static void currentMoved(cuiGrid* grid);
    static void focusGained(cuiGrid* grid);
    static void layoutChanged(cuiGrid* grid);
    static void cellsChanged(cuiGrid* grid);

    cuiGrid* grid() const;
    bool isList() const;
    // The child for a cell in grid coordinates (a list: col is ignored, the row's item);
    // null outside the grid.
    QAccessibleInterface* cellOf(int col, int row) const;
    int indexOf(int col, int row) const;
    // A cell's name: the text its run shows on one line (empty for the other cells of a
    // joined run); a list item's name: the texts of its row.
    QString cellName(int col, int row) const;
    int cellStates(int col, int row) const;
    int joinedExtent(int col, int row) const;

    // QAccessibleInterface
    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::Role role() const override;
    QString text(QAccessible::Text type) const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override;
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override;
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    // The selection belongs to the user's keys and clicks, not to a reader.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    // The header cells of a column or row (grid coordinates) that show a text.
    QList<QAccessibleInterface*> columnHeaders(int col) const;
    QList<QAccessibleInterface*> rowHeaders(int row) const;
    int fixedCols() const;
    int fixedRows() const;

  private:
    cuiGridOwner* owner() const;
    int currentChild() const;
    void sendNameChanges();
    void dropCells();

    mutable std::map<std::pair<int, int>, QAccessible::Id> m_cells; // (row, col) -> id
    // The child whose focus event was sent last since the grid gained the focus (-1: none),
    // so that a click, which both focuses the grid and moves the cell, tells it once.
    int m_focusSent = -1;
};

// One cell of the grid (or one item of a list).
class cuiGridAccessibleCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
  public:
    cuiGridAccessibleCell(cuiGrid* grid, int col, int row);

    int col() const { return m_col; }
    int row() const { return m_row; }
    // The name last given out; true when it changed since (and takes the new one).
    bool nameChanged();

    // QAccessibleInterface
    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTableCellInterface
    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    int columnIndex() const override;
    int rowIndex() const override;
    int columnExtent() const override;
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override;

  private:
    cuiGridAccessible* grid() const;
    bool isHeader() const;

    QPointer<cuiGrid> m_grid;
    int m_col;
    int m_row;
    QString m_name;
};

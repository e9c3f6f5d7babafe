#pragma once
// The per-radio values as a window of their own: a grid with a row per radio and a column
// per cell, edited in place with undo and redo, read from and saved to CSV, and checked
// against the document after every change (the faults listed below the grid, the cells
// concerned marked). Columns come from cell references typed in, or from a list sheet's
// pop-up menu ("Add column for this cell").

#include "cmcEeprom.h"
#include "imcFleetSheet.h"

#include <QDialog>
#include <QUndoStack>
#include <functional>

class QLabel;
class QLineEdit;
class QTableWidget;

class iuiFleetSheetWin : public QDialog {
  public:
    // document: the image the rows are checked against, asked at every check; defaults:
    // the factory data rows coming into use start from (may be nullptr).
    iuiFleetSheetWin(std::function<const cmcEeprom&()> document, const cmcEeprom* defaults,
                     QWidget* parent);

    const imcFleetSheet& sheet() const { return m_sheet; }
    QTableWidget* grid() const { return m_grid; }
    QUndoStack& undoStack() { return m_undo; }
    // The faults the last check found, one line each.
    QStringList faults() const { return m_faults; }

    // Reads a sheet (false after telling why: the window keeps its sheet), saves it.
    bool open(const QString& path);
    bool save(const QString& path);
    // Adds a column (undoable); false after telling why.
    bool addColumn(const QString& reference);
    void addRadio(const QString& radio);
    // A value or radio typed into the grid (column 0: the radio), as an undoable step.
    void edit(int row, int column, const QString& text);
    void check();

    static QString text(int line);

  private:
    class Step;
    void fill();
    void tell(const QString& message);

    std::function<const cmcEeprom&()> m_document;
    const cmcEeprom* m_defaults = nullptr;
    imcFleetSheet m_sheet;
    QString m_file;
    QTableWidget* m_grid = nullptr;
    QLineEdit* m_reference = nullptr;
    QLabel* m_status = nullptr;
    QUndoStack m_undo;
    QStringList m_faults;
    bool m_filling = false;
};

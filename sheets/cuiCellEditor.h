#pragma once
// The in-place editor of a sheet's cell: a one-line plain-text editor that keeps every key
// it is given. A key it has no use for (Shift, Ctrl or Alt pressed alone, a dead key, a
// function key the sheet did not take) must not travel on to the grid underneath, where it
// would end the edit and drop what was typed; only the sheet's own keys (Enter, Escape,
// Up, Down, Page Up, Page Down) end an edit, and those the sheet takes before the editor.

#include <QPlainTextEdit>

class cuiCellEditor : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit cuiCellEditor(QWidget* parent);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
};

#pragma once
// The main window's sheet area: shows at most one sheet at a time and remembers, per
// sheet key, where the user was (current cell, left column, top row), newest first.

#include <QList>
#include <QString>
#include <memory>

class cmcGTex;
class cuiSheet;
class cuiTree;
class QWidget;

class cuiSheetHost {
  public:
    struct Position {
        QString key;
        QString command;
        int col = -1, row = -1, leftCol = -1, topRow = -1;
    };

    cuiSheetHost(QWidget* area, cmcGTex& table);
    ~cuiSheetHost();

    void setTree(cuiTree* tree) { m_tree = tree; }

    // Closes the current sheet, creates the new one, gives it its saved position and
    // builds it; the focus goes back to the tree if it had it, else to the new grid.
    cuiSheet* OpenSheet(const QString& command);
    void CloseSheet();
    // Opens the tree's selected sheet again (without a tree: the most recent one).
    void RefreshSheet();
    // Sheets commit their in-place editor (event 21).
    void CommitEdits();
    // The next sheet built forgets its stored column widths.
    void requestWidthReset() { m_resetWidths = true; }

    cuiSheet* sheet() const { return m_sheet.get(); }
    const QList<Position>& history() const { return m_history; }

  private:
    QWidget* m_area;
    cmcGTex& m_table;
    cuiTree* m_tree = nullptr;
    std::unique_ptr<cuiSheet> m_sheet;
    QList<Position> m_history;
    bool m_treeHadFocus = false;
    bool m_resetWidths = false;
};

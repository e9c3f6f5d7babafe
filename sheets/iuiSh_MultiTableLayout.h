#pragma once
// The layout of the multi-table sheet: a list whose length depends on the data, built
// from a one-row loop body ("LoopFrom" without a count). The first letter of the argument
// string says what the loop counts:
//   R, X, x, Q, q   the rows of the repeater site, individual-ID or talkgroup-ID table, and
//                   one empty row after them for a new entry; "R" shows the site given as
//                   argument 1 ("R 9,2"), else the one set by whoever opens the sheet
//   M               the 16 multiple tables ("M P,n" selects table n)
//   C               the channels of the current bank; B the banks
//   Y               the languages of the language list
//   Z, W            the individual-ID and talkgroup entries
// For C, B, Y, Z and W a count of 0 also skips the loop row. The last loop row never joins
// a multi-selection. The matrix is padded to 1000 rows so rows can be added later.
// "Only_Print n" keeps the next n lines for printed copies only.

#include "cuiSheetLayout.h"

#include <QChar>

class iuiSh_MultiTableLayout : public cuiSheetLayout {
  public:
    static constexpr int MatrixRows = 1000;
    static constexpr int MultipleTables = 16;

    using cuiSheetLayout::cuiSheetLayout;

    void SetArguments(const QString& arguments) override;
    void ApplyDirective(const QString& directive) override;
    void BuildCells() override;
    void OnRowBuilt(int row) override;
    QString GetTitle() override;

    // The site of an "R" table without a site argument (the index of the cell that opened
    // it, or the site being printed).
    void setSite(int site);
    int site() const { return m_site; }
    // Whether the list's row count follows the entries added and removed (events 38, 39).
    bool grows() const;

    QChar kind() const { return m_kind; }
    int listRows() const { return m_listRows; }
    int firstRow() const { return m_firstRow; }
    int selectedTable() const { return m_selectedTable; }
    int loopRow() const { return m_loopRow; }

    // The number of loop rows on screen for a kind and its list's row count.
    static int loopCountFor(QChar kind, int listRows);

  protected:
    bool keepsRowSelect() const override { return true; }
    int rowLimit() const override { return MatrixRows; }

  private:
    void countRows();

    QChar m_kind;
    int m_site = 0;
    bool m_siteGiven = false;
    int m_listRows = 0;
    int m_firstRow = 0;
    int m_selectedTable = 0;
    int m_loopRow = -1;
};

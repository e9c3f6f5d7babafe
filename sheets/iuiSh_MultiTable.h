#pragma once
// The multi-table sheet on screen: a list whose length depends on the data, laid out by
// iuiSh_MultiTableLayout from the first letter of its arguments.

#include "cuiSheet.h"
#include "iuiSh_MultiTableLayout.h"

class iuiSh_MultiTable : public cuiSheet {
  public:
    static constexpr int MatrixRows = iuiSh_MultiTableLayout::MatrixRows;
    static constexpr int MultipleTables = iuiSh_MultiTableLayout::MultipleTables;

    iuiSh_MultiTable(QWidget* owner, cmcGTex& table);

    QChar kind() const { return tableLayout().kind(); }
    // The row count of the list the loop shows.
    int rowCount() const { return tableLayout().listRows(); }
    int firstRow() const { return tableLayout().firstRow(); }
    int selectedTable() const { return tableLayout().selectedTable(); }
    int loopRow() const { return tableLayout().loopRow(); }

    static int loopCountFor(QChar kind, int listRows) {
        return iuiSh_MultiTableLayout::loopCountFor(kind, listRows);
    }

  private:
    const iuiSh_MultiTableLayout& tableLayout() const {
        return static_cast<const iuiSh_MultiTableLayout&>(*m_layout);
    }
};

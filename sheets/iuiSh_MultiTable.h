#pragma once
// The multi-table sheet on screen: a list whose length depends on the data, laid out by
// iuiSh_MultiTableLayout from the first letter of its arguments. It answers the questions
// of its position (event 35: bank 0 and the list's first row; event 37: the site), grows
// and shrinks by rows as entries are added at or removed from the end of a repeater or
// ID list (events 38 and 39) without a rebuild, and a repeater table's title tells the
// site and the rows it has left (event 36).

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
    int site() const { return tableLayout().site(); }
    // The site of a repeater table opened without one in its arguments; before Build.
    void setSite(int site) { tableLayout().setSite(site); }

    static int loopCountFor(QChar kind, int listRows) {
        return iuiSh_MultiTableLayout::loopCountFor(kind, listRows);
    }

    // The title panel's text of a repeater table: the title, the site and its free rows.
    QString siteTitle() const;

  protected:
    void onEvent(const cmcEvent* event) override;

  private:
    iuiSh_MultiTableLayout& tableLayout() const {
        return static_cast<iuiSh_MultiTableLayout&>(*m_layout);
    }
    void addRows(int n);
    void removeRows(int n);
    void showSiteTitle();
};

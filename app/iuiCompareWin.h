#pragma once
// The changes between the document and another image of the radio (the file on disk, the
// last image read from the transceiver, any clone file), one row per changed cell: where
// (list or sheet), row, column, the other image's value and the document's; then the
// changed bytes no cell shows. A double click on a cell's row asks for its sheet at that
// cell. One such window at a time; comparing again fills it anew.

#include "imcImageDiff.h"

#include <QDialog>
#include <functional>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
class cmcEeprom;
class cmcGTex;

class iuiCompareWin : public QDialog {
    Q_OBJECT
  public:
    iuiCompareWin(cmcGTex& texts, QWidget* owner);

    // Shows the changes from other (named otherName) to the document.
    void showChanges(const imcImageDiffResult& result, const QString& otherName,
                     const cmcEeprom& other, const cmcEeprom& document);
    // Run by a double click on a cell's row.
    void setOpenCell(std::function<void(const imcCellChange&)> open) { m_open = std::move(open); }

    QTreeWidget* list() const { return m_list; }
    const imcImageDiffResult& result() const { return m_result; }
    // Opens the cell of row i (as a double click does); false for a byte's row.
    bool openRow(int i);

  private:
    cmcGTex& m_texts;
    QLabel* m_summary = nullptr;
    QTreeWidget* m_list = nullptr;
    imcImageDiffResult m_result;
    std::function<void(const imcCellChange&)> m_open;
};

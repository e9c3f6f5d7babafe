#pragma once
// The repeater settings window: the repeater site table of the working image as a
// multi-table sheet ("GI_Sheet_RptSetWin" with "R 9" unless another key and arguments are
// given), a note under it, and the buttons Load and Save (repeater-data files), OK and
// Cancel. What the buttons do is the controller's: the window only reports them.

#include "cuiSheetWindow.h"

#include <functional>

class QLabel;
class QPushButton;
class iuiSh_MultiTable;

class iuiRptSetWin : public cuiSheetWindow {
  public:
    iuiRptSetWin(cmcGTex& table, QWidget* owner,
                 const QString& key = QStringLiteral("GI_Sheet_RptSetWin"),
                 const QString& arguments = QStringLiteral("R 9"));

    iuiSh_MultiTable* siteSheet() const;
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* loadButton() const { return m_load; }
    QPushButton* saveButton() const { return m_save; }
    QLabel* note() const { return m_note; }

    void onLoad(std::function<void()> f) { m_onLoad = std::move(f); }
    void onSave(std::function<void()> f) { m_onSave = std::move(f); }
    // Cancel: what the window changed is taken back before it closes.
    void onCancel(std::function<void()> f) { m_onCancel = std::move(f); }

  private:
    QLabel* m_note;
    QPushButton* m_load;
    QPushButton* m_save;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    std::function<void()> m_onLoad, m_onSave, m_onCancel;
};

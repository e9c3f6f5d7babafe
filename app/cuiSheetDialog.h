#pragma once
// A sheet in a dialog with an OK and an Update button at its bottom right: a plain sheet
// for a key and its arguments, sized to the sheet when that fits the work area and placed
// over its owner. Update brings the sheet up to date with the working image (every cell
// is shown again unless the owner gives another action); OK closes the dialog.

#include "cuiSheetWindow.h"

#include <functional>

class QPushButton;

class cuiSheetDialog : public cuiSheetWindow {
  public:
    cuiSheetDialog(const QString& key, const QString& arguments, cmcGTex& table, QWidget* owner);

    QPushButton* okButton() const { return m_ok; }
    QPushButton* updateButton() const { return m_update; }
    void onUpdate(std::function<void()> f) { m_onUpdate = std::move(f); }

  private:
    QPushButton* m_ok;
    QPushButton* m_update;
    std::function<void()> m_onUpdate;
};

#pragma once
// The adjustment window: the sheet "GI_Sheet_Win_AD" with the values of the last
// adjustment value read (item, argument, value in hexadecimal and decimal, the radio's model
// name, serial number and the time of the reading), and the buttons Refresh (reads them
// again), Save as CSV (the service record) and Close. One such window at a time: event 48
// naming its sheet brings it to the front; event 47 says new values have arrived.

#include "cuiSheetWindow.h"

#include <functional>

class QPushButton;
class imcAdjustValues;
struct cmcEvent;

class iuiWinAd : public cuiSheetWindow {
  public:
    static constexpr const char* SheetKey = "GI_Sheet_Win_AD";

    iuiWinAd(imcAdjustValues& values, QWidget* owner);
    ~iuiWinAd() override;

    // Run by Refresh: starts a new read of the values.
    void setRefresh(std::function<void()> refresh) { m_refresh = std::move(refresh); }

    // Save as CSV: asks for the file (the file dialog service) and writes the record there;
    // a failure is told and keeps the window as it is. False when nothing was written.
    bool saveRecord();
    // Shown again, unminimised and active.
    void bringToFront();

    QPushButton* refreshButton() const { return m_refreshButton; }
    QPushButton* saveButton() const { return m_saveButton; }

  private:
    static void eventListener(void* context, const cmcEvent* event);
    void updateButtons();

    imcAdjustValues& m_values;
    std::function<void()> m_refresh;
    QPushButton* m_refreshButton = nullptr;
    QPushButton* m_saveButton = nullptr;
};

#pragma once
// The memory dump window: the sheet "GI_Sheet_EeDebugWin" (the whole working image, 16
// bytes a row, each byte a cell that can be typed into) in a window of its own, with OK,
// Cancel, "Set Comp" and "Redraw". Bytes that differ from the debug comparison image show
// marked. "Set Comp" takes a new comparison copy (event 8, then 23); "Redraw" adjusts the
// tree (event 26). Event 23 repaints the byte cells; event 24 with an image address in p2
// makes that byte's cell current. Cancel puts back the bytes typed in this window as they
// were when it opened; OK keeps them.

#include "cmcDumpCells.h"
#include "cuiSheetWindow.h"

#include <QMap>
#include <QPoint>
#include <cstdint>
#include <memory>

class QPushButton;
class cuiMain;
struct cmcEvent;

class cuiEeDebugWin : public cuiSheetWindow {
  public:
    cuiEeDebugWin(cuiMain& shell, QWidget* owner);
    ~cuiEeDebugWin() override;

    // Grid layout: three leading rows and columns, then 16 bytes a row, each byte in every
    // second column.
    static constexpr int LeadCols = 3;
    static constexpr int LeadRows = 3;
    static constexpr int BytesPerRow = cmcDumpCells::BytesPerRow;
    // The grid cell (column, row) of an image address.
    static QPoint cellOfAddress(int32_t address);
    // The image address of a byte cell (labels CL_EeDebugWin_0 ... F, index = row of 16
    // bytes); -1 for other cells.
    static int32_t addressOf(int32_t label, int32_t index);

    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* setCompButton() const { return m_setComp; }
    QPushButton* redrawButton() const { return m_redraw; }
    // Whether bytes were typed in this window.
    bool bytesTyped() const { return !m_original.isEmpty(); }
    // The working image became another document (New, Open, a clone read): the bytes typed
    // before belong to the old one and Cancel must not put them into the new one.
    void forgetTypedBytes() { m_original.clear(); }

    // OK keeps the typed bytes; Cancel (also Escape and the close box) puts them back.
    void accept() override;
    void reject() override;

  private:
    class Source;
    static void eventCallback(void* context, const cmcEvent* event);
    void onEvent(const cmcEvent* event);

    cuiMain& m_shell;
    std::unique_ptr<Source> m_source;
    QMap<int32_t, uint8_t> m_original; // address -> the byte when the window opened
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_setComp = nullptr;
    QPushButton* m_redraw = nullptr;
};

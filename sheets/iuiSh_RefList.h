#pragma once
// The reference-list window: a list shown in a borderless window of its own under the cell
// that asked for it, so that the user can look an entry up. The caller's kind number picks
// the sheet: a multi-table sheet (kind 9, the repeater site tables), the ID lists (kinds 17
// and 18, plain list sheets in this radio) or a plain sheet. The sheet is hosted in the
// window (a click picks, hover selects, navigation wraps); the window is as large as the
// sheet within the work area, and closes on Escape, a click outside, event 21 and event 1
// naming its owner. Closing deletes it with its sheet.

#include <QFrame>
#include <QRect>
#include <cstdint>
#include <memory>

class cmcGTex;
class cuiSheet;
struct cmcEvent;

class iuiSh_RefList : public QFrame {
  public:
    enum { KindMultiTable = 9, KindIndividualIds = 17, KindTalkgroups = 18 };

    // command: "key,arguments" of the list's sheet; ownerId: the id of the calling sheet
    // (cuiSheet::windowId).
    iuiSh_RefList(QWidget* parent, cmcGTex& table, int kind, const QString& command,
                  int32_t ownerId);
    ~iuiSh_RefList() override;

    cuiSheet* sheet() const { return m_sheet.get(); }
    // Sizes the window to its sheet and shows it by a cell rectangle in global coordinates.
    void popupAt(const QRect& cellGlobal);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    static void eventListener(void* context, const cmcEvent* event);

    int32_t m_ownerId;
    std::unique_ptr<cuiSheet> m_sheet;
};

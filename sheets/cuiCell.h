#pragma once
// The cell object of a sheet, menu, tool bar or tree node: which value it addresses
// (category, label, index, option) and how it looks (alignment, fitting, borders, colour,
// font, pop-up menu, display text). A cell parsed against a parent starts as a copy of the
// parent, except that its font and pop-up menu key start empty and are resolved through
// the parent chain when used.

#include <QString>
#include <cstdint>
#include <memory>

#include "cuiColor.h"
#include "cuiFont.h"

class cuiCell {
  public:
    enum HAlign : uint8_t { Left = 0, Centre = 1, Right = 2 };
    enum VAlign : uint8_t { Top = 0, Middle = 1, Bottom = 2 };
    enum RightMark : uint8_t { NoMark = 0, FullLine = 1, ShortMark = 2 };
    static constexpr int NoCategory = 49;
    static constexpr int NoLabel = 2011;

    const cuiCell* parent = nullptr;
    int32_t* counters = nullptr; // the sheet's ten counters, or none
    int32_t category = 0;
    int32_t label = NoLabel;
    int32_t index = 0;
    QString option;
    int32_t imageIndex = -1;
    uint8_t hAlign = Left;
    uint8_t vAlign = Top;
    bool fitWidth = false;
    bool fitHeight = false;
    bool joinLeft = false;
    bool bottomLine = false;
    uint8_t rightMark = NoMark;
    bool selectable = false;
    bool rowSelect = false;
    uint16_t stateFlags = 0; // bits 0 to 8
    uint32_t color = cuiColor::clWindow;
    std::shared_ptr<const cuiFont> font; // none: the parent chain's font is used
    QString popupMenu;                   // empty: looked up through the parent chain
    QString displayText;

    bool hasLabel() const { return label != NoLabel; }
    bool flag(int n) const { return stateFlags >> n & 1; }
    void setFlag(int n, bool on) {
        stateFlags = on ? (stateFlags | 1u << n) : (stateFlags & ~(1u << n));
    }

    // Starts over from the parent (or the defaults without one).
    void resetFrom(const cuiCell* parentCell, int32_t* sheetCounters);

    // The font used to draw: own, else the nearest in the parent chain, else none.
    const cuiFont* effectiveFont() const;
    QString effectivePopupMenu() const;
};

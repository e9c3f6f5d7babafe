#pragma once
// One request to the cell dispatcher: which cell, what the user did (in the editor state),
// and what came of it.
//
// What a caller sets:
//   category, label, index   the cell
//   fl.operation             0 read (display), 1 commit fl.editText, 2 choose fl.popupValue
//                            from the pop-up list of kind fl.popupKind
//   fl.key, fl.keyMode       a key typed on a cell that is not being edited (Enter 13,
//                            space and backspace step selections and numbers; a double
//                            click counts as Enter)
//   execute                  menu and tool-bar cells: run the command (a click); without
//                            it they only answer their state
//   menuCommand              a pop-up menu entry (CL_PMenu_...) chosen on this cell
//   parent                   CT_PopupMenu cells: the cell whose pop-up menu is open
//   cell                     optional: menu cells write their state bits (and caption)
//                            into it
//   rangeFirst, rangeLast    the index range of the sheet's multi-selection; -1 when
//                            there is none (row commands then act on index alone)
//   fillRange                with a commit: store the text into every row in use of the
//                            range, or a frequency series "START +STEP" (cmcBulkEdit)
//
// What comes back:
//   changed                  the value was replaced and written into the image
//   fl.display, fl.style     the text to show and its style (mark: "<-")
//   fl.editStatus            1 open the pop-up fl.popupKey/fl.popupKind; 2 start editing
//                            with fl.display, fl.caret, fl.selLength
//   value, hasValue          the value as a number, where there is one
//   blank                    the row is not in use (the grid shows it empty)
//   checkBox                 on/off cells shown as a check box: 0 not ticked, 1 ticked;
//                            -1 for every other cell
//   redirectLabel            a key typed on a row not in use went to this label of the
//                            same row (the list's key column); the grid moves there
//   menuState, imageIndex    menu and tool-bar cells: ticked, hidden, disabled,
//                            caption-replaced (cmcCellObj::F_Ticked ...), and image
//   handled                  false when the label has no case ("%d *Yet*")
//   error, warning           check cells (the warning check list): the data they check
//                            has an error or deserves a warning
//   selectFirst, selectLast  row commands: the rows the sheet shows selected afterwards
//                            (-1: none)
//   cursorIndex              row commands: the row the cursor goes to (-1: it stays)

#include "cmcCellNames.h"
#include "cuiFlector.h"

#include <cstdint>

class cmcCellObj;

struct cmcCellRequest {
    cmcCellRequest() = default;
    cmcCellRequest(int32_t cat, int32_t lab, int32_t idx) : category(cat), label(lab), index(idx) {}

    int32_t category = CT_None;
    int32_t label = CL_None;
    int32_t index = 0;
    cmcCellObj* cell = nullptr;
    const cmcCellObj* parent = nullptr;
    bool execute = false;
    int32_t menuCommand = CL_None;
    int32_t rangeFirst = -1;
    int32_t rangeLast = -1;
    // With a commit: the text goes into every row in use of the range (cmcBulkEdit).
    bool fillRange = false;
    cuiFlector fl;

    bool changed = false;
    bool hasValue = false;
    int64_t value = 0;
    bool blank = false;
    bool handled = true;
    int32_t redirectLabel = CL_None;
    int8_t checkBox = -1;
    uint32_t menuState = 0;
    int32_t imageIndex = -1;
    bool error = false;
    bool warning = false;
    int32_t selectFirst = -1;
    int32_t selectLast = -1;
    int32_t cursorIndex = -1;

    void setValue(int64_t v) {
        value = v;
        hasValue = true;
    }
};

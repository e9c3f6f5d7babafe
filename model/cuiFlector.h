#pragma once
// The editor state that a grid shares with the value formats. Before each call the grid
// sets the operation and what the user did (edit text, key, pop-up choice); afterwards it
// reads the display text, the edit status with caret and selection, and the style.
//
//   operation 0 (display): produce the display text; with keyMode set, react to key.
//   operation 1 (commit):  the in-place edit ended; parse editText.
//   operation 2 (choose):  an item was picked from the pop-up list popupKind; its value
//                          is popupValue.
//   operation 3 (settle):  the value's row has just come into use: a value the format
//                          cannot show (a selection without item, a number outside its
//                          limits, a row reference to no row) or an erased one becomes the
//                          format's first value (first item, lower limit, no row).
//
// Edit status after the call: 0 nothing; 1 a pop-up list is to be opened (popupKey,
// popupKind, popupValue = the current value); 2 in-place editing is to start with the
// display text as its text, the caret at caret and selLength characters selected.

#include <QString>
#include <cstdint>

class cuiFlector {
  public:
    enum Operation : int { OpDisplay = 0, OpCommit = 1, OpChoose = 2, OpSettle = 3 };
    enum EditStatus : int { EsNone = 0, EsPopup = 1, EsEdit = 2 };
    enum Style : int { StNormal = 0, StMark = 1 };
    enum Key : int { KeyBackspace = 8, KeyEnter = 13, KeySpace = 32 };

    // Pop-up list kinds: selection lists, the tone list, and row lists by list number.
    enum ListKind : int { KindSelection = 1, KindTone = 2 };

    int operation = OpDisplay;
    QString editText;
    int key = 0;
    bool keyMode = false;
    // The value's bytes are erased (all 0xFF): it was never written.
    bool erased = false;

    QString display;
    int caret = 0;
    int selLength = 0;
    int style = StNormal;
    int editStatus = EsNone;
    // The value is chosen from a list: a character typed on the cell opens the pop-up
    // list (at the first item that starts with it) instead of an editor.
    bool offersList = false;

    QString popupKey;
    int popupKind = 0;
    int64_t popupValue = 0;

    // Clears what the formats produce (display text, caret, selection, style, status).
    void clearResults();

    bool isKey(int k) const { return keyMode && key == k; }
    bool hasKey() const { return keyMode && key != 0; }

    // Editing starts with text, the caret at its end and nothing selected, or with
    // everything selected.
    void startEdit(const QString& text, int caretPos, int selection);
    void startEditSelected(const QString& text) { startEdit(text, 0, int(text.size())); }
    // Editing starts with the typed character as the whole text (format "%c").
    void startEditWithKey();
    void openPopup(const QString& key, int kind, int64_t current);
    // A character typed on a list value (not Space or Backspace, which step through the
    // items, nor Enter): it opens the pop-up list.
    bool isTypeAheadKey() const { return keyMode && key > KeySpace && key != 127 && key <= 255; }
};

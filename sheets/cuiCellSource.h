#pragma once
// What a sheet asks of the cell dispatcher: the current display text of a cell, and the
// outcome of a command sent to it (a typed character, Enter, a double click, a menu
// command, the in-place editor's text). The model's dispatcher is connected through an
// adapter installed as the global source; a sheet may also be given its own.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

class cuiCell;

// How a cell shows now.
struct cuiCellView {
    bool hasText = false; // false: the dispatcher gave no text
    QString text;
    int checkBox = -1;       // -1 no check box, 0 not ticked, 1 ticked
    bool marked = false;     // drawn with the mark style
    bool tick = false;       // a tick drawn over the cell in its text colour
    bool disabled = false;   // drawn in the grey of a control that cannot be used
    bool offersList = false; // chosen from a list: a typed character opens the pick list
};

struct cuiCellCommand {
    int code = 0;     // character code, 256 double click, key code × 256, 0 menu command
    int argument = 0; // a menu item's label with code 0
    QString text;     // the in-place editor's result
    bool hasText = false;
    // With the editor's text: store it into every row of the selected range (Ctrl+Enter).
    bool fillRange = false;
};

// What the sheet passes along with a command.
struct cuiCellContext {
    bool isCurrent = false;
    bool printing = false;
    int rangeFirst = -1; // index range of the current multi-selection, -1 when none
    int rangeLast = -1;
};

struct cuiCellResult {
    enum Action { None = 0, ClearMarks = 1, StartEditor = 2 };
    int action = None;
    bool changed = false;
    // The command was carried to another cell, which becomes current; the rest of the
    // result applies to it.
    bool redirect = false;
    int32_t category = 0, label = 0, index = 0;
    // A follow-up command for the same cell.
    bool followUp = false;
    cuiCellCommand next;
    // A range of indices selected by the command (marks cells with the same label).
    bool rangeSelected = false;
    int rangeFirst = 0, rangeLast = 0;
    // A pop-up list to open (a selection list, tones, or the rows of a referenced list).
    bool popup = false;
    QString popupKey;
    int popupKind = 0;
    int64_t popupValue = 0;
    // Text to open the editor with (StartEditor); null: the display text.
    QString editorText;
    int selectionStart = -1, selectionLength = 0;
};

class cuiCellSource {
  public:
    virtual ~cuiCellSource() = default;
    virtual cuiCellView view(const cuiCell& cell, bool selected, bool printing) = 0;
    virtual cuiCellResult execute(const cuiCell& cell, const cuiCellCommand& command,
                                  const cuiCellContext& context) = 0;
    // Menu and tool-bar cells: sets state flags 0 to 3 (ticked, hidden, disabled, caption
    // from the display text), the image index and the display text of the cell. owner is
    // the cell a pop-up menu was opened on, or null.
    virtual void menuState(cuiCell& cell, const cuiCell* owner) { (void)cell, (void)owner; }
    // An item chosen from the pop-up list of the given kind; true when the value changed.
    virtual bool choose(const cuiCell& cell, int kind, int64_t value) {
        (void)cell, (void)kind, (void)value;
        return false;
    }
    // The items of a pop-up list of another list's rows (kind = that list's number); false
    // when the source offers none.
    virtual bool rowChoices(int kind, std::vector<int64_t>& values, QStringList& texts) {
        (void)kind, (void)values, (void)texts;
        return false;
    }
    // A click on a menu item or tool button (command 13).
    virtual void activate(const cuiCell& cell, const cuiCell* owner) { (void)cell, (void)owner; }

    // The program's per-cell dispatcher (none until one is installed).
    static cuiCellSource* global();
    static void setGlobal(cuiCellSource* source);
};

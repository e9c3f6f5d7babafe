#pragma once
// Rows of a list as text on the system clipboard, so that they paste into any spreadsheet,
// and text copied from a spreadsheet pasted back into a list.
//
// Copy puts the rows in use of the copied range on the clipboard as tab-separated text: a
// header line of the list's column names, then one line per row, the values as the CSV
// form of the list writes them (imcCsvLists). Paste takes such text (tab- or
// comma-separated, recognised by its header line) into the list of the cell it is chosen
// on: the first line lands on the cell's row (or the first selected one) and the others
// keep their distance; text without a row column fills the rows one after the other. The
// text is checked whole with the cells' own formats first: any error leaves the image
// as it was and is shown with its line and column. Rows in use are not overwritten
// without the user's OK. The error, the question and the status message go to the
// dispatcher's edit user (cmcEditUser).
//
// The row clipboard (cmcClipCh) still carries the rows' bytes: while the clipboard holds
// the text of the program's own last copy, Paste stores those bytes, as before.

#include <QString>
#include <cstdint>

class cmcCellDispatch;
class cmcEeprom;
class cmcGTex;
struct cmcCellRequest;
struct cmcCsvResult;
struct cmcCsvTable;

class imcRowText {
  public:
    // The rows in use of first .. last (from 0) as tab-separated text with a header line.
    static QString rows(const cmcEeprom& image, const cmcCsvTable& list, int32_t first,
                        int32_t last, cmcGTex* items = nullptr);
    // Takes text into the list from row at on (see above), into image only when every
    // line went in; the result names the errors and the rows written.
    static cmcCsvResult take(cmcEeprom& image, const cmcEeprom* defaults, const cmcCsvTable& list,
                             const QString& text, int32_t at, cmcGTex* items = nullptr);

    // The clipboard as the program reaches it: the editor installs the desktop's; without
    // one, a text held in the program stands for it.
    using Reader = QString (*)();
    using Writer = void (*)(const QString& text);
    static void setClipboard(Reader reader, Writer writer);
    static QString clipboardText();
    static void setClipboardText(const QString& text);

    // The list of the row commands on a cell: its label's, else its category's.
    static int32_t listOfCell(int32_t category, int32_t label);

    // The row commands' side. After Copy of rows first .. last of list: the rows go on the
    // clipboard as text too (lists without a text form put nothing there).
    static void copied(const cmcEeprom& image, int32_t list, int32_t first, int32_t last);
    // Whether Paste on a row of list takes the clipboard's text: it holds text, and not
    // the text of the program's own last copy (whose rows the row clipboard pastes).
    static bool pastesText(int32_t list);
    // Paste of the clipboard's text on the request's cell and range; true when the image
    // was changed. Sets the request's range to the rows written (the undo step's row
    // count) and its selectFirst/selectLast.
    static bool paste(cmcCellDispatch& dispatch, cmcCellRequest& request);
};

#pragma once
// The cell dispatcher: the one place that knows, for every label, where its value lies in
// the memory image and which value format shows and edits it. Every read, edit and step
// of every cell goes through dispatch(); the wrappers below cover the common calls.
//
// The plain fields of list records (a text, a selection, a row reference or a number at an
// offset of the record) come from the radio's field table (imcFieldTable.h); the cases here
// are the fields with rules of their own.
//
// It works on the image it is given (the application's working image, or any image a tool
// or a test holds). Rows of a list that are not in use show empty, and a key typed on such
// a row goes to the list's key column (channel list: receive frequency; address and
// network lists: name; phone links and profiles: identifier).
//
// A row comes into use when an edit makes it so (its key column is set, a cleared row is
// named again, ...). Its other fields then get their first contents: the record of the
// default image (the factory data) when that has one for the row, and every field whose
// value its format cannot show, or that is erased, settles to the format's first value
// (first item of a selection, lower limit of a number, no row for a row reference).
//
// Cells with no case in the model (menus, tool bars, clone information ...) are passed to
// the handler the application installs; a label nobody serves shows "%d *Yet*" and
// changes nothing.
//
// For the channel-membership sheets (lists 39 and 40) the dispatcher keeps the network and
// the ALE channel group on show.

#include "cmcCellRequest.h"
#include "cmcEditUser.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

class cmcEeprom;
class datCh;
struct imcField;

class cmcCellDispatch {
  public:
    explicit cmcCellDispatch(cmcEeprom* image = nullptr) : m_image(image) {}
    virtual ~cmcCellDispatch() = default;
    cmcCellDispatch(const cmcCellDispatch&) = delete;
    cmcCellDispatch& operator=(const cmcCellDispatch&) = delete;

    // The program's dispatcher, used by sheets without one of their own; the application
    // gives it the working image. Windows with cells of their own derive from this class,
    // serve their labels in dispatch() and pass the rest on to global().
    static cmcCellDispatch& global();

    void setImage(cmcEeprom* image) { m_image = image; }
    cmcEeprom* image() const { return m_image; }
    // The copy the memory dump compares the image with (its differing bytes are marked);
    // none by default.
    void setComparisonImage(const cmcEeprom* image) { m_comparison = image; }
    const cmcEeprom* comparisonImage() const { return m_comparison; }
    // The image whose list records are the first contents of rows that come into use (the
    // factory data); none by default.
    void setDefaultImage(const cmcEeprom* image) { m_defaults = image; }
    const cmcEeprom* defaultImage() const { return m_defaults; }

    // Reads, edits or steps the cell named in the request; returns request.changed.
    virtual bool dispatch(cmcCellRequest& request);

    // The display text of a cell.
    QString text(int32_t category, int32_t label, int32_t index);
    // The value of a cell as a number; false when the cell has none.
    bool value(int32_t category, int32_t label, int32_t index, int64_t* value);
    // Commits a typed text as the in-place editor would.
    bool commit(int32_t category, int32_t label, int32_t index, const QString& text,
                cmcCellRequest* out = nullptr);
    // A key typed on the cell (not editing).
    bool typeKey(int32_t category, int32_t label, int32_t index, int key,
                 cmcCellRequest* out = nullptr);
    // A choice from a pop-up list of the given kind.
    bool choose(int32_t category, int32_t label, int32_t index, int kind, int64_t value);
    // Steps the value: direction > 0 as space, < 0 as backspace.
    bool step(int32_t category, int32_t label, int32_t index, int direction);
    // What the pop-up of a row reference to list kind offers: "no row" (shown "-") first,
    // then the referenced list's rows in use with their display texts. False for a kind
    // that names no referenced list.
    bool rowChoices(int kind, std::vector<int64_t>& values, QStringList& texts) const;

    int32_t currentNetwork() const { return m_network; }
    void setCurrentNetwork(int32_t n);
    int32_t currentGroup() const { return m_group; }
    void setCurrentGroup(int32_t g);

    // Cells the model does not serve; return true when the handler took the request.
    using Handler = bool (*)(void* context, cmcCellRequest& request);
    void setHandler(Handler handler, void* context) {
        m_handler = handler;
        m_handlerContext = context;
    }
    // The user that row commands and refused edits answer to (its questions, errors and
    // status messages). Without one, questions are answered with Cancel and nothing is
    // shown; the sheets' cell source installs the user that asks (cuiEditUser).
    void setEditUser(cmcEditUser* user) { m_user = user; }
    cmcEditUser& editUser() const { return m_user ? *m_user : cmcEditUser::unattended(); }
    bool hasEditUser() const { return m_user != nullptr; }

    // Told after every change that was written into the image.
    using ChangeListener = void (*)(void* context, const cmcCellRequest& request);
    void setChangeListener(ChangeListener listener, void* context) {
        m_listener = listener;
        m_listenerContext = context;
    }

    // The key column of a list, CL_None when rows of the list have none.
    static int32_t keyColumn(int32_t list);
    // The list whose records a label's value lies in, 0 for other labels.
    static int32_t listOfLabel(int32_t label);
    // The labels whose values lie in the records of a list.
    static const std::vector<int32_t>& fieldsOf(int32_t list);

  private:
    bool recordCell(cmcCellRequest& r, int32_t list);
    // Tells the edit user on the status line that a row of the list is not in use and what
    // it needs first (its key column's value).
    void tellRowNotInUse(int32_t list);
    bool recordField(cmcCellRequest& r, datCh& rec);
    // The edit of a row not in use made on the default image's record of the row; true
    // (rec and r replaced) when that brings the row into use.
    bool editOnDefaults(cmcCellRequest& r, datCh& rec);
    // Every field of a row that came into use, other than the one r wrote, settles.
    void settleRow(const cmcCellRequest& r, datCh& rec);
    // A plain field of the radio's field table (imcFieldTable).
    bool tableField(cmcCellRequest& r, datCh& rec, const imcField& field);
    // The fields with rules of their own.
    bool channelField(cmcCellRequest& r, datCh& rec);
    bool addressField(cmcCellRequest& r, datCh& rec);
    bool otherListField(cmcCellRequest& r, datCh& rec);
    bool membershipCell(cmcCellRequest& r);
    bool miscCell(cmcCellRequest& r);
    bool menuCell(cmcCellRequest& r);
    bool popupCommand(cmcCellRequest& r);
    void noCase(cmcCellRequest& r);
    void changedNow(cmcCellRequest& r);

    // A one-bit switch at bit of the byte at address: a two-item selection.
    bool switchBit(cmcCellRequest& r, int32_t address, int bit);

    cmcEeprom* m_image = nullptr;
    const cmcEeprom* m_comparison = nullptr;
    const cmcEeprom* m_defaults = nullptr;
    int32_t m_network = 0;
    int32_t m_group = 0;
    Handler m_handler = nullptr;
    void* m_handlerContext = nullptr;
    ChangeListener m_listener = nullptr;
    void* m_listenerContext = nullptr;
    cmcEditUser* m_user = nullptr;

    friend class imcSettingCells;
    friend class cmcDumpCells;
};

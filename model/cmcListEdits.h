#pragma once
// The row commands of the list sheets, chosen from a row's pop-up menu: copy, paste,
// clear, delete, insert, move up and down on the lists whose rows are records in the image
// (27..38), and select or deselect all over a range of the channel-membership sheets
// (lists 39 and 40). A command acts on the sheet's selected range when there is one,
// otherwise on the cell's row, cut to the list's rows.
//
// A command is checked, then applied: check() says which rows it acts on and what the
// user must see first (a question, such as whether rows in use may be overwritten, or an
// error); apply() changes the image and says what to show afterwards. run() does both for
// a user: Cancel leaves the image as it was. Moving and deleting rows renumber them, so
// every reference to a row of the list (and a channel's memberships) follows its row.

#include "cmcEditUser.h"

#include <QString>
#include <cstdint>
#include <vector>

class cmcCellDispatch;
class cmcEeprom;
struct cmcCellRequest;

// What a row command needs before it changes anything.
struct cmcListEditCheck {
    bool acts = false; // false: the command does nothing on this cell, and asks nothing
    int32_t list = 0;
    int32_t first = 0; // the rows it acts on
    int32_t last = 0;
    QString confirmKey; // asked first (OK / Cancel); Cancel: nothing happens
    QString errorKey;   // shown first; the command then goes on
};

// What came of it.
struct cmcListEditResult {
    bool changed = false; // the image was changed
    cmcEditReport report;
};

class cmcListEdits {
  public:
    // Whether a pop-up menu label is one of these commands.
    static bool serves(int32_t command);
    // What request.menuCommand on the request's cell and range would need.
    static cmcListEditCheck check(const cmcCellDispatch& dispatch, const cmcCellRequest& request);
    // Carries out a checked command (the user has answered its question). Sets the
    // request's selectFirst/selectLast and cursorIndex for the sheet.
    static cmcListEditResult apply(cmcCellDispatch& dispatch, cmcCellRequest& request,
                                   const cmcListEditCheck& check);
    // Check, the user's answer, apply and the report to the user; true when the image was
    // changed.
    static bool run(cmcCellDispatch& dispatch, cmcCellRequest& request, cmcEditUser& user);
    // Whether the command can act on the cell now (menu items that cannot are disabled).
    static bool enabled(const cmcCellDispatch& dispatch, int32_t command, int32_t category,
                        int32_t label, int32_t index);

    // The rows of list were renumbered: newRow[old] is the new number of row old, -1 for a
    // deleted row (rows beyond the vector keep theirs). References to those rows in the
    // other lists follow (a deleted row's references become "none"); for the channel list,
    // the channel bits of the networks and of the ALE channel groups move with their rows.
    static void followRows(cmcEeprom& image, int32_t list, const std::vector<int32_t>& newRow);
    // The records follow: the record of row old goes to row newRow[old] (-1: it is dropped);
    // a row no record comes to and whose own record left is blank afterwards. Rows that keep
    // their place are not written. Together with followRows this applies any reordering
    // of a list (sort, compact, merge) as the row commands move rows.
    static void moveRecords(cmcEeprom& image, int32_t list, const std::vector<int32_t>& newRow);

    // A field of a list's records that names a row of another list.
    struct Reference {
        int32_t list; // the list whose records hold the reference
        int offset;   // of the reference in the record
        bool wide;    // 16-bit (channel rows) or 8-bit
    };
    // Which fields name a row of list.
    static std::vector<Reference> referencesTo(int32_t list);
};

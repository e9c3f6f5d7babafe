#pragma once
// The row commands of the list sheets, chosen from a row's pop-up menu: copy, paste,
// clear, delete, insert, move up and down on the lists whose rows are records in the image
// (27..38), and select or deselect all over a range of the channel-membership sheets
// (lists 39 and 40). A command acts on the sheet's selected range when there is one,
// otherwise on the cell's row, cut to the list's rows.
//
// Rows in use are not overwritten or deleted without the user's OK; Cancel leaves the image
// as it was. Moving and deleting rows renumber them, so every reference to a row of the
// list (and a channel's memberships) follows its row.

#include <cstdint>
#include <vector>

class cmcCellDispatch;
class cmcEeprom;
struct cmcCellRequest;

class cmcListEdits {
  public:
    // Whether a pop-up menu label is one of these commands.
    static bool serves(int32_t command);
    // Runs request.menuCommand on the request's cell and range; true when the image was
    // changed. Sets the request's selectFirst/selectLast and cursorIndex for the sheet.
    static bool run(cmcCellDispatch& dispatch, cmcCellRequest& request);
    // Whether the command can act on the cell now (menu items that cannot are disabled).
    static bool enabled(const cmcCellDispatch& dispatch, int32_t command, int32_t category,
                        int32_t label, int32_t index);

    // The rows of list were renumbered: newRow[old] is the new number of row old, -1 for a
    // deleted row (rows beyond the vector keep theirs). References to those rows in the
    // other lists follow (a deleted row's references become "none"); for the channel list,
    // the channel bits of the networks and of the ALE channel groups move with their rows.
    static void followRows(cmcEeprom& image, int32_t list, const std::vector<int32_t>& newRow);

    // Colours (0xAARRGGBB) of the status messages; black on light grey until a user
    // interface gives its own.
    static void setStatusColours(uint32_t text, uint32_t background);
};

#pragma once
// Sorting and tidying the lists whose rows are records in the image (channels, addresses,
// networks, messages, phone links, profiles, ALE identifiers and messages).
//
// Every command here is a new order of a list's rows applied the way the row commands move
// rows (cmcListEdits::followRows and moveRecords): whatever names a row by its number (an
// address's channel, network and message, a phone link's or profile's network, an ALE self
// address's network address, the sounding self address setting) and the channel
// memberships of the networks and ALE channel groups follow the row they name.
//
// - sort: the rows in use of a range ordered by one or more columns, ascending or
//   descending; rows not in use go to the end of the range, empty values after the others.
// - compact: the rows in use to the top of the list in their order, no gaps.
// - duplicates: rows in use that are the same in the fields that matter (a channel's
//   receive and transmit frequency and mode; an identifier; a network's name; a message's
//   text), each group with its first row and the rows that name each of its rows.
// - merge: a repeat goes into its first row (what names it names the first row then, its
//   memberships join the first row's) and is deleted; remove deletes a row as the Delete
//   row command does (what names it names no row). The rows below move up.
//
// Columns are the list's columns as its text form (imcCsvLists) names them.

#include <QString>
#include <cstdint>
#include <vector>

class cmcEeprom;
struct cmcCsvTable;

struct imcSortKey {
    int column = -1; // index into the list's cmcCsvTable::columns
    bool descending = false;
};

// A row that names another row: a record of a list, or (for channels) a network or an ALE
// channel group holding it as a member (list QxList::Network or QxList::AleChannels, row
// the network's or group's number from 0).
struct imcRowUser {
    int32_t list = 0;
    int32_t row = 0;
    bool operator==(const imcRowUser&) const = default;
};

struct imcDuplicateRow {
    int32_t row = 0;
    std::vector<imcRowUser> users;
};

struct imcDuplicate {
    imcDuplicateRow first;
    std::vector<imcDuplicateRow> repeats; // ascending
};

class imcListTidy {
  public:
    // Whether a list can be sorted and tidied (its rows are records in the image and it has
    // a text form).
    static bool serves(int32_t list);

    // The new row of every row of the list (index: old row) after sorting first .. last
    // (cut to the list) by keys; rows outside the range keep theirs.
    static std::vector<int32_t> sortOrder(const cmcEeprom& image, const cmcCsvTable& list,
                                          int32_t first, int32_t last,
                                          const std::vector<imcSortKey>& keys);
    // Sorts and returns the number of rows that moved (0: already in order, nothing
    // written).
    static int32_t sort(cmcEeprom& image, const cmcCsvTable& list, int32_t first, int32_t last,
                        const std::vector<imcSortKey>& keys);
    // "name,rx_frequency:desc" into keys; false with the reason for an unknown column.
    static bool parseKeys(const cmcCsvTable& list, const QString& text,
                          std::vector<imcSortKey>* keys, QString* error);

    // The new rows that close the gaps, and compacting itself (rows moved).
    static std::vector<int32_t> compactOrder(const cmcEeprom& image, int32_t list);
    static int32_t compact(cmcEeprom& image, int32_t list);

    // Applies a new order (newRow[old], a permutation of the list's rows): references,
    // memberships and records follow.
    static void reorder(cmcEeprom& image, int32_t list, const std::vector<int32_t>& newRow);

    static std::vector<imcDuplicate> duplicates(const cmcEeprom& image, int32_t list);
    // What names a row of list (records in use, networks and channel groups).
    static std::vector<imcRowUser> usersOf(const cmcEeprom& image, int32_t list, int32_t row);
    // Merges row into row into (row is then deleted); false when either is no row of the
    // list or they are the same row.
    static bool merge(cmcEeprom& image, int32_t list, int32_t row, int32_t into);
    // Deletes a row, the rows below moving up.
    static bool remove(cmcEeprom& image, int32_t list, int32_t row);

    // Whether a row of a list is in use.
    static bool inUse(const cmcEeprom& image, int32_t list, int32_t row);
};

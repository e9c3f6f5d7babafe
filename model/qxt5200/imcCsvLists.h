#pragma once
// This radio's lists as comma-separated text: the columns of every list (cmcCsvList does
// the reading and writing), their identifiers, and the channel list in the layout other
// radio programming tools write (Location, Name, Frequency, Duplex, Offset, Mode, Comment).
// Location numbers the rows as the file does: a file that gives Location 0 counts from 0
// (Location 0 is the first row), any other from 1; it is written from 1.
//
// Identifiers, in the order of the editor's tree: channels, addresses, networks,
// net-channels, messages, phone-links, profiles, ale-networks, ale-self, ale-individual,
// channel-groups, amd-messages.

#include "cmcCsvList.h"

#include <QString>
#include <vector>

class imcCsvLists {
  public:
    // Every list in its own layout, in tree order.
    static const std::vector<const cmcCsvTable*>& all();
    // A list by its identifier or its category name (CT_ChannelList); nullptr when none.
    static const cmcCsvTable* find(const QString& name);
    // The list of a category's list number; nullptr for lists without a text form.
    static const cmcCsvTable* ofList(int32_t list);
    // The channel list in the common layout.
    static const cmcCsvTable& commonChannels();
    // The layouts a list is read in (its own; for channels also the common one), and the
    // one of a layout name ("native", "common"); nullptr when the list has no such layout.
    static std::vector<const cmcCsvTable*> layouts(const cmcCsvTable& list);
    static const cmcCsvTable* layout(const cmcCsvTable& list, const QString& name);
    // Position of a list in all() (the line of its name in the text tables), -1 when none.
    static int indexOf(const cmcCsvTable& list);
};

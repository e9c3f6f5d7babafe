#pragma once
// This radio's repeater site table, as the repeater window and repeater-data files see it.
// The radio keeps no repeater sites: every site has no rows in use and none free, and an
// imported repeater block has nothing to go into, so taking it over changes no byte of the
// working image. The window, the files and the row bookkeeping of the sheets all ask here,
// so that a radio with repeater data would answer in this one place.

class cmcEeprom;

class imcRepeaterSites {
  public:
    // The repeater block of a repeater-data file: the first bytes of its range.
    static constexpr int BlockSize = 214;

    // Rows in use of a site's table, the list row its table starts at, and the rows still
    // free for new entries.
    static int usedRows(const cmcEeprom& image, int site);
    static int firstRow(const cmcEeprom& image, int site);
    static int freeRows(const cmcEeprom& image, int site);
    // The repeater entries of every site.
    static int entryCount(const cmcEeprom& image);

    // Takes the repeater block of an imported file (read into copy) into the working image.
    static void takeOver(cmcEeprom& working, const cmcEeprom& copy);
};

#pragma once
// The numbers of the sheet definitions, checked once at start-up: every style item, every
// font and image index of a cell and every directive of every sheet in the main overlay,
// and the overlay's own settings numbers, against the ranges the program can use. A number
// out of range, a word where a number belongs, or a loop without its end stops the program
// at start-up, naming the file, the key and the file's line, rather than when the sheet is
// opened or, worse, by quietly showing a sheet without rows.
//
// The file is read as its own text (not through the text table) so that every line is seen
// with its number; as the text table does, only a key's first occurrence before
// "#End_Of_Ovl" counts.

#include <QString>

class cuiDefinitionCheck {
  public:
    struct Fault {
        QString file;
        QString key;
        int line = 0; // in the file, from 1
        QString what;
        bool isFault() const { return !what.isEmpty(); }
        // "Definition error in 'FILE', key 'KEY', line N:\nWHAT"
        QString message() const;
    };

    // The first fault of the overlay file; none (isFault() false) when all is well. A file
    // that cannot be read is left to the text table, which names it at its first lookup.
    static Fault firstFault(const QString& overlayPath);
    // Stops the program (fatal stop) with the first fault's message, if there is one.
    static void stopOnFault(const QString& overlayPath);

    // The ranges.
    static constexpr int MaxPercent = 1000;        // "%n" font heights, PrintFontRatio
    static constexpr int MaxImageIndex = 255;      // tree and tool-bar pictures
    static constexpr int MaxChangeDelayMs = 10000; // GI_Sys_TreeChangeDelay
};

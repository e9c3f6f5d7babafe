#pragma once
// Shared helpers of the cell verbs (get, set, list): the text table that serves the cells'
// selection lists, cell references parsed without stopping the tool, and the image of a
// clone file.

#include <QString>
#include <QStringList>

class cmcCellObj;
class cmcEeprom;

enum cliCellExit : int {
    CLI_BadReference = 12, // a cell reference names no cell, or a category has no list rows
    CLI_ValueRefused = 13, // set: the cell did not take the text; nothing was saved
};

namespace cliCells {

// Takes "--overlay FILE" out of args and makes the cells' texts available: from FILE when
// given, else from the main overlay beside the executable when it has every key the cells
// need, else from the built-in lines. False (with a message) when FILE is missing.
bool setUpTexts(QStringList& args);

// Parses a cell reference as definitions write it; false with the fault's message.
bool parseReference(const QString& reference, cmcCellObj& cell, QString* error);

// Reads a clone file of this model; prints the file error and returns its code on failure.
int openImage(const QString& path, cmcEeprom& image);

} // namespace cliCells

#pragma once
// The clone read of the cloning verbs, as the editor's clone read runs it: the information
// exchange (model code, information block), the read of the whole memory and the image's
// identity check; then the image saved as a clone file the way the editor saves it. Used by
// read and by adjust, whose sequence starts with the same read.

#include "cmcEeprom.h"

#include <QByteArray>
#include <QString>

class cliLink;

namespace cliRead {

// Reads the radio on the link into image; info gets its information block. Returns the
// clone status (0 when everything passed); image is untouched otherwise.
int readRadio(const cliLink& link, cmcEeprom& image, QByteArray* info = nullptr);
// Whether out can be written, before the radio is asked; prints the error line when not.
bool canSave(const QString& out);
// Saves a read image as the editor saves it (map revision and maker text from the initial
// data) and prints "read N bytes into FILE"; returns 0 or CLI_CloneFileError.
int save(const QString& out, const cmcEeprom& image);

} // namespace cliRead

#pragma once
// Per-radio values from the command line: the sheet of a write read and checked against the
// image before any radio is asked, its refusals printed one per line.

#include "imcFleetSheet.h"

#include <QString>

class cmcEeprom;

enum cliFleetSheetExit : int {
    CLI_SheetRefused = 35, // the per-radio values were refused; nothing was sent
};

namespace cliFleetSheet {

// Reads the sheet at path and checks every row against the image (each value by its cell,
// the data checks before a write unless force, values that must be unique). False, with
// every error on standard error, when anything is wrong.
bool load(const QString& path, const cmcEeprom& image, const cmcEeprom* defaults, bool force,
          imcFleetSheet* sheet);

} // namespace cliFleetSheet

#include "cliFleetSheet.h"

#include "cliVerb.h"

namespace cliFleetSheet {

bool load(const QString& path, const cmcEeprom& image, const cmcEeprom* defaults, bool force,
          imcFleetSheet* sheet) {
    std::vector<cmcCsvIssue> errors;
    if (sheet->readFile(path, &errors)) errors = sheet->check(image, defaults, !force);
    if (errors.empty()) return true;
    for (const cmcCsvIssue& e : errors)
        cliError(QStringLiteral("%1: %2").arg(path, e.describe()));
    cliError(QStringLiteral("Nothing was sent to any radio."));
    return false;
}

} // namespace cliFleetSheet

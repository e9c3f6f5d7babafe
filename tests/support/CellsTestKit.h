#pragma once
// Fixtures for the cell tests: the cells' selection lists and messages served from
// tests/data/cells.ovl, and byte helpers.

#include <QByteArray>
#include <QString>
#include <cstdint>

class cmcGTex;
class cmcEeprom;

namespace CellsTestKit {
// A text table on tests/data/cells.ovl, installed as the selection-list source.
cmcGTex& useCellsOverlay();
// Bytes as upper-case hexadecimal pairs separated by blanks ("41 42 FF").
QString hex(const uint8_t* p, int n);
QString hex(const cmcEeprom& image, int32_t address, int n);
} // namespace CellsTestKit

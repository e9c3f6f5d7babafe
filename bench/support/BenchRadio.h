#pragma once
// What the benchmarks share beyond the tests' clone fixtures (the simulated radio as a
// process of its own, a radio image the simulator and the checks accept, its clone file):
// a write source and the English texts the cells read their names from.

#include "cloneSimProcess.h"
#include "cmcEeprom.h"

class cmcGTex;

// image with every byte a write sends changed, so that a write has something to do.
cmcEeprom benchWriteSource(const cmcEeprom& image);
// Opens the English overlay beside the programs into texts and makes it the cells' table.
void benchUseEnglishTexts(cmcGTex& texts);

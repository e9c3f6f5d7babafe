#include "imcRepeaterSites.h"

#include "cmcEeprom.h"

int imcRepeaterSites::usedRows(const cmcEeprom&, int) {
    return 0;
}

int imcRepeaterSites::firstRow(const cmcEeprom&, int) {
    return 0;
}

int imcRepeaterSites::freeRows(const cmcEeprom&, int) {
    return 0;
}

int imcRepeaterSites::entryCount(const cmcEeprom&) {
    return 0;
}

void imcRepeaterSites::takeOver(cmcEeprom&, const cmcEeprom&) {}

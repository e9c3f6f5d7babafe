#include "cuiCell.h"

void cuiCell::resetFrom(const cuiCell* parentCell, int32_t* sheetCounters) {
    if (parentCell)
        *this = *parentCell;
    else
        *this = cuiCell();
    parent = parentCell;
    counters = sheetCounters;
    font.reset();
    popupMenu.clear();
}

const cuiFont* cuiCell::effectiveFont() const {
    for (const cuiCell* c = this; c; c = c->parent) {
        if (c->font) return c->font.get();
    }
    return nullptr;
}

QString cuiCell::effectivePopupMenu() const {
    for (const cuiCell* c = this; c; c = c->parent) {
        if (!c->popupMenu.isEmpty()) return c->popupMenu;
    }
    return QString();
}

#pragma once
// Values chosen from a list.
//
// Selection: the value is an item's value of a selection list (cmcFCache); shown as the
// item's text, "error" when the list has no such item. Space moves to the next item and
// backspace to the previous one, wrapping; Enter opens the pop-up list, and so does any
// other character typed (the list then goes to the items it starts); a choice from the
// pop-up of the same kind sets the value. A committed text that names an item (its text,
// case ignored, or its value) also sets it: this is how tools type a choice. Settling
// makes a value without item, or an erased one, the first item.
//
// Row reference: the value is a row of another list. Enter or a typed character opens
// that list's pop-up; a choice of the same kind sets the row. The caller supplies the
// display text. A committed text whose leading number n is a row number as shown
// (1-based) sets row n - 1; an empty text or "-" sets the caller's "none" value. Settling
// makes a row outside the list, or an erased value, "none".

#include "cuiFlector.h"

#include <cstdint>

struct cmcSelList;

class cmcFmtSelect {
  public:
    static bool select(cuiFlector& f, int64_t& value, const cmcSelList& list);

    struct RowRef {
        const char* popupKey;
        int kind;      // the referenced list's number
        int64_t first; // rows first..last can be chosen
        int64_t last;
        int64_t none; // the value meaning "no row"
    };
    // shownOf gives the display text of a row value (the referenced row's name ...).
    using ShownOf = QString (*)(const void* context, int64_t value);
    static bool rowRef(cuiFlector& f, int64_t& value, const RowRef& ref, ShownOf shownOf,
                       const void* context);
};

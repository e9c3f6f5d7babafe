#pragma once
// Whether the row a sheet cell belongs to is a list row in use: what printing "the rows in
// use" keeps. A cell of a list (by its label, else by its category) names the list's row
// by its index; any other cell belongs to no list row.

#include <cstdint>

class cmcEeprom;

class imcRowUse {
  public:
    enum Use : int { NoListRow = -1, Unused = 0, Used = 1 };

    static Use of(const cmcEeprom& image, int32_t category, int32_t label, int32_t index);
};

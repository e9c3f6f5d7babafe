#pragma once
// Images for the list tests: an erased image, and one with every list in use with values
// away from the defaults (names that need quoting, rows with gaps between them, network and
// channel-group memberships); the overlay files the cells read their texts from.

#include <cstdint>

class cmcCellDispatch;
class cmcEeprom;
class cmcGTex;
class QString;

namespace ListImages {
// The overlay file of that name beside the programs, opened once.
cmcGTex& overlay(const char* file);
cmcEeprom erasedImage();
// A value typed into a cell; a warning when the cell does not take it.
void set(cmcCellDispatch& d, int32_t category, int32_t label, int32_t row, const QString& text);
// Every list in use (built once; copy it to change it).
const cmcEeprom& populated();
} // namespace ListImages

#pragma once
// Text values of n bytes in the image and their variants:
//
//   Plain    edit text, rest 0xFF; all blanks give all 0xFF; bytes outside 32..126 -> 0xFF;
//            shown up to the first 0xFF
//   Padded   edit text, rest blanks; bytes outside 32..126 -> blanks; trailing blanks cut
//   Upper    upper-cased, outside 32..95 -> blanks, rest 0xFF; all blanks give all 0xFF
//   Address  as Padded, upper-cased, then only A-Z, 0-9, '@', '?' kept, packed to the
//            front, rest 0xFF (ALE addresses, "ab c?1" -> "ABC?1")
//   Digits   n bytes hold 2n decimal digits as nibbles (F = none), high nibble first;
//            non-digits are skipped on commit and show as blanks
//   DigitsTail  digits in the first n - 2 bytes, the last two bytes 0xFF
//
// Keys: Enter, space and backspace edit the current text; other printable characters
// start editing with that character.

#include "cuiFlector.h"

#include <cstdint>

class cmcFmtText {
  public:
    enum Variant { Plain, Padded, Upper, Address, Digits, DigitsTail };

    // Runs the format on the n bytes at p; returns whether the bytes changed hands (a
    // commit always counts as a change).
    static bool run(cuiFlector& f, uint8_t* p, int n, Variant v = Plain);

    static QString display(const uint8_t* p, int n, Variant v = Plain);
    static void commit(const QString& text, uint8_t* p, int n, Variant v = Plain);
};

#pragma once
// Integer values shown as hexadecimal or decimal numbers.
//
// Hexadecimal (min, max, digits d): a commit of up to d + 1 hexadecimal digits sets the
// value within min..max; shown as d upper-case digits; hexadecimal digits start editing.
//
// Decimal (min, max, display offset o, step st, fixed text, wrap or stop): a commit sets
// the typed number minus o, rounded to a multiple of st (halves away from zero), within
// min..max; shown as value + o or as the fixed text; space adds st and backspace takes it
// away, going past a limit to the other limit (wrap) or the nearer one (stop); digits (and
// '-' when min is negative) start editing.
//
// Settling (both): a value outside min..max, or an erased one, becomes min.

#include "cuiFlector.h"

#include <cstdint>

struct cmcDecParams {
    int64_t min = 0;
    int64_t max = 255;
    int64_t offset = 0;
    int64_t step = 1;
    const char* fixedText = nullptr;
    bool wrap = true;
};

class cmcFmtNumber {
  public:
    static bool hex(cuiFlector& f, int64_t& value, int64_t min, int64_t max, int digits);
    static bool decimal(cuiFlector& f, int64_t& value, const cmcDecParams& p);
    static bool decimal(cuiFlector& f, int64_t& value, int64_t min, int64_t max) {
        cmcDecParams p;
        p.min = min;
        p.max = max;
        return decimal(f, value, p);
    }

    // The leading decimal number of a text (digits, one point, optional sign), as strtod
    // would read it, its magnitude at most MaxMagnitude; false when the text holds none.
    static constexpr double MaxMagnitude = 1e15;
    static bool leadingNumber(const QString& text, double* number);
    // The whole text as a decimal number in a cell's own format: blanks around it, an
    // optional sign, digits with at most one point, and after it nothing but the unit, when
    // the cell has one (unit: a regular expression, matched case-insensitively, after
    // optional blanks). "1e-5", "0x10", "f=3.5" or "12abc" are no numbers: a value out of
    // range is brought into range by the callers, text that is not a number never is.
    static bool wholeNumber(const QString& text, double* number, const QString& unit = QString());
    // The nearest multiple of step, halves away from zero.
    static int64_t roundToStep(double v, int64_t step);
    // The settle rule of the number formats: a value outside min..max (other than the
    // special value, when there is one), or an erased one, becomes min. True when it changed.
    static bool settle(const cuiFlector& f, int64_t& value, int64_t min, int64_t max,
                       int64_t special = INT64_MIN);
};

#pragma once
// Times held as a count of steps: v steps, s steps per unit, limits min..max. Mode 0 is a
// plain time, mode 1 also allows "off" and mode 2 "auto", both stored as the special value
// z and shown as item mode - 1 of "GI_AppInd_TimerOff".
//
// Shown as "%3d.%03d" (units and thousandths) with up to `trim` trailing zeros removed,
// the point too when it is reached (s = 10, trim 4: 50 -> "  5", 55 -> "  5.5"); in mode 2
// as whole units. Space adds a step and backspace takes one away, wrapping at the limits.
// Settling makes a value outside the limits (other than "off"/"auto"), or an erased one,
// the lower limit.

#include "cuiFlector.h"

#include <cstdint>

struct cmcTimerParams {
    int64_t stepsPerUnit = 1;
    int64_t min = 0;
    int64_t max = 255;
    int mode = 0; // 0 plain, 1 "off" allowed, 2 "auto" allowed
    int64_t special = 0;
    int trim = 0;
};

class cmcFmtTimer {
  public:
    static bool run(cuiFlector& f, int64_t& value, const cmcTimerParams& p);
    static QString display(int64_t value, const cmcTimerParams& p);
};

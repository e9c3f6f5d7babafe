#pragma once
// The settings of this model: single bytes (one 16-bit word) in the settings block
// 0xA962..0xA9AB, each with its value format, and the VFO band edges (32-bit frequencies at
// 0x9076 + 8 (n - 1) for VFO A and 0x907A + 8 (n - 1) for VFO B, band n within its limits).

#include <cstdint>

class cmcCellDispatch;
struct cmcCellRequest;

class imcSettingCells {
  public:
    static constexpr int32_t BlockFirst = 0xA962;
    static constexpr int32_t BlockLast = 0xA9AB;
    static constexpr int32_t VfoABase = 0x9076;
    static constexpr int32_t VfoBBase = 0x907A;

    // Whether the label is a setting or a band edge.
    static bool serves(int32_t label);
    static bool dispatch(cmcCellDispatch& d, cmcCellRequest& r);

    // The address of a setting's (first) byte, or -1.
    static int32_t addressOf(int32_t label);
    // Limits of VFO band n (1..9).
    static void bandLimits(int band, uint32_t* min, uint32_t* max);
};

#pragma once
// The memory dump's cells: the image 16 bytes a row. CL_EeDebugWin_Adr[r] shows the row's
// first address ("%04X"); CL_EeDebugWin_0 .. _F[r] show the byte at r * 16 + k as two
// hexadecimal digits and take two typed ones. A byte that differs from the dispatcher's
// comparison image is marked (mark style and a "*" after the digits).

#include <cstdint>

class cmcCellDispatch;
struct cmcCellRequest;

class cmcDumpCells {
  public:
    static constexpr int BytesPerRow = 16;

    static bool serves(int32_t label);
    static bool dispatch(cmcCellDispatch& d, cmcCellRequest& r);
    // The image address of a byte cell; -1 for other labels.
    static int32_t addressOf(int32_t label, int32_t index);
};

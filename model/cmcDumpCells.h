#pragma once
// The memory dump's cells: the image 16 bytes a row. CL_EeDebugWin_Adr[r] shows the row's
// first address ("%04X"); CL_EeDebugWin_0 .. _F[r] show the byte at r * 16 + k as two
// hexadecimal digits and take two typed ones. A byte that differs from the dispatcher's
// comparison image is marked (mark style and a "*" after the digits).
//
// CL_EeDebugWin_Bits[a] is the byte at address a as eight flags for the bit-field window:
// it shows the bits B7 to B0 as binary digits, its value is the byte in the window's form
// (B7 is flag 1, cmcFlagSet) and it takes that value back as a decimal number.

#include <cstdint>

class cmcCellDispatch;
struct cmcCellRequest;

class cmcDumpCells {
  public:
    static constexpr int BytesPerRow = 16;
    static constexpr int BitsPerByte = 8;

    static bool serves(int32_t label);
    static bool dispatch(cmcCellDispatch& d, cmcCellRequest& r);
    // The image address of a byte cell; -1 for other labels.
    static int32_t addressOf(int32_t label, int32_t index);

  private:
    static bool bitsCell(cmcCellDispatch& d, cmcCellRequest& r);
};

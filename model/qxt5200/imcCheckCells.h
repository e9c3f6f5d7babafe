#pragma once
// The check cells of the warning check list: each looks over one list of the image and
// answers whether its data has an error (the radio cannot use it; a clone write is
// refused) or deserves a warning (it is usable but probably not what the user meant). The
// display text says what was found, one problem per line, the first few rows by number.
//
//   CL_Check_Mch        channels: a mode the radio does not know (error); a channel in use
//                       without transmit frequency or name, so the radio skips it (warning)
//   CL_Check_AddrL      addresses naming a channel, network or message that is not there
//   CL_Check_NetL       networks in use without any channel in use
//   CL_Check_AleCallId  ALE individual addresses naming a channel group without channels

#include <cstdint>
#include <vector>

class cmcEeprom;
struct cmcCellRequest;

class imcCheckCells {
  public:
    static bool serves(int32_t label);
    // The labels of every check.
    static const std::vector<int32_t>& labels();
    // Evaluates the check on the image into the request's error/warning flags, value (the
    // number of rows with a problem) and display text. Never changes the image.
    static void dispatch(const cmcEeprom& image, cmcCellRequest& r);

    // At most this many rows are named in the display text.
    static constexpr int MaxNamedRows = 5;
};

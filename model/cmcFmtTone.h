#pragma once
// Tone squelch settings: a 6-byte record (byte 0 flags: bit 0 on, bit 1 digital code,
// bit 2 inverted; bytes 2-3 tone number; bytes 4-5 digital code, 9 bits), one of a
// receive/transmit pair stored one after the other.
//
// The selection list "GI_Sheet_Sel_Mch_CTone" offers the tone numbers 0..51, then 52 (off)
// and 53 (digital code). A digital code shows as three octal digits and 'N' or 'i' ("023N").
// Typed text of three octal digits with an optional N or I sets a digital code; other text
// is matched against the tone names of "GI_AppItem_Ctcss". When the receive tone changes
// while both were equal, the transmit tone follows; a transmit tone that is on and equal to
// the receive tone reads "<-" (mark style).

#include "cuiFlector.h"

#include <cstdint>

class cmcFmtTone {
  public:
    static constexpr int RecordSize = 6;
    static constexpr int ToneCount = 52;
    static constexpr int ItemOff = 52;
    static constexpr int ItemDigital = 53;
    enum Flags : uint8_t { On = 1, Digital = 2, Inverted = 4 };

    // pair points to the receive record, the transmit record follows it.
    static bool run(cuiFlector& f, uint8_t* pair, bool transmit);

    // The item of the selection list that a record stands for.
    static int currentItem(const uint8_t* rec);
};

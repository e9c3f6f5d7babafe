#pragma once
// Frequencies in hertz, shown in megahertz with six decimals ("%d.%05d0": 7100000 reads
// "7.100000") and typed in megahertz. Typed text must be a decimal number, optionally
// followed by "MHz" (anything else, "1e-5" or "0x10", is refused); the value is cut down to
// a multiple of 10 Hz and taken only when it is above 0.
//
// Channel frequencies (a receive/transmit pair of a channel-list row): receive within
// 30,000 .. 29,999,990 Hz, transmit within 1,600,000 .. 29,999,990 Hz. A transmit frequency
// equal to the receive one reads "<-" (mark style) and follows receive changes; setting the
// receive frequency of a row not in use sets both and puts the row in use. A row not in use
// shows the empty text.
//
// Frequencies with limits (elsewhere in the image): the caller's limits; 0 shows empty.

#include "cuiFlector.h"

#include <cstdint>

class cmcFmtFreq {
  public:
    static constexpr uint32_t RxMin = 30000;
    static constexpr uint32_t TxMin = 1600000;
    static constexpr uint32_t Max = 29999990;

    static bool channel(cuiFlector& f, uint32_t& rx, uint32_t& tx, bool transmit, bool& inUse);
    static bool limited(cuiFlector& f, uint32_t& value, uint32_t min, uint32_t max);

    // The typed text as a frequency in Hz; false when it is not accepted.
    static bool parse(const QString& text, uint32_t* hz);
    static QString format(uint32_t hz);
};

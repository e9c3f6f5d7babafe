#pragma once
// A working copy of one record of a list whose rows lie in the image (lists 27..38).
// Loading fills it from the image; storing writes the record back, works out whether the
// row is valid and writes the row's bit of the list's validity bitmap (1 = not valid).
// A channel row stored as not valid also loses its bit in the channel bits of every
// network and in every ALE channel group.
//
// A network's channel bits name valid channels only: storing a network record clears the
// bits of the others. Channel bits never written (all 0xFF, an erased record) name no
// channel: loading reads them so, and they stay erased in the image until the network is
// stored.
//
// The record layouts (byte offsets, QxRec) are this radio's (imcListFacts.h).

#include "cmcListInfo.h"

#include <cstdint>

class cmcEeprom;

class datCh {
  public:
    datCh() = default;

    // Fills the record from the image. False (and an empty record) for a list without
    // records or a row outside the list.
    bool load(const cmcEeprom& image, int32_t list, int32_t row);
    // Writes the record (channel frequencies clamped), the valid flag and the bitmap bit
    // into the image (normally the one it was loaded from).
    void store(cmcEeprom& image);

    // Recomputes the in-use and valid flags from the fields.
    void evaluate();

    int32_t list = 0;
    int32_t row = -1;
    const cmcEeprom* image = nullptr;
    bool inUse = false;
    bool valid = false;
    // All bytes of the record were 0xFF in the image (a row never written or cleared).
    bool erased = false;

    // Decoded channel frequencies (channel list only), clamped to 0 .. 29,999,990 Hz.
    uint32_t freqR = 0;
    uint32_t freqT = 0;

    // The record's bytes; texts, identifiers and the other fields are read and written here.
    uint8_t bytes[QxRec::MaxRecordSize] = {};
    int32_t size = 0;

    uint8_t byteAt(int offset) const { return bytes[offset]; }
    uint16_t wordAt(int offset) const { return uint16_t(bytes[offset] | bytes[offset + 1] << 8); }
    void setWord(int offset, uint16_t v) {
        bytes[offset] = uint8_t(v);
        bytes[offset + 1] = uint8_t(v >> 8);
    }
    bool blank(int offset, int n) const;

    // A frequency read from a record: the 32 bits taken as signed, clamped into
    // 0 .. 29,999,990 (so 0xFFFFFFFF reads 0).
    static uint32_t clampFrequency(uint32_t raw);

    // Rows of the channel list whose receive frequency is not 0, over first..last
    // (0..499); -1 for a range outside 0..499 or reversed.
    static int32_t usedChannels(const cmcEeprom& image, int32_t first = 0, int32_t last = 499);
    // Whether a channel row is in use / valid, straight from the image.
    static bool channelInUse(const cmcEeprom& image, int32_t row);
    static bool channelValid(const cmcEeprom& image, int32_t row);
    // Whether a 63-byte channel bitmap is erased (all 0xFF), in memory or in the image.
    static bool erasedBits(const uint8_t* bits);
    static bool erasedBits(const cmcEeprom& image, int32_t address);
    // The validity bit of a row (true = not valid).
    static bool invalidBit(const cmcEeprom& image, const cmcListLayout& layout, int32_t row);

  private:
    // Clears the network's bits of channels that are not valid in the image.
    void keepValidMembers(const cmcEeprom& image);

    const cmcListLayout* m_layout = nullptr;
};

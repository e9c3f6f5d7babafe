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
// Record layouts (byte offsets; numbers little-endian, texts padded with 0xFF):
//
//   27 channel     0 rx Hz (u32) | 4 tx Hz (u32) | 8 mode | 9 name (20)
//   28 address     0 name (20) | 20 id (5: 6 digits, 2 tail bytes) | 25 call type
//                  | 26 channel row (u16, 0xFFFF none) | 28 network row (0xFF none)
//                  | 29 phone (8: 16 digits) | 37 message row (0xFF none) | 38 bit 0 emergency
//   29 network     0 name (20) | 20 scan type | 21 call system | 22 channel bits (63)
//                  | 85 detect time (0.1 s) | 86 preamble (s)
//   32 message     0 text (64)
//   33 phone link  0 name (20) | 20 id (5) | 25 network row (0xFF none)
//                  | 26 channel row (u16, 0xFFFF none)
//   34 profile     0 name (20) | 20 id (5) | 25 network row (0xFF none)
//   35 ALE net id  0 id (15)
//   36 ALE self    0 id (15) | 15 slot (0xFF none) | 16 ALE net-id row (0xFF none) | 17 kept
//   37 ALE call    0 id (15) | 15 channel group (0xFF none) | 16, 17 kept
//   38 ALE message 0 text (90)

#include "cmcListInfo.h"

#include <cstdint>

class cmcEeprom;

namespace QxRec {
// channel list
constexpr int ChFreqR = 0, ChFreqT = 4, ChMode = 8, ChName = 9, ChNameLen = 20;
// address list
constexpr int AdName = 0, AdId = 20, AdIdLen = 5, AdCallType = 25, AdChannel = 26, AdNetwork = 28,
              AdPhone = 29, AdPhoneLen = 8, AdMessage = 37, AdFlags = 38;
// network list
constexpr int NetName = 0, NetScanType = 20, NetCallSys = 21, NetChBits = 22, NetDetectTime = 85,
              NetPreamble = 86;
// phone links and profiles
constexpr int PlName = 0, PlId = 20, PlIdLen = 5, PlNetwork = 25, PlChannel = 26;
constexpr int PrName = 0, PrId = 20, PrIdLen = 5, PrNetwork = 25;
// ALE identifiers
constexpr int AleId = 0, AleIdLen = 15, AleGroup = 15, AleSelfNetId = 16;
constexpr int NameLen = 20;
constexpr int MaxRecordSize = 90;
} // namespace QxRec

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

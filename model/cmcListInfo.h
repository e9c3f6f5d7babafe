#pragma once
// The lists of the model: for every list number its rows and row-operation flags, and for
// the lists whose rows are records in the image (27..38) where the records and their
// validity bitmap lie.

#include <cstdint>

struct cmcListRange {
    int32_t first = 0;
    int32_t last = -1; // last < first: the list has no rows
    int32_t flags = 0; // bit 0: rows may be copied, pasted, cleared, deleted and inserted
};

struct cmcListLayout {
    int32_t list = 0;
    int32_t base = 0; // record of row i at base + i * size
    int32_t size = 0;
    int32_t rows = 0;
    int32_t bitmap = 0; // validity bitmap: bit i % 8 of byte bitmap + i / 8 set = row not valid
};

namespace QxList {
constexpr int32_t Channel = 27, Address = 28, Network = 29, Frequency = 30, Phone = 31,
                  Message = 32, PhoneLink = 33, Profile = 34, AleNetId = 35, AleSelfId = 36,
                  AleCallId = 37, AleMessage = 38, NetworkChannels = 39, AleChannels = 40;
constexpr int32_t ListCount = 41;

constexpr int32_t ChannelRows = 500;
constexpr int32_t NoChannel = 500;          // the channel number that means no channel
constexpr uint32_t MaxFrequency = 29999990; // Hz; frequencies in records are clamped to it

// Channel memberships: each network record holds 63 bytes of channel bits; the 100 ALE
// channel groups are 63-byte bitmaps at AleGroupBase + g * AleGroupSize.
constexpr int32_t NetworkCount = 10;
constexpr int32_t NetworkChBitsOffset = 22;
constexpr int32_t ChBitsSize = 63;
constexpr int32_t AleGroupBase = 0x90C6;
constexpr int32_t AleGroupSize = 63;
constexpr int32_t AleGroupCount = 100;
constexpr int32_t AleGroupMaxChannels = 100;
} // namespace QxList

class cmcListInfo {
  public:
    // Rows and flags of a list number; a number outside 0..40 has no rows.
    static cmcListRange range(int32_t list);
    // The record layout of a list, or nullptr for lists without records in the image.
    static const cmcListLayout* layout(int32_t list);
};

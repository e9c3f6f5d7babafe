#pragma once
// The QX-T5200's lists: their numbers, where each list lies in the image (its rows, its
// records and their validity bitmap), the record layouts and the channel memberships.
// With imcRadioFacts.h (codes and address ranges) and imcFieldTable (the plain record
// fields) these are everything the framework needs to know of this radio's memory.

#include "cmcListLayout.h"

#include <cstdint>

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

// Rows and row-operation flags of every list number (bit 0: rows may be copied, pasted,
// cleared, deleted and inserted).
inline constexpr cmcListRange Ranges[ListCount] = {
    {0, -1, 0},                                      // 0
    {0, 499, 3},                                     // 1
    {0, 15, 3},                                      // 2 CT_CEdit
    {0, 10, 2},  {0, 16, 2},  {0, 39, 2},            // 3 DTMF, 4 scan, 5 tone
    {1, 8, 2},   {0, 31, 2},                         // 6 RX code, 7 TX code
    {0, 14, 0},                                      // 8 user tone
    {1, 10, 2},  {0, 9, 2},   {0, 0, 2},             // 9 two-tone code, 10 two-tone TX, 11 bank
    {0, 7, 2},   {0, 31, 2},  {0, 22, 2}, {0, 7, 2}, // 12..15 MSK
    {0, 499, 3}, {0, 499, 3},                        // 16, 17 digital IDs
    {0, 39, 2},  {0, 99, 2},  {0, 62, 2}, {0, 9, 2}, // 18..21 digital
    {0, 19, 3},                                      // 22 repeaters
    {0, 9, 2},                                       // 23 DTMF RX
    {0, 499, 3},                                     // 24 MDC alias
    {0, 31, 2},  {0, 15, 2},                         // 25, 26
    {0, 499, 1},                                     // 27 channel list
    {0, 299, 1},                                     // 28 address list
    {0, 9, 1},                                       // 29 network list
    {0, -1, 0},  {0, -1, 0},                         // 30, 31: no rows
    {0, 9, 1},                                       // 32 messages
    {0, 29, 1},                                      // 33 phone links
    {0, 19, 1},                                      // 34 profiles
    {0, 99, 1},                                      // 35 ALE network IDs
    {0, 19, 1},                                      // 36 ALE self IDs
    {0, 99, 1},                                      // 37 ALE call IDs
    {0, 9, 1},                                       // 38 ALE messages
    {0, 499, 0},                                     // 39 network channels
    {0, 499, 0},                                     // 40 ALE channels
};

// Where the records of the lists 27..38 lie: list, first record, record size, rows,
// validity bitmap.
inline constexpr cmcListLayout Layouts[] = {
    {Channel, 0x052F, 29, 500, 0x8FE7},   {Address, 0x3DD3, 39, 300, 0x9026},
    {Network, 0x6B87, 87, 10, 0x904C},    {Message, 0x6EED, 64, 10, 0x904E},
    {PhoneLink, 0x716D, 28, 30, 0x9050},  {Profile, 0x74B5, 26, 20, 0x9054},
    {AleNetId, 0x7F2D, 15, 100, 0x9067},  {AleSelfId, 0x76BD, 18, 20, 0x9057},
    {AleCallId, 0x7825, 18, 100, 0x905A}, {AleMessage, 0x8509, 90, 10, 0x9074},
};
} // namespace QxList

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

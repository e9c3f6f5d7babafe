#include "cmcListInfo.h"

namespace {

const cmcListRange kRanges[QxList::ListCount] = {
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

const cmcListLayout kLayouts[] = {
    {QxList::Channel, 0x052F, 29, 500, 0x8FE7},   {QxList::Address, 0x3DD3, 39, 300, 0x9026},
    {QxList::Network, 0x6B87, 87, 10, 0x904C},    {QxList::Message, 0x6EED, 64, 10, 0x904E},
    {QxList::PhoneLink, 0x716D, 28, 30, 0x9050},  {QxList::Profile, 0x74B5, 26, 20, 0x9054},
    {QxList::AleNetId, 0x7F2D, 15, 100, 0x9067},  {QxList::AleSelfId, 0x76BD, 18, 20, 0x9057},
    {QxList::AleCallId, 0x7825, 18, 100, 0x905A}, {QxList::AleMessage, 0x8509, 90, 10, 0x9074},
};

} // namespace

cmcListRange cmcListInfo::range(int32_t list) {
    if (list < 0 || list >= QxList::ListCount) return {};
    return kRanges[list];
}

const cmcListLayout* cmcListInfo::layout(int32_t list) {
    for (const auto& l : kLayouts)
        if (l.list == list) return &l;
    return nullptr;
}

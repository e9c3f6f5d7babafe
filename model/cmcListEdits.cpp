#include "cmcListEdits.h"

#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcCellRequest.h"
#include "cmcClipCh.h"
#include "cmcEeprom.h"
#include "cmcListInfo.h"
#include "datCh.h"
#include "imcSettingCells.h"

#include <algorithm>
#include <bit>

namespace {

// One row: that row repaints; several: the whole sheet.
cmcEditReport shown(int32_t first, int32_t last, const char* statusKey = nullptr) {
    cmcEditReport r;
    r.repaintFirst = first;
    r.repaintLast = last;
    if (statusKey) r.statusKey = QString::fromLatin1(statusKey);
    return r;
}

cmcEditReport status(const char* key) {
    cmcEditReport r;
    r.statusKey = QString::fromLatin1(key);
    return r;
}

int32_t listOfCell(int32_t category, int32_t label) {
    if (const int32_t list = cmcCellDispatch::listOfLabel(label)) return list;
    // Membership check boxes belong to their list whatever category the sheet gives them.
    if (label == CL_NetL_ChBit_Selected ||
        (label >= CL_EnabledChBit_9 && label <= CL_EnabledChBit_0))
        return QxList::NetworkChannels;
    if (label == CL_Ale_ChGrpL_ChBit_Selected) return QxList::AleChannels;
    return cmcCellNames::listOf(category);
}

bool anyInUse(const cmcEeprom& image, int32_t list, int32_t first, int32_t last) {
    datCh rec;
    for (int32_t row = first; row <= last; ++row)
        if (rec.load(image, list, row) && rec.inUse) return true;
    return false;
}

// Rows first .. last get the contents of rows never written: all 0xFF, not valid.
void blankRows(cmcEeprom& image, int32_t list, int32_t first, int32_t last) {
    if (first > last) return;
    cmcEeprom erased(image.GetSize());
    erased.Fill(0xFF);
    cmcClipCh blank;
    blank.copy(erased, list, first, last - first + 1);
    blank.paste(image, list, first, blank.count());
}

// The bitmap of channel memberships a membership cell changes: a network's channel bits
// or an ALE channel group.
struct Membership {
    bool group = false;
    int32_t number = 0;
};

Membership membershipOf(const cmcCellDispatch& d, int32_t list, int32_t label) {
    if (label >= CL_EnabledChBit_9 && label <= CL_EnabledChBit_0)
        return {false, CL_EnabledChBit_0 - label};
    if (list == QxList::AleChannels) return {true, d.currentGroup()};
    return {false, d.currentNetwork()};
}

int32_t bitsAddress(const Membership& m) {
    if (m.group) return QxList::AleGroupBase + m.number * QxList::AleGroupSize;
    const cmcListLayout* net = cmcListInfo::layout(QxList::Network);
    return net->base + m.number * net->size + QxList::NetworkChBitsOffset;
}

int countBits(const uint8_t* p, int n) {
    int c = 0;
    for (int i = 0; i < n; ++i)
        c += std::popcount(p[i]);
    return c;
}

// The membership bits after setting (v = 1) or clearing them for the valid channel rows
// first .. last; a channel group stops filling at its limit (full is then set).
struct MembershipPlan {
    uint8_t bits[QxList::ChBitsSize];
    datCh net; // a network's record as it reads (bits never written name no channel)
    bool changed = false;
    bool full = false;
};

void planMembership(const cmcEeprom& image, const Membership& m, int32_t first, int32_t last,
                    bool v, MembershipPlan& plan) {
    if (m.group) {
        image.GetBlock(bitsAddress(m), plan.bits, QxList::ChBitsSize);
    } else {
        plan.net.load(image, QxList::Network, m.number);
        std::copy(plan.net.bytes + QxRec::NetChBits,
                  plan.net.bytes + QxRec::NetChBits + QxList::ChBitsSize, plan.bits);
    }
    uint8_t* bits = plan.bits;
    for (int32_t row = first; row <= last; ++row) {
        if (!datCh::channelValid(image, row)) continue;
        const uint8_t mask = uint8_t(1u << (row % 8));
        const bool set = bits[row / 8] & mask;
        if (set == v) continue;
        if (v && m.group && countBits(bits, QxList::ChBitsSize) >= QxList::AleGroupMaxChannels) {
            plan.full = true;
            break;
        }
        bits[row / 8] = v ? uint8_t(bits[row / 8] | mask) : uint8_t(bits[row / 8] & ~mask);
        plan.changed = true;
    }
}

void storeMembership(cmcEeprom& image, const Membership& m, MembershipPlan& plan) {
    if (m.group) {
        image.SetBlock(bitsAddress(m), plan.bits, QxList::ChBitsSize);
    } else {
        std::copy(plan.bits, plan.bits + QxList::ChBitsSize, plan.net.bytes + QxRec::NetChBits);
        plan.net.store(image);
    }
}

void select(cmcCellRequest& r, int32_t first, int32_t last) {
    r.selectFirst = first;
    r.selectLast = last;
}

// Rows first .. last move by d (one row up or down) and trade places with their neighbour.
cmcListEditResult moveRows(cmcEeprom& image, int32_t list, const cmcListRange& range, int32_t first,
                           int32_t last, int d, cmcCellRequest& r) {
    if ((d > 0 && last >= range.last) || (d < 0 && first <= range.first)) return {};
    const int32_t n = last - first + 1;
    const int32_t neighbour = d > 0 ? last + 1 : first - 1;
    std::vector<int32_t> newRow(size_t(range.last + 1));
    for (int32_t i = 0; i <= range.last; ++i)
        newRow[size_t(i)] = i;
    for (int32_t i = first; i <= last; ++i)
        newRow[size_t(i)] = i + d;
    newRow[size_t(neighbour)] = d > 0 ? first : last;
    cmcListEdits::followRows(image, list, newRow);

    cmcClipCh block, other;
    block.copy(image, list, first, n);
    other.copy(image, list, neighbour, 1);
    block.paste(image, list, first + d, n);
    other.paste(image, list, d > 0 ? first : last, 1);

    select(r, first + d, last + d);
    r.cursorIndex = d > 0 ? last + d : first + d;
    return {true, shown(std::min(first, neighbour), std::max(last, neighbour))};
}

cmcListEditResult deleteRows(cmcEeprom& image, int32_t list, const cmcListRange& range,
                             int32_t first, int32_t last, cmcCellRequest& r) {
    const int32_t n = last - first + 1;
    std::vector<int32_t> newRow(size_t(range.last + 1));
    for (int32_t i = 0; i <= range.last; ++i)
        newRow[size_t(i)] = i < first ? i : i <= last ? -1 : i - n;
    cmcListEdits::followRows(image, list, newRow);

    // The rows below move up; the rows freed at the end are blank.
    if (last < range.last) {
        cmcClipCh below;
        below.copy(image, list, last + 1, range.last - last);
        below.paste(image, list, first, below.count());
    }
    blankRows(image, list, range.last - n + 1, range.last);

    r.cursorIndex = first;
    return {true, shown(first, range.last, "GI_AppMess_S_Delete")};
}

} // namespace

bool cmcListEdits::serves(int32_t command) {
    switch (command) {
    case CL_PMenu_Copy:
    case CL_PMenu_Paste:
    case CL_PMenu_Clear:
    case CL_PMenu_Delete:
    case CL_PMenu_Insert:
    case CL_PMenu_MoveUp:
    case CL_PMenu_MoveDown:
    case CL_PMenu_AllSelect:
    case CL_PMenu_AllDeselect:
        return true;
    default:
        return false;
    }
}

bool cmcListEdits::enabled(const cmcCellDispatch& d, int32_t command, int32_t category,
                           int32_t label, int32_t index) {
    if (!d.image() || !serves(command)) return false;
    const int32_t list = listOfCell(category, label);
    const cmcListRange range = cmcListInfo::range(list);
    if (index < range.first || index > range.last) return false;
    if (command == CL_PMenu_AllSelect || command == CL_PMenu_AllDeselect)
        return list == QxList::NetworkChannels || list == QxList::AleChannels;
    if (!cmcListInfo::layout(list)) return false;
    switch (command) {
    case CL_PMenu_Paste:
        return cmcClipCh::program().hasRowsOf(list);
    case CL_PMenu_Clear:
    case CL_PMenu_Delete:
    case CL_PMenu_Insert:
        return range.flags & 1;
    case CL_PMenu_MoveUp:
        return index > range.first;
    case CL_PMenu_MoveDown:
        return index < range.last;
    default:
        return true;
    }
}

cmcListEditCheck cmcListEdits::check(const cmcCellDispatch& d, const cmcCellRequest& r) {
    cmcListEditCheck c;
    const cmcEeprom* image = d.image();
    const int32_t command = r.menuCommand;
    if (!image || !serves(command)) return c;
    const int32_t list = listOfCell(r.category, r.label);
    const cmcListRange range = cmcListInfo::range(list);
    if (r.index < range.first || r.index > range.last) return c;
    int32_t first = r.rangeFirst >= 0 ? r.rangeFirst : r.index;
    int32_t last = r.rangeLast >= 0 ? r.rangeLast : r.index;
    if (first > last) std::swap(first, last);
    first = std::max(first, range.first);
    last = std::min(last, range.last);
    if (first > last) return c;
    c.list = list;
    c.first = first;
    c.last = last;

    if (command == CL_PMenu_AllSelect || command == CL_PMenu_AllDeselect) {
        if (list != QxList::NetworkChannels && list != QxList::AleChannels) return c;
        c.acts = true;
        MembershipPlan plan;
        planMembership(*image, membershipOf(d, list, r.label), first, last,
                       command == CL_PMenu_AllSelect, plan);
        if (plan.full) c.errorKey = QStringLiteral("GI_AppMess_ChGrpErr_Overflow");
        return c;
    }

    if (!cmcListInfo::layout(list)) return c;
    const bool rowOps = range.flags & 1;
    switch (command) {
    case CL_PMenu_Copy:
    case CL_PMenu_MoveUp:
    case CL_PMenu_MoveDown:
        c.acts = true;
        break;
    case CL_PMenu_Paste: {
        const cmcClipCh& clip = cmcClipCh::program();
        if (!clip.hasRowsOf(list)) break;
        c.acts = true;
        c.last = first + std::min(clip.count(), range.last - first + 1) - 1;
        if (anyInUse(*image, list, first, c.last))
            c.confirmKey = QStringLiteral("GI_AppMess_Conv_Overwrite");
        break;
    }
    case CL_PMenu_Clear:
        // Blank rows are asked for too.
        c.acts = rowOps;
        c.confirmKey = QStringLiteral("GI_AppMess_Conv_Clear");
        break;
    case CL_PMenu_Delete:
        c.acts = rowOps;
        if (anyInUse(*image, list, first, last))
            c.confirmKey = QStringLiteral("GI_AppMess_Conv_Delete");
        break;
    case CL_PMenu_Insert:
        // This model inserts no rows into its lists.
        c.acts = rowOps;
        c.errorKey = QStringLiteral("GI_AppMess_ChErr_Overflow");
        break;
    default:
        break;
    }
    return c;
}

cmcListEditResult cmcListEdits::apply(cmcCellDispatch& d, cmcCellRequest& r,
                                      const cmcListEditCheck& c) {
    cmcEeprom* image = d.image();
    if (!c.acts || !image) return {};
    const int32_t list = c.list, first = c.first, last = c.last;
    const cmcListRange range = cmcListInfo::range(list);
    switch (r.menuCommand) {
    case CL_PMenu_AllSelect:
    case CL_PMenu_AllDeselect: {
        const Membership m = membershipOf(d, list, r.label);
        MembershipPlan plan;
        planMembership(*image, m, first, last, r.menuCommand == CL_PMenu_AllSelect, plan);
        if (plan.changed) storeMembership(*image, m, plan);
        select(r, first, last);
        cmcListEditResult result{plan.changed, shown(first, last)};
        // The group's channel count shows on the sheet too.
        result.report.repaintAll = list == QxList::AleChannels;
        return result;
    }
    case CL_PMenu_Copy:
        cmcClipCh::program().copy(*image, list, first, last - first + 1);
        select(r, first, last);
        return {false, status("GI_AppMess_S_Copy")};
    case CL_PMenu_Paste:
        cmcClipCh::program().paste(*image, list, first, last - first + 1);
        select(r, first, last);
        return {true, shown(first, last, "GI_AppMess_S_Paste")};
    case CL_PMenu_Clear:
        blankRows(*image, list, first, last);
        select(r, first, last);
        return {true, shown(first, last, "GI_AppMess_S_Clear")};
    case CL_PMenu_Delete:
        return deleteRows(*image, list, range, first, last, r);
    case CL_PMenu_Insert:
        select(r, first, last);
        return {false, status("GI_AppMess_S_Insert")};
    case CL_PMenu_MoveUp:
    case CL_PMenu_MoveDown:
        return moveRows(*image, list, range, first, last,
                        r.menuCommand == CL_PMenu_MoveDown ? 1 : -1, r);
    default:
        return {};
    }
}

bool cmcListEdits::run(cmcCellDispatch& d, cmcCellRequest& r, cmcEditUser& user) {
    const cmcListEditCheck c = check(d, r);
    if (!c.acts) return false;
    if (!c.confirmKey.isEmpty() && !user.confirm(c.confirmKey)) return false;
    if (!c.errorKey.isEmpty()) user.tell(c.errorKey);
    const cmcListEditResult result = apply(d, r, c);
    user.report(result.report);
    return result.changed;
}

// ---- references that follow renumbered rows --------------------------------------------

std::vector<cmcListEdits::Reference> cmcListEdits::referencesTo(int32_t list) {
    using namespace QxRec;
    switch (list) {
    case QxList::Channel:
        return {{QxList::Address, AdChannel, true}, {QxList::PhoneLink, PlChannel, true}};
    case QxList::Network:
        return {{QxList::Address, AdNetwork, false},
                {QxList::PhoneLink, PlNetwork, false},
                {QxList::Profile, PrNetwork, false}};
    case QxList::Message:
        return {{QxList::Address, AdMessage, false}};
    case QxList::AleNetId:
        return {{QxList::AleSelfId, AleSelfNetId, false}};
    default:
        return {};
    }
}

namespace {

void remapBits(cmcEeprom& image, int32_t address, const std::vector<int32_t>& newRow) {
    uint8_t before[QxList::ChBitsSize], after[QxList::ChBitsSize];
    image.GetBlock(address, before, QxList::ChBitsSize);
    std::copy(before, before + QxList::ChBitsSize, after);
    const int32_t rows = int32_t(newRow.size());
    for (int32_t row = 0; row < rows; ++row)
        after[row / 8] &= uint8_t(~(1u << (row % 8)));
    for (int32_t row = 0; row < rows; ++row) {
        const int32_t to = newRow[size_t(row)];
        if (to >= 0 && to < rows && (before[row / 8] >> (row % 8) & 1))
            after[to / 8] |= uint8_t(1u << (to % 8));
    }
    image.SetBlock(address, after, QxList::ChBitsSize);
}

} // namespace

void cmcListEdits::followRows(cmcEeprom& image, int32_t list, const std::vector<int32_t>& newRow) {
    const int32_t rows = int32_t(newRow.size());
    for (const Reference& ref : referencesTo(list)) {
        const cmcListLayout* holder = cmcListInfo::layout(ref.list);
        for (int32_t i = 0; i < holder->rows; ++i) {
            const int32_t a = holder->base + i * holder->size + ref.offset;
            const int32_t old =
                ref.wide ? int32_t(image.GetByte(a) | image.GetByte(a + 1) << 8) : image.GetByte(a);
            if (old >= rows) continue; // "none" or no row of this list
            const int32_t to = newRow[size_t(old)];
            const int32_t value = to >= 0 ? to : ref.wide ? 0xFFFF : 0xFF;
            image.SetByte(a, uint8_t(value));
            if (ref.wide) image.SetByte(a + 1, uint8_t(value >> 8));
        }
    }
    // The sounding self address setting names an ALE self address by its number (from 1);
    // it cannot name none, so it keeps its value when that row is deleted.
    if (list == QxList::AleSelfId) {
        const int32_t a = imcSettingCells::addressOf(CL_SetM_AleAutoSoundSelfId);
        const int32_t old = a >= 0 ? image.GetByte(a) - 1 : -1;
        if (old >= 0 && old < rows && newRow[size_t(old)] >= 0)
            image.SetByte(a, uint8_t(newRow[size_t(old)] + 1));
    }
    if (list != QxList::Channel) return;
    const cmcListLayout* net = cmcListInfo::layout(QxList::Network);
    for (int32_t n = 0; n < QxList::NetworkCount; ++n) {
        // Channel bits never written name no channel and stay so.
        const int32_t bits = net->base + n * net->size + QxList::NetworkChBitsOffset;
        if (!datCh::erasedBits(image, bits)) remapBits(image, bits, newRow);
    }
    for (int32_t g = 0; g < QxList::AleGroupCount; ++g)
        remapBits(image, QxList::AleGroupBase + g * QxList::AleGroupSize, newRow);
}

void cmcListEdits::moveRecords(cmcEeprom& image, int32_t list, const std::vector<int32_t>& newRow) {
    const cmcListLayout* layout = cmcListInfo::layout(list);
    if (!layout) return;
    const int32_t rows = std::min(layout->rows, int32_t(newRow.size()));
    cmcClipCh before;
    before.copy(image, list, 0, rows);
    std::vector<bool> filled(size_t(rows), false);
    for (int32_t old = 0; old < rows; ++old) {
        const int32_t to = newRow[size_t(old)];
        if (to < 0 || to >= rows) continue;
        filled[size_t(to)] = true;
        if (to != old) before.store(image, old, to);
    }
    cmcEeprom erased(image.GetSize());
    erased.Fill(0xFF);
    cmcClipCh blank;
    blank.copy(erased, list, 0, 1);
    for (int32_t row = 0; row < rows; ++row)
        if (!filled[size_t(row)] && newRow[size_t(row)] != row) blank.store(image, 0, row);
}

#include "cmcListEdits.h"

#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcCellRequest.h"
#include "cmcClipCh.h"
#include "cmcEeprom.h"
#include "cmcEvMan.h"
#include "cmcFCache.h"
#include "cmcGTex.h"
#include "cmcListInfo.h"
#include "cmcPrompt.h"
#include "datCh.h"

#include <algorithm>

namespace {

uint32_t s_textColour = 0xFF000000u;
uint32_t s_backColour = 0xFFF0F0F0u;

QString message(const char* key) {
    return cmcFCache::instance().table().getTextBlock(QString::fromLatin1(key));
}
QString caption() {
    return cmcFCache::instance().table().getText(QStringLiteral("GI_Sys_AppTitle"));
}

bool confirm(const char* key) {
    return cmcPrompt::ask(message(key), caption(), cmcPromptButtons::OkCancel,
                          cmcPromptIcon::Warning) == PA_Ok;
}

void error(const char* key) {
    cmcPrompt::tell(message(key), caption(), cmcPromptIcon::Error);
}

void status(const char* key) {
    if (cmcEvMan* ev = cmcEvMan::instance())
        ev->postWithText(EV_StatusText, int32_t(s_textColour), int32_t(s_backColour), message(key));
}

// One row: that row repaints; several: the whole sheet.
void repaint(int32_t first, int32_t last) {
    cmcEvMan* ev = cmcEvMan::instance();
    if (!ev) return;
    if (first == last)
        ev->post(EV_RepaintIndex, 0, first);
    else
        ev->post(EV_RepaintAll);
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
    cmcEeprom erased(QxMap::ImageSize);
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
        c += __builtin_popcount(p[i]);
    return c;
}

// Sets (v = 1) or clears channel membership for the valid channel rows first .. last.
bool setMembership(cmcEeprom& image, const Membership& m, int32_t first, int32_t last, bool v) {
    uint8_t bits[QxList::ChBitsSize];
    const int32_t address = bitsAddress(m);
    // A network's bits as its record reads them (bits never written name no channel).
    datCh net;
    if (m.group) {
        image.GetBlock(address, bits, QxList::ChBitsSize);
    } else {
        net.load(image, QxList::Network, m.number);
        std::copy(net.bytes + QxRec::NetChBits, net.bytes + QxRec::NetChBits + QxList::ChBitsSize,
                  bits);
    }
    bool changed = false;
    for (int32_t row = first; row <= last; ++row) {
        if (!datCh::channelValid(image, row)) continue;
        const uint8_t mask = uint8_t(1u << (row % 8));
        const bool set = bits[row / 8] & mask;
        if (set == v) continue;
        if (v && m.group && countBits(bits, QxList::ChBitsSize) >= QxList::AleGroupMaxChannels) {
            error("GI_AppMess_ChGrpErr_Overflow");
            break;
        }
        bits[row / 8] = v ? uint8_t(bits[row / 8] | mask) : uint8_t(bits[row / 8] & ~mask);
        changed = true;
    }
    if (!changed) return false;
    if (m.group) {
        image.SetBlock(address, bits, QxList::ChBitsSize);
    } else {
        std::copy(bits, bits + QxList::ChBitsSize, net.bytes + QxRec::NetChBits);
        net.store(image);
    }
    return true;
}

void select(cmcCellRequest& r, int32_t first, int32_t last) {
    r.selectFirst = first;
    r.selectLast = last;
}

// Rows first .. last move by d (one row up or down) and trade places with their neighbour.
bool moveRows(cmcEeprom& image, int32_t list, const cmcListRange& range, int32_t first,
              int32_t last, int d, cmcCellRequest& r) {
    if ((d > 0 && last >= range.last) || (d < 0 && first <= range.first)) return false;
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
    repaint(std::min(first, neighbour), std::max(last, neighbour));
    return true;
}

bool deleteRows(cmcEeprom& image, int32_t list, const cmcListRange& range, int32_t first,
                int32_t last, cmcCellRequest& r) {
    if (anyInUse(image, list, first, last) && !confirm("GI_AppMess_Conv_Delete")) return false;
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
    repaint(first, range.last);
    status("GI_AppMess_S_Delete");
    return true;
}

} // namespace

void cmcListEdits::setStatusColours(uint32_t text, uint32_t background) {
    s_textColour = text;
    s_backColour = background;
}

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

bool cmcListEdits::run(cmcCellDispatch& d, cmcCellRequest& r) {
    cmcEeprom* image = d.image();
    const int32_t command = r.menuCommand;
    if (!image || !serves(command)) return false;
    const int32_t list = listOfCell(r.category, r.label);
    const cmcListRange range = cmcListInfo::range(list);
    if (r.index < range.first || r.index > range.last) return false;
    int32_t first = r.rangeFirst >= 0 ? r.rangeFirst : r.index;
    int32_t last = r.rangeLast >= 0 ? r.rangeLast : r.index;
    if (first > last) std::swap(first, last);
    first = std::max(first, range.first);
    last = std::min(last, range.last);
    if (first > last) return false;

    if (command == CL_PMenu_AllSelect || command == CL_PMenu_AllDeselect) {
        if (list != QxList::NetworkChannels && list != QxList::AleChannels) return false;
        const bool changed = setMembership(*image, membershipOf(d, list, r.label), first, last,
                                           command == CL_PMenu_AllSelect);
        // The group's channel count shows on the sheet too.
        if (list == QxList::AleChannels) {
            if (cmcEvMan* ev = cmcEvMan::instance()) ev->post(EV_RepaintAll);
        } else {
            repaint(first, last);
        }
        select(r, first, last);
        return changed;
    }

    if (!cmcListInfo::layout(list)) return false;
    const bool rowOps = range.flags & 1;
    switch (command) {
    case CL_PMenu_Copy:
        cmcClipCh::program().copy(*image, list, first, last - first + 1);
        select(r, first, last);
        status("GI_AppMess_S_Copy");
        return false;
    case CL_PMenu_Paste: {
        cmcClipCh& clip = cmcClipCh::program();
        if (!clip.hasRowsOf(list)) return false;
        const int32_t n = std::min(clip.count(), range.last - first + 1);
        if (anyInUse(*image, list, first, first + n - 1) && !confirm("GI_AppMess_Conv_Overwrite"))
            return false;
        clip.paste(*image, list, first, n);
        repaint(first, first + n - 1);
        select(r, first, first + n - 1);
        status("GI_AppMess_S_Paste");
        return true;
    }
    case CL_PMenu_Clear:
        if (!rowOps || !confirm("GI_AppMess_Conv_Clear")) return false;
        blankRows(*image, list, first, last);
        repaint(first, last);
        select(r, first, last);
        status("GI_AppMess_S_Clear");
        return true;
    case CL_PMenu_Delete:
        return rowOps && deleteRows(*image, list, range, first, last, r);
    case CL_PMenu_Insert:
        // This model inserts no rows into its lists.
        if (!rowOps) return false;
        error("GI_AppMess_ChErr_Overflow");
        select(r, first, last);
        status("GI_AppMess_S_Insert");
        return false;
    case CL_PMenu_MoveUp:
    case CL_PMenu_MoveDown:
        return moveRows(*image, list, range, first, last, command == CL_PMenu_MoveDown ? 1 : -1, r);
    default:
        return false;
    }
}

// ---- references that follow renumbered rows --------------------------------------------

namespace {

struct Reference {
    int32_t list; // the list whose records hold the reference
    int offset;   // of the reference in the record
    bool wide;    // 16-bit (channel rows) or 8-bit
};

// Which fields name a row of which list.
std::vector<Reference> referencesTo(int32_t list) {
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

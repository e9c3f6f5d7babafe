#include "cmcCellDispatch.h"

#include "cmcBulkEdit.h"
#include "cmcCellObj.h"
#include "cmcDumpCells.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcFmtFreq.h"
#include "cmcFmtNumber.h"
#include "cmcFmtSelect.h"
#include "cmcFmtText.h"
#include "cmcFmtTimer.h"
#include "cmcGTex.h"
#include "cmcListEdits.h"
#include "datCh.h"
#include "imcCheckCells.h"
#include "imcFieldTable.h"
#include "imcRowText.h"
#include "imcSettingCells.h"

#include <bit>
#include <cstring>
#include <iterator>

namespace {

const cmcSelRef kOnOff{"GI_Sheet_Sel_Misc_OnOff", cuiFlector::KindSelection};

// On/off cells shown as check boxes: Enter (and a double click) ticks or clears them as
// space does, instead of opening the two-item pop-up; a typed letter opens nothing either.
void checkBoxKey(cmcCellRequest& r) {
    if (r.fl.isKey(cuiFlector::KeyEnter))
        r.fl.key = cuiFlector::KeySpace;
    else if (r.fl.isTypeAheadKey())
        r.fl.keyMode = false;
}

constexpr uint16_t NoChannel16 = 0xFFFF;
constexpr uint8_t NoRow8 = 0xFF;

// Display texts of row references: the row number as shown (1-based) and the row's name.
QString rowText(int64_t row, const QString& name) {
    return name.isEmpty() ? QString::number(row + 1) : QString::number(row + 1) + u' ' + name;
}

QString recordName(const cmcEeprom& image, int32_t list, int64_t row, int offset, int length) {
    datCh rec;
    if (!rec.load(image, list, int32_t(row))) return QString();
    return cmcFmtText::display(rec.bytes + offset, length);
}

QString channelShown(const void* ctx, int64_t row) {
    if (row < 0 || row >= QxList::ChannelRows) return QString();
    return rowText(row, recordName(*static_cast<const cmcEeprom*>(ctx), QxList::Channel, row,
                                   QxRec::ChName, QxRec::ChNameLen));
}

QString networkShown(const void* ctx, int64_t row) {
    if (row < 0 || row >= QxList::NetworkCount) return QString();
    return rowText(row, recordName(*static_cast<const cmcEeprom*>(ctx), QxList::Network, row,
                                   QxRec::NetName, QxRec::NameLen));
}

QString messageShown(const void* ctx, int64_t row) {
    if (row < 0 || row > 9) return QString();
    return rowText(row, recordName(*static_cast<const cmcEeprom*>(ctx), QxList::Message, row, 0,
                                   QxRec::NameLen));
}

QString aleNetShown(const void* ctx, int64_t row) {
    if (row < 0 || row > 99) return QString();
    const cmcEeprom& image = *static_cast<const cmcEeprom*>(ctx);
    datCh rec;
    if (!rec.load(image, QxList::AleNetId, int32_t(row))) return QString();
    return rowText(
        row, cmcFmtText::display(rec.bytes + QxRec::AleId, QxRec::AleIdLen, cmcFmtText::Address));
}

const cmcFmtSelect::RowRef kChannelRef{"GI_Sheet_Sel_ChannelList", QxList::Channel, 0, 499,
                                       NoChannel16};
const cmcFmtSelect::RowRef kNetworkRef{"GI_Sheet_Sel_NetworkList", QxList::Network, 0, 9, NoRow8};
const cmcFmtSelect::RowRef kMessageRef{"GI_Sheet_Sel_MessageList", QxList::Message, 0, 9, NoRow8};
const cmcFmtSelect::RowRef kAleNetRef{"GI_Sheet_Sel_AleNetIdList", QxList::AleNetId, 0, 99, NoRow8};

// The lists that row references name, and how their rows show.
struct Referenced {
    const cmcFmtSelect::RowRef* ref;
    cmcFmtSelect::ShownOf shownOf;
};
const Referenced kReferenced[] = {{&kChannelRef, channelShown},
                                  {&kNetworkRef, networkShown},
                                  {&kMessageRef, messageShown},
                                  {&kAleNetRef, aleNetShown}};

const Referenced* referenced(int32_t list) {
    for (const Referenced& r : kReferenced)
        if (r.ref->kind == list) return &r;
    return nullptr;
}

// A byte or word field of a record passed through a number-valued format.
template <typename Fn> bool byteField(cmcCellRequest& r, datCh& rec, int offset, Fn&& fn) {
    r.fl.erased = rec.blank(offset, 1);
    int64_t v = rec.bytes[offset];
    const bool changed = fn(v);
    if (changed) rec.bytes[offset] = uint8_t(v);
    r.setValue(rec.bytes[offset]);
    return changed;
}

template <typename Fn> bool wordField(cmcCellRequest& r, datCh& rec, int offset, Fn&& fn) {
    r.fl.erased = rec.blank(offset, 2);
    int64_t v = rec.wordAt(offset);
    const bool changed = fn(v);
    if (changed) rec.setWord(offset, uint16_t(v));
    r.setValue(rec.wordAt(offset));
    return changed;
}

bool textField(cmcCellRequest& r, datCh& rec, int offset, int length,
               cmcFmtText::Variant v = cmcFmtText::Plain) {
    return cmcFmtText::run(r.fl, rec.bytes + offset, length, v);
}

int countBits(const uint8_t* p, int n) {
    int c = 0;
    for (int i = 0; i < n; ++i)
        c += std::popcount(p[i]);
    return c;
}

} // namespace

cmcCellDispatch& cmcCellDispatch::global() {
    static cmcCellDispatch dispatcher;
    return dispatcher;
}

int32_t cmcCellDispatch::keyColumn(int32_t list) {
    switch (list) {
    case QxList::Channel:
        return CL_ChL_FreqR;
    case QxList::Address:
        return CL_AddrL_Name;
    case QxList::Network:
        return CL_NetL_Name;
    case QxList::PhoneLink:
        return CL_PhoneLinkL_Id;
    case QxList::Profile:
        return CL_ProfileL_Id;
    default:
        return CL_None;
    }
}

void cmcCellDispatch::tellRowNotInUse(int32_t list) {
    // One line per list with a key column, in this order.
    static constexpr int32_t Lists[] = {QxList::Channel, QxList::Address, QxList::Network,
                                        QxList::PhoneLink, QxList::Profile};
    static const QString Key = QStringLiteral("GI_AppMess_RowNotInUse");
    if (!hasEditUser()) return;
    cmcGTex& table = cmcFCache::instance().table();
    for (int line = 0; line < int(std::size(Lists)); ++line) {
        if (Lists[line] != list) continue;
        if (!table.hasKey(Key)) return;
        cmcEditReport report;
        report.statusText = table.getTextBlock(Key).split(u'\n').value(line);
        if (!report.statusText.isEmpty()) editUser().report(report);
        return;
    }
}

int32_t cmcCellDispatch::listOfLabel(int32_t label) {
    if (label >= CL_ChL_Name && label <= CL_ChL_Mode) return QxList::Channel;
    if (label >= CL_AddrL_Name && label <= CL_AddrL_Emergency) return QxList::Address;
    if (label >= CL_NetL_Name && label <= CL_NetL_Preamble) return QxList::Network;
    switch (label) {
    case CL_MsgL_Msg:
        return QxList::Message;
    case CL_PhoneLinkL_Name:
    case CL_PhoneLinkL_Id:
    case CL_PhoneLinkL_Network:
    case CL_PhoneLinkL_Channel:
        return QxList::PhoneLink;
    case CL_ProfileL_Name:
    case CL_ProfileL_Id:
    case CL_ProfileL_Network:
        return QxList::Profile;
    case CL_Ale_NetId_Id:
        return QxList::AleNetId;
    case CL_Ale_SelfId_Id:
    case CL_Ale_SelfId_Slot:
    case CL_Ale_SelfId_NetId:
        return QxList::AleSelfId;
    case CL_Ale_CallId_Id:
    case CL_Ale_CallId_ChGroupNo:
        return QxList::AleCallId;
    case CL_Ale_Msg_Msg:
        return QxList::AleMessage;
    default:
        return 0;
    }
}

void cmcCellDispatch::setCurrentNetwork(int32_t n) {
    if (n >= 0 && n < QxList::NetworkCount) m_network = n;
}

void cmcCellDispatch::setCurrentGroup(int32_t g) {
    if (g >= 0 && g < QxList::AleGroupCount) m_group = g;
}

bool cmcCellDispatch::dispatch(cmcCellRequest& r) {
    cmcCellNames::listOf(r.category); // a category out of range is a fault of the definitions
    r.fl.clearResults();
    r.changed = false;
    r.hasValue = false;
    r.blank = false;
    r.handled = true;
    r.error = r.warning = false;
    r.redirectLabel = CL_None;
    r.checkBox = -1;
    r.selectFirst = r.selectLast = r.cursorIndex = -1;

    if (r.menuCommand != CL_None) return popupCommand(r);
    // One value (or a series) into every row of a selection: one change for them all.
    if (r.fillRange && r.fl.operation == cuiFlector::OpCommit && r.rangeFirst >= 0) {
        if (cmcBulkEdit::fill(*this, r)) changedNow(r);
        return r.changed;
    }

    const int32_t list = listOfLabel(r.label);
    if (list) return m_image ? recordCell(r, list) : false;
    if (m_image && imcSettingCells::serves(r.label)) return imcSettingCells::dispatch(*this, r);
    if (m_image && cmcDumpCells::serves(r.label)) return cmcDumpCells::dispatch(*this, r);
    if (imcCheckCells::serves(r.label)) {
        if (m_image) imcCheckCells::dispatch(*m_image, r);
        return false;
    }
    switch (r.label) {
    case CL_NetL_Ch_NetNo:
    case CL_NetL_ChBit_Selected:
    case CL_Ale_ChGrpL_GroupNo:
    case CL_Ale_ChGrpL_Count:
    case CL_Ale_ChGrpL_ChBit_Selected:
    case CL_EnabledChBit_Header:
    case CL_EnabledChBit_9:
    case CL_EnabledChBit_8:
    case CL_EnabledChBit_7:
    case CL_EnabledChBit_6:
    case CL_EnabledChBit_5:
    case CL_EnabledChBit_4:
    case CL_EnabledChBit_3:
    case CL_EnabledChBit_2:
    case CL_EnabledChBit_1:
    case CL_EnabledChBit_0:
    case CL_ChBit_Name:
    case CL_ChBit_Freq:
        return m_image ? membershipCell(r) : false;
    case CL_Null:
    case CL_None:
    case CL_Misc_ChNo_0Base:
    case CL_Misc_ChNo_1Base:
    case CL_Misc_QuarterPillar: // a separator between the bit-field window's columns
        return miscCell(r);
    default:
        break;
    }
    if ((r.label >= CL_Menu_File_New && r.label <= CL_AppInfo_Revision) ||
        (r.label >= CL_PMenu_NoItem && r.label <= CL_PMenu_AllDeselect))
        return menuCell(r);
    noCase(r);
    return false;
}

void cmcCellDispatch::noCase(cmcCellRequest& r) {
    if (m_handler && m_handler(m_handlerContext, r)) return;
    r.handled = false;
    r.fl.display = QStringLiteral("%1 *Yet*").arg(r.label);
}

void cmcCellDispatch::changedNow(cmcCellRequest& r) {
    r.changed = true;
    if (m_listener) m_listener(m_listenerContext, r);
}

// ---- list records ---------------------------------------------------------------------

bool cmcCellDispatch::recordCell(cmcCellRequest& r, int32_t list) {
    datCh rec;
    if (!rec.load(*m_image, list, r.index)) return false; // no such row (500 = no channel)

    const int32_t key = keyColumn(list);
    const bool wasInUse = rec.inUse;
    const bool typed = r.fl.operation == cuiFlector::OpDisplay && r.fl.hasKey();
    bool redirected = false;
    if (key != CL_None && !rec.inUse) {
        r.blank = true;
        if (r.label != key) {
            // Typing on a row not in use starts the row at its key column; a value given
            // to another column is not set. Either way the user is told why.
            if (typed && r.fl.key <= 127) {
                r.redirectLabel = key;
                r.label = key;
                redirected = true;
            } else {
                if (typed || r.fl.operation == cuiFlector::OpCommit ||
                    r.fl.operation == cuiFlector::OpChoose)
                    tellRowNotInUse(list);
                return false; // shows empty
            }
        }
    }
    bool changed = false;
    if (!wasInUse && (r.fl.operation != cuiFlector::OpDisplay || r.fl.hasKey()))
        changed = editOnDefaults(r, rec);
    if (!changed) changed = recordField(r, rec);
    if (changed) {
        rec.evaluate();
        if (!wasInUse && rec.inUse) settleRow(r, rec);
        rec.store(*m_image);
        r.blank = key != CL_None && !rec.inUse;
        changedNow(r);
    }
    // Moved to the key column, or a key there that starts nothing (a letter typed where the
    // frequency goes): the row needs its key value first.
    if (key != CL_None && !wasInUse && typed &&
        (redirected || (!changed && r.fl.editStatus == cuiFlector::EsNone)))
        tellRowNotInUse(list);
    return r.changed;
}

bool cmcCellDispatch::editOnDefaults(cmcCellRequest& r, datCh& rec) {
    datCh fresh;
    if (!m_defaults || !fresh.load(*m_defaults, rec.list, rec.row) || fresh.erased) return false;
    cmcCellRequest trial = r;
    if (!recordField(trial, fresh)) return false;
    fresh.evaluate();
    if (!fresh.inUse) return false;
    r = trial;
    rec = fresh;
    return true;
}

const std::vector<int32_t>& cmcCellDispatch::fieldsOf(int32_t list) {
    static std::vector<int32_t> fields[QxList::ListCount];
    static bool made = false;
    if (!made) {
        for (int32_t label = 0; label < cmcCellNames::LabelCount; ++label)
            if (const int32_t l = listOfLabel(label)) fields[l].push_back(label);
        made = true;
    }
    static const std::vector<int32_t> none;
    return list > 0 && list < QxList::ListCount ? fields[list] : none;
}

void cmcCellDispatch::settleRow(const cmcCellRequest& r, datCh& rec) {
    for (const int32_t label : fieldsOf(rec.list)) {
        if (label == r.label) continue;
        cmcCellRequest s(r.category, label, rec.row);
        s.fl.operation = cuiFlector::OpSettle;
        recordField(s, rec);
    }
    rec.evaluate();
}

bool cmcCellDispatch::recordField(cmcCellRequest& r, datCh& rec) {
    if (const imcField* f = imcFieldTable::find(r.label); f && f->list == rec.list)
        return tableField(r, rec, *f);
    switch (rec.list) {
    case QxList::Channel:
        return channelField(r, rec);
    case QxList::Address:
        return addressField(r, rec);
    default:
        return otherListField(r, rec);
    }
}

bool cmcCellDispatch::tableField(cmcCellRequest& r, datCh& rec, const imcField& f) {
    if (f.format == imcField::Text) return textField(r, rec, f.offset, f.width, f.text);
    const auto run = [&](int64_t& v) {
        switch (f.format) {
        case imcField::Select:
            return cmcFmtSelect::select(r.fl, v, f.selection.get());
        case imcField::RowRef: {
            const Referenced* target = referenced(f.refList);
            return target && cmcFmtSelect::rowRef(r.fl, v, *target->ref, target->shownOf, m_image);
        }
        case imcField::Decimal:
            return cmcFmtNumber::decimal(r.fl, v, f.min, f.max);
        case imcField::Timer: {
            cmcTimerParams p;
            p.stepsPerUnit = f.stepsPerUnit;
            p.min = f.min;
            p.max = f.max;
            p.trim = f.trim;
            return cmcFmtTimer::run(r.fl, v, p);
        }
        default:
            return false;
        }
    };
    return f.width == 2 ? wordField(r, rec, f.offset, run) : byteField(r, rec, f.offset, run);
}

bool cmcCellDispatch::channelField(cmcCellRequest& r, datCh& rec) {
    using namespace QxRec;
    switch (r.label) {
    case CL_ChL_Name: {
        const bool changed = textField(r, rec, ChName, ChNameLen);
        if (rec.blank(ChName, ChNameLen)) r.blank = true;
        return changed;
    }
    case CL_ChL_FreqR:
    case CL_ChL_FreqT: {
        const bool transmit = r.label == CL_ChL_FreqT;
        bool inUse = rec.inUse;
        const bool changed = cmcFmtFreq::channel(r.fl, rec.freqR, rec.freqT, transmit, inUse);
        r.setValue(transmit ? rec.freqT : rec.freqR);
        return changed;
    }
    default:
        return false;
    }
}

bool cmcCellDispatch::addressField(cmcCellRequest& r, datCh& rec) {
    using namespace QxRec;
    const cmcEeprom* img = m_image;
    switch (r.label) {
    case CL_AddrL_Network: {
        const uint8_t before = rec.bytes[AdNetwork];
        const bool changed = byteField(r, rec, AdNetwork, [&](int64_t& v) {
            return cmcFmtSelect::rowRef(r.fl, v, kNetworkRef, networkShown, img);
        });
        // A channel belongs to its network: another network leaves the row without one.
        if (changed && rec.bytes[AdNetwork] != before) rec.setWord(AdChannel, NoChannel16);
        return changed;
    }
    case CL_AddrL_Emergency: {
        checkBoxKey(r);
        r.fl.erased = rec.blank(AdFlags, 1);
        int64_t v = rec.bytes[AdFlags] & 1;
        const bool changed = cmcFmtSelect::select(r.fl, v, kOnOff.get());
        if (changed) rec.bytes[AdFlags] = uint8_t((rec.bytes[AdFlags] & ~1) | (v & 1));
        r.setValue(rec.bytes[AdFlags] & 1);
        r.checkBox = int8_t(r.value);
        return changed;
    }
    default:
        return false;
    }
}

bool cmcCellDispatch::otherListField(cmcCellRequest& r, datCh& rec) {
    using namespace QxRec;
    switch (r.label) {
    case CL_Ale_SelfId_Slot:
    case CL_Ale_CallId_ChGroupNo: {
        // A number shown from 1, or empty for 255 (none); an empty commit clears it.
        const uint8_t raw = rec.bytes[AleGroup];
        bool changed = false;
        if (r.fl.operation == cuiFlector::OpCommit && r.fl.editText.trimmed().isEmpty()) {
            rec.bytes[AleGroup] = NoRow8;
            changed = true;
        } else {
            cmcDecParams p;
            p.max = r.label == CL_Ale_SelfId_Slot ? 19 : QxList::AleGroupCount - 1;
            p.offset = 1;
            int64_t v = raw == NoRow8 ? 0 : raw;
            changed = cmcFmtNumber::decimal(r.fl, v, p);
            if (changed) rec.bytes[AleGroup] = uint8_t(v);
        }
        if (rec.bytes[AleGroup] == NoRow8 &&
            (r.fl.editStatus != cuiFlector::EsEdit || r.fl.key == cuiFlector::KeyEnter))
            r.fl.display.clear();
        r.setValue(rec.bytes[AleGroup]);
        return changed;
    }
    default:
        return false;
    }
}

// ---- channel memberships (lists 39 and 40) --------------------------------------------

bool cmcCellDispatch::switchBit(cmcCellRequest& r, int32_t address, int bit) {
    const uint8_t b = m_image->GetByte(address);
    int64_t v = (b >> bit) & 1;
    const bool changed = cmcFmtSelect::select(r.fl, v, kOnOff.get());
    if (changed) m_image->SetByte(address, uint8_t((b & ~(1u << bit)) | (uint32_t(v & 1) << bit)));
    r.setValue((m_image->GetByte(address) >> bit) & 1);
    return changed;
}

bool cmcCellDispatch::membershipCell(cmcCellRequest& r) {
    const int32_t row = r.index;

    switch (r.label) {
    case CL_NetL_Ch_NetNo: {
        int64_t v = m_network;
        if (cmcFmtSelect::rowRef(r.fl, v, kNetworkRef, networkShown, m_image) && v >= 0 &&
            v < QxList::NetworkCount) {
            m_network = int32_t(v);
            r.changed = true; // the sheet shows another network; the image is untouched
        }
        r.setValue(m_network);
        return r.changed;
    }
    case CL_Ale_ChGrpL_GroupNo: {
        int64_t v = m_group;
        cmcDecParams p;
        p.min = 0;
        p.max = QxList::AleGroupCount - 1;
        p.offset = 1;
        if (cmcFmtNumber::decimal(r.fl, v, p)) {
            m_group = int32_t(v);
            r.changed = true;
        }
        r.setValue(m_group);
        return r.changed;
    }
    case CL_Ale_ChGrpL_Count: {
        uint8_t bits[QxList::AleGroupSize];
        m_image->GetBlock(QxList::AleGroupBase + m_group * QxList::AleGroupSize, bits,
                          QxList::AleGroupSize);
        r.setValue(countBits(bits, QxList::AleGroupSize));
        r.fl.display = QString::number(r.value);
        return false;
    }
    case CL_EnabledChBit_Header:
        if (row < 0 || row >= QxList::NetworkCount) return false;
        r.fl.display = networkShown(m_image, row);
        return false;
    default:
        break;
    }

    // The other cells are rows of the channel list; channels that are not valid take no part.
    datCh ch;
    if (!ch.load(*m_image, QxList::Channel, row)) return false;
    if (!ch.valid) {
        r.blank = true;
        if (r.fl.hasKey() && r.fl.key <= 127 && r.label != CL_ChBit_Name &&
            r.label != CL_ChBit_Freq)
            return false;
    }
    switch (r.label) {
    case CL_ChBit_Name:
        r.fl.display = cmcFmtText::display(ch.bytes + QxRec::ChName, QxRec::ChNameLen);
        return false;
    case CL_ChBit_Freq:
        r.fl.display = ch.inUse ? cmcFmtFreq::format(ch.freqR) : QString();
        r.setValue(ch.freqR);
        return false;
    default:
        break;
    }
    if (!ch.valid) return false;

    const int32_t bitByte = row / 8;
    const int bit = row % 8;
    // Channel memberships are check boxes.
    const bool networkBit = r.label == CL_NetL_ChBit_Selected ||
                            (r.label >= CL_EnabledChBit_9 && r.label <= CL_EnabledChBit_0);
    if (r.label == CL_Ale_ChGrpL_ChBit_Selected || networkBit) checkBoxKey(r);
    if (r.label == CL_Ale_ChGrpL_ChBit_Selected) {
        const int32_t base = QxList::AleGroupBase + m_group * QxList::AleGroupSize;
        const bool wasSet = (m_image->GetByte(base + bitByte) >> bit) & 1;
        const uint8_t saved = m_image->GetByte(base + bitByte);
        if (switchBit(r, base + bitByte, bit)) {
            uint8_t bits[QxList::AleGroupSize];
            m_image->GetBlock(base, bits, QxList::AleGroupSize);
            if (!wasSet && countBits(bits, QxList::AleGroupSize) > QxList::AleGroupMaxChannels) {
                // A channel group holds at most 100 channels.
                m_image->SetByte(base + bitByte, saved);
                r.setValue(0);
                r.checkBox = 0;
                r.fl.display = kOnOff.get().textOf(0);
                editUser().tell(QStringLiteral("GI_AppMess_ChGrpErr_Overflow"));
                return false;
            }
            changedNow(r);
        }
        r.checkBox = int8_t(r.value);
        return r.changed;
    }

    // A network's channel bits: the network on show, or network n of CL_EnabledChBit_n.
    const int32_t n = r.label == CL_NetL_ChBit_Selected ? m_network : CL_EnabledChBit_0 - r.label;
    datCh netRec;
    netRec.load(*m_image, QxList::Network, n);
    const int off = QxRec::NetChBits + bitByte;
    int64_t v = (netRec.bytes[off] >> bit) & 1;
    if (cmcFmtSelect::select(r.fl, v, kOnOff.get())) {
        netRec.bytes[off] = uint8_t((netRec.bytes[off] & ~(1u << bit)) | (uint32_t(v & 1) << bit));
        netRec.store(*m_image);
        changedNow(r);
    }
    r.setValue((netRec.bytes[off] >> bit) & 1);
    r.checkBox = int8_t(r.value);
    return r.changed;
}

// ---- small cells, menus ---------------------------------------------------------------

bool cmcCellDispatch::miscCell(cmcCellRequest& r) {
    if (r.label == CL_Misc_ChNo_0Base || r.label == CL_Misc_ChNo_1Base) {
        const int32_t n = r.label == CL_Misc_ChNo_1Base ? r.index + 1 : r.index;
        r.fl.display = QString::number(n);
        r.setValue(n);
    }
    return false;
}

bool cmcCellDispatch::menuCell(cmcCellRequest& r) {
    const bool handled = m_handler && m_handler(m_handlerContext, r);
    // The pop-up menu's "Edit" opens the editor of the cell the menu belongs to.
    if (!handled && r.label == CL_PMenu_Edit && r.category == CT_PopupMenu) {
        if (!r.parent || r.parent->label == CL_None) r.menuState |= cmcCellObj::F_Disabled;
        if (r.execute && r.parent && r.parent->label != CL_None) {
            cmcCellRequest target(r.parent->category, r.parent->label, r.parent->index);
            target.fl.keyMode = true;
            target.fl.key = cuiFlector::KeyEnter;
            dispatch(target);
            r.fl = target.fl;
        }
    }
    // The row commands act on the rows of the cell the menu belongs to.
    if (!handled && r.category == CT_PopupMenu && cmcListEdits::serves(r.label)) {
        const cmcCellObj* p = r.parent;
        const bool pasteText =
            p && r.label == CL_PMenu_Paste && m_image &&
            imcRowText::pastesText(imcRowText::listOfCell(p->category, p->label));
        if (!p ||
            (!pasteText && !cmcListEdits::enabled(*this, r.label, p->category, p->label, p->index)))
            r.menuState |= cmcCellObj::F_Disabled;
        else if (r.execute) {
            cmcCellRequest target(p->category, p->label, p->index);
            target.menuCommand = r.label;
            dispatch(target);
            r.changed = target.changed;
        }
    }
    if (r.cell) {
        r.cell->flags = (r.cell->flags & ~cmcCellObj::F_MenuStateMask) |
                        (r.menuState & cmcCellObj::F_MenuStateMask);
        if (r.imageIndex >= 0) r.cell->imageIndex = r.imageIndex;
        if (r.menuState & cmcCellObj::F_CaptionSet) r.cell->caption = r.fl.display;
    }
    return r.changed;
}

bool cmcCellDispatch::popupCommand(cmcCellRequest& r) {
    if (r.menuCommand == CL_PMenu_Edit) {
        const int32_t command = r.menuCommand;
        r.menuCommand = CL_None;
        r.fl.operation = cuiFlector::OpDisplay;
        r.fl.keyMode = true;
        r.fl.key = cuiFlector::KeyEnter;
        dispatch(r);
        r.menuCommand = command;
        return r.changed;
    }
    if (cmcListEdits::serves(r.menuCommand)) {
        // Rows copied from a spreadsheet come in as text; the row clipboard's own bytes
        // otherwise.
        const bool text = r.menuCommand == CL_PMenu_Paste && m_image &&
                          imcRowText::pastesText(imcRowText::listOfCell(r.category, r.label));
        if (text ? imcRowText::paste(*this, r) : cmcListEdits::run(*this, r, editUser()))
            changedNow(r);
        if (r.menuCommand == CL_PMenu_Copy && r.selectFirst >= 0 && m_image)
            imcRowText::copied(*m_image, imcRowText::listOfCell(r.category, r.label), r.selectFirst,
                               r.selectLast);
        return r.changed;
    }
    if (!(m_handler && m_handler(m_handlerContext, r))) r.handled = false;
    return r.changed;
}

// ---- wrappers ---------------------------------------------------------------------------

QString cmcCellDispatch::text(int32_t category, int32_t label, int32_t index) {
    cmcCellRequest r(category, label, index);
    dispatch(r);
    return r.fl.display;
}

bool cmcCellDispatch::value(int32_t category, int32_t label, int32_t index, int64_t* v) {
    cmcCellRequest r(category, label, index);
    dispatch(r);
    if (r.hasValue && v) *v = r.value;
    return r.hasValue;
}

bool cmcCellDispatch::commit(int32_t category, int32_t label, int32_t index, const QString& t,
                             cmcCellRequest* out) {
    cmcCellRequest r(category, label, index);
    r.fl.operation = cuiFlector::OpCommit;
    r.fl.editText = t;
    dispatch(r);
    if (out) *out = r;
    return r.changed;
}

bool cmcCellDispatch::typeKey(int32_t category, int32_t label, int32_t index, int key,
                              cmcCellRequest* out) {
    cmcCellRequest r(category, label, index);
    r.fl.keyMode = true;
    r.fl.key = key;
    dispatch(r);
    if (out) *out = r;
    return r.changed;
}

bool cmcCellDispatch::choose(int32_t category, int32_t label, int32_t index, int kind, int64_t v) {
    cmcCellRequest r(category, label, index);
    r.fl.operation = cuiFlector::OpChoose;
    r.fl.popupKind = kind;
    r.fl.popupValue = v;
    dispatch(r);
    return r.changed;
}

bool cmcCellDispatch::rowChoices(int kind, std::vector<int64_t>& values, QStringList& texts) const {
    values.clear();
    texts.clear();
    for (const Referenced& r : kReferenced) {
        if (r.ref->kind != kind) continue;
        values.push_back(r.ref->none);
        texts.append(QStringLiteral("-"));
        if (!m_image) return true;
        datCh rec;
        for (int64_t row = r.ref->first; row <= r.ref->last; ++row) {
            rec.load(*m_image, kind, int32_t(row));
            if (!rec.inUse) continue;
            values.push_back(row);
            texts.append(r.shownOf(m_image, row));
        }
        return true;
    }
    return false;
}

bool cmcCellDispatch::step(int32_t category, int32_t label, int32_t index, int direction) {
    return typeKey(category, label, index,
                   direction > 0 ? cuiFlector::KeySpace : cuiFlector::KeyBackspace);
}

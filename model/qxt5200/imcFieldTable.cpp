#include "imcFieldTable.h"

#include "cmcCellNames.h"
#include "cmcListInfo.h"
#include "cuiFlector.h"
#include "datCh.h"

#include <vector>

namespace {

using namespace QxRec;
using F = imcField;

F text(int32_t label, int32_t list, int offset, int width,
       cmcFmtText::Variant variant = cmcFmtText::Plain) {
    F f{label, list, offset, width, F::Text};
    f.text = variant;
    return f;
}

F select(int32_t label, int32_t list, int offset, const char* selectionKey) {
    F f{label, list, offset, 1, F::Select};
    f.selection = cmcSelRef{selectionKey, cuiFlector::KindSelection};
    return f;
}

F rowRef(int32_t label, int32_t list, int offset, int width, int32_t refList) {
    F f{label, list, offset, width, F::RowRef};
    f.refList = refList;
    return f;
}

F decimal(int32_t label, int32_t list, int offset, int32_t min, int32_t max) {
    F f{label, list, offset, 1, F::Decimal};
    f.min = min;
    f.max = max;
    return f;
}

F timer(int32_t label, int32_t list, int offset, int32_t stepsPerUnit, int32_t min, int32_t max,
        int32_t trim) {
    F f{label, list, offset, 1, F::Timer};
    f.stepsPerUnit = stepsPerUnit;
    f.min = min;
    f.max = max;
    f.trim = trim;
    return f;
}

// Record layouts: datCh.h.
const F kFields[] = {
    // channel list
    select(CL_ChL_Mode, QxList::Channel, ChMode, "GI_Sheet_Sel_SetM_TxRxMode"),
    // address list
    text(CL_AddrL_Name, QxList::Address, AdName, NameLen),
    text(CL_AddrL_Id, QxList::Address, AdId, AdIdLen, cmcFmtText::DigitsTail),
    select(CL_AddrL_CallType, QxList::Address, AdCallType, "GI_Sheet_Sel_CallType"),
    rowRef(CL_AddrL_Channel, QxList::Address, AdChannel, 2, QxList::Channel),
    text(CL_AddrL_Phone, QxList::Address, AdPhone, AdPhoneLen, cmcFmtText::Digits),
    rowRef(CL_AddrL_Msg, QxList::Address, AdMessage, 1, QxList::Message),
    // network list (tenths of a second for the detect time)
    text(CL_NetL_Name, QxList::Network, NetName, NameLen),
    select(CL_NetL_ScanType, QxList::Network, NetScanType, "GI_Sheet_Sel_NetL_ScanType"),
    select(CL_NetL_CallSys, QxList::Network, NetCallSys, "GI_Sheet_Sel_NetL_CallSys"),
    timer(CL_NetL_DetectTime, QxList::Network, NetDetectTime, 10, 1, 250, 3),
    decimal(CL_NetL_Preamble, QxList::Network, NetPreamble, 0, 20),
    // messages
    text(CL_MsgL_Msg, QxList::Message, 0, 64),
    text(CL_Ale_Msg_Msg, QxList::AleMessage, 0, 90),
    // phone links and profiles
    text(CL_PhoneLinkL_Name, QxList::PhoneLink, PlName, NameLen),
    text(CL_PhoneLinkL_Id, QxList::PhoneLink, PlId, PlIdLen, cmcFmtText::DigitsTail),
    rowRef(CL_PhoneLinkL_Network, QxList::PhoneLink, PlNetwork, 1, QxList::Network),
    rowRef(CL_PhoneLinkL_Channel, QxList::PhoneLink, PlChannel, 2, QxList::Channel),
    text(CL_ProfileL_Name, QxList::Profile, PrName, NameLen),
    text(CL_ProfileL_Id, QxList::Profile, PrId, PrIdLen, cmcFmtText::DigitsTail),
    rowRef(CL_ProfileL_Network, QxList::Profile, PrNetwork, 1, QxList::Network),
    // ALE identifiers
    text(CL_Ale_NetId_Id, QxList::AleNetId, AleId, AleIdLen, cmcFmtText::Address),
    text(CL_Ale_SelfId_Id, QxList::AleSelfId, AleId, AleIdLen, cmcFmtText::Address),
    text(CL_Ale_CallId_Id, QxList::AleCallId, AleId, AleIdLen, cmcFmtText::Address),
    rowRef(CL_Ale_SelfId_NetId, QxList::AleSelfId, AleSelfNetId, 1, QxList::AleNetId),
};

} // namespace

const imcField* imcFieldTable::find(int32_t label) {
    // One slot per label, so that a cell read costs one index.
    static const std::vector<const imcField*> byLabel = [] {
        std::vector<const imcField*> v(cmcCellNames::LabelCount, nullptr);
        for (const imcField& f : kFields)
            v[size_t(f.label)] = &f;
        return v;
    }();
    return label >= 0 && label < int32_t(byLabel.size()) ? byLabel[size_t(label)] : nullptr;
}

std::span<const imcField> imcFieldTable::all() {
    return kFields;
}

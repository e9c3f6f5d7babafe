#include "imcCsvLists.h"

#include "cmcClipCh.h"
#include "cmcEeprom.h"
#include "cmcListInfo.h"
#include "datCh.h"
#include "imcRadioFacts.h"

#include <bit>
#include <deque>
#include <string>

namespace {

using Col = cmcCsvColumn;

const char* const OnOff = "GI_Sheet_Sel_Misc_OnOff";

// Names made at run time (network_1 ...) live here for the program's life.
const char* keep(const std::string& name) {
    static std::deque<std::string> names;
    names.push_back(name);
    return names.back().c_str();
}

Col column(const char* name, Col::Kind kind, int32_t label = CL_None,
           const char* limits = nullptr) {
    Col c;
    c.name = name;
    c.kind = kind;
    c.label = label;
    c.limits = limits;
    return c;
}

Col selection(const char* name, int32_t label, const char* items) {
    Col c = column(name, Col::Selection, label);
    c.items = items;
    return c;
}

int32_t rowsOf(int32_t list) {
    return cmcListInfo::range(list).last - cmcListInfo::range(list).first + 1;
}

// ---- rows in use, rows cleared -------------------------------------------------------

template <int32_t List> bool recordInUse(const cmcEeprom& image, int32_t row) {
    datCh rec;
    return rec.load(image, List, row) && rec.inUse;
}

// A row as the list edits clear it: the record of an erased image, stored through datCh
// (validity bit, and a channel's memberships).
template <int32_t List> void clearRecord(cmcEeprom& image, int32_t row) {
    static const cmcEeprom erased = [] {
        cmcEeprom e(QxRadio::ImageSize);
        e.Fill(0xFF);
        return e;
    }();
    cmcClipCh blank;
    blank.copy(erased, List, row, 1);
    blank.paste(image, List, row, 1);
}

bool channelValid(const cmcEeprom& image, int32_t row) {
    return datCh::channelValid(image, row);
}

void clearNetworkBits(cmcEeprom& image, int32_t row) {
    for (int32_t n = 0; n < QxList::NetworkCount; ++n) {
        datCh net;
        if (!net.load(image, QxList::Network, n)) continue;
        uint8_t& b = net.bytes[QxRec::NetChBits + row / 8];
        if (!(b & (1u << (row % 8)))) continue;
        b = uint8_t(b & ~(1u << (row % 8)));
        net.store(image);
    }
}

void clearGroupBits(cmcEeprom& image, int32_t row) {
    for (int32_t g = 0; g < QxList::AleGroupCount; ++g) {
        const int32_t address = QxList::AleGroupBase + g * QxList::AleGroupSize + row / 8;
        image.SetByte(address, uint8_t(image.GetByte(address) & ~(1u << (row % 8))));
    }
}

// A channel group holds at most 100 channels; the cell would say so in a message box.
QString groupRoom(const cmcEeprom& image, const cmcCsvColumn& c, int32_t row, int64_t item) {
    if (c.group < 0 || item != 1) return QString();
    uint8_t bits[QxList::AleGroupSize];
    image.GetBlock(QxList::AleGroupBase + c.group * QxList::AleGroupSize, bits,
                   QxList::AleGroupSize);
    if (bits[row / 8] & (1u << (row % 8))) return QString();
    int count = 0;
    for (uint8_t b : bits)
        count += std::popcount(b);
    if (count < QxList::AleGroupMaxChannels) return QString();
    return QStringLiteral("channel group %1 already holds %2 channels, the most it can")
        .arg(c.group + 1)
        .arg(count);
}

// ---- the common layout's duplex and offset -----------------------------------------------

// Offsets below this are written as "+"/"-" and an offset; larger ones as "split".
constexpr int64_t SplitFrom = 1000000;

void commonExport(QMap<QString, QString>& v) {
    int64_t rx = 0, tx = 0;
    v[QStringLiteral("Duplex")] = QString();
    v[QStringLiteral("Offset")] = cmcCsvList::megahertzText(0);
    v[QStringLiteral("Comment")] = QString();
    if (!cmcCsvList::megahertz(v.value(QStringLiteral("Frequency")), &rx) ||
        !cmcCsvList::megahertz(v.value(QStringLiteral("tx")), &tx) || tx == rx)
        return;
    const int64_t offset = tx > rx ? tx - rx : rx - tx;
    if (offset < SplitFrom) {
        v[QStringLiteral("Duplex")] = tx > rx ? QStringLiteral("+") : QStringLiteral("-");
        v[QStringLiteral("Offset")] = cmcCsvList::megahertzText(offset);
    } else {
        v[QStringLiteral("Duplex")] = QStringLiteral("split");
        v[QStringLiteral("Offset")] = cmcCsvList::megahertzText(tx);
    }
}

QString commonImport(QMap<QString, QString>& v, QString* column) {
    const QString duplex = v.value(QStringLiteral("Duplex")).trimmed().toLower();
    const QString offset = v.value(QStringLiteral("Offset")).trimmed();
    QString& tx = v[QStringLiteral("tx")];
    tx.clear(); // empty: the same as the receive frequency
    if (duplex.isEmpty()) return QString();
    if (duplex == QLatin1String("split")) {
        *column = QStringLiteral("Offset");
        if (offset.isEmpty())
            return QStringLiteral("a split channel needs its transmit frequency in Offset");
        tx = offset;
        return QString();
    }
    if (duplex == QLatin1String("+") || duplex == QLatin1String("-")) {
        int64_t off = 0, rx = 0;
        *column = QStringLiteral("Offset");
        if (!cmcCsvList::megahertz(offset, &off))
            return QStringLiteral("'%1' is not an offset in MHz").arg(offset);
        if (!cmcCsvList::megahertz(v.value(QStringLiteral("Frequency")), &rx))
            return QString(); // the frequency's own column reports it
        const int64_t t = duplex == QLatin1String("+") ? rx + off : rx - off;
        if (t <= 0)
            return QStringLiteral("the transmit frequency would be %1 MHz")
                .arg(cmcCsvList::megahertzText(t));
        tx = cmcCsvList::megahertzText(t);
        return QString();
    }
    *column = QStringLiteral("Duplex");
    if (duplex == QLatin1String("off"))
        return QStringLiteral("this radio cannot switch transmitting off for one channel");
    return QStringLiteral("'%1' is not a duplex (empty, +, -, split)")
        .arg(v.value(QStringLiteral("Duplex")));
}

// ---- the lists -------------------------------------------------------------------------------

const char* const RxLimits = "0.030000 to 29.999990 MHz in 10 Hz steps";
const char* const TxLimits = "1.600000 to 29.999990 MHz in 10 Hz steps";
const char* const NameLimits = "20 characters: letters, digits, blanks and ASCII signs";

template <int32_t List>
cmcCsvTable recordTable(const char* name, int32_t category, std::vector<Col> columns, int32_t key,
                        const char* notInUse) {
    cmcCsvTable t;
    t.name = name;
    t.category = category;
    t.list = List;
    t.rows = rowsOf(List);
    t.columns = std::move(columns);
    t.inUse = &recordInUse<List>;
    t.clearRow = &clearRecord<List>;
    if (key != CL_None)
        for (size_t i = 0; i < t.columns.size(); ++i)
            if (t.columns[i].label == key) t.keyColumn = int(i);
    if (notInUse) t.notInUse = notInUse;
    return t;
}

std::vector<cmcCsvTable> makeTables() {
    std::vector<cmcCsvTable> t;
    const Col row = column("row", Col::RowNumber);

    Col tx = column("tx_frequency", Col::Frequency, CL_ChL_FreqT, TxLimits);
    tx.sameAs = "rx_frequency";
    t.push_back(recordTable<QxList::Channel>(
        "channels", CT_ChannelList,
        {row, column("rx_frequency", Col::Frequency, CL_ChL_FreqR, RxLimits), tx,
         selection("mode", CL_ChL_Mode, "GI_Sheet_Sel_SetM_TxRxMode"),
         column("name", Col::Text, CL_ChL_Name, NameLimits)},
        CL_ChL_FreqR, "the row is not in use: it needs an rx_frequency"));

    t.push_back(recordTable<QxList::Address>(
        "addresses", CT_AddressList,
        {row, column("name", Col::Text, CL_AddrL_Name, NameLimits),
         column("address", Col::Digits, CL_AddrL_Id, "6 digits"),
         selection("call_type", CL_AddrL_CallType, "GI_Sheet_Sel_CallType"),
         column("network", Col::RowRef, CL_AddrL_Network, "a network 1 to 10, or empty for none"),
         column("channel", Col::RowRef, CL_AddrL_Channel, "a channel 1 to 500, or empty for none"),
         column("phone", Col::Digits, CL_AddrL_Phone, "16 digits"),
         column("message", Col::RowRef, CL_AddrL_Msg, "a message 1 to 10, or empty for none"),
         selection("emergency", CL_AddrL_Emergency, OnOff)},
        CL_AddrL_Name, "the row is not in use: it needs a name"));

    t.push_back(recordTable<QxList::Network>(
        "networks", CT_NetworkList,
        {row, column("name", Col::Text, CL_NetL_Name, NameLimits),
         selection("scan", CL_NetL_ScanType, "GI_Sheet_Sel_NetL_ScanType"),
         selection("call_system", CL_NetL_CallSys, "GI_Sheet_Sel_NetL_CallSys"),
         column("detect_time", Col::Number, CL_NetL_DetectTime,
                "0.1 to 25 seconds in steps of 0.1"),
         column("preamble", Col::Number, CL_NetL_Preamble, "0 to 20 seconds")},
        CL_NetL_Name, "the row is not in use: it needs a name"));

    {
        cmcCsvTable n;
        n.name = "net-channels";
        n.category = CT_NetworkChannels;
        n.list = QxList::NetworkChannels;
        n.rows = QxList::ChannelRows;
        n.columns = {row, column("name", Col::Info, CL_ChBit_Name),
                     column("rx_frequency", Col::Info, CL_ChBit_Freq)};
        for (int32_t k = 0; k < QxList::NetworkCount; ++k)
            n.columns.push_back(
                selection(keep("network_" + std::to_string(k + 1)), CL_EnabledChBit_0 - k, OnOff));
        n.inUse = &channelValid;
        n.clearRow = &clearNetworkBits;
        n.notInUse =
            "the channel is not valid: it needs a frequency and a name in the channel list";
        t.push_back(std::move(n));
    }

    t.push_back(recordTable<QxList::Message>(
        "messages", CT_MessageList,
        {row, column("message", Col::Text, CL_MsgL_Msg, "64 characters")}, CL_None, nullptr));
    t.push_back(recordTable<QxList::PhoneLink>(
        "phone-links", CT_PhoneLinkList,
        {row, column("name", Col::Text, CL_PhoneLinkL_Name, NameLimits),
         column("number", Col::Digits, CL_PhoneLinkL_Id, "6 digits"),
         column("network", Col::RowRef, CL_PhoneLinkL_Network,
                "a network 1 to 10, or empty for none"),
         column("channel", Col::RowRef, CL_PhoneLinkL_Channel,
                "a channel 1 to 500, or empty for none")},
        CL_PhoneLinkL_Id, "the row is not in use: it needs a number"));
    t.push_back(
        recordTable<QxList::Profile>("profiles", CT_ProfileList,
                                     {row, column("name", Col::Text, CL_ProfileL_Name, NameLimits),
                                      column("address", Col::Digits, CL_ProfileL_Id, "6 digits"),
                                      column("network", Col::RowRef, CL_ProfileL_Network,
                                             "a network 1 to 10, or empty for none")},
                                     CL_ProfileL_Id, "the row is not in use: it needs an address"));

    const char* const AleLimits = "15 characters: letters, digits, @ and ?";
    t.push_back(recordTable<QxList::AleNetId>(
        "ale-networks", CT_AleNetId,
        {row, column("address", Col::Address, CL_Ale_NetId_Id, AleLimits)}, CL_None, nullptr));
    t.push_back(recordTable<QxList::AleSelfId>(
        "ale-self", CT_AleSelfIndId,
        {row, column("address", Col::Address, CL_Ale_SelfId_Id, AleLimits),
         column("slot", Col::Number, CL_Ale_SelfId_Slot, "1 to 20, or empty for none"),
         column("network_address", Col::RowRef, CL_Ale_SelfId_NetId,
                "a network address 1 to 100, or empty for none")},
        CL_None, nullptr));
    t.push_back(recordTable<QxList::AleCallId>(
        "ale-individual", CT_AleCallIndId,
        {row, column("address", Col::Address, CL_Ale_CallId_Id, AleLimits),
         column("channel_group", Col::Number, CL_Ale_CallId_ChGroupNo,
                "1 to 100, or empty for none")},
        CL_None, nullptr));

    {
        cmcCsvTable g;
        g.name = "channel-groups";
        g.category = CT_AleChannels;
        g.list = QxList::AleChannels;
        g.rows = QxList::ChannelRows;
        g.columns = {row, column("name", Col::Info, CL_ChBit_Name),
                     column("rx_frequency", Col::Info, CL_ChBit_Freq)};
        for (int32_t k = 0; k < QxList::AleGroupCount; ++k) {
            Col c = selection(keep("group_" + std::to_string(k + 1)), CL_Ale_ChGrpL_ChBit_Selected,
                              OnOff);
            c.group = k;
            g.columns.push_back(c);
        }
        g.inUse = &channelValid;
        g.clearRow = &clearGroupBits;
        g.guard = &groupRoom;
        g.notInUse =
            "the channel is not valid: it needs a frequency and a name in the channel list";
        t.push_back(std::move(g));
    }

    t.push_back(recordTable<QxList::AleMessage>(
        "amd-messages", CT_AleMessage,
        {row, column("message", Col::Text, CL_Ale_Msg_Msg, "90 characters")}, CL_None, nullptr));
    return t;
}

const std::vector<cmcCsvTable>& tables() {
    static const std::vector<cmcCsvTable> t = makeTables();
    return t;
}

cmcCsvTable makeCommon() {
    Col tx = column("tx", Col::Frequency, CL_ChL_FreqT, TxLimits);
    tx.hidden = true;
    tx.sameAs = "Frequency";
    tx.reportAs = "Offset";
    cmcCsvTable t = recordTable<QxList::Channel>(
        "channels", CT_ChannelList,
        {column("Location", Col::RowNumber), column("Name", Col::Text, CL_ChL_Name, NameLimits),
         column("Frequency", Col::Frequency, CL_ChL_FreqR, RxLimits),
         column("Duplex", Col::Ignored), column("Offset", Col::Ignored),
         selection("Mode", CL_ChL_Mode, "GI_Sheet_Sel_SetM_TxRxMode"),
         column("Comment", Col::Ignored), tx},
        CL_ChL_FreqR, "the row is not in use: it needs a Frequency");
    t.layout = "common";
    t.ignoreUnknown = true;
    // Other tools number Location from 0 in most files, from 1 in some.
    t.fileNumbering = true;
    t.exportRow = &commonExport;
    t.importRow = &commonImport;
    return t;
}

} // namespace

const std::vector<const cmcCsvTable*>& imcCsvLists::all() {
    static const std::vector<const cmcCsvTable*> list = [] {
        std::vector<const cmcCsvTable*> v;
        for (const cmcCsvTable& t : tables())
            v.push_back(&t);
        return v;
    }();
    return list;
}

const cmcCsvTable* imcCsvLists::find(const QString& name) {
    for (const cmcCsvTable* t : all())
        if (name.compare(QString::fromLatin1(t->name), Qt::CaseInsensitive) == 0 ||
            name == cmcCellNames::categoryName(t->category))
            return t;
    return nullptr;
}

const cmcCsvTable* imcCsvLists::ofList(int32_t list) {
    for (const cmcCsvTable* t : all())
        if (t->list == list) return t;
    return nullptr;
}

const cmcCsvTable& imcCsvLists::commonChannels() {
    static const cmcCsvTable t = makeCommon();
    return t;
}

std::vector<const cmcCsvTable*> imcCsvLists::layouts(const cmcCsvTable& list) {
    if (list.list == QxList::Channel) return {&list, &commonChannels()};
    return {&list};
}

const cmcCsvTable* imcCsvLists::layout(const cmcCsvTable& list, const QString& name) {
    for (const cmcCsvTable* t : layouts(list))
        if (name.compare(QString::fromLatin1(t->layout), Qt::CaseInsensitive) == 0) return t;
    return nullptr;
}

int imcCsvLists::indexOf(const cmcCsvTable& list) {
    const auto& v = all();
    for (size_t i = 0; i < v.size(); ++i)
        if (v[i] == &list || (v[i]->list == list.list)) return int(i);
    return -1;
}

#include "imcCheckCells.h"

#include "cmcCellRequest.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcGTex.h"
#include "cmcListInfo.h"
#include "datCh.h"

#include <QStringList>
#include <algorithm>

namespace {

constexpr uint16_t NoChannel16 = 0xFFFF;
constexpr uint8_t NoRow8 = 0xFF;

// What the checks say, one line per finding, from the text table; the last line follows
// a shortened row list with the number of rows in all.
const QString kFindings = QStringLiteral("GI_AppInd_CheckFindings");
constexpr int InAllLine = 8;

QString findingText(int line) {
    return cmcFCache::instance().table().getText(kFindings, line);
}

// Collects the problems of one kind: how many rows have it, and the first few row numbers.
struct Finding {
    // line: the finding's line of the text key of the findings.
    explicit Finding(int line) : what(findingText(line)) {}
    QString what;
    int count = 0;
    QStringList rows;

    void add(int row) {
        if (count++ < imcCheckCells::MaxNamedRows) rows << QString::number(row + 1);
    }
    QString line() const {
        QString text = QStringLiteral("%1: %2").arg(what, rows.join(QStringLiteral(", ")));
        if (count > rows.size())
            text += findingText(InAllLine).replace(QStringLiteral("%d"), QString::number(count));
        return text;
    }
};

bool rowInUse(const cmcEeprom& image, int32_t list, int32_t row) {
    datCh rec;
    return rec.load(image, list, row) && rec.inUse;
}

// Whether a 63-byte channel bitmap holds none of the channels in use (bits of rows not in
// use do not count).
bool noChannelInUse(const cmcEeprom& image, const uint8_t* bits) {
    for (int32_t row = 0; row < QxList::ChannelRows; ++row)
        if ((bits[row / 8] >> (row % 8) & 1) && datCh::channelInUse(image, row)) return false;
    return true;
}

bool noChannelInUse(const cmcEeprom& image, int32_t address) {
    uint8_t bits[QxList::ChBitsSize];
    image.GetBlock(address, bits, QxList::ChBitsSize);
    return noChannelInUse(image, bits);
}

void finish(cmcCellRequest& r, const QList<Finding*>& errors, const QList<Finding*>& warnings) {
    QStringList lines;
    int rows = 0;
    for (const Finding* f : errors) {
        if (!f->count) continue;
        r.error = true;
        rows += f->count;
        lines << f->line();
    }
    for (const Finding* f : warnings) {
        if (!f->count) continue;
        r.warning = true;
        rows += f->count;
        lines << f->line();
    }
    r.fl.display = lines.join(QLatin1Char('\n'));
    r.setValue(rows);
}

void checkChannels(const cmcEeprom& image, cmcCellRequest& r) {
    const int modes =
        cmcFCache::instance()
            .get(QStringLiteral("GI_Sheet_Sel_SetM_TxRxMode"), cuiFlector::KindSelection)
            .count();
    Finding badMode(0);
    Finding noTx(1);
    Finding noName(2);
    for (int32_t row = 0; row < QxList::ChannelRows; ++row) {
        datCh rec;
        if (!rec.load(image, QxList::Channel, row) || !rec.inUse) continue;
        if (rec.byteAt(QxRec::ChMode) >= modes) badMode.add(row);
        if (rec.freqT == 0) noTx.add(row);
        if (rec.blank(QxRec::ChName, QxRec::ChNameLen)) noName.add(row);
    }
    finish(r, {&badMode}, {&noTx, &noName});
}

void checkAddresses(const cmcEeprom& image, cmcCellRequest& r) {
    using namespace QxRec;
    Finding channel(3);
    Finding network(4);
    Finding message(5);
    const int32_t rows = cmcListInfo::layout(QxList::Address)->rows;
    for (int32_t row = 0; row < rows; ++row) {
        datCh rec;
        if (!rec.load(image, QxList::Address, row) || !rec.inUse) continue;
        const uint16_t ch = rec.wordAt(AdChannel);
        if (ch != NoChannel16 && !datCh::channelInUse(image, ch)) channel.add(row);
        const uint8_t net = rec.byteAt(AdNetwork);
        if (net != NoRow8 && !rowInUse(image, QxList::Network, net)) network.add(row);
        const uint8_t msg = rec.byteAt(AdMessage);
        if (msg != NoRow8 && !rowInUse(image, QxList::Message, msg)) message.add(row);
    }
    finish(r, {}, {&channel, &network, &message});
}

void checkNetworks(const cmcEeprom& image, cmcCellRequest& r) {
    Finding empty(6);
    for (int32_t row = 0; row < QxList::NetworkCount; ++row) {
        datCh rec;
        if (!rec.load(image, QxList::Network, row) || !rec.inUse) continue;
        if (noChannelInUse(image, rec.bytes + QxRec::NetChBits)) empty.add(row);
    }
    finish(r, {}, {&empty});
}

void checkAleCalls(const cmcEeprom& image, cmcCellRequest& r) {
    Finding empty(7);
    const int32_t rows = cmcListInfo::layout(QxList::AleCallId)->rows;
    for (int32_t row = 0; row < rows; ++row) {
        datCh rec;
        if (!rec.load(image, QxList::AleCallId, row) || !rec.inUse) continue;
        const uint8_t group = rec.byteAt(QxRec::AleGroup);
        if (group >= QxList::AleGroupCount) continue;
        if (noChannelInUse(image, QxList::AleGroupBase + group * QxList::AleGroupSize))
            empty.add(row);
    }
    finish(r, {}, {&empty});
}

} // namespace

const std::vector<int32_t>& imcCheckCells::labels() {
    static const std::vector<int32_t> all{CL_Check_Mch, CL_Check_AddrL, CL_Check_NetL,
                                          CL_Check_AleCallId};
    return all;
}

bool imcCheckCells::serves(int32_t label) {
    const std::vector<int32_t>& all = labels();
    return std::find(all.begin(), all.end(), label) != all.end();
}

void imcCheckCells::dispatch(const cmcEeprom& image, cmcCellRequest& r) {
    switch (r.label) {
    case CL_Check_Mch:
        checkChannels(image, r);
        break;
    case CL_Check_AddrL:
        checkAddresses(image, r);
        break;
    case CL_Check_NetL:
        checkNetworks(image, r);
        break;
    case CL_Check_AleCallId:
        checkAleCalls(image, r);
        break;
    default:
        break;
    }
}

#include "imcImageDiff.h"

#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcCellRequest.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcGTex.h"
#include "cmcListInfo.h"
#include "datCh.h"
#include "imcCsvLists.h"
#include "imcSettingCells.h"
#include "imcSheetPlaces.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <array>

namespace {

// ---- cells ------------------------------------------------------------------------------

QString shown(cmcCellDispatch& d, int32_t category, int32_t label, int32_t index) {
    cmcCellRequest r(category, label, index);
    d.dispatch(r);
    if (r.checkBox >= 0) return r.checkBox ? QStringLiteral("ON") : QStringLiteral("OFF");
    return r.fl.display;
}

bool comparedColumn(const cmcCsvColumn& c) {
    return !c.hidden && c.kind != cmcCsvColumn::RowNumber && c.kind != cmcCsvColumn::Info &&
           c.kind != cmcCsvColumn::Ignored && c.label != CL_None;
}

// The bitmap of channel memberships a membership column shows (a network's channel bits or
// an ALE channel group).
int32_t membershipBits(const cmcCsvColumn& c) {
    if (c.group >= 0) return QxList::AleGroupBase + c.group * QxList::AleGroupSize;
    const cmcListLayout* net = cmcListInfo::layout(QxList::Network);
    return net->base + (CL_EnabledChBit_0 - c.label) * net->size + QxList::NetworkChBitsOffset;
}

bool bitOf(const cmcEeprom& image, int32_t bits, int32_t row) {
    return image.GetByte(bits + row / 8) >> (row % 8) & 1;
}

class Comparison {
  public:
    Comparison(const cmcEeprom& a, const cmcEeprom& b, const imcSheetPlaces& captions)
        : m_a(a), m_b(b), m_da(&m_a), m_db(&m_b), m_captions(captions) {}

    imcImageDiffResult run() {
        for (const cmcCsvTable* t : imcCsvLists::all())
            if (t->list == QxList::Network) m_networks = t;
        for (int32_t row = 0; row < QxList::ChannelRows; ++row) {
            m_channelA[size_t(row)] = datCh::channelValid(m_a, row);
            m_channelB[size_t(row)] = datCh::channelValid(m_b, row);
        }
        for (const cmcCsvTable* t : imcCsvLists::all()) {
            if (cmcListInfo::layout(t->list))
                records(*t);
            else
                memberships(*t);
        }
        settings();
        bytes();
        return std::move(m_result);
    }

  private:
    void change(const cmcCsvTable* table, const cmcCsvColumn& c, int32_t category, int32_t index,
                const QString& before, const QString& after) {
        imcCellChange ch;
        ch.category = category;
        ch.label = c.label;
        ch.index = index;
        ch.group = c.group;
        ch.before = before;
        ch.after = after;
        ch.row = table ? index + 1 : 0;
        const imcSheetPlace* place = m_captions.of(c.label);
        const imcSheetPlace* sheet = table ? m_captions.sheetOf(*table) : place;
        ch.column = place ? place->caption : QString::fromLatin1(c.name);
        // A channel group's column is headed by the group, as its sheet names it.
        if (c.group >= 0) {
            QString group = m_captions.itemCaption(CL_Ale_ChGrpL_GroupNo);
            if (group.isEmpty()) group = QStringLiteral("Group");
            ch.column = QStringLiteral("%1 %2").arg(group).arg(c.group + 1);
        }
        // A network's column is headed by the network's number and name.
        if (table && c.label >= CL_EnabledChBit_9 && c.label <= CL_EnabledChBit_0)
            ch.column =
                shown(m_db, CT_NetworkChannels, CL_EnabledChBit_Header, CL_EnabledChBit_0 - c.label)
                    .simplified();
        ch.where = sheet ? sheet->where : table ? QString::fromLatin1(table->name) : QString();
        ch.sheet = sheet ? sheet->sheet : QString();
        m_result.cells.push_back(ch);
    }

    void records(const cmcCsvTable& t) {
        const cmcListLayout* l = cmcListInfo::layout(t.list);
        for (int32_t row = 0; row < t.rows && row < l->rows; ++row) {
            // A row in use on neither side holds nothing a user would call a change.
            if (t.inUse && !t.inUse(m_a, row) && !t.inUse(m_b, row)) {
                m_unused.insert(key(t.list, row));
                continue;
            }
            const int32_t at = l->base + row * l->size;
            const bool sameRecord =
                std::equal(m_a.data() + at, m_a.data() + at + l->size, m_b.data() + at);
            if (sameRecord && bitOf(m_a, l->bitmap, row) == bitOf(m_b, l->bitmap, row)) continue;
            bool any = false;
            for (const cmcCsvColumn& c : t.columns) {
                if (!comparedColumn(c)) continue;
                const QString before = shown(m_da, t.category, c.label, row);
                const QString after = shown(m_db, t.category, c.label, row);
                if (before == after) continue;
                change(&t, c, t.category, row, before, after);
                any = true;
            }
            if (any) m_rows.insert(key(t.list, row));
        }
    }

    // Whether a network or channel group is in use on either side: a network by its record,
    // a channel group by holding a channel in use. The bits of the others mean nothing.
    bool membershipInUse(const cmcCsvColumn& c, int32_t bits) const {
        if (c.group < 0) {
            const int32_t network = CL_EnabledChBit_0 - c.label;
            return !m_networks || !m_networks->inUse || m_networks->inUse(m_a, network) ||
                   m_networks->inUse(m_b, network);
        }
        for (int32_t row = 0; row < QxList::ChannelRows; ++row)
            if ((m_channelA[size_t(row)] && bitOf(m_a, bits, row)) ||
                (m_channelB[size_t(row)] && bitOf(m_b, bits, row)))
                return true;
        return false;
    }

    void memberships(const cmcCsvTable& t) {
        for (const cmcCsvColumn& c : t.columns) {
            if (!comparedColumn(c)) continue;
            const int32_t bits = membershipBits(c);
            if (std::equal(m_a.data() + bits, m_a.data() + bits + QxList::ChBitsSize,
                           m_b.data() + bits))
                continue;
            if (!membershipInUse(c, bits)) continue;
            if (c.group >= 0) {
                m_da.setCurrentGroup(c.group);
                m_db.setCurrentGroup(c.group);
            }
            for (int32_t row = 0; row < t.rows; ++row) {
                if (bitOf(m_a, bits, row) == bitOf(m_b, bits, row)) continue;
                const QString before = shown(m_da, t.category, c.label, row);
                const QString after = shown(m_db, t.category, c.label, row);
                if (before == after) continue;
                change(&t, c, t.category, row, before, after);
            }
        }
    }

    void settings() {
        for (int32_t label = 0; label < cmcCellNames::LabelCount; ++label) {
            if (!imcSettingCells::serves(label)) continue;
            const int32_t address = imcSettingCells::addressOf(label);
            if (address < 0) continue;
            // A setting lies in at most four bytes from its address.
            bool differs = false;
            for (int32_t a = address; a < address + 4 && a < m_a.GetSize(); ++a)
                differs = differs || m_a.GetByte(a) != m_b.GetByte(a);
            if (!differs) continue;
            const QString before = shown(m_da, CT_Null, label, 0);
            const QString after = shown(m_db, CT_Null, label, 0);
            if (before == after) continue;
            cmcCsvColumn c;
            c.name = cmcCellNames::labelNameRaw(label);
            c.label = label;
            change(nullptr, c, CT_Null, 0, before, after);
            m_settings.push_back({label, address, before});
        }
    }

    // Whether a changed byte is one that a changed cell shows.
    bool shownByCell(int32_t a) {
        for (int32_t list = QxList::Channel; list <= QxList::AleMessage; ++list) {
            const cmcListLayout* l = cmcListInfo::layout(list);
            if (!l) continue;
            if (a >= l->base && a < l->base + l->rows * l->size) {
                const int32_t row = (a - l->base) / l->size, offset = (a - l->base) % l->size;
                // Memberships are cells, shown where they mean something.
                if (list == QxList::Network && offset >= QxList::NetworkChBitsOffset &&
                    offset < QxList::NetworkChBitsOffset + QxList::ChBitsSize)
                    return true;
                return m_rows.contains(key(list, row)) || m_unused.contains(key(list, row));
            }
            if (a >= l->bitmap && a < l->bitmap + (l->rows + 7) / 8) {
                for (int32_t row = (a - l->bitmap) * 8; row < (a - l->bitmap) * 8 + 8; ++row)
                    if (m_rows.contains(key(list, row))) return true;
                return false;
            }
        }
        const int32_t groups = QxList::AleGroupBase;
        if (a >= groups && a < groups + QxList::AleGroupCount * QxList::AleGroupSize) return true;
        // A setting shows the byte when the byte alone changes what it shows.
        for (const Setting& s : m_settings) {
            if (a < s.address || a >= s.address + 4) continue;
            cmcEeprom probe(m_a);
            probe.SetByte(a, m_b.GetByte(a));
            cmcCellDispatch d(&probe);
            if (shown(d, CT_Null, s.label, 0) != s.before) return true;
        }
        return false;
    }

    void bytes() {
        const int32_t size = std::min(m_a.GetSize(), m_b.GetSize());
        for (int32_t a = 0; a < size; ++a)
            if (m_a.data()[a] != m_b.data()[a] && !shownByCell(a)) m_result.bytes.push_back(a);
    }

    static int64_t key(int32_t list, int32_t row) { return int64_t(list) << 32 | uint32_t(row); }

    struct Setting {
        int32_t label;
        int32_t address;
        QString before;
    };

    cmcEeprom m_a, m_b; // the dispatchers take writable images; reading never changes them
    cmcCellDispatch m_da, m_db;
    const imcSheetPlaces& m_captions;
    imcImageDiffResult m_result;
    QSet<int64_t> m_rows;   // list rows with a changed cell
    QSet<int64_t> m_unused; // list rows in use on neither side
    const cmcCsvTable* m_networks = nullptr;
    std::array<bool, QxList::ChannelRows> m_channelA{}, m_channelB{};
    std::vector<Setting> m_settings;
};

} // namespace

QString imcCellChange::describe() const {
    QString place = where;
    if (row > 0) place += QStringLiteral(", row %1").arg(row);
    return QStringLiteral("%1, %2: %3 -> %4")
        .arg(place, column, before.isEmpty() ? QStringLiteral("(empty)") : before,
             after.isEmpty() ? QStringLiteral("(empty)") : after);
}

QStringList imcImageDiffResult::lines(const cmcEeprom& before, const cmcEeprom& after) const {
    QStringList out;
    for (const imcCellChange& c : cells)
        out << c.describe();
    for (int32_t a : bytes)
        out << QStringLiteral("0x%1: %2 -> %3")
                   .arg(a, 4, 16, QLatin1Char('0'))
                   .arg(before.GetByte(a), 2, 16, QLatin1Char('0'))
                   .arg(after.GetByte(a), 2, 16, QLatin1Char('0'))
                   .toUpper()
                   .replace(QLatin1String("0X"), QLatin1String("0x"));
    return out;
}

imcImageDiffResult imcImageDiff::compare(const cmcEeprom& before, const cmcEeprom& after,
                                         cmcGTex* texts) {
    cmcGTex& table = texts ? *texts : cmcFCache::instance().table();
    const imcSheetPlaces& captions = imcSheetPlaces::forTable(table);
    Comparison c(before, after, captions);
    return c.run();
}

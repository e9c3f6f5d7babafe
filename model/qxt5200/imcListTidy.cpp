#include "imcListTidy.h"

#include "cmcCellDispatch.h"
#include "cmcCsvList.h"
#include "cmcEeprom.h"
#include "cmcListEdits.h"
#include "cmcListInfo.h"
#include "datCh.h"
#include "imcCsvLists.h"

#include <QHash>
#include <algorithm>
#include <numeric>

namespace {

// A cell's value as a sort key: a number where the column holds one, else the text shown.
struct Key {
    bool empty = true;
    bool numeric = false;
    int64_t number = 0;
    QString text;
};

bool numericKind(const cmcCsvColumn& c) {
    return c.kind == cmcCsvColumn::Frequency || c.kind == cmcCsvColumn::Number ||
           c.kind == cmcCsvColumn::RowRef;
}

Key keyOf(cmcCellDispatch& d, const cmcCsvTable& t, const cmcCsvColumn& c, int32_t row) {
    Key k;
    k.text = d.text(t.category, c.label, row).trimmed();
    // "-" is how a row reference shows none.
    if (k.text.isEmpty() || k.text == QLatin1String("-")) return k;
    k.empty = false;
    int64_t v = 0;
    if (numericKind(c) && d.value(t.category, c.label, row, &v)) {
        k.numeric = true;
        k.number = v;
    }
    return k;
}

// Negative, 0 or positive as a sorts before, with or after b; empty values after the
// others whatever the direction.
int compareKeys(const Key& a, const Key& b, bool descending) {
    if (a.empty != b.empty) return a.empty ? 1 : -1;
    if (a.empty) return 0;
    int c = 0;
    if (a.numeric && b.numeric)
        c = a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
    else
        c = a.text.compare(b.text, Qt::CaseInsensitive);
    return descending ? -c : c;
}

std::vector<int32_t> identity(int32_t rows) {
    std::vector<int32_t> v(size_t(std::max(rows, 0)));
    std::iota(v.begin(), v.end(), 0);
    return v;
}

int32_t rowsOf(int32_t list) {
    const cmcListLayout* l = cmcListInfo::layout(list);
    return l ? l->rows : 0;
}

int32_t moved(const std::vector<int32_t>& newRow) {
    int32_t n = 0;
    for (size_t i = 0; i < newRow.size(); ++i)
        n += newRow[i] != int32_t(i);
    return n;
}

// The columns whose values make two rows of a list the same.
std::vector<const char*> sameColumns(int32_t list) {
    switch (list) {
    case QxList::Channel:
        return {"rx_frequency", "tx_frequency", "mode"};
    case QxList::Network:
        return {"name"};
    case QxList::Message:
    case QxList::AleMessage:
        return {"message"};
    case QxList::PhoneLink:
        return {"number"};
    default:
        return {"address"}; // addresses, profiles and the ALE identifiers
    }
}

bool hasBit(const cmcEeprom& image, int32_t bits, int32_t row) {
    return image.GetByte(bits + row / 8) >> (row % 8) & 1;
}

} // namespace

bool imcListTidy::serves(int32_t list) {
    return cmcListInfo::layout(list) && imcCsvLists::ofList(list);
}

bool imcListTidy::inUse(const cmcEeprom& image, int32_t list, int32_t row) {
    datCh rec;
    return rec.load(image, list, row) && rec.inUse;
}

std::vector<int32_t> imcListTidy::sortOrder(const cmcEeprom& image, const cmcCsvTable& list,
                                            int32_t first, int32_t last,
                                            const std::vector<imcSortKey>& keys) {
    const int32_t rows = rowsOf(list.list);
    std::vector<int32_t> newRow = identity(rows);
    first = std::max(first, 0);
    last = std::min(last, rows - 1);
    if (first >= last) return newRow;

    // The dispatcher reads through a writable image; reading leaves the copy as it was.
    cmcEeprom copy(image);
    cmcCellDispatch d(&copy);
    struct Row {
        int32_t row;
        bool used;
        std::vector<Key> keys;
    };
    std::vector<Row> range;
    range.reserve(size_t(last - first + 1));
    for (int32_t row = first; row <= last; ++row) {
        Row r{row, inUse(image, list.list, row), {}};
        if (r.used)
            for (const imcSortKey& k : keys)
                if (k.column >= 0 && k.column < int(list.columns.size()))
                    r.keys.push_back(keyOf(d, list, list.columns[size_t(k.column)], row));
        range.push_back(std::move(r));
    }
    std::stable_sort(range.begin(), range.end(), [&](const Row& a, const Row& b) {
        if (a.used != b.used) return a.used;
        if (!a.used) return false;
        for (size_t i = 0; i < a.keys.size() && i < b.keys.size(); ++i)
            if (const int c = compareKeys(a.keys[i], b.keys[i], keys[i].descending)) return c < 0;
        return false;
    });
    for (size_t i = 0; i < range.size(); ++i)
        newRow[size_t(range[i].row)] = first + int32_t(i);
    return newRow;
}

int32_t imcListTidy::sort(cmcEeprom& image, const cmcCsvTable& list, int32_t first, int32_t last,
                          const std::vector<imcSortKey>& keys) {
    const std::vector<int32_t> newRow = sortOrder(image, list, first, last, keys);
    const int32_t n = moved(newRow);
    if (n) reorder(image, list.list, newRow);
    return n;
}

bool imcListTidy::parseKeys(const cmcCsvTable& list, const QString& text,
                            std::vector<imcSortKey>* keys, QString* error) {
    keys->clear();
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        imcSortKey k;
        QString name = part.trimmed();
        const QString direction = name.section(u':', 1).toLower();
        name = name.section(u':', 0, 0);
        if (direction == QLatin1String("desc"))
            k.descending = true;
        else if (!direction.isEmpty() && direction != QLatin1String("asc")) {
            *error = QStringLiteral("'%1' is no direction (asc, desc)").arg(direction);
            return false;
        }
        k.column = list.columnOf(name);
        const bool usable = k.column >= 0 && !list.columns[size_t(k.column)].hidden &&
                            list.columns[size_t(k.column)].label != CL_None &&
                            list.columns[size_t(k.column)].kind != cmcCsvColumn::RowNumber;
        if (!usable) {
            QStringList names;
            for (const cmcCsvColumn& c : list.columns)
                if (!c.hidden && c.label != CL_None && c.kind != cmcCsvColumn::RowNumber)
                    names << QString::fromLatin1(c.name);
            *error =
                QStringLiteral("%1 has no column '%2' (%3)")
                    .arg(QString::fromLatin1(list.name), name, names.join(QLatin1String(", ")));
            return false;
        }
        keys->push_back(k);
    }
    if (keys->empty()) {
        *error = QStringLiteral("no column to sort by");
        return false;
    }
    return true;
}

std::vector<int32_t> imcListTidy::compactOrder(const cmcEeprom& image, int32_t list) {
    const int32_t rows = rowsOf(list);
    std::vector<int32_t> newRow(static_cast<size_t>(rows));
    int32_t next = 0;
    for (int32_t row = 0; row < rows; ++row)
        if (inUse(image, list, row)) newRow[size_t(row)] = next++;
    for (int32_t row = 0; row < rows; ++row)
        if (!inUse(image, list, row)) newRow[size_t(row)] = next++;
    return newRow;
}

int32_t imcListTidy::compact(cmcEeprom& image, int32_t list) {
    const std::vector<int32_t> newRow = compactOrder(image, list);
    const int32_t n = moved(newRow);
    if (n) reorder(image, list, newRow);
    return n;
}

void imcListTidy::reorder(cmcEeprom& image, int32_t list, const std::vector<int32_t>& newRow) {
    cmcListEdits::followRows(image, list, newRow);
    cmcListEdits::moveRecords(image, list, newRow);
}

std::vector<imcRowUser> imcListTidy::usersOf(const cmcEeprom& image, int32_t list, int32_t row) {
    std::vector<imcRowUser> users;
    for (const cmcListEdits::Reference& ref : cmcListEdits::referencesTo(list)) {
        const cmcListLayout* holder = cmcListInfo::layout(ref.list);
        for (int32_t i = 0; i < holder->rows; ++i) {
            const int32_t a = holder->base + i * holder->size + ref.offset;
            const int32_t named =
                ref.wide ? int32_t(image.GetByte(a) | image.GetByte(a + 1) << 8) : image.GetByte(a);
            if (named == row && inUse(image, ref.list, i)) users.push_back({ref.list, i});
        }
    }
    if (list != QxList::Channel) return users;
    const cmcListLayout* net = cmcListInfo::layout(QxList::Network);
    for (int32_t n = 0; n < QxList::NetworkCount; ++n) {
        const int32_t bits = net->base + n * net->size + QxList::NetworkChBitsOffset;
        if (inUse(image, QxList::Network, n) && !datCh::erasedBits(image, bits) &&
            hasBit(image, bits, row))
            users.push_back({QxList::Network, n});
    }
    for (int32_t g = 0; g < QxList::AleGroupCount; ++g)
        if (hasBit(image, QxList::AleGroupBase + g * QxList::AleGroupSize, row))
            users.push_back({QxList::AleChannels, g});
    return users;
}

std::vector<imcDuplicate> imcListTidy::duplicates(const cmcEeprom& image, int32_t list) {
    std::vector<imcDuplicate> found;
    const cmcCsvTable* table = imcCsvLists::ofList(list);
    if (!table || !cmcListInfo::layout(list)) return found;
    std::vector<const cmcCsvColumn*> columns;
    for (const char* name : sameColumns(list)) {
        const int c = table->columnOf(QString::fromLatin1(name));
        if (c >= 0) columns.push_back(&table->columns[size_t(c)]);
    }
    if (columns.empty()) return found;
    cmcEeprom copy(image);
    cmcCellDispatch d(&copy);
    QHash<QString, size_t> groupOf;
    for (int32_t row = 0; row < table->rows; ++row) {
        if (!inUse(image, list, row)) continue;
        QStringList values;
        bool any = false;
        for (const cmcCsvColumn* c : columns) {
            // A transmit frequency shown as "the same as receive" counts as that frequency.
            int64_t v = 0;
            QString value =
                c->kind == cmcCsvColumn::Frequency && d.value(table->category, c->label, row, &v)
                    ? QString::number(v)
                    : d.text(table->category, c->label, row).trimmed().toUpper();
            any = any || !value.isEmpty();
            values << value;
        }
        if (!any) continue; // rows without the values that matter are not the same
        const QString key = values.join(QChar(0x1F));
        auto it = groupOf.constFind(key);
        if (it == groupOf.constEnd()) {
            groupOf.insert(key, found.size());
            imcDuplicate dup;
            dup.first.row = row;
            found.push_back(std::move(dup));
        } else {
            found[*it].repeats.push_back({row, {}});
        }
    }
    std::erase_if(found, [](const imcDuplicate& dup) { return dup.repeats.empty(); });
    for (imcDuplicate& dup : found) {
        dup.first.users = usersOf(image, list, dup.first.row);
        for (imcDuplicateRow& r : dup.repeats)
            r.users = usersOf(image, list, r.row);
    }
    return found;
}

bool imcListTidy::merge(cmcEeprom& image, int32_t list, int32_t row, int32_t into) {
    const int32_t rows = rowsOf(list);
    if (row < 0 || row >= rows || into < 0 || into >= rows || row == into) return false;
    // What names the repeat names the row it goes into, at that row's place after the
    // delete; the repeat's record itself is dropped and the rows below move up.
    std::vector<int32_t> refs(static_cast<size_t>(rows)), records(static_cast<size_t>(rows));
    for (int32_t i = 0; i < rows; ++i)
        records[size_t(i)] = i < row ? i : i == row ? -1 : i - 1;
    for (int32_t i = 0; i < rows; ++i)
        refs[size_t(i)] = records[size_t(i == row ? into : i)];
    cmcListEdits::followRows(image, list, refs);
    cmcListEdits::moveRecords(image, list, records);
    return true;
}

bool imcListTidy::remove(cmcEeprom& image, int32_t list, int32_t row) {
    const int32_t rows = rowsOf(list);
    if (row < 0 || row >= rows) return false;
    std::vector<int32_t> newRow(static_cast<size_t>(rows));
    for (int32_t i = 0; i < rows; ++i)
        newRow[size_t(i)] = i < row ? i : i == row ? -1 : i - 1;
    reorder(image, list, newRow);
    return true;
}

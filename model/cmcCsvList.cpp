#include "cmcCsvList.h"

#include "cmcCellDispatch.h"
#include "cmcCellRequest.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcFmtFreq.h"
#include "cmcListInfo.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// ---- values ---------------------------------------------------------------------------

bool exactHz(const QString& text, int64_t* hz) {
    static const QRegularExpression number(QStringLiteral("^(\\d{0,5})(?:\\.(\\d*))?$"));
    const QRegularExpressionMatch m = number.match(text.trimmed());
    if (!m.hasMatch() || (m.captured(1).isEmpty() && m.captured(2).isEmpty())) return false;
    QString fraction = m.captured(2);
    if (fraction.size() > 6) {
        for (qsizetype i = 6; i < fraction.size(); ++i)
            if (fraction[i] != u'0') return false;
        fraction.truncate(6);
    }
    fraction = fraction.leftJustified(6, u'0');
    *hz = m.captured(1).toLongLong() * 1000000 + fraction.toLongLong();
    return true;
}

bool sameNumber(const QString& given, const QString& shown) {
    const QString a = given.trimmed(), b = shown.trimmed();
    if (a.isEmpty() || b.isEmpty()) return a.isEmpty() && b.isEmpty();
    bool okA = false, okB = false;
    const double x = a.toDouble(&okA), y = b.toDouble(&okB);
    return okA && okB && std::fabs(x - y) < 1e-9;
}

QString canonical(cmcCsvColumn::Kind kind, const QString& value) {
    QString v = value;
    switch (kind) {
    case cmcCsvColumn::Address:
        return v.toUpper().remove(u' ');
    case cmcCsvColumn::Digits:
        return v.remove(u' ').remove(u'-');
    default:
        return v;
    }
}

// Whether what the cell stored is what the file said.
bool keptAsGiven(const cmcCsvColumn& c, const QString& value, const cmcCellRequest& r) {
    const QString& shown = r.fl.display;
    switch (c.kind) {
    case cmcCsvColumn::Text:
        return value == shown || (value.trimmed().isEmpty() && shown.isEmpty());
    case cmcCsvColumn::Address:
        return canonical(c.kind, value) == shown;
    case cmcCsvColumn::Digits:
        return canonical(c.kind, value) == QString(shown).remove(u' ');
    case cmcCsvColumn::Frequency: {
        int64_t hz = 0;
        return exactHz(value, &hz) && r.hasValue && hz == r.value;
    }
    case cmcCsvColumn::Number:
        return sameNumber(value, shown);
    default:
        return true;
    }
}

// What a cell holds, as the file writes it.
QString fileText(const cmcCsvColumn& c, const cmcCellRequest& r) {
    switch (c.kind) {
    case cmcCsvColumn::Frequency:
        // "<-" (the same as the receive frequency) is written as the number.
        return r.hasValue && !r.fl.display.isEmpty() ? cmcFmtFreq::format(uint32_t(r.value))
                                                     : QString();
    case cmcCsvColumn::Number:
        return r.fl.display.trimmed();
    default:
        return r.fl.display;
    }
}

// ---- selection items in the file's language -------------------------------------------

class Items {
  public:
    explicit Items(cmcGTex* table) : m_table(table) {}

    const cmcSelList& of(const char* key) {
        const QString k = QString::fromLatin1(key);
        if (!m_table) return cmcFCache::instance().get(k, 1);
        auto it = m_lists.find(k);
        if (it == m_lists.end()) {
            auto list = std::make_shared<cmcSelList>();
            cmcFCache::readList(*m_table, k, *list);
            it = m_lists.insert(k, list);
        }
        return **it;
    }

    // The item a file's text names: its name (case ignored), else its value.
    bool find(const char* key, const QString& text, int64_t* value) {
        const cmcSelList& list = of(key);
        const QString t = text.trimmed();
        for (int i = 0; i < list.count(); ++i)
            if (list.texts[i].trimmed().compare(t, Qt::CaseInsensitive) == 0) {
                *value = list.values[size_t(i)];
                return true;
            }
        bool ok = false;
        const qlonglong v = t.toLongLong(&ok);
        if (ok && list.find(v) >= 0) {
            *value = v;
            return true;
        }
        return false;
    }

    QString names(const char* key) {
        QStringList n;
        for (const QString& t : of(key).texts)
            n << t.trimmed();
        return n.join(QStringLiteral(", "));
    }

  private:
    cmcGTex* m_table;
    QMap<QString, std::shared_ptr<cmcSelList>> m_lists;
};

QString refusal(const cmcCsvColumn& c, const QString& value) {
    QString why;
    switch (c.kind) {
    case cmcCsvColumn::Frequency:
        why = QStringLiteral("'%1' is not a frequency in MHz");
        break;
    case cmcCsvColumn::Number:
        why = QStringLiteral("'%1' is not a number");
        break;
    case cmcCsvColumn::RowRef:
        why = QStringLiteral("'%1' names no row");
        break;
    default:
        why = QStringLiteral("the cell does not take '%1'");
        break;
    }
    why = why.arg(value);
    if (c.limits) why += QStringLiteral(" (%1)").arg(QString::fromLatin1(c.limits));
    return why;
}

// What became of one value committed to a cell: an error, or (clamped) what the cell holds
// in its place; both null when the cell took the value as given.
struct Committed {
    QString error;
    QString clampedTo;
};

// One value into one cell of a list, as the cell's editor or pop-up would take it, with the
// refusals of an import: a value the cell does not take, a row not in use, a value the cell
// would store changed (unless clamp).
Committed commitValue(cmcCellDispatch& dispatch, const cmcCsvTable& table, const cmcCsvColumn& c,
                      int32_t row, const QString& value, Items& items, bool clamp) {
    Committed out;
    const bool isKey = table.keyColumn >= 0 && &table.columns[size_t(table.keyColumn)] == &c;
    if (c.group >= 0) dispatch.setCurrentGroup(c.group);

    cmcCellRequest r(table.category, c.label, row);
    if (c.kind == cmcCsvColumn::Selection) {
        int64_t item = 0;
        if (!items.find(c.items, value, &item)) {
            out.error = QStringLiteral("'%1' is not one of: %2").arg(value, items.names(c.items));
            return out;
        }
        if (table.guard) {
            const QString refused = table.guard(*dispatch.image(), c, row, item);
            if (!refused.isEmpty()) {
                out.error = refused;
                return out;
            }
        }
        r.fl.operation = cuiFlector::OpChoose;
        r.fl.popupKind = cuiFlector::KindSelection;
        r.fl.popupValue = item;
    } else {
        r.fl.operation = cuiFlector::OpCommit;
        r.fl.editText = value;
    }
    dispatch.dispatch(r);
    if (!r.changed) {
        const bool notInUse = r.blank && (!isKey || value.trimmed().isEmpty());
        out.error = notInUse ? QString::fromLatin1(table.notInUse) : refusal(c, value);
        return out;
    }
    if (isKey && r.blank) {
        out.error = QString::fromLatin1(table.notInUse);
        return out;
    }
    if (keptAsGiven(c, value, r)) return out;

    const QString stored = fileText(c, r);
    if (!clamp) {
        out.error = QStringLiteral("the radio cannot hold '%1'; it would be stored as '%2'")
                        .arg(value, stored);
        if (c.limits) out.error += QStringLiteral(" (%1)").arg(QString::fromLatin1(c.limits));
        return out;
    }
    // Clamped: the value is stored as the cell shows it.
    if (c.kind == cmcCsvColumn::Text || c.kind == cmcCsvColumn::Address ||
        c.kind == cmcCsvColumn::Digits) {
        cmcCellRequest again(table.category, c.label, row);
        again.fl.operation = cuiFlector::OpCommit;
        again.fl.editText = stored;
        dispatch.dispatch(again);
    }
    out.clampedTo = stored;
    return out;
}

// What a cell of a list holds, as a file writes it.
QString cellValue(cmcCellDispatch& dispatch, const cmcCsvTable& table, const cmcCsvColumn& c,
                  int32_t row, Items& items, bool namedItems) {
    if (c.group >= 0) dispatch.setCurrentGroup(c.group);
    cmcCellRequest r(table.category, c.label, row);
    dispatch.dispatch(r);
    return c.kind == cmcCsvColumn::Selection && namedItems && r.hasValue
               ? items.of(c.items).textOf(r.value).trimmed()
               : fileText(c, r);
}

// ---- one import -----------------------------------------------------------------------

class Import {
  public:
    Import(cmcEeprom& work, const cmcCsvTable& table, const cmcCsvOptions& options,
           cmcCsvResult& result)
        : m_work(work), m_dispatch(&work), m_table(table), m_options(options), m_result(result),
          m_items(options.items) {}

    void setDefaults(const cmcEeprom* defaults) { m_dispatch.setDefaultImage(defaults); }
    // For a layout that numbers its rows as the file does: 0 when a record names row 0.
    void settleNumbering(const std::vector<cmcCsvRecord>& records);
    bool header(const cmcCsvRecord& head);
    void prepare();
    void record(const cmcCsvRecord& rec);

  private:
    void error(int line, const QString& column, const QString& text) {
        m_result.errors.push_back({line, columnNumber(column), column, text});
    }
    int columnNumber(const QString& name) const {
        for (int i = 0; i < m_header.size(); ++i)
            if (m_header[i].compare(name, Qt::CaseInsensitive) == 0) return i + 1;
        return 0;
    }
    // Commits one value; false after an error.
    bool commit(int line, int32_t row, const cmcCsvColumn& c, const QString& value);

    cmcEeprom& m_work;
    cmcCellDispatch m_dispatch;
    const cmcCsvTable& m_table;
    const cmcCsvOptions& m_options;
    cmcCsvResult& m_result;
    Items m_items;
    QStringList m_header;
    std::vector<int> m_columnOfField; // table column of each field, -1 when passed over
    int m_rowField = -1;
    int32_t m_next = 0;             // append: the next row
    QMap<int32_t, int> m_lineOfRow; // rows already imported, with their lines
    int32_t m_shift = 0;            // placed records: how far they move from their row numbers
    bool m_shifted = false;
    int m_first = 1; // the file's number of the list's first row
};

void Import::settleNumbering(const std::vector<cmcCsvRecord>& records) {
    m_first = 1;
    if (m_table.fileNumbering && m_rowField >= 0)
        for (size_t i = 1; i < records.size(); ++i) {
            bool ok = false;
            if (records[i].fields.value(m_rowField).trimmed().toInt(&ok) == 0 && ok) m_first = 0;
        }
    m_result.firstNumber = m_first;
}

bool Import::header(const cmcCsvRecord& head) {
    m_header = head.fields;
    bool ok = true;
    QSet<int> seen;
    for (int i = 0; i < m_header.size(); ++i) {
        const QString name = m_header[i].trimmed();
        m_header[i] = name;
        const int c = m_table.columnOf(name);
        m_columnOfField.push_back(c);
        if (c < 0) {
            if (m_table.ignoreUnknown) continue;
            QStringList names;
            for (const cmcCsvColumn& col : m_table.columns)
                if (!col.hidden) names << QString::fromLatin1(col.name);
            m_result.errors.push_back(
                {head.line, i + 1, name,
                 QStringLiteral("no such column; the %1 list has %2")
                     .arg(QString::fromLatin1(m_table.name), names.join(QStringLiteral(", ")))});
            ok = false;
            continue;
        }
        if (seen.contains(c)) {
            m_result.errors.push_back(
                {head.line, i + 1, name, QStringLiteral("the column is named twice")});
            ok = false;
        }
        seen.insert(c);
        if (m_table.columns[size_t(c)].kind == cmcCsvColumn::RowNumber) m_rowField = i;
    }
    if (m_rowField < 0 && m_options.mode != cmcCsvOptions::Append && m_options.placeAt < 0) {
        const char* rowName = "row";
        for (const cmcCsvColumn& col : m_table.columns)
            if (col.kind == cmcCsvColumn::RowNumber) rowName = col.name;
        m_result.errors.push_back(
            {head.line, 0, QString(),
             QStringLiteral("there is no %1 column (needed unless the rows are appended)")
                 .arg(QString::fromLatin1(rowName))});
        ok = false;
    }
    return ok;
}

void Import::prepare() {
    if (m_options.mode == cmcCsvOptions::Replace && m_table.clearRow)
        for (int32_t row = 0; row < m_table.rows; ++row)
            m_table.clearRow(m_work, row);
    if (m_options.mode == cmcCsvOptions::Append) {
        m_next = 0;
        for (int32_t row = 0; row < m_table.rows; ++row)
            if (m_table.inUse(m_work, row)) m_next = row + 1;
    }
    if (m_options.placeAt >= 0) m_next = m_options.placeAt;
}

bool Import::commit(int line, int32_t row, const cmcCsvColumn& c, const QString& value) {
    const QString column = QString::fromLatin1(c.hidden && c.reportAs ? c.reportAs : c.name);
    const Committed done =
        commitValue(m_dispatch, m_table, c, row, value, m_items, m_options.clamp);
    if (!done.error.isEmpty()) {
        error(line, column, done.error);
        return false;
    }
    if (!done.clampedTo.isNull())
        m_result.clamped.push_back(
            {line, columnNumber(column), column,
             QStringLiteral("'%1' stored as '%2'").arg(value, done.clampedTo)});
    return true;
}

void Import::record(const cmcCsvRecord& rec) {
    if (rec.fields.size() != m_header.size()) {
        m_result.errors.push_back({rec.line, 0, QString(),
                                   QStringLiteral("%1 fields where the header has %2")
                                       .arg(rec.fields.size())
                                       .arg(m_header.size())});
        return;
    }
    const size_t errorsBefore = m_result.errors.size();

    QMap<QString, QString> values;
    for (int i = 0; i < rec.fields.size(); ++i)
        if (m_columnOfField[size_t(i)] >= 0)
            values.insert(
                QString::fromLatin1(m_table.columns[size_t(m_columnOfField[size_t(i)])].name),
                rec.fields[i]);

    int32_t row = -1;
    if (m_options.mode == cmcCsvOptions::Append || (m_options.placeAt >= 0 && m_rowField < 0)) {
        if (m_next >= m_table.rows) {
            m_result.errors.push_back(
                {rec.line, 0, QString(),
                 QStringLiteral("no room: the list ends at row %1").arg(m_table.rows)});
            return;
        }
        row = m_next++;
    } else {
        const QString text = rec.fields[m_rowField].trimmed();
        bool ok = false;
        const int n = text.toInt(&ok);
        const int last = m_table.rows - 1 + m_first;
        if (!ok || n < m_first || n > last) {
            m_result.errors.push_back({rec.line, m_rowField + 1, m_header[m_rowField],
                                       QStringLiteral("'%1' is not a row number (%2 to %3)")
                                           .arg(text)
                                           .arg(m_first)
                                           .arg(last)});
            return;
        }
        row = n - m_first;
        if (m_options.placeAt >= 0) {
            // The first record sets how far the records move.
            if (!m_shifted) {
                m_shift = m_options.placeAt - row;
                m_shifted = true;
            }
            row += m_shift;
            if (row < 0 || row >= m_table.rows) {
                m_result.errors.push_back(
                    {rec.line, m_rowField + 1, m_header[m_rowField],
                     QStringLiteral("row %1 would land on row %2; the list ends at row %3")
                         .arg(n)
                         .arg(row + 1)
                         .arg(m_table.rows)});
                return;
            }
        }
        if (m_lineOfRow.contains(row)) {
            m_result.errors.push_back(
                {rec.line, m_rowField + 1, m_header[m_rowField],
                 QStringLiteral("row %1 is already on line %2").arg(n).arg(m_lineOfRow[row])});
            return;
        }
        m_lineOfRow.insert(row, rec.line);
    }

    if (m_table.importRow) {
        QString column;
        const QString refused = m_table.importRow(values, &column);
        if (!refused.isEmpty()) {
            error(rec.line, column, refused);
            return;
        }
    }

    // The key column first: it brings the row into use, and the others can be set then.
    const cmcCsvColumn* key =
        m_table.keyColumn >= 0 ? &m_table.columns[size_t(m_table.keyColumn)] : nullptr;
    std::vector<const cmcCsvColumn*> order;
    if (key) order.push_back(key);
    for (const cmcCsvColumn& c : m_table.columns)
        if (&c != key) order.push_back(&c);
    for (const cmcCsvColumn* c : order) {
        if (c->kind == cmcCsvColumn::RowNumber || c->kind == cmcCsvColumn::Info ||
            c->kind == cmcCsvColumn::Ignored)
            continue;
        const QString name = QString::fromLatin1(c->name);
        if (!values.contains(name)) continue;
        QString value = values.value(name);
        if (value.trimmed().isEmpty() && c->sameAs)
            value = values.value(QString::fromLatin1(c->sameAs));
        if (!commit(rec.line, row, *c, value))
            break; // the row's later values would only repeat the fault
    }
    m_result.targets.push_back(row);
    if (m_result.errors.size() == errorsBefore) ++m_result.rows;
}

} // namespace

bool cmcCsvList::megahertz(const QString& text, int64_t* hz) {
    return exactHz(text, hz);
}

QString cmcCsvList::megahertzText(int64_t hz) {
    const QString sign = hz < 0 ? QStringLiteral("-") : QString();
    hz = hz < 0 ? -hz : hz;
    return sign +
           QStringLiteral("%1.%2").arg(hz / 1000000).arg(hz % 1000000, 6, 10, QLatin1Char('0'));
}

// ---- tables and issues ------------------------------------------------------------------

int cmcCsvTable::columnOf(const QString& name) const {
    for (size_t i = 0; i < columns.size(); ++i)
        if (!columns[i].hidden &&
            name.compare(QString::fromLatin1(columns[i].name), Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

QString cmcCsvResult::landed() const {
    std::vector<int32_t> rows = targets;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QStringList runs;
    for (size_t i = 0; i < rows.size();) {
        size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        runs << (j == i ? QString::number(rows[i] + 1)
                        : QStringLiteral("%1-%2").arg(rows[i] + 1).arg(rows[j] + 1));
        i = j + 1;
    }
    return runs.join(QStringLiteral(", "));
}

QString cmcCsvIssue::describe() const {
    if (line <= 0) return text;
    QString where = QStringLiteral("line %1").arg(line);
    if (column > 0) where += QStringLiteral(", column %1").arg(column);
    if (!columnName.isEmpty()) where += QStringLiteral(" (%1)").arg(columnName);
    return where + QStringLiteral(": ") + text;
}

// ---- text -------------------------------------------------------------------------------

bool cmcCsvList::parse(const QByteArray& bytes, std::vector<cmcCsvRecord>& records, QString* error,
                       QChar separator) {
    records.clear();
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(bytes);
    if (decoder.hasError()) {
        // The line of the first byte that is not UTF-8.
        int line = 1;
        for (const QByteArray& part : bytes.split('\n')) {
            QStringDecoder one(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
            const QString decoded = one(part);
            if (one.hasError()) break;
            ++line;
        }
        if (error) *error = QStringLiteral("line %1: the text is not UTF-8").arg(line);
        return false;
    }
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);

    int line = 1;
    cmcCsvRecord current;
    current.line = 1;
    QString field;
    bool quoted = false;   // inside a quoted field
    bool anything = false; // the record has begun
    int quoteLine = 0;
    auto endField = [&] {
        current.fields << field;
        field.clear();
    };
    auto endRecord = [&] {
        endField();
        records.push_back(current);
        current = cmcCsvRecord();
        anything = false;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else if (c == u'\r' || c == u'\n') {
                if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
                field += u'\n';
                ++line;
            } else {
                field += c;
            }
            continue;
        }
        if (!anything) {
            current.line = line;
            anything = true;
        }
        if (c == u'"' && field.isEmpty()) {
            quoted = true;
            quoteLine = line;
        } else if (c == separator) {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
            endRecord();
            ++line;
        } else {
            field += c;
        }
    }
    if (quoted) {
        if (error) *error = QStringLiteral("line %1: a quoted field is not closed").arg(quoteLine);
        return false;
    }
    if (anything) endRecord(); // the last record without a line end
    return true;
}

bool cmcCsvList::readFile(const QString& path, QByteArray* bytes, QString* error) {
    const QFileInfo info(path);
    QString why;
    if (!info.exists())
        why = QStringLiteral("there is no such file");
    else if (!info.isFile())
        why = QStringLiteral("it is not a regular file");
    else if (info.size() > MaxFileSize)
        why = QStringLiteral("it is larger than %1 bytes").arg(MaxFileSize);
    if (why.isEmpty()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            *bytes = file.read(MaxFileSize + 1);
            if (file.error() == QFileDevice::NoError) return true;
        }
        why = file.errorString();
    }
    if (error) *error = QStringLiteral("%1 cannot be read: %2").arg(path, why);
    return false;
}

bool cmcCsvList::writeFile(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error) *error = QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString());
    return false;
}

QString cmcCsvList::field(const QString& value, QChar separator) {
    const bool quote = value.contains(separator) || value.contains(u'"') || value.contains(u'\n') ||
                       value.contains(u'\r') || value.startsWith(u' ') || value.endsWith(u' ');
    if (!quote) return value;
    return u'"' + QString(value).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

QString cmcCsvList::record(const QStringList& fields, QChar separator) {
    QStringList out;
    out.reserve(fields.size());
    for (const QString& f : fields)
        out << field(f, separator);
    return out.join(separator) + QStringLiteral("\r\n");
}

QByteArray cmcCsvList::write(const cmcEeprom& image, const cmcCsvTable& table, cmcGTex* itemTable,
                             int32_t first, int32_t last, QChar separator) {
    cmcEeprom copy(
        image); // reading cells never changes the image, but the dispatcher takes a writable one
    cmcCellDispatch dispatch(&copy);
    Items items(itemTable);
    QStringList header;
    for (const cmcCsvColumn& c : table.columns)
        if (!c.hidden) header << QString::fromLatin1(c.name);
    QString out = record(header, separator);
    if (last < first) {
        first = 0;
        last = table.rows - 1;
    }
    for (int32_t row = std::max(first, 0); row <= last && row < table.rows; ++row) {
        if (!table.inUse(copy, row)) continue;
        QMap<QString, QString> values;
        for (const cmcCsvColumn& c : table.columns) {
            QString v;
            if (c.kind == cmcCsvColumn::RowNumber) {
                v = QString::number(row + 1);
            } else if (c.kind != cmcCsvColumn::Ignored) {
                v = cellValue(dispatch, table, c, row, items, itemTable != nullptr);
            }
            values.insert(QString::fromLatin1(c.name), v);
        }
        if (table.exportRow) table.exportRow(values);
        QStringList fields;
        for (const cmcCsvColumn& c : table.columns)
            if (!c.hidden) fields << values.value(QString::fromLatin1(c.name));
        out += record(fields, separator);
    }
    return out.toUtf8();
}

cmcCsvResult cmcCsvList::read(cmcEeprom& image, const cmcEeprom* defaults,
                              const std::vector<const cmcCsvTable*>& layouts,
                              const QByteArray& bytes, const cmcCsvOptions& options) {
    cmcCsvResult result;
    std::vector<cmcCsvRecord> records;
    QString problem;
    if (!parse(bytes, records, &problem, options.separator)) {
        result.errors.push_back({0, 0, QString(), problem});
        return result;
    }
    // Blank lines carry nothing.
    std::erase_if(records, [](const cmcCsvRecord& r) {
        return r.fields.size() == 1 && r.fields[0].trimmed().isEmpty();
    });
    if (records.empty() || layouts.empty()) {
        result.errors.push_back({0, 0, QString(), QStringLiteral("the file has no header line")});
        return result;
    }

    // The layout whose columns the header names most of.
    const cmcCsvTable* table = nullptr;
    int best = 0;
    for (const cmcCsvTable* t : layouts) {
        int score = 0;
        for (const QString& name : records.front().fields)
            score += t->columnOf(name.trimmed()) >= 0 ? 1 : 0;
        if (score > best) {
            best = score;
            table = t;
        }
    }
    if (!table) {
        QStringList names;
        for (const cmcCsvColumn& c : layouts.front()->columns)
            if (!c.hidden) names << QString::fromLatin1(c.name);
        result.errors.push_back({records.front().line, 0, QString(),
                                 QStringLiteral("the header names no column of the %1 list (%2)")
                                     .arg(QString::fromLatin1(layouts.front()->name),
                                          names.join(QStringLiteral(", ")))});
        return result;
    }
    result.table = table;
    if (options.mode == cmcCsvOptions::Append && !cmcListInfo::layout(table->list)) {
        result.errors.push_back({0, 0, QString(),
                                 QStringLiteral("the rows of the %1 list cannot be appended")
                                     .arg(QString::fromLatin1(table->name))});
        return result;
    }

    cmcEeprom work(image);
    Import import(work, *table, options, result);
    import.setDefaults(defaults);
    if (!import.header(records.front())) return result;
    import.settleNumbering(records);
    import.prepare();
    for (size_t i = 1; i < records.size(); ++i)
        import.record(records[i]);
    if (result.ok()) image = work;
    return result;
}

QString cmcCsvList::commitCell(cmcCellDispatch& dispatch, const cmcCsvTable& table,
                               const cmcCsvColumn& column, int32_t row, const QString& value,
                               cmcGTex* itemTable) {
    Items items(itemTable);
    return commitValue(dispatch, table, column, row, value, items, false).error;
}

QString cmcCsvList::cellText(cmcCellDispatch& dispatch, const cmcCsvTable& table,
                             const cmcCsvColumn& column, int32_t row, cmcGTex* itemTable) {
    Items items(itemTable);
    return cellValue(dispatch, table, column, row, items, itemTable != nullptr);
}

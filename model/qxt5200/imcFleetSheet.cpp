#include "imcFleetSheet.h"

#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcCellRequest.h"
#include "cmcEeprom.h"
#include "imcCsvLists.h"
#include "imcImageDiff.h"
#include "imcRadioFacts.h"
#include "imcSettingCells.h"
#include "imcWriteCheck.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <tuple>

namespace {

// The cells that make a radio reachable on its own: its ALE self addresses and the
// identifiers of its selective-call profiles. No two radios of a network may share them.
bool mustBeUnique(int32_t label) {
    return label == CL_Ale_SelfId_Id || label == CL_ProfileL_Id;
}

// A value as the radio stores it, for telling two values apart: addresses in upper case
// without blanks, digit strings without their separators.
QString canonical(const imcFleetSheet::Column& c, const QString& value) {
    QString v = value.trimmed();
    if (!c.column) return v;
    if (c.column->kind == cmcCsvColumn::Address) return v.toUpper().remove(u' ');
    if (c.column->kind == cmcCsvColumn::Digits) return v.remove(u' ').remove(u'-');
    return v;
}

bool usedColumn(const cmcCsvColumn& c) {
    return !c.hidden && c.group < 0 && c.label != CL_None && c.kind != cmcCsvColumn::RowNumber &&
           c.kind != cmcCsvColumn::Info && c.kind != cmcCsvColumn::Ignored;
}

// What a cell holds, as the sheet writes it.
QString cellText(cmcCellDispatch& d, const imcFleetSheet::Column& c) {
    if (c.table) return cmcCsvList::cellText(d, *c.table, *c.column, c.index);
    return d.text(c.category, c.label, c.index).trimmed();
}

// Commits a value to a cell; empty, or why the cell refused it.
QString commitText(cmcCellDispatch& d, const imcFleetSheet::Column& c, const QString& value) {
    if (c.table) return cmcCsvList::commitCell(d, *c.table, *c.column, c.index, value);
    cmcCellRequest r;
    d.commit(c.category, c.label, c.index, value, &r);
    if (!r.handled) return QStringLiteral("the cell cannot be set");
    const QString stored = d.text(c.category, c.label, c.index).trimmed();
    if (stored.compare(value.trimmed(), Qt::CaseInsensitive) == 0) return QString();
    if (!r.changed) return QStringLiteral("the cell does not take '%1'").arg(value);
    return QStringLiteral("the radio cannot hold '%1'; it would be stored as '%2'")
        .arg(value, stored);
}

} // namespace

bool imcFleetSheet::columnOf(const QString& reference, Column* column, QString* error) {
    static const QRegularExpression form(
        QStringLiteral("^\\s*(CT_\\w+)\\.(CL_\\w+)\\[(\\d{1,5})\\]\\s*$"));
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    const QRegularExpressionMatch m = form.match(reference);
    if (!m.hasMatch())
        return fail(QStringLiteral("'%1' is not a cell reference (CATEGORY.LABEL[INDEX], such "
                                   "as CT_AleSelfIndId.CL_Ale_SelfId_Id[0])")
                        .arg(reference));
    Column c;
    if (!cmcCellNames::findCategory(m.captured(1), &c.category))
        return fail(QStringLiteral("'%1' names no category").arg(m.captured(1)));
    if (!cmcCellNames::findLabel(m.captured(2), &c.label))
        return fail(QStringLiteral("'%1' names no cell").arg(m.captured(2)));
    c.index = m.captured(3).toInt();
    c.reference = QStringLiteral("%1.%2[%3]")
                      .arg(cmcCellNames::categoryName(c.category), cmcCellNames::labelName(c.label))
                      .arg(c.index);
    if (const cmcCsvTable* t = imcCsvLists::find(cmcCellNames::categoryName(c.category))) {
        for (const cmcCsvColumn& col : t->columns)
            if (col.label == c.label && usedColumn(col)) c.column = &col;
        if (!c.column)
            return fail(QStringLiteral("the %1 list has no cell %2 a radio can be given")
                            .arg(QString::fromLatin1(t->name), m.captured(2)));
        if (c.index >= t->rows)
            return fail(QStringLiteral("the %1 list has rows 0 to %2")
                            .arg(QString::fromLatin1(t->name))
                            .arg(t->rows - 1));
        c.table = t;
    } else if (!imcSettingCells::serves(c.label)) {
        return fail(QStringLiteral("%1 is neither a list cell nor a setting").arg(c.reference));
    }
    c.unique = mustBeUnique(c.label);
    if (column) *column = c;
    return true;
}

bool imcFleetSheet::addColumn(const QString& reference, QString* error) {
    Column c;
    if (!columnOf(reference, &c, error)) return false;
    for (const Column& have : m_columns)
        if (have.reference == c.reference) {
            if (error) *error = QStringLiteral("the sheet has %1 already").arg(c.reference);
            return false;
        }
    m_columns.push_back(c);
    for (Row& r : m_rows)
        r.values << QString();
    return true;
}

void imcFleetSheet::removeColumn(int column) {
    if (column < 0 || column >= int(m_columns.size())) return;
    m_columns.erase(m_columns.begin() + column);
    for (Row& r : m_rows)
        r.values.removeAt(column);
}

int imcFleetSheet::addRow(const QString& radio) {
    Row r;
    r.radio = radio.trimmed();
    for (size_t i = 0; i < m_columns.size(); ++i)
        r.values << QString();
    m_rows.push_back(r);
    return int(m_rows.size()) - 1;
}

void imcFleetSheet::removeRow(int row) {
    if (row >= 0 && row < int(m_rows.size())) m_rows.erase(m_rows.begin() + row);
}

void imcFleetSheet::setRadio(int row, const QString& radio) {
    if (row >= 0 && row < int(m_rows.size())) m_rows[size_t(row)].radio = radio.trimmed();
}

void imcFleetSheet::setValue(int row, int column, const QString& value) {
    if (row < 0 || row >= int(m_rows.size()) || column < 0 || column >= int(m_columns.size()))
        return;
    m_rows[size_t(row)].values[column] = value;
}

QString imcFleetSheet::value(int row, int column) const {
    if (row < 0 || row >= int(m_rows.size())) return QString();
    return m_rows[size_t(row)].values.value(column);
}

int imcFleetSheet::find(const QStringList& serials, const QStringList& links) const {
    for (const QStringList* keys : {&serials, &links})
        for (size_t i = 0; i < m_rows.size(); ++i)
            for (const QString& k : *keys)
                if (!k.trimmed().isEmpty() &&
                    m_rows[i].radio.compare(k.trimmed(), Qt::CaseInsensitive) == 0)
                    return int(i);
    return -1;
}

QByteArray imcFleetSheet::toCsv() const {
    QStringList header{QString::fromLatin1(RadioHeading)};
    for (const Column& c : m_columns)
        header << c.reference;
    QString out = cmcCsvList::record(header);
    for (const Row& r : m_rows)
        out += cmcCsvList::record(QStringList{r.radio} + r.values);
    return out.toUtf8();
}

bool imcFleetSheet::read(const QByteArray& bytes, std::vector<cmcCsvIssue>* errors) {
    std::vector<cmcCsvIssue> found;
    std::vector<cmcCsvRecord> records;
    QString problem;
    if (!cmcCsvList::parse(bytes, records, &problem)) {
        found.push_back({0, 0, QString(), problem});
    } else {
        std::erase_if(records, [](const cmcCsvRecord& r) {
            return r.fields.size() == 1 && r.fields[0].trimmed().isEmpty();
        });
        if (records.empty()) found.push_back({0, 0, QString(), "the file has no header line"});
    }
    imcFleetSheet sheet;
    if (found.empty()) {
        const cmcCsvRecord& head = records.front();
        const QString first = head.fields.value(0).trimmed();
        if (first.compare(QString::fromLatin1(RadioHeading), Qt::CaseInsensitive) != 0)
            found.push_back({head.line, 1, first,
                             QStringLiteral("the first column must be '%1' (the serial number "
                                            "or link of each radio)")
                                 .arg(QString::fromLatin1(RadioHeading))});
        for (int i = 1; i < head.fields.size(); ++i) {
            QString why;
            if (!sheet.addColumn(head.fields[i], &why))
                found.push_back({head.line, i + 1, head.fields[i].trimmed(), why});
        }
    }
    if (found.empty()) {
        QHash<QString, int> lineOf;
        for (size_t i = 1; i < records.size(); ++i) {
            const cmcCsvRecord& rec = records[i];
            if (rec.fields.size() != int(sheet.m_columns.size()) + 1) {
                found.push_back({rec.line, 0, QString(),
                                 QStringLiteral("%1 fields where the header has %2")
                                     .arg(rec.fields.size())
                                     .arg(sheet.m_columns.size() + 1)});
                continue;
            }
            const QString radio = rec.fields[0].trimmed();
            const QString key = radio.toLower();
            if (radio.isEmpty()) {
                found.push_back({rec.line, 1, QString::fromLatin1(RadioHeading),
                                 "the radio's serial number or link is missing"});
                continue;
            }
            if (lineOf.contains(key)) {
                found.push_back({rec.line, 1, QString::fromLatin1(RadioHeading),
                                 QStringLiteral("radio %1 is already on line %2")
                                     .arg(radio)
                                     .arg(lineOf.value(key))});
                continue;
            }
            lineOf.insert(key, rec.line);
            Row r;
            r.radio = radio;
            r.values = rec.fields.mid(1);
            r.line = rec.line;
            sheet.m_rows.push_back(r);
        }
    }
    if (errors) *errors = found;
    if (!found.empty()) return false;
    *this = sheet;
    return true;
}

bool imcFleetSheet::readFile(const QString& path, std::vector<cmcCsvIssue>* errors) {
    QByteArray bytes;
    QString why;
    if (!cmcCsvList::readFile(path, &bytes, &why)) {
        if (errors) *errors = {{0, 0, QString(), why}};
        return false;
    }
    return read(bytes, errors);
}

bool imcFleetSheet::apply(int row, cmcEeprom& image, const cmcEeprom* defaults,
                          std::vector<cmcCsvIssue>* errors) const {
    if (row < 0 || row >= int(m_rows.size())) return false;
    const Row& r = m_rows[size_t(row)];
    cmcCellDispatch d(&image);
    d.setDefaultImage(defaults);
    bool ok = true;
    // A row's key cell first: it brings the row into use, and its other cells can be set then.
    auto isKey = [](const Column& c) {
        return c.table && c.table->keyColumn >= 0 &&
               &c.table->columns[size_t(c.table->keyColumn)] == c.column;
    };
    for (bool keys : {true, false})
        for (size_t i = 0; i < m_columns.size(); ++i) {
            const Column& c = m_columns[i];
            const QString v = r.values.value(int(i));
            if (isKey(c) != keys || v.trimmed().isEmpty()) continue;
            const QString why = commitText(d, c, v);
            if (why.isEmpty()) continue;
            ok = false;
            if (errors)
                errors->push_back({r.line, textColumn(int(i)), c.reference,
                                   QStringLiteral("radio %1: %2").arg(r.radio, why)});
        }
    return ok;
}

QString imcFleetSheet::applied(int row) const {
    if (row < 0 || row >= int(m_rows.size())) return QStringLiteral("-");
    QStringList parts;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        const QString v = m_rows[size_t(row)].values.value(int(i));
        if (!v.trimmed().isEmpty())
            parts << QStringLiteral("%1=%2").arg(m_columns[i].reference.section(u'.', 1), v);
    }
    return parts.isEmpty() ? QStringLiteral("-") : parts.join(QStringLiteral(", "));
}

std::vector<cmcCsvIssue> imcFleetSheet::check(const cmcEeprom& document, const cmcEeprom* defaults,
                                              bool dataChecks) const {
    std::vector<cmcCsvIssue> issues;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        cmcEeprom copy(document);
        if (!apply(int(i), copy, defaults, &issues) || !dataChecks) continue;
        QStringList findings;
        if (imcWriteCheck::check(copy, &findings) == imcWriteCheck::Ok) continue;
        QString why = QStringLiteral("radio %1: with its values the data fails the checks "
                                     "before a write")
                          .arg(m_rows[i].radio);
        if (!findings.isEmpty())
            why += QStringLiteral(" (%1)").arg(findings.join(QStringLiteral("; ")).simplified());
        issues.push_back({m_rows[i].line, 1, QString::fromLatin1(RadioHeading), why});
    }
    // Duplicates are reported against what each radio will hold: a radio without a value of
    // its own keeps the document's.
    cmcEeprom copy(document);
    cmcCellDispatch d(&copy);
    for (const cmcCsvIssue& issue : duplicates())
        issues.push_back(issue);
    for (size_t col = 0; col < m_columns.size(); ++col) {
        const Column& c = m_columns[col];
        if (!c.unique) continue;
        const QString plain = canonical(c, cellText(d, c));
        if (plain.isEmpty()) continue;
        int first = -1;
        bool firstKeeps = false;
        for (size_t row = 0; row < m_rows.size(); ++row) {
            const QString v = m_rows[row].values.value(int(col));
            const bool keeps = v.trimmed().isEmpty();
            if (!keeps && canonical(c, v) != plain) continue;
            if (first < 0) {
                first = int(row);
                firstKeeps = keeps;
                continue;
            }
            if (!keeps && !firstKeeps) continue; // given twice: reported above
            issues.push_back(
                {m_rows[row].line, textColumn(int(col)), c.reference,
                 QStringLiteral("radios %1 and %2 would both hold '%3' (the document's value "
                                "where a radio has none of its own): every radio needs its own")
                     .arg(m_rows[size_t(first)].radio, m_rows[row].radio, cellText(d, c))});
        }
    }
    return issues;
}

std::vector<cmcCsvIssue> imcFleetSheet::duplicates() const {
    std::vector<cmcCsvIssue> issues;
    // (label, value) -> (row, column) of its first radio
    QHash<QString, std::pair<int, int>> owner;
    for (size_t row = 0; row < m_rows.size(); ++row)
        for (size_t col = 0; col < m_columns.size(); ++col) {
            const Column& c = m_columns[col];
            if (!c.unique) continue;
            const QString v = canonical(c, m_rows[row].values.value(int(col)));
            if (v.isEmpty()) continue;
            const QString key = QString::number(c.label) + u'\x1f' + v;
            auto it = owner.constFind(key);
            if (it == owner.constEnd()) {
                owner.insert(key, {int(row), int(col)});
                continue;
            }
            if (it->first == int(row)) continue; // one radio's own cells may repeat it
            const Row& first = m_rows[size_t(it->first)];
            issues.push_back({m_rows[row].line, textColumn(int(col)), c.reference,
                              QStringLiteral("radios %1 and %2 are both given '%3' (%4 and %5): "
                                             "every radio needs its own")
                                  .arg(first.radio, m_rows[row].radio, v,
                                       m_columns[size_t(it->second)].reference, c.reference)});
        }
    return issues;
}

imcFleetSheet imcFleetSheet::derive(const std::vector<const cmcEeprom*>& images,
                                    const QStringList& radios, QStringList* notes) {
    imcFleetSheet sheet;
    if (images.empty()) return sheet;
    QSet<QString> refs;
    std::vector<Column> found;
    QSet<int32_t> groupsNoted;
    for (size_t i = 1; i < images.size(); ++i) {
        const imcImageDiffResult diff = imcImageDiff::compare(*images[0], *images[i]);
        for (const imcCellChange& ch : diff.cells) {
            if (ch.group >= 0) {
                if (notes && !groupsNoted.contains(ch.group))
                    *notes << QStringLiteral("the channels of ALE channel group %1 differ; the "
                                             "sheet cannot carry them")
                                  .arg(ch.group + 1);
                groupsNoted.insert(ch.group);
                continue;
            }
            const QString ref =
                QStringLiteral("%1.%2[%3]")
                    .arg(cmcCellNames::categoryName(ch.category), cmcCellNames::labelName(ch.label))
                    .arg(ch.index);
            if (refs.contains(ref)) continue;
            refs.insert(ref);
            Column c;
            QString why;
            if (!columnOf(ref, &c, &why)) {
                if (notes) *notes << QStringLiteral("%1 differs; %2").arg(ref, why);
                continue;
            }
            found.push_back(c);
        }
        int unshown = 0;
        int32_t firstAt = -1;
        for (int32_t a : diff.bytes)
            if (a >= QxRadio::UserWriteFirst && a <= QxRadio::UserWriteLast) {
                if (firstAt < 0) firstAt = a;
                ++unshown;
            }
        if (notes && unshown > 0)
            *notes << QStringLiteral("%1 and %2 differ in %3 bytes that no cell shows (the first "
                                     "at 0x%4); the sheet cannot carry them")
                          .arg(radios.value(0), radios.value(int(i)))
                          .arg(unshown)
                          .arg(firstAt, 4, 16, QLatin1Char('0'));
    }
    std::stable_sort(found.begin(), found.end(), [](const Column& a, const Column& b) {
        return std::tie(a.category, a.index, a.label) < std::tie(b.category, b.index, b.label);
    });
    for (const Column& c : found)
        sheet.m_columns.push_back(c);
    for (size_t i = 0; i < images.size(); ++i) {
        cmcEeprom copy(*images[i]);
        cmcCellDispatch d(&copy);
        const int row = sheet.addRow(radios.value(int(i)));
        for (size_t col = 0; col < sheet.m_columns.size(); ++col)
            sheet.m_rows[size_t(row)].values[int(col)] = cellText(d, sheet.m_columns[col]);
    }
    return sheet;
}

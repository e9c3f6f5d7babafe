#include "imcFind.h"

#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcCsvList.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcListInfo.h"
#include "datCh.h"
#include "imcCsvLists.h"
#include "imcSheetPlaces.h"

namespace {

bool searched(const cmcCsvColumn& c) {
    if (c.hidden || c.label == CL_None) return false;
    switch (c.kind) {
    case cmcCsvColumn::Text:
    case cmcCsvColumn::Address:
    case cmcCsvColumn::Digits:
    case cmcCsvColumn::Frequency:
        return true;
    default:
        return false;
    }
}

} // namespace

QString imcFindMatch::reference() const {
    return QStringLiteral("%1.%2[%3]")
        .arg(cmcCellNames::categoryName(category), cmcCellNames::labelName(label))
        .arg(index);
}

QString imcFindMatch::describe() const {
    return QStringLiteral("%1, row %2, %3: %4").arg(where).arg(index + 1).arg(column, text);
}

bool imcFind::holds(const QString& shown, const QString& text) {
    return !text.isEmpty() && shown.contains(text, Qt::CaseInsensitive);
}

QString imcFind::replaced(const QString& shown, const QString& text, const QString& with) {
    return text.isEmpty() ? shown : QString(shown).replace(text, with, Qt::CaseInsensitive);
}

std::vector<imcFindMatch> imcFind::all(const cmcEeprom& image, const QString& text, cmcGTex* texts,
                                       const QString& sheet) {
    std::vector<imcFindMatch> found;
    const QString wanted = text.trimmed();
    if (wanted.isEmpty()) return found;
    int64_t hz = 0;
    const bool frequency = cmcCsvList::megahertz(wanted, &hz);
    const imcSheetPlaces& places =
        imcSheetPlaces::forTable(texts ? *texts : cmcFCache::instance().table());
    // The dispatcher reads through a writable image; reading leaves the copy as it was.
    cmcEeprom copy(image);
    cmcCellDispatch d(&copy);
    for (const cmcCsvTable* t : imcCsvLists::all()) {
        if (!cmcListInfo::layout(t->list)) continue;
        const imcSheetPlace* shownOn = places.sheetOf(*t);
        const QString command = shownOn ? shownOn->sheet : QString();
        if (!sheet.isEmpty() && command != sheet) continue;
        std::vector<const cmcCsvColumn*> columns;
        for (const cmcCsvColumn& c : t->columns)
            if (searched(c)) columns.push_back(&c);
        for (int32_t row = 0; row < t->rows; ++row) {
            if (t->inUse && !t->inUse(image, row)) continue;
            for (const cmcCsvColumn* c : columns) {
                const QString shown = d.text(t->category, c->label, row);
                bool hit = false;
                if (c->kind == cmcCsvColumn::Frequency) {
                    int64_t v = 0;
                    hit = frequency ? d.value(t->category, c->label, row, &v) && v == hz
                                    : holds(shown, wanted);
                } else {
                    hit = holds(shown, wanted);
                }
                if (!hit) continue;
                imcFindMatch m;
                m.sheet = command;
                m.where = shownOn ? shownOn->where : QString::fromLatin1(t->name);
                const imcSheetPlace* heading = places.of(c->label);
                m.column = heading ? heading->caption : QString::fromLatin1(c->name);
                m.category = t->category;
                m.label = c->label;
                m.index = row;
                m.text = shown;
                m.replaceable = c->kind == cmcCsvColumn::Text;
                found.push_back(std::move(m));
            }
        }
    }
    return found;
}

bool imcFind::replace(cmcCellDispatch& d, const imcFindMatch& m, const QString& text,
                      const QString& with) {
    if (!m.replaceable) return false;
    const QString shown = d.text(m.category, m.label, m.index);
    if (!holds(shown, text)) return false;
    const QString after = replaced(shown, text, with);
    if (after == shown) return false;
    return d.commit(m.category, m.label, m.index, after);
}

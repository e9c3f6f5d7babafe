#include "cmcBulkEdit.h"

#include "cmcCellDispatch.h"
#include "cmcCellRequest.h"
#include "cmcCsvList.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcGTex.h"
#include "datCh.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

QString message(const char* key) {
    return cmcFCache::instance().table().getText(QString::fromLatin1(key));
}

// The status line, as the row commands say what they did.
void status(cmcCellDispatch& d, const QString& text) {
    cmcEditReport report;
    report.statusText = text;
    d.editUser().report(report);
}

} // namespace

bool cmcBulkEdit::series(const QString& text, int64_t* start, int64_t* step) {
    static const QRegularExpression form(
        QStringLiteral("^\\s*([0-9.]+)\\s*([+-])\\s*([0-9.]+)\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    int64_t a = 0, b = 0;
    if (!m.hasMatch() || !cmcCsvList::megahertz(m.captured(1), &a) ||
        !cmcCsvList::megahertz(m.captured(3), &b))
        return false;
    *start = a;
    *step = m.captured(2) == QLatin1String("-") ? -b : b;
    return true;
}

bool cmcBulkEdit::takesSeries(int32_t label) {
    return label == CL_ChL_FreqR || label == CL_ChL_FreqT;
}

bool cmcBulkEdit::fill(cmcCellDispatch& d, cmcCellRequest& r, QString* refusal) {
    const int32_t list = cmcCellDispatch::listOfLabel(r.label);
    if (!d.image() || !list || r.rangeFirst < 0 || r.rangeLast < 0) return false;
    const int32_t first = std::min(r.rangeFirst, r.rangeLast);
    const int32_t last = std::max(r.rangeFirst, r.rangeLast);
    const QString text = r.fl.editText;
    int64_t start = 0, step = 0;
    const bool isSeries = takesSeries(r.label) && series(text, &start, &step);

    // The rows are written on a copy, by a dispatcher of their own: the change is told
    // once, for the whole range, by the caller.
    cmcEeprom work(*d.image());
    cmcCellDispatch scratch(&work);
    scratch.setDefaultImage(d.defaultImage());
    scratch.setCurrentNetwork(d.currentNetwork());
    scratch.setCurrentGroup(d.currentGroup());
    int written = 0;
    for (int32_t row = first; row <= last; ++row) {
        datCh rec;
        if (!rec.load(work, list, row) || !rec.inUse) continue;
        cmcCellRequest one(r.category, r.label, row);
        one.fl.operation = cuiFlector::OpCommit;
        one.fl.editText = isSeries ? cmcCsvList::megahertzText(start + written * step) : text;
        scratch.dispatch(one);
        // A series value the cell would store otherwise (brought into its limits) is
        // refused: the series would no longer be one.
        const bool kept = !isSeries || (one.hasValue && one.value == start + written * step);
        if (!one.changed || !kept) {
            const QString why = message("GI_AppMess_FillErr")
                                    .replace(QLatin1String("%s"), one.fl.editText)
                                    .replace(QLatin1String("%d"), QString::number(row + 1));
            if (refusal) *refusal = why;
            status(d, why);
            return false;
        }
        ++written;
    }
    if (written == 0) return false;
    *d.image() = work;
    r.selectFirst = first;
    r.selectLast = last;
    r.setValue(written);
    status(d, message("GI_AppMess_S_Fill").replace(QLatin1String("%d"), QString::number(written)));
    return true;
}

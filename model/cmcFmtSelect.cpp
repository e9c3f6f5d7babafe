#include "cmcFmtSelect.h"

#include "cmcFCache.h"
#include "cmcFmtNumber.h"

#include <algorithm>

bool cmcFmtSelect::select(cuiFlector& f, int64_t& value, const cmcSelList& list) {
    bool changed = false;
    const int n = list.count();
    if (f.operation == cuiFlector::OpChoose) {
        if (f.popupKind == list.kind && list.find(f.popupValue) >= 0) {
            value = f.popupValue;
            changed = true;
        }
    } else if (f.operation == cuiFlector::OpCommit) {
        const QString t = f.editText.trimmed();
        int hit = -1;
        for (int i = 0; i < n && hit < 0; ++i)
            if (list.texts[i].trimmed().compare(t, Qt::CaseInsensitive) == 0) hit = i;
        bool ok = false;
        const qlonglong v = t.toLongLong(&ok);
        if (hit < 0 && ok) hit = list.find(v);
        if (hit >= 0) {
            value = list.values[size_t(hit)];
            changed = true;
        }
    } else if (f.operation == cuiFlector::OpSettle) {
        if (n > 0 && (f.erased || list.find(value) < 0) && value != list.values.front()) {
            value = list.values.front();
            changed = true;
        }
    } else if (f.hasKey() && n > 0 &&
               (f.key == cuiFlector::KeySpace || f.key == cuiFlector::KeyBackspace)) {
        // Next or previous in value order, from wherever the value stands.
        auto it = std::upper_bound(list.values.begin(), list.values.end(), value);
        if (f.key == cuiFlector::KeySpace) {
            value = it == list.values.end() ? list.values.front() : *it;
        } else {
            auto lo = std::lower_bound(list.values.begin(), list.values.end(), value);
            value = lo == list.values.begin() ? list.values.back() : *(lo - 1);
        }
        changed = true;
    }
    f.display = list.textOf(value);
    f.offersList = true;
    if (f.operation == cuiFlector::OpDisplay &&
        (f.isKey(cuiFlector::KeyEnter) || f.isTypeAheadKey()))
        f.openPopup(list.key, list.kind, value);
    return changed;
}

bool cmcFmtSelect::rowRef(cuiFlector& f, int64_t& value, const RowRef& ref, ShownOf shownOf,
                          const void* context) {
    bool changed = false;
    if (f.operation == cuiFlector::OpChoose) {
        if (f.popupKind == ref.kind &&
            ((f.popupValue >= ref.first && f.popupValue <= ref.last) || f.popupValue == ref.none)) {
            value = f.popupValue;
            changed = true;
        }
    } else if (f.operation == cuiFlector::OpCommit) {
        const QString t = f.editText.trimmed();
        double number = 0;
        if (t.isEmpty() || t == QLatin1String("-")) {
            value = ref.none;
            changed = true;
        } else if (cmcFmtNumber::wholeNumber(t, &number, QStringLiteral("\\s.*"))) {
            // The row's number, alone or with the name the cell shows after a blank.
            const int64_t row = int64_t(number) - 1;
            if (row >= ref.first && row <= ref.last) {
                value = row;
                changed = true;
            }
        }
    } else if (f.operation == cuiFlector::OpSettle) {
        if (value != ref.none && (f.erased || value < ref.first || value > ref.last)) {
            value = ref.none;
            changed = true;
        }
    }
    f.display = shownOf(context, value);
    f.offersList = true;
    if (f.operation == cuiFlector::OpDisplay &&
        (f.isKey(cuiFlector::KeyEnter) || f.isTypeAheadKey()))
        f.openPopup(QString::fromLatin1(ref.popupKey), ref.kind, value);
    return changed;
}

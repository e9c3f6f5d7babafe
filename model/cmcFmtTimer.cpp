#include "cmcFmtTimer.h"

#include "cmcFCache.h"
#include "cmcFmtNumber.h"
#include "cmcGTex.h"

#include <algorithm>
#include <cmath>

QString cmcFmtTimer::display(int64_t v, const cmcTimerParams& p) {
    const int64_t s = p.stepsPerUnit > 0 ? p.stepsPerUnit : 1;
    if ((p.mode == 1 || p.mode == 2) && v == p.special)
        return cmcFCache::instance().table().getText(QStringLiteral("GI_AppInd_TimerOff"),
                                                     p.mode - 1);
    if (p.mode == 2) return QString::number(v / s);
    QString t =
        QStringLiteral("%1.%2").arg(v / s, 3).arg((v * 1000 / s) % 1000, 3, 10, QLatin1Char('0'));
    for (int i = 0; i < p.trim && !t.isEmpty(); ++i) {
        if (t.endsWith(u'0')) {
            t.chop(1);
        } else {
            if (t.endsWith(u'.')) t.chop(1);
            break;
        }
    }
    return t;
}

bool cmcFmtTimer::run(cuiFlector& f, int64_t& value, const cmcTimerParams& p) {
    const int64_t s = p.stepsPerUnit > 0 ? p.stepsPerUnit : 1;
    bool changed = false;
    if (f.operation == cuiFlector::OpCommit) {
        // A number of units ("2.5", "2.5 s"), or the word of the special value.
        const QString word = f.editText.trimmed();
        double number = 0;
        if ((p.mode == 1 && word.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0) ||
            (p.mode == 2 && word.compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0)) {
            value = p.special;
            changed = true;
        } else if (cmcFmtNumber::wholeNumber(word, &number, QStringLiteral("[a-z]+"))) {
            value = std::clamp<int64_t>(int64_t((number + 0.0005) * double(s)), p.min, p.max);
            changed = true;
        }
    } else if (f.operation == cuiFlector::OpSettle) {
        changed = cmcFmtNumber::settle(f, value, p.min, p.max,
                                       p.mode == 1 || p.mode == 2 ? p.special : INT64_MIN);
    } else if (f.hasKey() && (f.key == cuiFlector::KeySpace || f.key == cuiFlector::KeyBackspace)) {
        int64_t v = value + (f.key == cuiFlector::KeySpace ? 1 : -1);
        if (v < p.min)
            v = p.max;
        else if (v > p.max)
            v = p.min;
        value = v;
        changed = true;
    }
    f.display = display(value, p);
    if (f.operation == cuiFlector::OpDisplay && f.hasKey()) {
        const int k = f.key;
        if (k == cuiFlector::KeyEnter)
            f.startEditSelected(f.display.trimmed());
        else if ((k >= '0' && k <= '9') || (k == '.' && p.mode != 2) ||
                 ((k == 'o' || k == 'O') && p.mode == 1) || ((k == 'a' || k == 'A') && p.mode == 2))
            f.startEditWithKey();
    }
    return changed;
}

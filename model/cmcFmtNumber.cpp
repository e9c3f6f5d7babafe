#include "cmcFmtNumber.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {

bool isHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

} // namespace

bool cmcFmtNumber::leadingNumber(const QString& text, double* number) {
    int i = 0;
    const int n = int(text.size());
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    double v = 0;
    bool any = false;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        v = v * 10 + (text[i].unicode() - '0');
        any = true;
    }
    if (i < n && text[i] == u'.') {
        double scale = 0.1;
        for (++i; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
            v += (text[i].unicode() - '0') * scale;
            scale /= 10;
            any = true;
        }
    }
    if (!any) return false;
    // More digits than any value holds read as the bound, so that callers may turn the
    // number into an integer (a row, a time in steps) without overflow.
    v = std::min(v, MaxMagnitude);
    if (number) *number = negative ? -v : v;
    return true;
}

bool cmcFmtNumber::wholeNumber(const QString& text, double* number, const QString& unit) {
    static const QString digits = QStringLiteral("^\\s*[-+]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)");
    const QRegularExpression whole(
        digits + (unit.isEmpty() ? QString() : QStringLiteral("(?:\\s*(?:%1))?").arg(unit)) +
            QStringLiteral("\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    if (!whole.match(text).hasMatch()) return false;
    return leadingNumber(text.trimmed(), number);
}

bool cmcFmtNumber::settle(const cuiFlector& f, int64_t& value, int64_t min, int64_t max,
                          int64_t special) {
    if (value == special && !f.erased) return false;
    if (!f.erased && value >= min && value <= max) return false;
    if (value == min) return false;
    value = min;
    return true;
}

int64_t cmcFmtNumber::roundToStep(double v, int64_t step) {
    if (step <= 0) step = 1;
    const double q = v / double(step);
    const double r = q < 0 ? -std::floor(-q + 0.5) : std::floor(q + 0.5);
    return int64_t(r) * step;
}

bool cmcFmtNumber::hex(cuiFlector& f, int64_t& value, int64_t min, int64_t max, int digits) {
    bool changed = false;
    if (f.operation == cuiFlector::OpCommit) {
        const QString t = f.editText.trimmed().left(digits + 1);
        bool all = !t.isEmpty();
        for (QChar c : t)
            all = all && isHexDigit(c);
        bool ok = false;
        const qlonglong v = all ? t.toLongLong(&ok, 16) : 0;
        if (ok) {
            value = std::clamp<int64_t>(v, min, max);
            changed = true;
        }
    } else if (f.operation == cuiFlector::OpSettle) {
        changed = settle(f, value, min, max);
    }
    f.display = QStringLiteral("%1").arg(qulonglong(value), digits, 16, QLatin1Char('0')).toUpper();
    if (f.operation == cuiFlector::OpDisplay && f.hasKey()) {
        if (f.key == cuiFlector::KeyEnter)
            f.startEditSelected(f.display);
        else if (f.key < 128 && isHexDigit(QChar(f.key)))
            f.startEditWithKey();
    }
    return changed;
}

bool cmcFmtNumber::decimal(cuiFlector& f, int64_t& value, const cmcDecParams& p) {
    const int64_t st = p.step > 0 ? p.step : 1;
    bool changed = false;
    if (f.operation == cuiFlector::OpCommit) {
        double number = 0;
        if (wholeNumber(f.editText, &number)) {
            value = std::clamp<int64_t>(roundToStep(number - double(p.offset), st), p.min, p.max);
            changed = true;
        }
    } else if (f.operation == cuiFlector::OpSettle) {
        changed = settle(f, value, p.min, p.max);
    } else if (f.hasKey() && (f.key == cuiFlector::KeySpace || f.key == cuiFlector::KeyBackspace)) {
        int64_t v = value + (f.key == cuiFlector::KeySpace ? st : -st);
        if (v > p.max)
            v = p.wrap ? p.min : p.max;
        else if (v < p.min)
            v = p.wrap ? p.max : p.min;
        value = roundToStep(double(v), st);
        changed = true;
    }
    f.display = p.fixedText ? QString::fromLatin1(p.fixedText) : QString::number(value + p.offset);
    if (f.operation == cuiFlector::OpDisplay && f.hasKey()) {
        const int k = f.key;
        if (k == cuiFlector::KeyEnter)
            f.startEditSelected(f.display.trimmed());
        else if ((k >= '0' && k <= '9') || (k == '-' && p.min < 0))
            f.startEditWithKey();
    }
    return changed;
}

#include "cmcFmtFreq.h"

#include "cmcFmtNumber.h"

#include <algorithm>
#include <cmath>

namespace {

uint32_t clampTo(uint32_t v, uint32_t lo, uint32_t hi) {
    return std::clamp(v, lo, hi);
}

bool isDigit(int k) {
    return k >= '0' && k <= '9';
}

// Text to edit: the frequency with the caret after its point.
void startWithPoint(cuiFlector& f, const QString& text) {
    const int point = int(text.indexOf(u'.'));
    f.startEdit(text, point < 0 ? int(text.size()) : point + 1, 0);
}

} // namespace

bool cmcFmtFreq::parse(const QString& text, uint32_t* hz) {
    double mhz = 0;
    if (!cmcFmtNumber::wholeNumber(text, &mhz, QStringLiteral("MHz")) || mhz <= 0) return false;
    const double v = std::min(mhz * 1000000.0 + 0.5, double(Max) + 0.5);
    uint32_t out = uint32_t(v);
    out -= out % 10;
    if (out == 0) return false;
    if (hz) *hz = out;
    return true;
}

QString cmcFmtFreq::format(uint32_t hz) {
    // "%d.%05d0" by hand: this runs for every frequency cell painted.
    char buf[24];
    const uint32_t mhz = hz / 1000000;
    uint32_t rest = (hz % 1000000) / 10;
    char* p = buf + sizeof buf;
    *--p = '0';
    for (int i = 0; i < 5; ++i, rest /= 10)
        *--p = char('0' + rest % 10);
    *--p = '.';
    uint32_t m = mhz;
    do {
        *--p = char('0' + m % 10);
        m /= 10;
    } while (m);
    return QString::fromLatin1(p, int(buf + sizeof buf - p));
}

bool cmcFmtFreq::channel(cuiFlector& f, uint32_t& rx, uint32_t& tx, bool transmit, bool& inUse) {
    bool changed = false;
    if (f.operation == cuiFlector::OpCommit) {
        uint32_t v = 0;
        if (parse(f.editText, &v)) {
            if (transmit) {
                tx = clampTo(v, TxMin, Max);
            } else {
                const uint32_t newRx = clampTo(v, RxMin, Max);
                if (!inUse || tx == rx) tx = clampTo(newRx, TxMin, Max);
                rx = newRx;
                inUse = true;
            }
            changed = true;
        }
    }

    const QString current = inUse ? format(transmit ? tx : rx) : QString();
    if (!inUse) {
        f.display.clear();
    } else if (transmit && tx == rx) {
        f.display = QStringLiteral("<-");
        f.style = cuiFlector::StMark;
    } else {
        f.display = current;
    }

    if (f.operation == cuiFlector::OpDisplay && f.hasKey()) {
        const int k = f.key;
        if (isDigit(k)) {
            f.startEditWithKey();
        } else if (k == '.') {
            startWithPoint(f, current);
        } else if (k == '=' && transmit && inUse) {
            f.startEdit(QStringLiteral("%1.%2")
                            .arg(rx / 1000000)
                            .arg((rx % 1000000) / 10000, 2, 10, QLatin1Char('0')),
                        0, 0);
            f.caret = int(f.display.size());
        } else if (k == cuiFlector::KeyEnter || k == cuiFlector::KeySpace ||
                   k == cuiFlector::KeyBackspace) {
            f.startEditSelected(current);
        }
    }
    return changed;
}

bool cmcFmtFreq::limited(cuiFlector& f, uint32_t& value, uint32_t min, uint32_t max) {
    bool changed = false;
    if (f.operation == cuiFlector::OpCommit) {
        uint32_t v = 0;
        if (parse(f.editText, &v)) {
            value = clampTo(v, min, max);
            changed = true;
        }
    }
    const QString current = value ? format(value) : QString();
    f.display = current;
    if (f.operation == cuiFlector::OpDisplay && f.hasKey()) {
        const int k = f.key;
        if (isDigit(k))
            f.startEditWithKey();
        else if (k == '.')
            startWithPoint(f, current);
        else if (k == cuiFlector::KeyEnter || k == cuiFlector::KeySpace ||
                 k == cuiFlector::KeyBackspace)
            f.startEditSelected(current);
    }
    return changed;
}

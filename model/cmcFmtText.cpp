#include "cmcFmtText.h"

#include <cstring>

namespace {

bool printable(uint32_t c) {
    return c >= 32 && c <= 126;
}

bool allBlank(const QString& s) {
    for (QChar c : s)
        if (c != u' ') return false;
    return true;
}

// One byte per character: characters beyond Latin-1 cannot be stored and become 0xFF.
uint8_t byteOf(QChar c) {
    return c.unicode() < 256 ? uint8_t(c.unicode()) : 0xFF;
}

uint8_t upper(uint8_t c) {
    return c >= 'a' && c <= 'z' ? uint8_t(c - 32) : c;
}

void commitDigits(const QString& text, uint8_t* p, int n) {
    std::memset(p, 0xFF, size_t(n));
    int nib = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9') continue;
        if (nib >= 2 * n) break;
        const uint8_t d = uint8_t(c.unicode() - '0');
        uint8_t& b = p[nib / 2];
        b = nib % 2 == 0 ? uint8_t((d << 4) | (b & 0x0F)) : uint8_t((b & 0xF0) | d);
        ++nib;
    }
}

QString displayDigits(const uint8_t* p, int n) {
    QString s;
    s.reserve(2 * n);
    for (int i = 0; i < 2 * n; ++i) {
        const int d = i % 2 == 0 ? p[i / 2] >> 4 : p[i / 2] & 0x0F;
        s += d <= 9 ? QChar(u'0' + d) : QChar(u' ');
    }
    while (s.endsWith(u' '))
        s.chop(1);
    return s;
}

} // namespace

QString cmcFmtText::display(const uint8_t* p, int n, Variant v) {
    switch (v) {
    case Digits:
        return displayDigits(p, n);
    case DigitsTail:
        return displayDigits(p, n > 2 ? n - 2 : 0);
    case Padded:
    case Address: {
        QString s;
        s.reserve(n);
        for (int i = 0; i < n; ++i)
            s += printable(p[i]) ? QChar(p[i]) : QChar(u' ');
        while (s.endsWith(u' '))
            s.chop(1);
        return s;
    }
    case Plain:
    case Upper:
    default: {
        // Up to the first byte that is not a stored character (0xFF normally ends the text;
        // other bytes only come from images written elsewhere).
        int len = 0;
        while (len < n && printable(p[len]))
            ++len;
        return QString::fromLatin1(reinterpret_cast<const char*>(p), len);
    }
    }
}

void cmcFmtText::commit(const QString& text, uint8_t* p, int n, Variant v) {
    switch (v) {
    case Plain:
    case Upper: {
        std::memset(p, 0xFF, size_t(n));
        if (allBlank(text)) return;
        for (int i = 0; i < n && i < text.size(); ++i) {
            uint8_t c = byteOf(text[i]);
            if (v == Upper) {
                c = upper(c);
                if (c < 32 || c > 95) c = ' ';
            }
            p[i] = printable(c) ? c : 0xFF;
        }
        return;
    }
    case Padded:
    case Address: {
        std::memset(p, ' ', size_t(n));
        for (int i = 0; i < n && i < text.size(); ++i) {
            const uint8_t c = byteOf(text[i]);
            p[i] = printable(c) ? c : ' ';
        }
        if (v == Padded) return;
        int out = 0;
        for (int i = 0; i < n; ++i) {
            const uint8_t c = upper(p[i]);
            if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '@' || c == '?')
                p[out++] = c;
        }
        for (; out < n; ++out)
            p[out] = 0xFF;
        return;
    }
    case Digits:
        commitDigits(text, p, n);
        return;
    case DigitsTail:
        if (n > 2) commitDigits(text, p, n - 2);
        for (int i = n > 2 ? n - 2 : 0; i < n; ++i)
            p[i] = 0xFF;
        return;
    }
}

bool cmcFmtText::run(cuiFlector& f, uint8_t* p, int n, Variant v) {
    bool changed = false;
    if (f.operation == cuiFlector::OpCommit || f.operation == cuiFlector::OpChoose) {
        commit(f.editText, p, n, v);
        changed = true;
    }
    f.display = display(p, n, v);
    if (f.operation == cuiFlector::OpDisplay && f.hasKey()) {
        const int k = f.key;
        if (k == cuiFlector::KeyEnter || k == cuiFlector::KeySpace || k == cuiFlector::KeyBackspace)
            f.startEditSelected(f.display);
        else if (printable(uint32_t(k)))
            f.startEditWithKey();
    }
    return changed;
}

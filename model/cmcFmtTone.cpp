#include "cmcFmtTone.h"

#include "cmcFCache.h"
#include "cmcGTex.h"

#include <cstring>

namespace {

const cmcSelRef kToneItems{"GI_Sheet_Sel_Mch_CTone", cuiFlector::KindTone};

uint16_t word(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
void setWord(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void setTone(uint8_t* rec, int tone) {
    rec[0] = uint8_t((rec[0] | cmcFmtTone::On) & ~cmcFmtTone::Digital);
    setWord(rec + 2, uint16_t(tone));
}

// Tone names compared without their points, so "719" finds "71.9".
QString compact(const QString& s) {
    QString out;
    for (QChar c : s)
        if (c != u'.' && c != u' ') out += c.toUpper();
    return out;
}

// The tone number that a typed text names, or -1.
int matchToneName(const QString& text) {
    cmcGTex& table = cmcFCache::instance().table();
    const QString wanted = compact(text);
    if (wanted.isEmpty()) return -1;
    int prefix = -1;
    for (int i = 0; i < cmcFmtTone::ToneCount; ++i) {
        const QString name = table.getText(QStringLiteral("GI_AppItem_Ctcss"), i);
        if (name.startsWith(u'#')) break;
        if (name.trimmed().compare(text.trimmed(), Qt::CaseInsensitive) == 0) return i;
        const QString c = compact(name);
        if (c == wanted) return i;
        if (prefix < 0 && wanted.size() >= 2 && c.startsWith(wanted)) prefix = i;
    }
    return prefix;
}

bool commitText(const QString& typed, uint8_t* rec) {
    const QString t = typed.trimmed().toUpper();
    auto octal = [](QChar c) { return c >= u'0' && c <= u'7'; };
    if ((t.size() == 3 || t.size() == 4) && octal(t[0]) && octal(t[1]) && octal(t[2]) &&
        (t.size() == 3 || t[3] == u'N' || t[3] == u'I')) {
        const int code =
            64 * (t[0].unicode() - '0') + 8 * (t[1].unicode() - '0') + (t[2].unicode() - '0');
        uint8_t flags = uint8_t(rec[0] | cmcFmtTone::On | cmcFmtTone::Digital);
        if (t.size() == 4 && t[3] == u'I')
            flags |= cmcFmtTone::Inverted;
        else
            flags &= uint8_t(~cmcFmtTone::Inverted);
        rec[0] = flags;
        setWord(rec + 4, uint16_t(code));
        return true;
    }
    const int tone = matchToneName(t);
    if (tone < 0) return false;
    setTone(rec, tone);
    return true;
}

bool choose(int item, uint8_t* rec) {
    if (item >= 0 && item < cmcFmtTone::ToneCount) {
        setTone(rec, item);
    } else if (item == cmcFmtTone::ItemOff) {
        rec[0] = uint8_t(rec[0] & ~(cmcFmtTone::On | cmcFmtTone::Digital));
        setWord(rec + 2, 0);
    } else if (item == cmcFmtTone::ItemDigital) {
        rec[0] = uint8_t(rec[0] | cmcFmtTone::On | cmcFmtTone::Digital);
    } else {
        return false;
    }
    return true;
}

} // namespace

int cmcFmtTone::currentItem(const uint8_t* rec) {
    if (!(rec[0] & On)) return ItemOff;
    if (rec[0] & Digital) return ItemDigital;
    return word(rec + 2);
}

bool cmcFmtTone::run(cuiFlector& f, uint8_t* pair, bool transmit) {
    uint8_t* rx = pair;
    uint8_t* tx = pair + RecordSize;
    uint8_t* rec = transmit ? tx : rx;
    const bool wereEqual = std::memcmp(rx, tx, RecordSize) == 0;

    bool changed = false;
    if (f.operation == cuiFlector::OpCommit) {
        changed = commitText(f.editText, rec);
    } else if (f.operation == cuiFlector::OpChoose) {
        if (f.popupKind == cuiFlector::KindTone) changed = choose(int(f.popupValue), rec);
    } else if (f.hasKey() && (f.key == cuiFlector::KeySpace || f.key == cuiFlector::KeyBackspace) &&
               currentItem(rec) == ItemDigital) {
        rec[0] ^= Inverted;
        changed = true;
    }
    if (changed && !transmit && wereEqual) std::memcpy(tx, rx, RecordSize);

    const int item = currentItem(rec);
    if (transmit && (tx[0] & On) && std::memcmp(rx, tx, RecordSize) == 0) {
        f.display = QStringLiteral("<-");
        f.style = cuiFlector::StMark;
    } else if (item == ItemDigital) {
        const int code = word(rec + 4) & 0x1FF;
        f.display = QStringLiteral("%1%2%3%4")
                        .arg(code >> 6)
                        .arg((code >> 3) & 7)
                        .arg(code & 7)
                        .arg(rec[0] & Inverted ? QLatin1Char('i') : QLatin1Char('N'));
    } else {
        f.display = kToneItems.get().textOf(item);
    }

    if (f.operation == cuiFlector::OpDisplay && f.hasKey()) {
        if (f.key == cuiFlector::KeyEnter)
            f.openPopup(QString::fromLatin1(kToneItems.key), cuiFlector::KindTone, item);
        else if (f.key > 32 && f.key <= 126)
            f.startEditWithKey();
    }
    return changed;
}

#include "cuiFont.h"

#include "cuiColor.h"

#include <QGuiApplication>
#include <QHash>
#include <QPair>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

// "%n": current × n / 100 truncated toward zero, at least 1. Otherwise a decimal.
// Returns false for an empty or unreadable field and for 0 (all leave the value).
bool numericField(const QString& field, int current, int& out) {
    const QString f = field.trimmed();
    if (f.isEmpty()) return false;
    bool ok = false;
    if (f.startsWith('%')) {
        const int n = f.mid(1).toInt(&ok);
        if (!ok) return false;
        const int64_t v = std::clamp<int64_t>(int64_t(current) * n / 100, -cuiFont::MaxHeight,
                                              cuiFont::MaxHeight);
        out = v == 0 ? 1 : int(v);
        return true;
    }
    const int v = f.toInt(&ok);
    if (!ok || v == 0) return false;
    out = std::clamp(v, -cuiFont::MaxHeight, cuiFont::MaxHeight);
    return true;
}

} // namespace

cuiFont::cuiFont() : color(cuiColor::clWindowText) {
    const QFont app = QGuiApplication::font();
    face = app.family();
}

int cuiFont::size() const {
    return int(std::lround(std::abs(height) * 72.0 / 96.0));
}

void cuiFont::setSize(int points) {
    height = -std::clamp(int(std::lround(points * 96.0 / 72.0)), -MaxHeight, MaxHeight);
}

bool cuiFont::charsetFromName(const QString& name, int& value) {
    static const struct {
        const char* name;
        int value;
    } sets[] = {{"ANSI_CHARSET", 0},      {"DEFAULT_CHARSET", 1},    {"SYMBOL_CHARSET", 2},
                {"MAC_CHARSET", 77},      {"SHIFTJIS_CHARSET", 128}, {"HANGEUL_CHARSET", 129},
                {"JOHAB_CHARSET", 130},   {"GB2312_CHARSET", 134},   {"CHINESEBIG5_CHARSET", 136},
                {"GREEK_CHARSET", 161},   {"TURKISH_CHARSET", 162},  {"VIETNAMESE_CHARSET", 163},
                {"HEBREW_CHARSET", 177},  {"ARABIC_CHARSET", 178},   {"BALTIC_CHARSET", 186},
                {"RUSSIAN_CHARSET", 204}, {"THAI_CHARSET", 222},     {"EASTEUROPE_CHARSET", 238},
                {"OEM_CHARSET", 255}};
    for (const auto& s : sets) {
        if (name == QLatin1String(s.name)) {
            value = s.value;
            return true;
        }
    }
    return false;
}

void cuiFont::applyText(const QString& text) {
    const QStringList f = text.split(',');
    auto field = [&](int i) { return i < f.size() ? f[i].trimmed() : QString(); };

    int cs = 0;
    if (charsetFromName(field(0), cs)) charset = cs;
    if (!field(1).isEmpty()) face = field(1);
    uint32_t c = 0;
    if (cuiColor::fromName(field(2), c)) color = c;
    int v = 0;
    if (numericField(field(3), height, v)) height = v;
    if (numericField(field(4), size(), v)) setSize(v);
    if (!field(5).isEmpty()) {
        bool first = true;
        for (const QString& name : field(5).split('+')) {
            const QString n = name.trimmed();
            uint8_t bit = 0;
            if (n == "fsBold")
                bit = Bold;
            else if (n == "fsItalic")
                bit = Italic;
            else if (n == "fsUnderline")
                bit = Underline;
            else if (n == "fsStrikeOut")
                bit = StrikeOut;
            if (!bit) continue;
            if (first) style = 0;
            first = false;
            style |= bit;
        }
    }
    const QString p = field(6);
    if (p == "fpDefault")
        pitch = 0;
    else if (p == "fpVariable")
        pitch = 1;
    else if (p == "fpFixed")
        pitch = 2;
}

QFontDatabase::WritingSystem cuiFont::writingSystemOf(int charset) {
    switch (charset) {
    case 2:
        return QFontDatabase::Symbol;
    case 128:
        return QFontDatabase::Japanese;
    case 129:
    case 130:
        return QFontDatabase::Korean;
    case 134:
        return QFontDatabase::SimplifiedChinese;
    case 136:
        return QFontDatabase::TraditionalChinese;
    case 161:
        return QFontDatabase::Greek;
    case 162:
    case 186:
    case 238:
        return QFontDatabase::Latin;
    case 163:
        return QFontDatabase::Vietnamese;
    case 177:
        return QFontDatabase::Hebrew;
    case 178:
        return QFontDatabase::Arabic;
    case 204:
        return QFontDatabase::Cyrillic;
    case 222:
        return QFontDatabase::Thai;
    default:
        return QFontDatabase::Any; // 0 ANSI, 1 default, 77 Mac, 255 OEM
    }
}

QString cuiFont::familyFor(const QString& face, int charset) {
    const QFontDatabase::WritingSystem ws = writingSystemOf(charset);
    if (ws == QFontDatabase::Any) return face;
    // Cells are painted often: the answer is kept per face and set.
    static QHash<QPair<QString, int>, QString> chosen;
    const QPair<QString, int> key(face, charset);
    const auto it = chosen.constFind(key);
    if (it != chosen.constEnd()) return *it;
    QString family = face;
    if (!QFontDatabase::writingSystems(face).contains(ws)) {
        const QStringList families = QFontDatabase::families(ws);
        if (!families.isEmpty()) family = families.first();
    }
    chosen.insert(key, family);
    return family;
}

QFont cuiFont::toQFont(double scale) const {
    QFont f(familyFor(face, charset));
    // A positive height includes the internal leading: about a fifth of the cell height.
    const double px = height < 0 ? -height : height * 0.8;
    f.setPixelSize(std::max(1, int(std::lround(px * scale))));
    f.setBold(style & Bold);
    f.setItalic(style & Italic);
    f.setUnderline(style & Underline);
    f.setStrikeOut(style & StrikeOut);
    if (pitch == 2) {
        f.setFixedPitch(true);
        f.setStyleHint(QFont::TypeWriter);
    }
    return f;
}

#include "cuiCellParser.h"

#include "cmcFatal.h"
#include "cmcGTex.h"
#include "cuiCell.h"
#include "cuiSheetEnv.h"

#include <memory>

namespace {

constexpr int MaxModelDepth = 16; // a model that pulls itself in stops here

[[noreturn]] void chNoError() {
    cmcFatal::stop(QStringLiteral("Ch No. Error"));
}

// The text after "Name=" when group starts with it; null when it does not.
bool valueOf(const QString& group, const char* name, QString& value) {
    const QLatin1String n(name);
    if (!group.startsWith(n)) return false;
    const int eq = int(n.size());
    if (group.size() <= eq || group[eq] != '=') return false;
    value = group.mid(eq + 1);
    return true;
}

// Index of the ")" that closes the group opened at open; escaped characters are skipped.
int groupEnd(const QString& s, int open) {
    for (int i = open + 1; i < s.size(); ++i) {
        if (s[i] == '\\')
            ++i;
        else if (s[i] == ')')
            return i;
    }
    return int(s.size());
}

QString unescape(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) ++i;
        out += s[i];
    }
    return out;
}

} // namespace

int cuiCellParser::counterRef(const QString& text, int& pos, const int32_t* counters) {
    if (!counters || pos + 3 >= text.size() || text[pos] != '@' || text[pos + 1] != 'c' ||
        text[pos + 2] != 'h' || !text[pos + 3].isDigit() || text[pos + 3].unicode() > '9')
        chNoError();
    if (pos + 4 < text.size() && text[pos + 4].isDigit()) chNoError();
    const int n = text[pos + 3].unicode() - '0';
    pos += 4;
    return n;
}

void cuiCellParser::parse(cuiCell& cell, const QString& text, const cuiCell* parent,
                          int32_t* counters) {
    cell.resetFrom(parent, counters);
    QString attributes;
    QString raw;
    int depth = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        QString& target = depth > 0 ? attributes : raw;
        if (c == '\\' && i + 1 < text.size()) {
            target += c;
            target += text[++i];
        } else if (c == '{') {
            if (depth > 0) attributes += c;
            ++depth;
        } else if (c == '}' && depth > 0) {
            --depth;
            if (depth > 0) attributes += c;
        } else {
            target += c;
        }
    }
    applyAttributes(cell, attributes);
    if (!raw.isEmpty()) cell.displayText = displayText(raw, counters);
}

void cuiCellParser::applyAttributes(cuiCell& cell, const QString& s) {
    bool negate = false;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == '\\') {
            ++i;
            negate = false;
            continue;
        }
        if (c == '(') {
            const int end = groupEnd(s, i);
            applyGroup(cell, s.mid(i + 1, end - i - 1));
            i = end;
            negate = false;
            continue;
        }
        if (c == '!') {
            negate = true;
            continue;
        }
        const bool on = !negate;
        negate = false;
        switch (c.unicode()) {
        case '<':
            cell.hAlign = cuiCell::Left;
            break;
        case '^':
            cell.hAlign = cuiCell::Centre;
            break;
        case '>':
            cell.hAlign = cuiCell::Right;
            break;
        case '~':
            cell.vAlign = cuiCell::Top;
            break;
        case '-':
            cell.vAlign = cuiCell::Middle;
            break;
        case '_':
            cell.vAlign = cuiCell::Bottom;
            break;
        case 'W':
            cell.fitWidth = on;
            break;
        case 'H':
            cell.fitHeight = on;
            break;
        case '+':
            cell.joinLeft = on;
            break;
        case 'B':
            cell.bottomLine = on;
            break;
        case 'S':
            cell.selectable = on;
            break;
        case 'T':
            cell.rowSelect = on;
            break;
        case 'X':
            cell.rightMark = on ? cuiCell::FullLine : cuiCell::NoMark;
            break;
        case 'Q':
            cell.rightMark = on ? cuiCell::ShortMark : cuiCell::NoMark;
            break;
        default:
            break;
        }
    }
}

void cuiCellParser::applyGroup(cuiCell& cell, const QString& group) {
    QString value;
    if (group.startsWith('$')) {
        if (m_modelDepth >= MaxModelDepth) return;
        const QString model = m_table.getText(QStringLiteral("CellModel_") + group.mid(1), 0);
        ++m_modelDepth;
        applyAttributes(cell, model);
        --m_modelDepth;
    } else if (valueOf(group, "Color", value)) {
        cuiColor::fromName(value.trimmed(), cell.color);
    } else if (valueOf(group, "Font", value)) {
        std::shared_ptr<cuiFont> font;
        if (cell.font)
            font = std::make_shared<cuiFont>(*cell.font);
        else if (cell.parent && cell.parent->font)
            font = std::make_shared<cuiFont>(*cell.parent->font);
        else
            font = std::make_shared<cuiFont>();
        font->applyText(value);
        cell.font = std::move(font);
    } else if (group.startsWith('%')) {
        applyCellReference(cell, group.mid(1));
    } else if (group.startsWith('@')) {
        applyCounter(cell, group);
    } else if (valueOf(group, "ImageIndex", value)) {
        bool ok = false;
        const int v = value.trimmed().toInt(&ok);
        if (ok) cell.imageIndex = v;
    } else if (valueOf(group, "PopupMenu", value)) {
        cell.popupMenu = value.trimmed();
    } else if (group.startsWith(QLatin1String("Flag")) && group.size() >= 7 && group[4] >= '0' &&
               group[4] <= '8' && group[5] == '=') {
        const QString v = group.mid(6);
        if (v == "0" || v == "1") cell.setFlag(group[4].unicode() - '0', v == "1");
    }
}

void cuiCellParser::applyCellReference(cuiCell& cell, const QString& ref) {
    const cuiSheetEnv& env = cuiSheetEnv::current();
    // The category part ends at an unescaped "." before the index or option.
    int dot = -1;
    for (int i = 0; i < ref.size(); ++i) {
        const QChar c = ref[i];
        if (c == '\\') {
            ++i;
            continue;
        }
        if (c == '[' || c == ':') break;
        if (c == '.') {
            dot = i;
            break;
        }
    }
    int pos = 0;
    if (dot >= 0) {
        cell.category = env.categoryByName(ref.left(dot));
        pos = dot + 1;
    }
    int end = pos;
    while (end < ref.size() && ref[end] != '[' && ref[end] != ':')
        ++end;
    cell.label = env.labelByName(ref.mid(pos, end - pos));
    pos = end;
    if (pos < ref.size() && ref[pos] == '[') {
        const int close = ref.indexOf(']', pos);
        const QString inside = ref.mid(pos + 1, (close < 0 ? ref.size() : close) - pos - 1);
        if (inside.startsWith('@')) {
            int p = 0;
            const int n = counterRef(inside, p, cell.counters);
            if (p != inside.size()) chNoError();
            cell.index = cell.counters[n];
        } else {
            bool ok = false;
            const int v = inside.trimmed().toInt(&ok);
            if (ok) cell.index = v;
        }
        pos = close < 0 ? int(ref.size()) : close + 1;
    }
    if (pos < ref.size() && ref[pos] == ':') cell.option = unescape(ref.mid(pos + 1));
}

void cuiCellParser::applyCounter(cuiCell& cell, const QString& group) {
    int pos = 0;
    const int n = counterRef(group, pos, cell.counters);
    while (pos < group.size() && group[pos] == ' ')
        ++pos;
    const QString rest = group.mid(pos);
    if (rest.startsWith(QLatin1String("++"))) {
        ++cell.counters[n];
    } else if (rest.startsWith('=')) {
        bool ok = false;
        const int v = rest.mid(1).trimmed().toInt(&ok);
        if (ok) cell.counters[n] = v;
    }
}

QStringList cuiCellParser::splitRow(const QString& line) {
    QStringList cells;
    QString current;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == '\\' && i + 1 < line.size()) {
            current += c;
            current += line[++i];
        } else if (c == '|') {
            cells.append(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.isEmpty()) cells.append(current);
    return cells;
}

QString cuiCellParser::displayText(const QString& raw, const int32_t* counters) {
    QString out;
    out.reserve(raw.size());
    for (int i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c != '\\' || i + 1 >= raw.size()) {
            out += c;
            continue;
        }
        const QChar n = raw[++i];
        if (n == '(') {
            int close = raw.indexOf(')', i + 1);
            if (close < 0) close = int(raw.size());
            const QString expr = raw.mid(i + 1, close - i - 1).trimmed();
            int p = 0;
            const int d = counterRef(expr, p, counters);
            int64_t value = counters[d];
            const QString rest = expr.mid(p).trimmed();
            if (rest.startsWith('+')) value += rest.mid(1).trimmed().toInt();
            out += QString::number(value).left(6);
            i = close;
        } else if (n == 'n' || n == 'N') {
            out += '\n';
        } else if (n == '_') {
            out += ' ';
        } else {
            out += n;
        }
    }
    return out;
}
